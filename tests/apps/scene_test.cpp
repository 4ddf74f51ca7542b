// The scene of the programs: what it counts, how the user's display options combine with a
// mesh's own, where labels point, what the render callback hands the drawing cycle and its
// overlay, and what the demo scene holds.
#include "apps/scene/scene.h"
#include "apps/scene/scene_demo.h"
#include "apps/scene/scene_labels.h"
#include "apps/scene/scene_points.h"
#include "apps/scene/scene_render_callback.h"

#include "gcad/host/cad/vaq_cad_dist_pull_out.h"
#include "gcad/host/cad/vaq_cad_dome_mesh.h"
#include "gcad/host/cad/vaq_cad_strain.h"
#include "gcad/host/fig2/vaq_fig2_global_legend.h"
#include "gcad/overlay/gcad_r_overlay2d.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>

using namespace Gcad::Scene;
using Vaq::CAD::ElementClassification;
using Vaq::CAD::ElementCreator;
using Vaq::CAD::StageIdentifier;

TEST(Scene, countsAndHandsTheCallbackItsMeshesAndTheirOwnBox)
{
    Scene scene;
    SceneRenderCallback callback(scene);
    Vaq::BaVec3d<double> min, max;
    EXPECT_FALSE(callback.getBoundingBox(&min, &max));
    scene.addMesh(Vaq::CAD::createDomeMesh(3, false)); // 9 vertices, 8 triangles
    scene.addMesh(Vaq::CAD::createDomeMesh(4, false)); // 16 vertices, 18 triangles
    EXPECT_EQ(scene.getNumberOfTriangles(), 26u);
    EXPECT_EQ(scene.getNumberOfPoints(), 25u);

    const std::vector<Vaq::CAD::ElementAndStageImp> entries = callback.getElementsForDrawing();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].element, scene.getMeshes()[1].get());
    EXPECT_TRUE(callback.acceptsObject(scene.getMeshes()[0].get()));
    const auto stranger = Vaq::CAD::createDomeMesh(2, false);
    EXPECT_FALSE(callback.acceptsObject(stranger.get()));

    // Domes over the unit square around the origin (the first up to z = 0.5), the second moved
    // by (3, 1, -2): the box covers both and nothing more.
    scene.getMeshes()[1]->setRenderTransformation(
        StageIdentifier::NO_STAGE, Vaq::Transformation::translation(Vaq::BaVec3d<double>(3, 1, -2)));
    ASSERT_TRUE(callback.getBoundingBox(&min, &max));
    EXPECT_EQ(min, Vaq::BaVec3d<double>(-0.5, -0.5, -2));
    EXPECT_EQ(max, Vaq::BaVec3d<double>(3.5, 1.5, 0.5));

    // A point set comes after the meshes and widens the box.
    PointCloud cloud;
    cloud.positions = { { 0, 0, 0 }, { 6, 0, 1 } };
    scene.addPoints(createPointsElement(std::move(cloud), "cloud.xyz"));
    EXPECT_EQ(scene.getNumberOfPoints(), 27u);
    ASSERT_EQ(callback.getElementsForDrawing().size(), 3u);
    EXPECT_EQ(callback.getElementsForDrawing()[2].element, scene.getPointSets()[0].get());
    ASSERT_TRUE(callback.getBoundingBox(&min, &max));
    EXPECT_EQ(max, Vaq::BaVec3d<double>(6, 1.5, 1));
}

// A label points at a point of its element nearest the middle of its box: among all points of a
// small element, among a sample of a big one.
TEST(SceneLabels, pointAtAPointOfTheirElementNearTheMiddleOfItsBox)
{
    Scene scene;
    PointCloud cloud;
    cloud.positions = { { 0, 0, 0 }, { 10, 0, 0 }, { 4, 1, 0 }, { 6, 2, 0 }, { 0, 2, 0 } };
    scene.addPoints(createPointsElement(cloud, "few.xyz"));
    // A dome of 360000 vertices over the unit square, up to z = 0.5 in the middle.
    scene.addMesh(Vaq::CAD::createDomeMesh(600, false));
    scene.getMeshes()[0]->setFileName("dome");
    const StageIdentifier stage = StageIdentifier::NO_STAGE;
    EXPECT_EQ(connectorPoint(*scene.getPointSets()[0], stage), Vaq::BaVec3d<double>(4, 1, 0));
    const std::optional<Vaq::BaVec3d<double>> top = connectorPoint(*scene.getMeshes()[0], stage);
    ASSERT_TRUE(top.has_value());
    const auto &vertices = scene.getMeshes()[0]->getData(stage)->vertices;
    EXPECT_NE(std::find(vertices.begin(), vertices.end(), *top), vertices.end());
    const Vaq::BaVec3d<double> centre(0.0, 0.0, 0.25);
    double nearest = 1.0;
    for (const Vaq::BaVec3d<double> &v : vertices)
        nearest = std::min(nearest, (v - centre).length());
    EXPECT_LT((*top - centre).length(), nearest + 0.02);

    // Labelling keeps a label that is there and labels the others with their names.
    scene.getMeshes()[0]->setLabel("own");
    scene.labelElements();
    EXPECT_EQ(scene.getMeshes()[0]->getLabel()->getText(), "own");
    const Vaq::CAD::Element &few = *scene.getPointSets()[0];
    ASSERT_NE(few.getLabel(), nullptr);
    EXPECT_EQ(few.getLabel()->getText(), "few.xyz");
    EXPECT_TRUE(few.isAutoLabelPlacement());
    Vaq::BaVec3d<double> point;
    ASSERT_TRUE(few.getConnectorPoint(stage, &point));
    EXPECT_EQ(point, Vaq::BaVec3d<double>(4, 1, 0));
    // An element without data has neither box nor point.
    const auto empty = std::make_unique<Vaq::CAD::PolyBase>();
    EXPECT_FALSE(connectorPoint(*empty, stage).has_value());
}

// The callback hands the scene's marks to its overlay and gathers labels into a transparent
// figure of its own.
TEST(Scene, theCallbackShowsTheOverlayTheSceneAsksFor)
{
    Scene scene;
    OverlayOptions &overlay = scene.getOverlay();
    overlay.pointMarks = { { { 1, 2, 3 }, "A", std::nullopt }, { { 4, 5, 6 }, "", Vaq::Color(0, 0, 255) } };
    overlay.add({ .raster = true, .pointMarks = {}, .cross = Vaq::BaVec3d<double>(7, 8, 9) });
    SceneRenderCallback callback(scene);
    EXPECT_TRUE(callback.isCoordinateGridDrawingEnabled() && callback.isWriteViewDirectionEnabled());
    ASSERT_NE(callback.getFigure(), nullptr);
    EXPECT_FALSE(callback.getFigure()->getBackground().isVisible());
    const Vaq::GCAD::Overlay2d &overlay2d = *callback.getOverlay2d();
    const auto &marks = overlay2d.getMarkedPoints();
    ASSERT_EQ(marks.size(), 2u);
    EXPECT_EQ(marks.at(0).point, Vaq::BaVec3d<double>(1, 2, 3));
    EXPECT_EQ(marks.at(0).text, "A");
    EXPECT_EQ(marks.at(0).color, Vaq::GCAD::Overlay2d::DEFAULT_MARK_COLOR);
    EXPECT_EQ(marks.at(1).color, Vaq::Color(0, 0, 255));
    EXPECT_TRUE(overlay2d.isCrossActive());

    Scene plain;
    SceneRenderCallback plainCallback(plain);
    EXPECT_FALSE(
        plainCallback.isCoordinateGridDrawingEnabled() || plainCallback.getOverlay2d()->isCrossActive());
}

TEST(ScenePoints, aCloudBecomesAPointCloudElementInItsColoursOrTheDefaultWithNeedlesWhereItHasDeviations)
{
    PointCloud plain;
    plain.positions = { { 1, 2, 3 }, { 4, 5, 6 } };
    const auto grey = createPointsElement(plain, "plain.xyz");
    EXPECT_EQ(grey->getType(), ElementCreator::POINT_CLOUD);
    EXPECT_EQ(grey->getFileName(), "plain.xyz");
    EXPECT_TRUE(grey->getColorVector(StageIdentifier::NO_STAGE).empty());
    EXPECT_EQ(grey->getElemProperties()->datasetColor, DEFAULT_POINT_COLOR);
    EXPECT_FALSE(grey->getElemProperties()->deviationNeedles);

    PointCloud full = plain;
    full.colors = { Vaq::Color(1, 2, 3), Vaq::Color(4, 5, 6) };
    full.normals = { { 0, 0, 1 }, { 1, 0, 0 } };
    full.values = { 0.5f, Vaq::CAD::NO_VALUE };
    full.ids = { 10, 11 };
    full.deviations = { { 0, 0, 0.5f }, { 0, 0, 0 } };
    const auto scan = createPointsElement(full, "scan.ply");
    EXPECT_EQ(scan->getPointVector(StageIdentifier::NO_STAGE), full.positions);
    EXPECT_EQ(scan->getColorVector(StageIdentifier::NO_STAGE), full.colors);
    EXPECT_EQ(scan->getNormalVector(StageIdentifier::NO_STAGE), full.normals);
    EXPECT_EQ(scan->getDataVector(StageIdentifier::NO_STAGE), full.values);
    EXPECT_EQ(scan->getIdVector(StageIdentifier::NO_STAGE), full.ids);
    EXPECT_EQ(scan->getDistanceVector(StageIdentifier::NO_STAGE), full.deviations);
    EXPECT_TRUE(scan->getElemProperties()->deviationNeedles);
    EXPECT_FALSE(scan->getElemProperties()->showIdentifiers);
}

TEST(Scene, displayOptionsOnlySwitchOnWhatTheUserAsksFor)
{
    Scene scene;
    scene.addMesh(Vaq::CAD::createDomeMesh(2, false));
    scene.addMesh(Vaq::CAD::createDomeMesh(2, false));
    Vaq::CAD::ElemProp &first = *scene.getMeshes()[0]->getElemProperties();
    Vaq::CAD::ElemProp &second = *scene.getMeshes()[1]->getElemProperties();
    second.smooth = false;
    second.showEdges = true;

    // Nothing asked for: each mesh keeps its own choice.
    scene.applyDisplayOptions({});
    EXPECT_TRUE(first.smooth && !first.showEdges && !second.smooth && second.showEdges);

    scene.applyDisplayOptions({ .flat = true, .edges = false, .points = true });
    EXPECT_FALSE(first.smooth || first.showEdges);
    EXPECT_TRUE(first.showPoints && first.showTriangles && second.showEdges && second.showPoints);
}

TEST(DemoScene, twoMillionTrianglesFlatAndSmoothOneOfThemColourMapped)
{
    Scene scene;
    addDemoScene(scene);
    const auto &meshes = scene.getMeshes();
    ASSERT_EQ(meshes.size(), 4u);
    EXPECT_GE(scene.getNumberOfTriangles(), 2000000u);
    int smooth = 0, colourMapped = 0;
    for (const auto &mesh : meshes) {
        ElementClassification classification;
        ElementCreator::getElementClassification(mesh->getType(), &classification);
        smooth += mesh->getElemProperties()->smooth;
        colourMapped += classification[ElementClassification::COLOR_MAPPED]
            && !mesh->getData(StageIdentifier::NO_STAGE)->deviations.empty();
    }
    EXPECT_TRUE(smooth > 0 && smooth < 4) << smooth;
    EXPECT_GT(colourMapped, 0);

    // Beside the meshes, a coloured scan of two million points with needles on a few of them.
    ASSERT_EQ(scene.getPointSets().size(), 1u);
    const Vaq::CAD::PointsBase &scan = *scene.getPointSets()[0];
    const std::size_t count = scan.getPointVector(StageIdentifier::NO_STAGE).size();
    EXPECT_GE(count, 2000000u);
    EXPECT_EQ(scan.getColorVector(StageIdentifier::NO_STAGE).size(), count);
    EXPECT_TRUE(
        scan.getElemProperties()->deviationNeedles && scan.existsDistanceVector(StageIdentifier::NO_STAGE));
    const auto &values = scan.getDataVector(StageIdentifier::NO_STAGE);
    const auto needles
        = std::count_if(values.begin(), values.end(), [](float v) { return v != Vaq::CAD::NO_VALUE; });
    EXPECT_GT(needles, 100);
    EXPECT_LT(needles, 10000);
    // Fitted geometry over the tiles (a sphere, a plane, a circle and a cylinder), two
    // distances along their edges and the strain panel.
    std::vector<ElementCreator::Element_t> others;
    for (const auto &element : scene.getOtherElements())
        others.push_back(element->getType());
    EXPECT_EQ(others,
        (std::vector<ElementCreator::Element_t> { ElementCreator::SPHERE, ElementCreator::PLANE,
            ElementCreator::CIRCLE, ElementCreator::CYLINDER, ElementCreator::DISTANCE,
            ElementCreator::DISTANCE, ElementCreator::STRAIN_GRID }));
    // A section across the wave with a needle and a legend colour per point.
    ASSERT_EQ(scene.getSections().size(), 1u);
    const Vaq::CAD::SectionBase &section = *scene.getSections()[0];
    EXPECT_TRUE(section.getDisplay().deviationDisplay && section.getDisplay().deviationNeedles);
    EXPECT_EQ(section.getDistanceVector(StageIdentifier::NO_STAGE)[0].size(),
        section.getSections(StageIdentifier::NO_STAGE)[0].size());
    EXPECT_FALSE(section.getColors(StageIdentifier::NO_STAGE).empty());
    // A strain grid with isolines, and holes in it.
    const auto *strain = dynamic_cast<const Vaq::CAD::Strain *>(scene.getOtherElements().back().get());
    ASSERT_NE(strain, nullptr);
    EXPECT_TRUE(strain->getElemProperties()->strain.isolines);
    EXPECT_FALSE(strain->getIsolinePoints(StageIdentifier::NO_STAGE, 0).empty());
    EXPECT_LT(strain->getNumberOfVisiblePoints(StageIdentifier::NO_STAGE),
        strain->getNumberOfPoints(StageIdentifier::NO_STAGE));
    // The programs build no element that their views could not draw. Each is labelled; the
    // colour-mapped wave brings the legend.
    SceneRenderCallback callback(scene);
    int legends = 0, pulledOut = 0;
    for (Vaq::CAD::Element *element : scene.getElements()) {
        pulledOut += element->getPullOut() && element->getPullOut()->isPulledOut();
        EXPECT_NE(callback.findRenderer(element->getType()), nullptr) << element->getType();
        Vaq::BaVec3d<double> point;
        EXPECT_TRUE(element->mustLabelBeRendered(StageIdentifier::NO_STAGE));
        EXPECT_TRUE(element->getConnectorPoint(StageIdentifier::NO_STAGE, &point));
        element->updateFigureElements(StageIdentifier::NO_STAGE, 100, Vaq::Transformation(), 0.25);
        const auto figure = element->getFigureElements(StageIdentifier::NO_STAGE);
        legends += int(std::count(figure.begin(), figure.end(), Vaq::GLegend2::GlobalLegend::getInstance()));
    }
    EXPECT_EQ(legends, 1);
    // Two distances with their dimension lines pulled out beside the tiles.
    EXPECT_EQ(pulledOut, 2);
}
