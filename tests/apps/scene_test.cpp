// The scene of the programs: what it counts, how the user's display options combine with a
// mesh's own, what the render callback hands the drawing cycle, and what the demo scene holds.
#include "apps/scene/scene.h"
#include "apps/scene/scene_demo.h"
#include "apps/scene/scene_render_callback.h"

#include "gcad/host/cad/vaq_cad_dome_mesh.h"
#include "gcad/host/fig2/vaq_fig2_legend_handler.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace Gcad::Scene;
using Vaq::Box3d;
using Vaq::CAD::BBT_GEOMETRY;
using Vaq::CAD::CCS_WORLD;
using Vaq::CAD::ElementClassification;
using Vaq::CAD::ElementCreator;
using Vaq::CAD::PolyBase;
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
    for (const auto &mesh : scene.getMeshes())
        EXPECT_NE(mesh->getPolyBaseRenderData(StageIdentifier::NO_STAGE), nullptr);

    const std::vector<Vaq::CAD::ElementAndStageImp> entries = callback.getElementsForDrawing();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].element, scene.getMeshes()[1].get());
    EXPECT_EQ(entries[1].stage, StageIdentifier::NO_STAGE);
    EXPECT_EQ(callback.getNumberOfPointsForDrawing(), 25u);
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

TEST(DemoScene, twoMillionTrianglesSideBySideColouredMappedFlatAndSmooth)
{
    Scene scene;
    addDemoScene(scene);
    const auto &meshes = scene.getMeshes();
    ASSERT_EQ(meshes.size(), 4u);
    EXPECT_GE(scene.getNumberOfTriangles(), 2000000u);

    // Each shading and each source of colour is shown by some mesh.
    auto any = [&](auto predicate) {
        return std::any_of(meshes.begin(), meshes.end(), [&](const auto &m) { return predicate(*m); });
    };
    EXPECT_TRUE(any([](const PolyBase &m) { return m.getElemProperties()->smooth; }));
    EXPECT_TRUE(any([](const PolyBase &m) { return !m.getElemProperties()->smooth; }));
    // Vertex colours on a mesh kind that shows them (the plain mesh kind does not).
    EXPECT_TRUE(any([](const PolyBase &m) {
        return m.getType() != ElementCreator::MESH
            && m.getDrawColors().size() == m.getData(StageIdentifier::NO_STAGE)->vertices.size();
    }));
    // Deviations on a colour-mapped kind, every one inside the legend's range.
    double minimum = 0.0, maximum = 0.0;
    Vaq::Legend2::LegendHandler::getCurrent()->getLegendDataRange(minimum, maximum);
    EXPECT_TRUE(any([&](const PolyBase &m) {
        ElementClassification classification;
        ElementCreator::getElementClassification(m.getType(), &classification);
        const std::vector<float> &deviations = m.getData(StageIdentifier::NO_STAGE)->deviations;
        const auto [low, high] = std::minmax_element(deviations.begin(), deviations.end());
        return classification[ElementClassification::COLOR_MAPPED] && !deviations.empty() && *low >= minimum
            && *high <= maximum && *high - *low > 0.5 * (maximum - minimum);
    }));

    // Side by side: no two meshes overlap in the ground plane.
    std::vector<Box3d> boxes(meshes.size());
    for (std::size_t i = 0; i < meshes.size(); ++i)
        ASSERT_TRUE(meshes[i]->getBoundingBox(StageIdentifier::NO_STAGE, BBT_GEOMETRY, CCS_WORLD, boxes[i]));
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        for (std::size_t j = i + 1; j < boxes.size(); ++j) {
            const Box3d &a = boxes[i], &b = boxes[j];
            EXPECT_TRUE(a.getMax().x < b.getMin().x || b.getMax().x < a.getMin().x
                || a.getMax().y < b.getMin().y || b.getMax().y < a.getMin().y)
                << i << " and " << j;
        }
    }
}
