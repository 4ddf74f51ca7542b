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
    // The last line needs no line end.
    const PointCloud cloud
        = read("# exported scan\n#\n\n1 2 3\n  -0.5\t1e-3   4.25  # a comment after the values\r\n"
               "   \t\n7,8;9\n10 11 12");
    EXPECT_EQ(cloud.positions,
        std::vector<BaVec3d<double>>({ BaVec3d<double>(1, 2, 3), BaVec3d<double>(-0.5, 0.001, 4.25),
            BaVec3d<double>(7, 8, 9), BaVec3d<double>(10, 11, 12) }));
    EXPECT_TRUE(cloud.colors.empty());
}

TEST(XyzReader, columnsNamedByACommentOrByTheirCountAndValues)
{
    using N = BaVec3d<float>;
    using Vaq::Color;
    // Six values: unit vectors are normals (also when they could be colours), whole numbers
    // from 0 to 255 colours, unless a comment names them.
    const PointCloud unit = read("1 2 3 0 0.6 0.8\n4 5 6 1 0 0\n");
    EXPECT_EQ(unit.normals, std::vector<N>({ N(0, 0.6f, 0.8f), N(1, 0, 0) }));
    EXPECT_TRUE(unit.colors.empty());
    const PointCloud colours = read("1 2 3 0 0 1\n4 5 6 10 20 30\n");
    EXPECT_EQ(colours.colors, std::vector<Color>({ Color(0, 0, 1), Color(10, 20, 30) }));
    EXPECT_TRUE(colours.normals.empty());
    const PointCloud named = read("# x y z nx ny nz\n1 2 3 0 0 2\n");
    EXPECT_EQ(named.normals, std::vector<N>({ N(0, 0, 2) }));

    // Seven: colours and a value; nine: normals and colours.
    const PointCloud seven = read("1 2 3 4 5 6 -0.25\n");
    EXPECT_EQ(seven.colors, std::vector<Color>({ Color(4, 5, 6) }));
    EXPECT_EQ(seven.values, std::vector<float>({ -0.25f }));
    const PointCloud nine = read("1 2 3 0 1 0 7 8 9\n");
    EXPECT_EQ(nine.normals, std::vector<N>({ N(0, 1, 0) }));
    EXPECT_EQ(nine.colors, std::vector<Color>({ Color(7, 8, 9) }));

    // Named columns in any order and case; a column of unknown name is skipped.
    const PointCloud any = read("# X Y Z Intensity Red Green Blue Extra\n1 2 3 0.5 7 8 9 xyz\n");
    EXPECT_EQ(any.positions, std::vector<BaVec3d<double>>({ BaVec3d<double>(1, 2, 3) }));
    EXPECT_EQ(any.values, std::vector<float>({ 0.5f }));
    EXPECT_EQ(any.colors, std::vector<Color>({ Color(7, 8, 9) }));
    EXPECT_TRUE(any.normals.empty());
}

TEST(XyzReader, refusesWhatIsNoPointWithTheLineAndTheReason)
{
    const std::pair<std::string, QString> cases[] = {
        { "# only a comment\n\n", "no points" },
        { "1 2 3 4\n", "line 1: expected 3, 6, 7 or 9 values (x y z, normals, colours), found 4" },
        { "1 2 3 4 5 6 7 8 9 10\n",
            "line 1: expected 3, 6, 7 or 9 values (x y z, normals, colours), found 10" },
        { "# x y z r g b\n1 2 3\n", "line 2: expected 6 values as the comment names them, found 3" },
        { "1 2 3\n\n4 5 6 7 8 9\n", "line 3: expected 3 values like the first point, found 6" },
        { "1 2 3\n1 x 3\n", "line 2: 'x' is not a number" },
        { "1 2 " + std::string(45, 'z') + "\n", "line 1: '" + QString(40, 'z') + "...' is not a number" },
        { "1 2 nan\n", "line 1: non-finite coordinate 'nan'" },
        { "1e999 2 3\n", "line 1: non-finite coordinate '1e999'" },
        { "1 2 3 0 256 0 1\n", "line 1: colour values must be whole numbers from 0 to 255, not '256'" },
        { "1 2 3 0 0 1 0 0.5 0\n", "line 1: colour values must be whole numbers from 0 to 255, not '0.5'" },
        { "1 2 3 0 0 1 0 0 0\n4 5 6 nan 0 0 0 0 0\n", "line 2: non-finite value 'nan'" },
        // The first point fits normals only, the second neither.
        { "1 2 3 0.6 0.8 0\n4 5 6 7 8 9\n",
            "line 2: values 4 to 6 are neither unit normals nor colours from 0 to 255 (name them: '# x y z "
            "nx ny nz')" },
    };
    for (const auto &[text, reason] : cases)
        EXPECT_EQ(Gcad::Test::importError([&] { read(text); }), "scan.xyz: " + reason) << text;
}
