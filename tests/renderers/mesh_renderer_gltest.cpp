// The mesh renderer on a real view: occlusion queries (behind other elements and behind the
// mesh's own nearer leaves), culling against the view, the wait cursor, legend changes that
// force the nodes to be rebuilt, and nodes shared by views.
#include "gcad/host/cad/vaq_cad_mesh_cylinder_fit.h"
#include "gcad/host/fig2/vaq_fig2_legend_handler.h"
#include "gcad/host/gapp/vaq_gapp_view_widget_container.h"
#include "gcad/mesh/gcad_buffer_name_pool.h"
#include "gcad/mesh/gcad_gl_node.h"
#include "gcad/mesh/gcad_gl_node_container.h"
#include "gcad/mesh/gcad_mesh_render_types.h"
#include "gcad/renderers/gcad_r_mesh.h"
#include "tests/support/gcad_driver_guard.h"
#include "tests/support/gcad_gl_test.h"
#include "tests/support/gcad_grid_mesh.h"
#include "tests/support/prog_error_message.h"

#include <QGuiApplication>

#include <algorithm>
#include <memory>

using namespace Vaq;
using namespace Vaq::GCAD;
using CAD::ElementCreator;
using Vaq::Test::appendGrid;
using Vaq::Test::DriverGuard;
using Vaq::Test::leavesOf;
using Vaq::Test::makeGridMesh;
using Vaq::Test::STAGE;

namespace {

GLNode *nodeOf(const CAD::BspNode *leaf)
{
    return static_cast<GLNode *>(leaf->getNodeRenderData());
}

class MeshRendering : public Vaq::Test::GLTest
{
protected:
    void TearDown() override
    {
        nodes.deleteAllNodes();
        Vaq::Test::GLTest::TearDown();
    }

    MeshRenderer &renderer()
    {
        return *static_cast<MeshRenderer *>(scene.findRenderer(ElementCreator::MESH));
    }
    CAD::PolyBase *show(std::unique_ptr<CAD::PolyBase> mesh)
    {
        meshes.push_back(std::move(mesh));
        scene.show(meshes.back().get(), STAGE);
        return meshes.back().get();
    }
    QImage paint()
    {
        view->repaintWidget();
        return view->getRenderedImage();
    }

    GLNodeContainer nodes;
    std::vector<std::unique_ptr<CAD::PolyBase>> meshes;
};

TEST_F(MeshRendering, OcclusionQueriesLeaveOutLeavesBehindAWallFromTheSecondFrameAndDrawTheSame)
{
    GCAD_SKIP_WITHOUT(occlusionQuery);
    auto grid = makeGridMesh(60, 60, ElementCreator::MESH, 0.0, 200);
    // The wall's right edge goes through the widest gap between the leaves' right ends
    // near the middle, so that each leaf is clearly behind it or clearly sticks out.
    std::vector<double> ends;
    for (const CAD::BspNode *leaf : leavesOf(*grid))
        ends.push_back(leaf->getBoundingBox(CAD::BBT_GEOMETRY).getMax().x);
    std::sort(ends.begin(), ends.end());
    double edge = 0.0, widest = 0.0;
    for (std::size_t i = 1; i < ends.size(); ++i) {
        if (ends[i] - ends[i - 1] > widest && ends[i - 1] > 0.2 && ends[i] < 0.9) {
            widest = ends[i] - ends[i - 1];
            edge = (ends[i] + ends[i - 1]) / 2;
        }
    }
    ASSERT_GT(widest, 0.04) << "a gap of several pixels";
    const unsigned uncovered
        = unsigned(std::count_if(ends.begin(), ends.end(), [edge](double x) { return x > edge; }));
    ASSERT_GT(uncovered, 0u);
    ASSERT_LT(uncovered, ends.size());

    // The viewer looks along -z: the wall is in front of the grid.
    std::unique_ptr<CAD::Element> wall(
        Vaq::Test::makeElement(ElementCreator::LABEL, "wall", -0.1, -0.1, edge, 1.1, 0.5, Color(255, 0, 0)));
    scene.getRendererContainer().registerRenderer(
        new Vaq::Test::QuadRenderer(&scene, { ElementCreator::LABEL }));
    scene.show(wall.get(), STAGE);
    CAD::PolyBase *mesh = show(std::move(grid));
    paint();
    const QImage plain = paint();
    EXPECT_FALSE(renderer().isOcclusionMode());

    // Software rendering never uses queries; the test takes llvmpipe for hardware.
    const DriverGuard hardware("VAQ_GL_SOFTWARE_RENDERING", "0");
    paint(); // the first frame with queries asks them for every leaf
    renderer().resetLeafCounters();
    EXPECT_EQ(paint(), plain);
    EXPECT_TRUE(renderer().isOcclusionMode());
    EXPECT_EQ(renderer().getDrawnLeaves(), uncovered);
    for (const CAD::BspNode *leaf : leavesOf(*mesh))
        EXPECT_EQ(
            nodeOf(leaf)->isVisibleInView(&scene), leaf->getBoundingBox(CAD::BBT_GEOMETRY).getMax().x > edge);

    // Queries only pay off for more than 2000 visible points.
    auto small = makeGridMesh(40, 50); // 2000 points
    auto large = makeGridMesh(23, 87); // 2001
    renderer().setup({ small.get(), STAGE }, {}, 1);
    EXPECT_FALSE(renderer().isOcclusionMode());
    renderer().setup({ large.get(), STAGE }, {}, 1);
    EXPECT_TRUE(renderer().isOcclusionMode());
}

TEST_F(MeshRendering, OcclusionQueriesLeaveOutLeavesHiddenBehindNearerLeavesOfTheSameMesh)
{
    GCAD_SKIP_WITHOUT(occlusionQuery);
    // Two sheets of 40 x 40 vertices, each split into several leaves: a near one over the unit
    // square and, well behind it, a smaller far one that it hides entirely. The viewer looks
    // along -z.
    std::vector<BaVec3d<double>> vertices;
    std::vector<CAD::Triangle> triangles;
    const unsigned n = 40;
    appendGrid(vertices, triangles, n, n, 2.0);
    appendGrid(vertices, triangles, n, n, 0.0, 0.1, 0.9);
    auto sheets = std::make_unique<CAD::PolyBase>(ElementCreator::MESH, QStringLiteral("sheets"));
    sheets->setMesh(std::move(vertices), std::move(triangles));
    sheets->computeNormals();
    sheets->needsNoBoundary(true);
    sheets->setMaxLeafVertices(400);
    sheets->updateVisualization(STAGE, false, false);
    CAD::PolyBase *mesh = show(std::move(sheets));
    unsigned nearLeaves = 0;
    for (const CAD::BspNode *leaf : leavesOf(*mesh)) {
        const Box3d &box = leaf->getBoundingBox(CAD::BBT_GEOMETRY);
        ASSERT_TRUE(box.getMin().z == box.getMax().z) << "every leaf on one sheet";
        nearLeaves += box.getMin().z > 1.0;
    }
    ASSERT_GT(nearLeaves, 1u);
    ASSERT_LT(nearLeaves, leavesOf(*mesh).size() - 1);

    // The near leaves go first, so that the far ones' queries find them covered.
    const DriverGuard hardware("VAQ_GL_SOFTWARE_RENDERING", "0");
    paint();
    renderer().resetLeafCounters();
    paint();
    EXPECT_TRUE(renderer().isOcclusionMode());
    EXPECT_EQ(renderer().getDrawnLeaves(), nearLeaves);
    for (const CAD::BspNode *leaf : leavesOf(*mesh))
        EXPECT_EQ(
            nodeOf(leaf)->isVisibleInView(&scene), leaf->getBoundingBox(CAD::BBT_GEOMETRY).getMin().z > 1.0);
}

TEST_F(MeshRendering, LeavesOutsideTheViewAreNeitherPreparedNorDrawn)
{
    CAD::PolyBase *mesh = show(makeGridMesh(40, 40, ElementCreator::MESH, 0.0, 150));
    // Zoomed in on the lower left corner of the grid.
    view->setScale(0.3);
    view->setTranslation({ 0.35, 0.35, 0.0 });
    paint();
    unsigned inside = 0;
    for (const CAD::BspNode *leaf : leavesOf(*mesh)) {
        const bool outside = leaf->isOutside(view->get3d2dTransformation(), W, H);
        EXPECT_EQ(nodeOf(leaf) == nullptr, outside);
        inside += !outside;
    }
    ASSERT_GT(inside, 0u);
    ASSERT_LT(inside, leavesOf(*mesh).size());
    EXPECT_EQ(renderer().getPreparedLeaves(), inside);
    EXPECT_EQ(renderer().getDrawnLeaves(), inside);
}

TEST_F(MeshRendering, ManyLeavesToPrepareShowTheWaitCursorUntilFinished)
{
    CAD::PolyBase *mesh = show(makeGridMesh(60, 60, ElementCreator::MESH, 0.0, 100));
    paint(); // fits the view to the mesh and prepares every leaf
    ASSERT_GT(leavesOf(*mesh).size(), 26u);
    for (bool pending : { false, true }) {
        if (pending)
            nodes.deleteAllNodes();
        view->makeCurrent();
        renderer().setup({ mesh, STAGE }, {}, 1);
        renderer().draw(); // outside a repaint a step prepares nothing
        EXPECT_EQ(QGuiApplication::overrideCursor() != nullptr, pending);
        renderer().finish();
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    }
}

TEST_F(MeshRendering, ALegendChangeRebuildsTheNodesOfColourMappedMeshes)
{
    CAD::PolyBase *mesh = show(makeGridMesh(30, 30, ElementCreator::MESH_COLOR_MAPPED, 0.0, 200));
    std::vector<float> deviations(900);
    for (std::size_t i = 0; i < deviations.size(); ++i)
        deviations[i] = float(i % 30) / 30.0f - 0.5f;
    mesh->setDeviations(deviations);
    mesh->updateVisualization(STAGE, false, false);
    Legend2::ColorMap &colors = Legend2::LegendHandler::getInstance()->getColorMap();
    colors.setDataRange(-0.5, 0.5);

    const QImage before = paint();
    renderer().resetLeafCounters();
    EXPECT_EQ(paint(), before);
    EXPECT_EQ(renderer().getPreparedLeaves(), 0u);

    colors.setDataRange(-1.0, 1.0); // the default again
    const QImage after = paint();
    EXPECT_EQ(renderer().getPreparedLeaves(), leavesOf(*mesh).size());
    EXPECT_NE(after, before);
}

TEST_F(MeshRendering, AFittedCylinderIsShownOverTheSceneInItsColourAndAMeshWithoutOneShowsNothingThere)
{
    CAD::PolyBase *plain = show(makeGridMesh(10, 10, ElementCreator::MESH_CYLINDER_FIT));
    plain->setAdditionalRenderLevel(CAD::RL_FOREGROUND);
    // A foreground label asks the mesh renderer while render stage 2 is drawn.
    auto *probe = new Vaq::Test::QuadRenderer(&scene, { ElementCreator::LABEL });
    scene.getRendererContainer().registerRenderer(probe);
    std::unique_ptr<CAD::Element> label(Vaq::Test::makeElement(ElementCreator::LABEL, "label", 0, 0, 1, 1));
    label->setRenderLevel(CAD::RL_FOREGROUND);
    label->getElemProperties()->color = Color(0, 0, 0);
    scene.show(label.get(), STAGE);
    std::vector<unsigned> foreground { 1 };
    probe->onStep = [&](Vaq::Test::QuadRenderer &) {
        foreground = renderer().setup({ plain, STAGE }, {}, 1);
        renderer().finish();
    };
    paint();
    EXPECT_TRUE(foreground.empty());

    // The unit square, and in it a green cylinder of radius 0.25 seen along its axis: its rim
    // in green over the yellow mesh, 0.25 from the centre, and the mesh inside.
    probe->onStep = nullptr;
    scene.entries.clear();
    auto fitted = std::make_unique<CAD::MeshCylinderFit>(QStringLiteral("fit"));
    fitted->setMesh({ { 0, 0, 0 }, { 1, 0, 0 }, { 1, 1, 0 }, { 0, 1, 0 } }, { { 0, 1, 2 }, { 0, 2, 3 } });
    fitted->computeNormals();
    fitted->needsNoBoundary(true);
    fitted->updateVisualization(STAGE, false, false);
    fitted->setCylinder(Cylinder3d({ 0.5, 0.5, 0.0 }, { 0, 0, 1 }, 0.25, 0.1));
    fitted->getElemProperties()->color = Color(0, 255, 0);
    show(std::move(fitted));
    const QImage image = paint();
    const auto at = [&](const BaVec3d<double> &p) {
        const BaVec2d<double> pixel = pixelOf(p);
        return image.pixelColor(int(pixel.x), H - 1 - int(pixel.y));
    };
    for (const BaVec3d<double> &rim : { BaVec3d<double>(0.75, 0.5, 0), BaVec3d<double>(0.5, 0.25, 0) }) {
        EXPECT_GT(at(rim).green(), 150);
        EXPECT_LT(at(rim).red(), 100);
    }
    EXPECT_GT(at({ 0.5, 0.5, 0 }).red(), 100);
    EXPECT_GT(at({ 0.1, 0.1, 0 }).red(), 100);
}

// Lists a view with the application for the length of a test, as its widget would be.
struct ListedView
{
    explicit ListedView(GL::RenderObject *v)
        : view(v)
    {
        GApp::ViewWidgetContainer::addView(view);
    }
    ~ListedView() { GApp::ViewWidgetContainer::removeView(view); }
    GL::RenderObject *view;
};

TEST_F(MeshRendering, ClosingAViewDropsOnlyTheNodesNoOtherViewDraws)
{
    const ListedView listed(view.get());
    CAD::PolyBase *shared = show(makeGridMesh(30, 30, ElementCreator::MESH, 0.0, 100));
    auto own = makeGridMesh(20, 20, ElementCreator::MESH, 0.0, 100);
    auto otherScene = std::make_unique<Vaq::Test::TestScene>();
    otherScene->show(shared, STAGE);
    otherScene->show(own.get(), STAGE);
    std::unique_ptr<GL::RenderObject> otherView(GL::RenderObject::createRenderObject(otherScene.get(), W, H));
    auto otherListed = std::make_unique<ListedView>(otherView.get());
    const auto prepared = [](Vaq::Test::TestScene &s) {
        return static_cast<MeshRenderer *>(s.findRenderer(ElementCreator::MESH))->getPreparedLeaves();
    };

    paint();
    otherView->repaintWidget();
    const std::size_t sharedLeaves = leavesOf(*shared).size();
    EXPECT_EQ(prepared(scene), sharedLeaves);
    EXPECT_EQ(prepared(*otherScene), leavesOf(*own).size()); // the shared mesh's nodes were there
    ASSERT_EQ(nodes.getNumberOfNodes(), sharedLeaves + leavesOf(*own).size());

    // The widget goes first, then its callback: what only it drew goes, with the pooled names.
    otherListed.reset();
    otherView.reset();
    EXPECT_EQ(nodes.getNumberOfNodes(), sharedLeaves);
    EXPECT_TRUE(BufferNamePool::getNames().empty());
    otherScene.reset();
    renderer().resetLeafCounters();
    paint();
    EXPECT_EQ(prepared(scene), 0u);
    EXPECT_EQ(nodes.getNumberOfNodes(), sharedLeaves);
}

} // namespace
