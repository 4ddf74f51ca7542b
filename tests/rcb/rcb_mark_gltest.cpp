// Marking on a real view: a marked mesh is drawn in the marking colour (not in snapshots),
// each operation says whether it changed something and repaints only then, and bad calls are
// refused before anything changes.
#include "gcad/host/fig2/vaq_fig2_snapshot_data.h"
#include "gcad/host/fig2/vaq_fig2_snapshot_frame.h"
#include "gcad/mesh/gcad_gl_node_container.h"
#include "tests/support/gcad_gl_test.h"
#include "tests/support/gcad_grid_mesh.h"
#include "tests/support/prog_error_message.h"

#include <QImage>

using namespace Vaq;

namespace {

const Color RED(255, 0, 0), BLUE(0, 0, 255);

class Marking : public Vaq::Test::GLTest
{
protected:
    void SetUp() override
    {
        Vaq::Test::GLTest::SetUp();
        mesh = Vaq::Test::makeGridMesh(8, 8);
        other = Vaq::Test::makeGridMesh(4, 4, CAD::ElementCreator::MESH, -0.5);
        scene.show(mesh.get(), Vaq::Test::STAGE);
        scene.show(other.get(), Vaq::Test::STAGE);
        view->setRotation(BaVec3d<double>(0.3, 0.2, 0.0)); // away from the head-on highlight
        view->repaintWidget();
    }
    // How many repaints have run so far.
    std::size_t repaints() const
    {
        std::size_t count = 0;
        for (const auto &[stage, done] : scene.drawResults)
            count += stage == GL::RenderObject::RS_SETUP;
        return count;
    }
    QColor centre(const GL::UpdateOptions &options = GL::UpdateOptions())
    {
        view->repaintWidget(options);
        const BaVec2d<double> p = pixelOf(BaVec3d<double>(0.5, 0.5, 0.0));
        return view->getRenderedImage().pixelColor(int(p.x), H - 1 - int(p.y));
    }
    static bool isRed(const QColor &c) { return c.red() > c.green() + 60 && c.red() > c.blue() + 60; }
    static bool isBlue(const QColor &c) { return c.blue() > c.green() + 60 && c.blue() > c.red() + 60; }

    GCAD::GLNodeContainer nodes; // the library's shared mesh nodes
    std::unique_ptr<CAD::PolyBase> mesh, other;
};

TEST_F(Marking, aMarkedMeshShowsTheColourAndMarkingAgainInTheSameColourChangesNothing)
{
    EXPECT_FALSE(isRed(centre()));
    std::size_t before = repaints();
    EXPECT_TRUE(scene.markElement(mesh.get(), RED));
    EXPECT_EQ(repaints(), before + 1);
    EXPECT_TRUE(mesh->isElementHighlighted());
    EXPECT_TRUE(isRed(centre()));

    before = repaints();
    EXPECT_FALSE(scene.markElement(mesh.get(), RED));
    EXPECT_EQ(repaints(), before);
    EXPECT_TRUE(scene.markElement(mesh.get(), BLUE));
    EXPECT_TRUE(isBlue(centre()));

    // A snapshot shows the element's own colours.
    EXPECT_FALSE(
        isBlue(centre(GL::UpdateOptions(GL::UpdateOptions::US_ALL, GL::UpdateOptions::UT_SNAPSHOT))));
    // So does a snapshot document drawn in the view's own buffers; the view, drawn again
    // before it is read, shows the marking again.
    bool ok = false;
    const std::unique_ptr<Fig2::SnapshotData> snapshot = scene.createSnapshot(&ok);
    ASSERT_TRUE(ok);
    const auto *frame
        = static_cast<const Fig2::SnapshotFrame *>(snapshot->getFigure().getRoot().getChildren().front());
    const BaVec2d<double> p = pixelOf(BaVec3d<double>(0.5, 0.5, 0.0));
    EXPECT_FALSE(isBlue(frame->getImage().pixelColor(int(p.x), H - 1 - int(p.y))));
    EXPECT_TRUE(isBlue(view->getRenderedImage().pixelColor(int(p.x), H - 1 - int(p.y))));

    EXPECT_TRUE(scene.unmarkElement(mesh.get()));
    EXPECT_FALSE(mesh->isElementHighlighted());
    EXPECT_FALSE(isBlue(centre()));
    EXPECT_FALSE(scene.unmarkElement(mesh.get()));
}

TEST_F(Marking, aScanDrawnInItsOwnColoursShowsTheMarkingColourToo)
{
    scene.entries.clear();
    std::unique_ptr<CAD::PolyBase> scan = Vaq::Test::makeGridMesh(8, 8, CAD::ElementCreator::MESH_SCAN);
    scene.show(scan.get(), Vaq::Test::STAGE);
    EXPECT_FALSE(isRed(centre()));
    EXPECT_TRUE(scene.markElement(scan.get(), RED));
    EXPECT_TRUE(isRed(centre()));
    EXPECT_TRUE(scene.unmarkElement(scan.get()));
    EXPECT_FALSE(isRed(centre()));
    scene.entries.clear();
}

TEST_F(Marking, markingSeveralReportsTheLowestRenderLevelAndAlwaysRepaints)
{
    EXPECT_EQ(Vaq::Test::progErrorMessage([&] {
        scene.markElements({ mesh.get(), other.get() }, { RED }, nullptr);
    }),
        "Wrong size for vectors!");
    Color color;
    EXPECT_FALSE(scene.isElementMarked(mesh.get(), &color));

    unsigned level = CAD::RL_FOREGROUND;
    EXPECT_TRUE(scene.markElements({ other.get(), mesh.get() }, { RED, BLUE }, &level));
    EXPECT_EQ(level, unsigned(CAD::RL_SCENE));
    ASSERT_TRUE(scene.isElementMarked(other.get(), &color));
    EXPECT_EQ(color, RED);

    std::size_t before = repaints();
    level = CAD::RL_FOREGROUND;
    EXPECT_FALSE(scene.markElements({ other.get(), mesh.get() }, { RED, BLUE }, &level));
    EXPECT_EQ(repaints(), before + 1);
    EXPECT_EQ(level, unsigned(CAD::RL_FOREGROUND));

    level = CAD::RL_FOREGROUND;
    EXPECT_TRUE(scene.unmarkElements({ mesh.get() }, &level));
    EXPECT_EQ(level, unsigned(CAD::RL_SCENE));
    EXPECT_TRUE(scene.unmarkElement());
    EXPECT_FALSE(scene.isElementMarked(other.get(), nullptr));
    before = repaints();
    EXPECT_FALSE(scene.unmarkElement());
    EXPECT_EQ(repaints(), before);
}

TEST_F(Marking, pointsAreMarkedOnlyWhereTheElementAllowsIt)
{
    EXPECT_EQ(Vaq::Test::progErrorMessage([&] {
        scene.markPointOfElement(mesh.get(), { 1, 2 }, RED);
    }),
        "highlight of points not possible");
    mesh->setHighlightOfPointsPossible(true);
    EXPECT_TRUE(scene.markPointOfElement(mesh.get(), { 1, 2 }, RED));
    EXPECT_FALSE(scene.markPointOfElement(mesh.get(), { 1, 2 }, RED));
    EXPECT_TRUE(scene.unmarkPointOfElement(mesh.get(), { 2 }));
    EXPECT_FALSE(scene.unmarkPointOfElement(mesh.get(), { 2 }));
    EXPECT_TRUE(scene.unmarkPointOfElement(mesh.get()));
    EXPECT_EQ(mesh->getNumberOfHighlightedPoints(), 0u);
}

TEST_F(Marking, aDestroyedMarkedElementLeavesTheMarking)
{
    EXPECT_TRUE(scene.markElement(other.get(), RED));
    scene.entries.pop_back();
    other.reset();
    EXPECT_FALSE(scene.unmarkElement());
}

} // namespace
