// The mesh renderer's choices without GL: the render types a mesh's switches give, the order
// in which a moving view thins them out, and the render-time estimate from the benchmark rates.
#include "gcad/benchmark/gcad_benchmark_result.h"
#include "gcad/mesh/gcad_gl_node.h"
#include "gcad/mesh/gcad_mesh_render_types.h"
#include "gcad/renderers/gcad_r_mesh.h"
#include "tests/support/gcad_grid_mesh.h"
#include "tests/support/gcad_test_scene.h"
#include "tests/support/prog_error_message.h"

#include <gtest/gtest.h>

#include <memory>

using namespace Vaq;
using namespace Vaq::GCAD;
using CAD::ElementCreator;

namespace {

class MeshRendererChoices : public testing::Test
{
protected:
    std::vector<unsigned> typesOf(CAD::Element &mesh)
    {
        return renderer().setup({ &mesh, CAD::StageIdentifier::DEFAULT_DATASET }, {}, 1);
    }
    MeshRenderer &renderer()
    {
        return *static_cast<MeshRenderer *>(scene.findRenderer(ElementCreator::MESH));
    }

    Vaq::Test::TestScene scene;
};

TEST_F(MeshRendererChoices, SwitchesAndKindGiveOneSurfaceTypeThenTheLineTypesForMeshesWithRenderData)
{
    auto mesh = Vaq::Test::makeGridMesh(4, 4);
    CAD::ElemProp &p = *mesh->getElemProperties();
    p.showPoints = true;
    p.showTriangles = true;
    p.smooth = true;
    p.showEdges = true;
    EXPECT_EQ(typesOf(*mesh), std::vector<unsigned>({ 13, RT_EDGES }));

    p.showPoints = false;
    p.smooth = false;
    p.showMaterialSide = true; // without an offset surface: the back side
    p.showBoundary = true;
    mesh->setLines({ { { 0, 0, 0 }, { 1, 1, 0 } } });
    EXPECT_EQ(typesOf(*mesh),
        std::vector<unsigned>({ RT_TRIANGLES | RT_BACK_SIDE, RT_FEATURE_LINES, RT_BOUNDARY, RT_EDGES }));

    // Colours alone colour nothing.
    p.showTriangles = false;
    p.showEdges = false;
    p.colorMapEnabled = true;
    EXPECT_EQ(typesOf(*mesh), std::vector<unsigned>({ RT_FEATURE_LINES, RT_BOUNDARY }));

    // Scans have vertex colours, nominal meshes none.
    auto scan = Vaq::Test::makeGridMesh(4, 4, ElementCreator::MESH_SCAN);
    EXPECT_EQ(typesOf(*scan), std::vector<unsigned>({ RT_VERTEX_COLORS | RT_TRIANGLES | RT_SMOOTH }));
    auto nominal = Vaq::Test::makeGridMesh(4, 4, ElementCreator::MESH_NOMINAL);
    EXPECT_EQ(typesOf(*nominal), std::vector<unsigned>({ RT_TRIANGLES | RT_SMOOTH }));

    CAD::Element label(ElementCreator::LABEL, "label");
    CAD::PolyBase empty(ElementCreator::MESH, "empty");
    EXPECT_EQ(Vaq::Test::progErrorMessage([&] { typesOf(label); }), "wrong element type");
    EXPECT_EQ(Vaq::Test::progErrorMessage([&] { typesOf(empty); }), "no render data set");
}

TEST_F(MeshRendererChoices, AMovingViewLosesEdgesThenSurfacesThenPointDensityInKnownSteps)
{
    std::vector<unsigned> types { 13, RT_EDGES };
    unsigned stepping = 1;
    std::vector<std::pair<std::vector<unsigned>, unsigned>> steps;
    while (renderer().reduceRenderTime(&types, &stepping))
        steps.emplace_back(types, stepping);
    using V = std::vector<unsigned>;
    EXPECT_EQ(steps,
        (std::vector<std::pair<V, unsigned>> { { V { 13 }, 1 }, { V { 1 }, 1 }, { V { 1 }, 2 },
            { V { 1 }, 3 }, { V { 1 }, 4 }, { V { 1 }, 6 }, { V { 1 }, 8 } }));

    // The two-sided and offset surfaces go before the points; points keep the colouring.
    auto reduced = [&](V from, int times) {
        for (int i = 0; i < times; ++i)
            EXPECT_TRUE(renderer().reduceRenderTime(&from, &stepping));
        return from;
    };
    const V coloured { RT_TRIANGLES | RT_BACK_SIDE | RT_VERTEX_COLORS, RT_TRIANGLES | RT_MATERIAL_OFFSET };
    EXPECT_EQ(
        reduced(coloured, 1), V({ RT_TRIANGLES | RT_VERTEX_COLORS, RT_TRIANGLES | RT_MATERIAL_OFFSET }));
    EXPECT_EQ(reduced(coloured, 3), V({ RT_POINTS | RT_VERTEX_COLORS }));
    EXPECT_EQ(reduced({ RT_TRIANGLES | RT_COLOR_MAP }, 1), V({ RT_POINTS | RT_COLOR_MAP }));
    std::vector<unsigned> points { RT_POINTS | RT_VERTEX_COLORS };
    stepping = 5;
    EXPECT_EQ(Vaq::Test::progErrorMessage([&] { renderer().reduceRenderTime(&points, &stepping); }),
        "wrong stepping");
}

TEST_F(MeshRendererChoices, TimeComesFromTheRatesAndCountsClientDataThreeTimes)
{
    auto mesh = Vaq::Test::makeGridMesh(11, 11, ElementCreator::MESH, 0.0, 40);
    typesOf(*mesh);
    const BenchmarkResult rates; // no stored result: the defaults
    const double triangles = 200, points = 121, edges = 300;
    const double allThree = 3 * triangles / rates.getTwosidedTriangleStats(true, false)
        + 3 * points / rates.getPointStats(true, false, 4) + 3 * edges / rates.getEdgeStats(true, false);
    EXPECT_DOUBLE_EQ(renderer().estimateRenderTime(
                         { RT_TRIANGLES | RT_BACK_SIDE | RT_SMOOTH | RT_POINTS, RT_EDGES | RT_SMOOTH }, 4),
        allThree);

    // A leaf known to lie outside this view does not count.
    const std::vector<CAD::BspNode *> &leaves = Vaq::Test::leavesOf(*mesh);
    ASSERT_GT(leaves.size(), 1u);
    GLNode hidden(CAD::StageIdentifier::DEFAULT_DATASET, leaves[0]);
    hidden.setVisibleInView(&scene, false);
    const double without = 3.0
        * (leaves[0]->numVisibleTriangles(CAD::PM_WITHOUT_PREVIEW)
            + leaves[0]->numVisibleOverlapTriangles(CAD::PM_WITHOUT_PREVIEW))
        / rates.getSinglesidedTriangleStats(false, false);
    EXPECT_DOUBLE_EQ(renderer().estimateRenderTime({ RT_TRIANGLES }, 1),
        3 * triangles / rates.getSinglesidedTriangleStats(false, false) - without);
}

} // namespace
