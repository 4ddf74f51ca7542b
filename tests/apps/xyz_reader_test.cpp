// The XYZ point reader on literal text: what it takes (values, separators, comments; colours
// are shown by the import's test) and the line and reason it gives for what it refuses.
#include "apps/scene/scene_xyz_reader.h"
#include "tests/apps/scene_test_files.h"

#include <gtest/gtest.h>

#include <string>

using Gcad::Scene::PointCloud;
using Gcad::Scene::readXyzPoints;
using Vaq::BaVec3d;

namespace {

PointCloud read(std::string_view text)
{
    return readXyzPoints(text, QStringLiteral("scan.xyz"));
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
    EXPECT_EQ(cloud.positions,
        std::vector<BaVec3d<double>>({ BaVec3d<double>(1, 2, 3), BaVec3d<double>(-0.5, 0.001, 4.25),
            BaVec3d<double>(7, 8, 9), BaVec3d<double>(10, 11, 12) }));
    EXPECT_TRUE(cloud.colors.empty());
}

TEST(XyzReader, refusesWhatIsNoPointWithTheLineAndTheReason)
{
    const std::pair<std::string, QString> cases[] = {
        { "# only a comment\n\n", "no points" },
        { "1 2 3 4\n", "line 1: expected x y z or x y z r g b, found 4 values" },
        { "1 2 3\n\n4 5 6 7 8 9\n", "line 3: expected 3 values like the first point, found 6" },
        { "1 2 3\n1 x 3\n", "line 2: 'x' is not a number" },
        { "1 2 " + std::string(45, 'z') + "\n", "line 1: '" + QString(40, 'z') + "...' is not a number" },
        { "1 2 nan\n", "line 1: non-finite coordinate 'nan'" },
        { "1e999 2 3\n", "line 1: coordinate '1e999' is out of range" },
        { "1 1e-999 3\n", "line 1: coordinate '1e-999' is out of range" },
        { "1 2 3 0 256 0\n", "line 1: colour values must be whole numbers from 0 to 255, not '256'" },
        { "1 2 3 0 0.5 0\n", "line 1: colour values must be whole numbers from 0 to 255, not '0.5'" },
    };
    for (const auto &[text, reason] : cases)
        EXPECT_EQ(Gcad::Test::importError([&] { read(text); }), "scan.xyz: " + reason) << text;
}
