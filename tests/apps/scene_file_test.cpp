// The scene file: what a well-formed document gives, where and why a bad one is refused, and
// how the elements it names are loaded into a scene.
#include "apps/scene/scene_file.h"
#include "apps/scene/scene_file_loader.h"

#include "tests/apps/scene_test_files.h"

#include "gcad/host/cad/vaq_cad_distance.h"
#include "gcad/host/cad/vaq_cad_gps.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Gcad::Scene::MeshDescription;
using Gcad::Scene::parseSceneFile;
using Gcad::Scene::PointsDescription;
using Gcad::Test::importError;
using Gcad::Test::TestFolder;
using Vaq::Color;

QString parseError(const char *json)
{
    return importError([json] { parseSceneFile(QByteArrayView(json), QStringLiteral("s.json")); });
}

TEST(SceneFile, readsTheViewMeshesAndPointSetsAsWritten)
{
    const auto scene = parseSceneFile(QByteArrayView(R"({
        "view": { "direction": "x+y-z+", "size": [640, 480], "background": "#102030" },
        "labels": true, "raster": true, "cross": [4, 5, -6],
        "pointMarks": [ { "at": [1, 2, 3], "text": "P1", "color": "blue" }, { "at": [0, 0, -1e-3] } ],
        "elements": [
            { "kind": "mesh", "name": "part", "label": "Part 7", "file": "part.stl", "color": "orange",
              "flat": true },
            { "kind": "mesh", "vertices": [[0, 0, 0], [1, 0, 0], [0, 1, 0.5]], "triangles": [[0, 1, 2]],
              "colors": ["red", [0, 255, 0], [0, 0, 255, 128]], "edges": true },
            { "kind": "points", "positions": [[1, 2, 3], [-4, 5e3, 6.25]], "normals": [[0, 0, 1], [1, 0, 0]],
              "ids": [7, -2147483648], "values": [0.5, -1], "deviations": [[0, 0, 0.1], [0, 0, -0.2]],
              "display": "crosses", "pointSize": 5, "needles": true, "needleScale": 10 }
        ] })"),
        "s.json");

    EXPECT_EQ(scene.view.direction, "x+y-z+");
    EXPECT_EQ(scene.view.size, QSize(640, 480));
    EXPECT_EQ(scene.view.background, Color(0x10, 0x20, 0x30));
    ASSERT_EQ(scene.elements.size(), 3u);

    EXPECT_TRUE(scene.labels);
    EXPECT_TRUE(scene.overlay.raster);
    EXPECT_EQ(scene.overlay.cross, Vaq::BaVec3d<double>(4, 5, -6));
    ASSERT_EQ(scene.overlay.pointMarks.size(), 2u);
    EXPECT_EQ(scene.overlay.pointMarks[0].at, Vaq::BaVec3d<double>(1, 2, 3));
    EXPECT_EQ(scene.overlay.pointMarks[0].text, "P1");
    EXPECT_EQ(scene.overlay.pointMarks[0].color, Color(0, 0, 255));
    EXPECT_EQ(scene.overlay.pointMarks[1].at.z, -1e-3);
    EXPECT_TRUE(scene.overlay.pointMarks[1].text.isEmpty());
    EXPECT_FALSE(scene.overlay.pointMarks[1].color.has_value());

    EXPECT_EQ(scene.elements[0].name, "part");
    EXPECT_EQ(scene.elements[0].label, "Part 7");
    EXPECT_FALSE(scene.elements[1].label.has_value());
    EXPECT_EQ(scene.elements[0].color, Color(255, 165, 0));
    const auto &file = std::get<MeshDescription>(scene.elements[0].data);
    EXPECT_EQ(file.file, "part.stl");
    EXPECT_TRUE(file.flat);
    EXPECT_FALSE(file.edges);

    const auto &mesh = std::get<MeshDescription>(scene.elements[1].data);
    ASSERT_EQ(mesh.vertices.size(), 3u);
    EXPECT_EQ(mesh.vertices[2].z, 0.5);
    EXPECT_EQ(mesh.triangles, (std::vector<Vaq::CAD::Triangle> { { 0, 1, 2 } }));
    EXPECT_EQ(mesh.colors, (std::vector<Color> { { 255, 0, 0 }, { 0, 255, 0 }, { 0, 0, 255, 128 } }));
    EXPECT_TRUE(mesh.edges);
    EXPECT_FALSE(scene.elements[1].color.has_value());

    const auto &points = std::get<PointsDescription>(scene.elements[2].data);
    ASSERT_EQ(points.cloud.positions.size(), 2u);
    EXPECT_EQ(points.cloud.positions[1].y, 5000.0);
    EXPECT_EQ(points.cloud.normals[1].x, 1.0f);
    EXPECT_EQ(points.cloud.ids, (std::vector<int32_t> { 7, -2147483647 - 1 }));
    EXPECT_EQ(points.cloud.values, (std::vector<float> { 0.5f, -1.0f }));
    EXPECT_EQ(points.cloud.deviations[1].z, -0.2f);
    EXPECT_TRUE(points.cloud.colors.empty());
    EXPECT_EQ(points.display.mode, 2);
    EXPECT_EQ(points.display.pointSize, 5.0);
    EXPECT_TRUE(points.display.needles);
    EXPECT_EQ(points.display.needleScale, 10.0);
}

TEST(SceneFile, everyPrimitiveKindBuildsItsElementFromItsKeys)
{
    using E = Vaq::CAD::ElementCreator;
    using Vec = Vaq::BaVec3d<double>;
    const auto scene = parseSceneFile(QByteArrayView(R"({ "elements": [
        { "kind": "point", "at": [1, 2, 3], "variant": "target" },
        { "kind": "line", "from": [0, 0, 0], "to": [1, 0, 0], "endSymbol": "arrow" },
        { "kind": "segment", "from": [0, 0, 0], "to": [1, 0, 0], "variant": "nominal" },
        { "kind": "circle", "center": [1, 1, 1], "normal": [0, 0, 1], "radius": 2 },
        { "kind": "disc", "center": [1, 1, 1], "normal": [0, 0, 1], "radius": 2 },
        { "kind": "polygonHole", "center": [0, 0, 0], "normal": [0, 0, 1], "corner": [1, 0, 0], "corners": 6 },
        { "kind": "plane", "center": [0, 0, 0], "normal": [0, 0, 1], "size": 4, "variant": "nominal" },
        { "kind": "limitedPlane", "outline": [[0, 0, 0], [1, 0, 0], [0, 1, 0]] },
        { "kind": "slot", "from": [0, 0, 0], "to": [4, 0, 0], "normal": [0, 0, 1], "width": 2 },
        { "kind": "roundedRectangle", "from": [0, 0, 0], "to": [4, 0, 0], "normal": [0, 0, 1], "width": 2,
          "edgeRadius": 0.5, "variant": "nominal" },
        { "kind": "sphere", "center": [0, 0, 0], "radius": 3, "variant": "toolingBall" },
        { "kind": "cylinder", "center": [0, 0, 0], "axis": [1, 0, 0], "radius": 1, "length": 5,
          "variant": "pin" },
        { "kind": "cone", "from": [0, 0, 0], "to": [0, 0, 2], "fromRadius": 2, "toRadius": 1 },
        { "kind": "paraboloid", "vertex": [1, 0, 0], "axis": [-1, 0, 0], "focalLength": 1, "height": 4 },
        { "kind": "labelMarker", "at": [0, 0, 5] },
        { "kind": "adapterEdge", "at": [0, 0, 0], "direction": [1, 0, 0], "normal": [0, 1, 0], "length": 3 },
        { "kind": "adapterPlane", "center": [0, 0, 0], "normal": [0, 0, 1], "direction": [1, 0, 0],
          "length": 6, "width": 2 },
        { "kind": "adapterCylinder", "center": [0, 0, 0], "axis": [0, 0, 1], "radius": 1, "length": 2 },
        { "kind": "adapterSphere", "center": [0, 0, 0], "radius": 1, "direction": [0, 0, -1],
          "standLength": 3 } ] })"),
        "s.json");

    const std::vector<E::Element_t> types = { E::TARGET_POINT, E::LINE, E::NOMINAL_LINE_SEGMENT, E::CIRCLE,
        E::DISC, E::REGULAR_POLYHOLE, E::NOMINAL_PLANE, E::LIMITED_PLANE, E::SLOT,
        E::NOMINAL_ROUNDED_RECTANGLE, E::TOOLING_BALL, E::PIN, E::CONE, E::PARABOLOID, E::LABEL_MARKER,
        E::ADAPTER_EDGE, E::ADAPTER_PLANE, E::ADAPTER_CYLINDER, E::ADAPTER_SPHERE };
    ASSERT_EQ(scene.elements.size(), types.size());
    std::vector<Vaq::Box3d> boxes;
    for (std::size_t i = 0; i < types.size(); ++i) {
        const std::unique_ptr<Vaq::CAD::Element> element
            = std::get<Gcad::Scene::PrimitiveDescription>(scene.elements[i].data).create();
        EXPECT_EQ(element->getType(), types[i]) << i;
        Vaq::Box3d box;
        EXPECT_TRUE(element->getBoundingBox(
            Vaq::CAD::StageIdentifier::NO_STAGE, Vaq::CAD::BBT_GEOMETRY, Vaq::CAD::CCS_ELEMENT, box))
            << i;
        boxes.push_back(box);
    }
    // The keys reach the geometry: the point, the circle, the pin along x, and the paraboloid
    // opening towards -x from its vertex at x = 1 to its rim of radius 4 at x = -3.
    EXPECT_EQ(boxes[0], Vaq::Box3d(Vec(1, 2, 3), Vec(1, 2, 3)));
    EXPECT_EQ(boxes[3], Vaq::Box3d(Vec(-1, -1, 1), Vec(3, 3, 1)));
    EXPECT_EQ(boxes[11], Vaq::Box3d(Vec(-2.5, -1, -1), Vec(2.5, 1, 1)));
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(boxes[13].getMin()[i], Vec(-3, -4, -4)[i], 1e-12) << i;
        EXPECT_NEAR(boxes[13].getMax()[i], Vec(1, 4, 4)[i], 1e-12) << i;
    }
}

TEST(SceneFile, aBadDocumentNamesWhereAndWhy)
{
    // Not JSON: the line and column of the fault.
    const QString syntax = parseError("{\"elements\": [\n  {\"kind\": \"mesh\",}\n]}");
    EXPECT_TRUE(syntax.startsWith("s.json: line 2, column ")) << syntax.toStdString();
    EXPECT_TRUE(syntax.endsWith(": object is missing after a comma")) << syntax.toStdString();
    // Text that is not UTF-8, and numbers beyond a double, are no JSON either.
    for (const char *json : { "{\"elements\": [{\"kind\": \"mesh\", \"label\": \"\xff\xfe\"}]}",
             R"({"cross": [0, 0, 1e999], "elements": []})" })
        EXPECT_TRUE(parseError(json).startsWith("s.json: line 1, column ")) << parseError(json).toStdString();
    // A misspelt key is refused rather than ignored.
    EXPECT_TRUE(parseError(R"({"elements": [{"kind": "mesh", "file": "a.stl", "colour": "red"}]})")
                    .startsWith("s.json: elements[0]: unknown key 'colour' (known: kind, name, color"));

    const std::pair<const char *, const char *> cases[] = {
        { "[1, 2]", "the document: expected an object, not a list" },
        { R"({"elements": []})", "elements: the scene has no elements" },
        { R"({"elements": [{"kind": "cloud"}]})",
            "elements[0].kind: unknown kind 'cloud' (mesh, points, section, strain, point, line, segment, "
            "circle, "
            "disc, "
            "polygonHole, "
            "plane, limitedPlane, slot, roundedRectangle, sphere, cylinder, cone, paraboloid, labelMarker, "
            "adapterEdge, adapterPlane, adapterCylinder, adapterSphere, distance, angle, caliper, "
            "tolerance)" },
        { R"({"elements": [{"kind": "circle", "center": [0, 0, 0], "normal": [0, 0, 1]}]})",
            R"(elements[0]: no "radius")" },
        { R"({"elements": [{"kind": "sphere", "center": [0, 0, 0], "radius": -1}]})",
            "elements[0].radius: -1 is outside 0 to 1.79769e+308" },
        { R"({"elements": [{"kind": "sphere", "center": [0, 0, 0], "radius": 1, "colour": "red"}]})",
            "elements[0]: unknown key 'colour' (known: kind, name, color, label, center, radius, variant)" },
        { R"({"elements": [{"kind": "cylinder", "center": [0, 0, 0], "axis": [0, 0, 1], "radius": 1, )"
          R"("length": 1, "variant": "fitted"}]})",
            "elements[0].variant: unknown variant 'fitted' (measured, nominal, pin)" },
        { R"({"elements": [{"kind": "polygonHole", "center": [0, 0, 0], "normal": [0, 0, 1], )"
          R"("corner": [1, 0, 0], "corners": 2}]})",
            "elements[0].corners: 2 is outside 3 to 360" },
        { R"({"elements": [{"kind": "limitedPlane", "outline": [[0, 0, 0], [1, 0]]}]})",
            "elements[0].outline[1]: expected 3 numbers, not 2" },
        { R"({"elements": [{"kind": "mesh", "file": "a.stl", "triangles": []}]})",
            R"(elements[0].triangles: not allowed beside "file")" },
        { R"({"elements": [{"kind": "mesh"}]})",
            R"(elements[0]: a mesh needs either "file" or "vertices" and "triangles")" },
        { R"({"elements": [{"kind": "mesh", "file": ""}]})", "elements[0].file: the file name is empty" },
        { R"({"elements": [{"kind": "points", "file": ""}]})", "elements[0].file: the file name is empty" },
        { R"({"elements": [{"kind": "mesh", "vertices": [[0,0,0],[1,0,0],[0,1,0]], )"
          R"("triangles": [[0,1,3]]}]})",
            "elements[0].triangles[0][2]: 3 is outside 0 to 2" },
        { R"({"elements": [{"kind": "points", "positions": [[0,0,0]], "normals": [[0,0,1e39]]}]})",
            "elements[0].normals[0][2]: 1e+39 is outside -3.40282e+38 to 3.40282e+38" },
        { R"({"elements": [{"kind": "points", "positions": [[0,0]]}]})",
            "elements[0].positions[0]: expected 3 numbers, not 2" },
        { R"({"elements": [{"kind": "points", "positions": [[0,0,0],[1,1,1]], "ids": [1]}]})",
            "elements[0].ids: 1 entries for 2 points" },
        { R"({"elements": [{"kind": "points", "positions": [[0,0,0]], "ids": [1.5]}]})",
            "elements[0].ids[0]: expected a whole number, not a number" },
        { R"({"elements": [{"kind": "points", "positions": [[0,0,0]], "colors": ["reddish"]}]})",
            R"(elements[0].colors[0]: 'reddish' is not a colour (a name such as "red" or "#rrggbb"))" },
        { R"({"elements": [{"kind": "points", "positions": [[0,0,0]], "colors": [[0,0,256]]}]})",
            "elements[0].colors[0][2]: 256 is outside 0 to 255" },
        { R"({"view": {"direction": "up"}, "elements": []})",
            "view.direction: unknown view 'up' (x+, x-, y+, y-, z+, z-, iso or a corner such as x+y-z+)" },
        { R"({"view": {"size": [0, 10]}, "elements": []})", "view.size[0]: 0 is outside 1 to 16384" },
        { R"({"elements": [{"kind": "mesh", "file": "a.stl", "label": 7}]})",
            "elements[0].label: expected a text, not a number" },
        { R"({"labels": "yes", "elements": []})", "labels: expected true or false, not a text" },
        { R"({"cross": [0, 0], "elements": []})", "cross: expected 3 numbers, not 2" },
        { R"({"cross": [0, 0, null], "elements": []})", "cross[2]: expected a finite number, not null" },
        { R"({"pointMarks": {"at": [0, 0, 0]}, "elements": []})",
            "pointMarks: expected a list, not an object" },
        { R"({"pointMarks": [{"at": [0, 0, 0]}, {"text": "A"}], "elements": []})",
            R"(pointMarks[1]: no "at" (the marked point))" },
        { R"({"pointMarks": [{"at": [0, 0, 0], "colour": "red"}], "elements": []})",
            "pointMarks[0]: unknown key 'colour' (known: at, text, color)" },
        { R"({"pointMarks": [{"at": [0, "1", 0]}], "elements": []})",
            "pointMarks[0].at[1]: expected a finite number, not a text" },
        { R"({"elements": [{"kind": "distance", "from": [0, 0, 0]}]})",
            R"(elements[0]: no "to" (a position or the name of an element))" },
        { R"({"elements": [{"kind": "angle", "at": 5, "from": "a", "to": "b"}]})",
            "elements[0].at: expected a list, not a number" },
        { R"({"elements": [{"kind": "caliper", "from": "a", "to": "b", "radius": -1}]})",
            "elements[0].radius: -1 is outside 0 to 1e+09" },
        { R"({"elements": [{"kind": "tolerance", "at": "a", "characteristic": "wobble"}]})",
            "elements[0].characteristic: unknown characteristic 'wobble'" },
        { R"({"elements": [{"kind": "distance", "from": "a", "to": "b", "datums": ["A"]}]})",
            "elements[0]: unknown key 'datums' (known: kind, name, color, label, from, to, pullOut)" },
    };
    for (const auto &[json, reason] : cases)
        EXPECT_EQ(parseError(json), QStringLiteral("s.json: ") + reason) << json;
}

TEST(SceneFile, readsStrainGridsLaidOutOrListedAndRefusesValueCountsThatDoNotMatch)
{
    const auto scene = parseSceneFile(QByteArrayView(R"({"elements": [
        {"kind": "strain", "size": [3, 2], "origin": [1, 2, 3], "spacing": [2, 0.5], "curvature": 0.5,
         "values": [0, 0.1, null, 0.3, 0.4, 0.5], "range": [0, 0.5], "colors": ["blue", "red"],
         "showLines": true, "isolines": [0.25], "isolineLabels": true},
        {"kind": "strain", "size": [2, 2], "positions": [[0,0,0], [1,0,0], [0,1,0], [1,1,1]],
         "values": [1, 2, 3, 4], "showFacets": false, "showPoints": true}]})"),
        QStringLiteral("s.json"));
    ASSERT_EQ(scene.elements.size(), 2u);
    const auto &laidOut = std::get<Gcad::Scene::StrainDescription>(scene.elements[0].data);
    EXPECT_EQ(laidOut.values[2], Vaq::CAD::NO_VALUE);
    const auto grid = Gcad::Scene::createStrainElement(laidOut);
    const Vaq::CAD::StageIdentifier stage = Vaq::CAD::StageIdentifier::DEFAULT_DATASET;
    // Point (column 2, row 1) lies at origin + (4, 0.5) and curves up by 0.5 x (16 + 0.25) / 2.
    Vaq::CAD::Strain::MappedPoint point;
    ASSERT_TRUE(grid->getDrawPoint(stage, grid->getPointIndex(2, 1), &point));
    EXPECT_EQ(point.position, Vaq::BaVec3d<float>(5.0f, 2.5f, 3.0f + 0.25f * 16.25f));
    EXPECT_FLOAT_EQ(point.value, 1.0f);
    EXPECT_FALSE(grid->getDrawPoint(stage, 2, &point)); // the hole
    EXPECT_EQ(grid->getColorMapping(), std::vector<Color>({ Color(0, 0, 255), Color(255, 0, 0) }));
    const Vaq::CAD::ElemProp &shown = *grid->getElemProperties();
    EXPECT_TRUE(
        shown.showTriangles && shown.showEdges && shown.strain.isolines && shown.strain.isolineLabels);
    EXPECT_FALSE(shown.showPoints || shown.showBoundary);

    const auto listed
        = Gcad::Scene::createStrainElement(std::get<Gcad::Scene::StrainDescription>(scene.elements[1].data));
    ASSERT_TRUE(listed->getDrawPoint(stage, 3, &point));
    EXPECT_EQ(point.position, Vaq::BaVec3d<float>(1, 1, 1));
    EXPECT_TRUE(listed->getElemProperties()->showPoints);
    EXPECT_FALSE(listed->getElemProperties()->showTriangles);

    const std::pair<const char *, const char *> cases[] = {
        { R"({"elements": [{"kind": "strain", "size": [2, 2], "values": [1, 2, 3]}]})",
            "elements[0].values: 3 entries for 4 points" },
        { R"({"elements": [{"kind": "strain", "size": [2, 2]}]})",
            R"(elements[0]: no "values" (one per point, null for a hole))" },
        { R"({"elements": [{"kind": "strain", "size": [1, 4], "values": [1, 2, 3, 4]}]})",
            "elements[0].size[0]: 1 is outside 2 to 100000" },
        { R"({"elements": [{"kind": "strain", "size": [2, 2], "values": [1, 2, 3, 4], "range": [1, 1]}]})",
            "elements[0].range: the second value must be above the first" },
        { R"({"elements": [{"kind": "strain", "size": [2, 2], "values": [1, 2, 3, 4], "origin": [0, 0, 0],
            "positions": [[0,0,0], [1,0,0], [0,1,0], [1,1,1]]}]})",
            R"(elements[0]: "positions" and a laid-out grid (origin, spacing, curvature))" },
        { R"({"elements": [{"kind": "strain", "size": [2, 2], "values": [1, 2, 3, "4"]}]})",
            "elements[0].values[3]: expected a finite number, not a text" },
    };
    for (const auto &[json, reason] : cases)
        EXPECT_EQ(parseError(json), QStringLiteral("s.json: ") + reason) << json;
}

TEST(SceneFileLoader, importsNamedFilesBesideTheSceneFileAndAddsNothingWhenOneFails)
{
    const TestFolder folder;
    folder.write("square.stl",
        Gcad::Test::binaryStl({ { 0, 0, 0, 1, 0, 0, 1, 1, 0 }, { 0, 0, 0, 1, 1, 0, 0, 1, 0 } }));
    folder.write("scan.xyz", "0 0 0\n1 1 1\n");
    const QString good = folder.write("good.json", R"({ "view": { "background": [1, 2, 3] },
        "labels": true, "raster": true, "pointMarks": [{ "at": [0, 0, 1], "text": "top" }], "elements": [
        { "kind": "mesh", "file": "square.stl", "color": "#ff0000", "edges": true, "label": "" },
        { "kind": "mesh", "name": "tri", "vertices": [[0,0,1],[1,0,1],[0,1,1]], "triangles": [[0,1,2]] },
        { "kind": "points", "file": "scan.xyz", "color": "lime", "display": "markers", "pointSize": 7 },
        { "kind": "points", "positions": [[0,0,2]], "ids": [4], "showIds": true, "deviations": [[0,0,1]],
          "needles": true, "needleScale": 3 },
        { "kind": "cylinder", "center": [0, 0, 0], "axis": [0, 0, 1], "radius": 0.5, "length": 2,
          "color": "blue" },
        { "kind": "point", "at": [1, 1, 1], "color": "red" } ] })");

    Gcad::Scene::Scene scene;
    scene.getOverlay().cross = Vaq::BaVec3d<double>(1, 1, 1); // the file has none: it stays
    const Gcad::Scene::ViewDescription view = Gcad::Scene::loadSceneFile(good, scene);
    EXPECT_EQ(view.background, Color(1, 2, 3));
    EXPECT_TRUE(scene.getOverlay().raster);
    ASSERT_EQ(scene.getOverlay().pointMarks.size(), 1u);
    EXPECT_EQ(scene.getOverlay().pointMarks[0].text, "top");
    EXPECT_EQ(scene.getOverlay().cross, Vaq::BaVec3d<double>(1, 1, 1));
    // "labels" labels each element with its name, unless it has a label of its own (even an
    // empty one, which shows nothing); each label points at a point of its element.
    QStringList labels;
    for (const Vaq::CAD::Element *element : scene.getElements()) {
        ASSERT_NE(element->getLabel(), nullptr) << element->getFileName().toStdString();
        labels << element->getLabel()->getText();
        Vaq::BaVec3d<double> point;
        EXPECT_TRUE(element->getConnectorPoint(Vaq::CAD::StageIdentifier::NO_STAGE, &point));
        EXPECT_TRUE(element->isAutoLabelPlacement());
    }
    EXPECT_EQ(labels, QStringList({ "", "tri", "scan.xyz", "points 4", "cylinder 5", "point 6" }));
    ASSERT_EQ(scene.getOtherElements().size(), 2u);
    EXPECT_EQ(scene.getOtherElements()[0]->getType(), Vaq::CAD::ElementCreator::CYLINDER);
    EXPECT_EQ(scene.getOtherElements()[0]->getElemProperties()->color, Color(0, 0, 255));
    // A point shows its point colour.
    EXPECT_EQ(scene.getOtherElements()[1]->getElemProperties()->pointColor, Color(255, 0, 0));
    ASSERT_EQ(scene.getMeshes().size(), 2u);
    EXPECT_EQ(scene.getMeshes()[0]->getFileName(), "square.stl");
    EXPECT_EQ(scene.getMeshes()[0]->getElemProperties()->color, Color(255, 0, 0));
    EXPECT_TRUE(scene.getMeshes()[0]->getElemProperties()->showEdges);
    EXPECT_EQ(scene.getMeshes()[1]->getFileName(), "tri");
    EXPECT_EQ(scene.getNumberOfTriangles(), 3u);
    ASSERT_EQ(scene.getPointSets().size(), 2u);
    const Vaq::CAD::PointsBase &scan = *scene.getPointSets()[0];
    EXPECT_EQ(scan.getFileName(), "scan.xyz");
    EXPECT_EQ(scan.getPointVector(Vaq::CAD::StageIdentifier::NO_STAGE).size(), 2u);
    EXPECT_EQ(scan.getElemProperties()->datasetColor, Color(0, 255, 0));
    EXPECT_EQ(scan.getElemProperties()->displayMode, 1);
    EXPECT_EQ(scan.getElemProperties()->markerSize, 7.0);
    const Vaq::CAD::ElemProp &inline_ = *scene.getPointSets()[1]->getElemProperties();
    EXPECT_EQ(scene.getPointSets()[1]->getFileName(), "points 4");
    EXPECT_TRUE(inline_.showIdentifiers);
    EXPECT_TRUE(inline_.deviationNeedles);
    EXPECT_EQ(inline_.needleScale, 3.0);

    const QString bad = folder.write("bad.json", R"({ "elements": [
        { "kind": "mesh", "file": "square.stl" }, { "kind": "mesh", "file": "scan.xyz" } ] })");
    Gcad::Scene::Scene empty;
    EXPECT_EQ(importError([&] { Gcad::Scene::loadSceneFile(bad, empty); }),
        bad + ": elements[1].file: scan.xyz: holds points, not a mesh");
    EXPECT_TRUE(empty.getMeshes().empty());
    const QString swapped
        = folder.write("swapped.json", R"({ "elements": [ { "kind": "points", "file": "square.stl" } ] })");
    EXPECT_EQ(importError([&] { Gcad::Scene::loadSceneFile(swapped, empty); }),
        swapped + ": elements[0].file: square.stl: holds a mesh, not points");
}

TEST(SceneFileLoader, measurementsJoinNamedElementsOrPointsAndOneNamingNoElementIsLeftOut)
{
    const TestFolder folder;
    const QString path = folder.write("measured.json", R"({ "elements": [
        { "kind": "distance", "name": "gap", "from": "tri", "to": [4, 0, 1], "pullOut": [2, 3, 1] },
        { "kind": "angle", "at": [0, 0, 0], "from": [2, 0, 0], "to": [0, 3, 0], "color": "red" },
        { "kind": "caliper", "from": [0, 0, 0], "to": [0, 0, 2], "radius": 0.5, "label": "bore" },
        { "kind": "tolerance", "at": "tri", "characteristic": "flatness", "tolerance": 0.05,
          "datums": ["A", "B"], "outline": [[0, 0, 1], [1, 0, 1], [0, 1, 1]] },
        { "kind": "distance", "from": "tri", "to": "nowhere" },
        { "kind": "mesh", "name": "tri", "vertices": [[0,0,1],[1,0,1],[0,1,1]], "triangles": [[0,1,2]] } ] })");
    Gcad::Scene::Scene scene;
    testing::internal::CaptureStdout();
    Gcad::Scene::loadSceneFile(path, scene);
    const std::string traces = testing::internal::GetCapturedStdout();
    EXPECT_NE(
        traces.find("elements[4]: no element named 'nowhere'; measurement left out"), std::string::npos);
    EXPECT_EQ(std::count(traces.begin(), traces.end(), '\n'), 1) << traces;

    // The mesh, then the four measurements, each labelled with its value unless given a label.
    const std::vector<Vaq::CAD::Element *> elements = scene.getElements();
    ASSERT_EQ(elements.size(), 5u);
    QStringList labels;
    for (std::size_t i = 1; i < elements.size(); ++i)
        labels << elements[i]->getLabel()->getText();
    EXPECT_EQ(labels, QStringList({ "4.000", "90.00\u00b0", "bore", "\u23e5 0.05 A B" }));

    // "tri" stands for its vertex nearest the middle of its box, (0, 0, 1) of its three.
    const auto *gap = dynamic_cast<const Vaq::CAD::DistanceBase *>(elements[1]);
    ASSERT_NE(gap, nullptr);
    EXPECT_EQ(gap->getFileName(), "gap");
    EXPECT_EQ(gap->getPoint(0), Vaq::BaVec3d<double>(0, 0, 1));
    EXPECT_TRUE(const_cast<Vaq::CAD::DistanceBase *>(gap)->getPullOut()->isPulledOut());
    EXPECT_EQ(elements[2]->getType(), Vaq::CAD::ElementCreator::ANGLE);
    EXPECT_EQ(elements[2]->getElemProperties()->color, Color(255, 0, 0));
    EXPECT_EQ(elements[2]->getFileName(), "angle 2");
    EXPECT_EQ(elements[3]->getType(), Vaq::CAD::ElementCreator::DISC_CALIPER);
    const auto *frame = dynamic_cast<const Vaq::CAD::GpsElement *>(elements[4]);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->getType(), Vaq::CAD::ElementCreator::GPS_FLATNESS);
    EXPECT_EQ(frame->getRenderData().planes.size(), 1u);
    EXPECT_EQ(frame->getRenderData().points.size(), 1u);
}

} // namespace
