// The XYZ point reader on literal text: what it takes (values, separators, comments, colours)
// and the line and reason it gives for everything it refuses.
#include "apps/scene/scene_xyz_reader.h"
#include "tests/apps/scene_test_files.h"

#include <gtest/gtest.h>

#include <string>

using Gcad::Scene::PointCloud;
using Gcad::Scene::readXyzPoints;
using Gcad::Test::importError;
using Vaq::BaVec3d;
using Vaq::Color;

namespace {

PointCloud read(std::string_view text)
{
    return readXyzPoints(text, QStringLiteral("scan.xyz"));
}

QString error(std::string_view text)
{
    return importError([text] { read(text); });
}

} // namespace

TEST(XyzReader, readsPointsSkippingCommentsAndBlankLines)
{
    const PointCloud cloud = read("# exported scan\n"
                                  "\n"
                                  "1 2 3\n"
                                  "  -0.5\t1e-3   4.25  # a comment after the values\r\n"
                                  "   \t\n"
                                  "7,8;9\n"
                                  "10 11 12"); // the last line needs no line end
    ASSERT_EQ(cloud.positions.size(), 4u);
    EXPECT_EQ(cloud.positions[0], BaVec3d<double>(1, 2, 3));
    EXPECT_EQ(cloud.positions[1], BaVec3d<double>(-0.5, 0.001, 4.25));
    EXPECT_EQ(cloud.positions[2], BaVec3d<double>(7, 8, 9));
    EXPECT_EQ(cloud.positions[3], BaVec3d<double>(10, 11, 12));
    EXPECT_TRUE(cloud.colors.empty());
}

TEST(XyzReader, colouredPointsKeepTheirColours)
{
    const PointCloud cloud = read("0 0 0 255 0 0\n1 0 0 0 128 255\n");
    ASSERT_EQ(cloud.positions.size(), 2u);
    EXPECT_EQ(cloud.positions[1], BaVec3d<double>(1, 0, 0));
    ASSERT_EQ(cloud.colors.size(), 2u);
    EXPECT_EQ(cloud.colors[0], Color(255, 0, 0));
    EXPECT_EQ(cloud.colors[1], Color(0, 128, 255));
}

TEST(XyzReader, refusesWhatIsNoPointWithTheLineAndTheReason)
{
    EXPECT_EQ(error(""), "scan.xyz: no points");
    EXPECT_EQ(error("# only a comment\n\n"), "scan.xyz: no points");
    EXPECT_EQ(error("1 2\n"), "scan.xyz: line 1: expected x y z or x y z r g b, found 2 values");
    EXPECT_EQ(error("1 2 3 4\n"), "scan.xyz: line 1: expected x y z or x y z r g b, found 4 values");
    EXPECT_EQ(
        error("1 2 3\n\n4 5 6 7 8 9\n"), "scan.xyz: line 3: expected 3 values like the first point, found 6");
    EXPECT_EQ(
        error("1 2 3 0 0 0\n4 5 6\n"), "scan.xyz: line 2: expected 6 values like the first point, found 3");
    EXPECT_EQ(error("1 2 3\n1 x 3\n"), "scan.xyz: line 2: 'x' is not a number");
    EXPECT_EQ(error("1 2 3.5.1\n"), "scan.xyz: line 1: '3.5.1' is not a number");
    EXPECT_EQ(error("1 2 " + std::string(45, 'z') + "\n"),
        "scan.xyz: line 1: '" + QString(40, 'z') + "...' is not a number");
    EXPECT_EQ(error("1 2 nan\n"), "scan.xyz: line 1: non-finite coordinate 'nan'");
    EXPECT_EQ(error("-inf 2 3\n"), "scan.xyz: line 1: non-finite coordinate '-inf'");
    EXPECT_EQ(error("1e999 2 3\n"), "scan.xyz: line 1: coordinate '1e999' is out of range");
    EXPECT_EQ(error("1 1e-999 3\n"), "scan.xyz: line 1: coordinate '1e-999' is out of range");
    EXPECT_EQ(error("1 2 3 0 256 0\n"),
        "scan.xyz: line 1: colour values must be whole numbers from 0 to 255, not '256'");
    EXPECT_EQ(error("1 2 3 0 0.5 0\n"),
        "scan.xyz: line 1: colour values must be whole numbers from 0 to 255, not '0.5'");
    EXPECT_EQ(error("1 2 3 0 -1 0\n"),
        "scan.xyz: line 1: colour values must be whole numbers from 0 to 255, not '-1'");
}
