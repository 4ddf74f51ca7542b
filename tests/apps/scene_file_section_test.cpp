// Sections in scene files: runs, closed flags, deviations given as numbers, vectors or null,
// the tolerance band and the display switches, the errors of bad sections, and the elements
// the loader makes of them.
#include "apps/scene/scene_file.h"
#include "apps/scene/scene_file_loader.h"

#include "gcad/host/cad/vaq_cad_section_insp2d.h"

#include "tests/apps/scene_test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

using Gcad::Scene::parseSceneFile;
using Gcad::Scene::SectionDescription;
using Gcad::Test::importError;
using Vaq::BaVec3d;
using Vaq::CAD::NO_VALUE;

QString parseError(const char *json)
{
    return importError([json] { parseSceneFile(QByteArrayView(json), QStringLiteral("s.json")); });
}

TEST(SceneFileSection, deviationsAreNumbersAlongTheRunsLeftVectorsOrNothing)
{
    const auto scene = parseSceneFile(QByteArrayView(R"({ "elements": [
        { "kind": "section", "runs": [ [[0,0,0], [2,0,0], [4,0,0]], [[0,5,0], [0,6,0], [0,7,0]] ], "closed": [false, true],
          "deviations": [ [0.5, [0, -0.25, 0], null], [1, -1, 0] ], "normal": [0, 0, 2], "tolerance": [-0.1, 0.2],
          "points": true, "line": false, "needleScale": 4, "pointSize": 6, "lineWidth": 2 },
        { "kind": "section", "runs": [ [[0,0,0], [1,0,0]] ], "closed": true, "needles": true } ] })"),
        "s.json");
    ASSERT_EQ(scene.elements.size(), 2u);
    const auto &s = std::get<SectionDescription>(scene.elements[0].data);
    EXPECT_EQ(s.runs.size(), 2u);
    EXPECT_EQ(s.closed, std::vector<bool>({ false, true }));
    // Along +x seen from +z the left is +y; a vector's value is its length, negative to the right.
    EXPECT_EQ(
        s.values, Vaq::CAD::SectionRecords<float>({ { 0.5f, -0.25f, NO_VALUE }, { 1.0f, -1.0f, 0.0f } }));
    EXPECT_EQ(s.needles[0][0], BaVec3d<float>(0, 0.5f, 0));
    EXPECT_EQ(s.needles[0][1], BaVec3d<float>(0, -0.25f, 0));
    EXPECT_EQ(s.needles[0][2], BaVec3d<float>());
    // Along +y the left is -x (the closed run's middle point; its ends look across the closing segment).
    EXPECT_EQ(s.needles[1][1], BaVec3d<float>(1, 0, 0));
    ASSERT_TRUE(s.tolerance.has_value());
    EXPECT_EQ(*s.tolerance, (Vaq::CAD::Tolerance { -0.1, 0.2 }));
    EXPECT_TRUE(s.points);
    EXPECT_FALSE(s.line);
    EXPECT_TRUE(s.needlesShown); // deviations bring their needles
    EXPECT_EQ(s.needleScale, 4.0);
    EXPECT_EQ(s.pointSize, 6.0);
    EXPECT_EQ(s.lineWidth, 2.0);

    const auto &plain = std::get<SectionDescription>(scene.elements[1].data);
    EXPECT_EQ(plain.closed, std::vector<bool>({ true }));
    EXPECT_TRUE(plain.values.empty());
    EXPECT_TRUE(plain.line);
}

TEST(SceneFileSection, aBadSectionNamesWhereAndWhy)
{
    const std::pair<const char *, const char *> cases[] = {
        { R"({"elements": [{"kind": "section"}]})",
            R"(elements[0]: a section needs either "runs" or "cut")" },
        { R"({"elements": [{"kind": "section", "runs": [[[0,0,0],[1,0,0]]], )"
          R"("cut": {"mesh": "m", "point": [0,0,0], "normal": [0,0,1]}}]})",
            R"(elements[0]: a section needs either "runs" or "cut")" },
        { R"({"elements": [{"kind": "section", "cut": {"mesh": "m", "point": [0,0,0]}}]})",
            R"(elements[0].cut: no "normal")" },
        { R"({"elements": [{"kind": "section", "cut": {"mesh": "m", "point": [0,0,0], "normal": [0,0,1]}, )"
          R"("tolerance": [0, 1]}]})",
            R"(elements[0].tolerance: not allowed beside "cut")" },
        { R"({"elements": [{"kind": "section", "runs": []}]})", "elements[0].runs: no runs" },
        { R"({"elements": [{"kind": "section", "runs": [[[0,0,0],[1,0,0]], [[0,0,0]]]}]})",
            "elements[0].runs[1]: a run needs at least two points" },
        { R"({"elements": [{"kind": "section", "runs": [[[0,0,0],[1,0,"x"]]]}]})",
            "elements[0].runs[0][1][2]: expected a finite number, not a text" },
        { R"({"elements": [{"kind": "section", "runs": [[[0,0,0],[1,0,0]]], "closed": [true, false]}]})",
            "elements[0].closed: 2 entries for 1 points" },
        { R"({"elements": [{"kind": "section", "runs": [[[0,0,0],[1,0,0]]], "deviations": [[1]]}]})",
            "elements[0].deviations[0]: 1 entries for 2 points" },
        { R"({"elements": [{"kind": "section", "runs": [[[0,0,0],[1,0,0]]], "deviations": [[1, "a"]]}]})",
            "elements[0].deviations[0][1]: expected a finite number, not a text" },
        { R"({"elements": [{"kind": "section", "runs": [[[0,0,0],[1,0,0]]], "tolerance": [1, -1]}]})",
            "elements[0].tolerance: the lower limit must lie below the upper one" },
        { R"({"elements": [{"kind": "section", "runs": [[[0,0,0],[1,0,0]]], "normal": [0, 0, 0]}]})",
            "elements[0].normal: the plane normal has no length" },
        { R"({"elements": [{"kind": "section", "runs": [[[0,0,0],[1,0,0]]], "file": "a.stl"}]})",
            "elements[0]: unknown key 'file' (known: kind, name, color, label, runs, cut, closed, "
            "deviations, "
            "normal, "
            "tolerance, points, line, needles, needleScale, pointSize, lineWidth)" },
    };
    for (const auto &[json, reason] : cases)
        EXPECT_EQ(parseError(json), QStringLiteral("s.json: ") + reason) << json;
}

TEST(SceneFileSection, theLoaderMakesASectionOrWithAToleranceAnInspection)
{
    const Gcad::Test::TestFolder folder;
    const QString path = folder.write("sections.json", R"({ "elements": [
        { "kind": "section", "runs": [[[0,0,0],[1,0,0],[2,0,0]]], "deviations": [[0.5, 0, null]],
          "color": "red", "needles": false },
        { "kind": "section", "name": "band", "runs": [[[0,0,0],[1,0,0],[1,1,0]]], "closed": true,
          "tolerance": [-0.5, 0.5] } ] })");
    Gcad::Scene::Scene scene;
    Gcad::Scene::loadSceneFile(path, scene);
    ASSERT_EQ(scene.getSections().size(), 2u);
    const Vaq::CAD::StageIdentifier stage = Vaq::CAD::StageIdentifier::NO_STAGE;

    const Vaq::CAD::SectionBase &cut = *scene.getSections()[0];
    EXPECT_EQ(cut.getType(), Vaq::CAD::ElementCreator::SECTION);
    EXPECT_EQ(cut.getFileName(), "section 1");
    EXPECT_EQ(cut.getElemProperties()->datasetColor, Vaq::Color(255, 0, 0));
    EXPECT_EQ(cut.getVData(stage)[0][2], NO_VALUE);
    EXPECT_TRUE(cut.getColorMap().has_value());
    EXPECT_EQ(cut.getColors(stage).size(), 1u);
    EXPECT_EQ(cut.getInsp2dCadColorsVector(stage), cut.getColors(stage));
    EXPECT_TRUE(cut.getDisplay().polyline);
    EXPECT_FALSE(cut.getDisplay().deviationNeedles);

    const auto *band = dynamic_cast<const Vaq::CAD::SectionInsp2d *>(scene.getSections()[1].get());
    ASSERT_NE(band, nullptr);
    EXPECT_EQ(band->getType(), Vaq::CAD::ElementCreator::SECTION_INSPECTION_2D);
    EXPECT_EQ(band->getFileName(), "band");
    EXPECT_TRUE(band->isClosed(stage, 0));
    // The band lies round the three sides of the closed run.
    EXPECT_TRUE(band->isToleranceGeometryValid(stage));
    EXPECT_EQ(band->getToleranceGeometry(stage).curves.size(), 3u);
    EXPECT_TRUE(band->getInsp2dDisplay().tolerance);
    EXPECT_FALSE(band->getColorMap().has_value());
    EXPECT_TRUE(band->getInsp2dCadColorsVector(stage).empty());
}

} // namespace

// A cut through a mesh of the file (a tetrahedron, named after it) gives its closed outline in
// the plane; a plane that misses and a mesh that does not exist leave their section out.
TEST(SceneFileSection, aCutThroughANamedMeshIsItsOutlineInThePlane)
{
    const Gcad::Test::TestFolder folder;
    const QString path = folder.write("cut.json", R"({ "elements": [
        { "kind": "section", "name": "middle", "cut": { "mesh": "tetra", "point": [0, 0, 0.5],
          "normal": [0, 0, 2] } },
        { "kind": "section", "cut": { "mesh": "tetra", "point": [0, 0, 5], "normal": [0, 0, 1] } },
        { "kind": "section", "cut": { "mesh": "nowhere", "point": [0, 0, 0.5], "normal": [0, 0, 1] } },
        { "kind": "mesh", "name": "tetra", "vertices": [[0,0,0], [2,0,0], [0,2,0], [0,0,1]],
          "triangles": [[0,2,1], [0,1,3], [1,2,3], [2,0,3]] } ] })");
    Gcad::Scene::Scene scene;
    Gcad::Scene::loadSceneFile(path, scene);
    ASSERT_EQ(scene.getSections().size(), 1u);
    const Vaq::CAD::SectionBase &cut = *scene.getSections()[0];
    const Vaq::CAD::StageIdentifier stage = Vaq::CAD::StageIdentifier::NO_STAGE;
    EXPECT_EQ(cut.getFileName(), "middle");
    ASSERT_EQ(cut.getSections(stage).size(), 1u);
    EXPECT_TRUE(cut.isClosed(stage, 0));
    // Half way up, the tetrahedron's cross-section is the triangle (0,0), (1,0), (0,1) at z 0.5.
    std::vector<std::pair<double, double>> corners;
    for (const auto &p : cut.getSections(stage)[0]) {
        EXPECT_DOUBLE_EQ(p.z, 0.5);
        corners.emplace_back(p.x, p.y);
    }
    std::sort(corners.begin(), corners.end());
    EXPECT_EQ(corners, (std::vector<std::pair<double, double>> { { 0, 0 }, { 0, 1 }, { 1, 0 } }));
}
