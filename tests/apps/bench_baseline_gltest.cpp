// The baseline of gcad bench must draw the picture the library draws, or its rates are not
// a measure of the library's drawing: each test of the benchmark, drawn by the library's
// mesh renderer and by the plain buffers, at two turns of the view, in every shading mode.
#include "apps/gcad/gcad_bench_baseline.h"
#include "gcad/gcad_library.h"
#include "gcad/host/cfg/vaq_cfg_node.h"
#include "gcad/host/gapp/vaq_gapp_command_container.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/host/gl/vaq_gl_update_options.h"
#include "gcad/mesh/gcad_framerate_adjust.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

using namespace Vaq;
using namespace Vaq::GCAD;

namespace {

constexpr int SIZE = 96;
constexpr double TURN = 0.6283185307179586;

// Pixels whose colours differ by more than one step in a channel (rounding of the lights).
int differingPixels(const QImage &a, const QImage &b)
{
    int differing = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (std::abs(qRed(p) - qRed(q)) > 1 || std::abs(qGreen(p) - qGreen(q)) > 1
                || std::abs(qBlue(p) - qBlue(q)) > 1)
                ++differing;
        }
    }
    return differing;
}

// Pixels drawn in one picture and left black in the other.
int differentlyCoveredPixels(const QImage &a, const QImage &b)
{
    int differing = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x)
            differing += (qGray(a.pixel(x, y)) == 0) != (qGray(b.pixel(x, y)) == 0);
    }
    return differing;
}

enum class Measurement { SURFACE, TWO_SIDED_SURFACE, EDGES, POINTS };

class BenchBaselineTest : public testing::Test
{
protected:
    void SetUp() override
    {
        InitDefaults(&m_node);
        InitLibrary(&m_node);
        for (BenchmarkRCB *callback : { &m_library, static_cast<BenchmarkRCB *>(&m_baseline) })
            callback->createTestData(21);
        m_library_view.reset(GL::RenderObject::createRenderObject(&m_library, SIZE, SIZE));
        m_baseline_view.reset(GL::RenderObject::createRenderObject(&m_baseline, SIZE, SIZE));
        FramerateAdjust::getInstance()->setFixed(true);
        FramerateAdjust::getInstance()->setFixedStepping(1);
    }
    void TearDown() override
    {
        FramerateAdjust::getInstance()->setFixed(false);
        GL::RenderCallback::setMasterRenderCallback(nullptr);
        m_library_view.reset();
        m_baseline_view.reset();
        GApp::CommandContainer::deleteAll(); // the application owns the library's commands
        CloseLibrary();
        CloseDefaults(&m_node);
    }

    // Both pictures of a test of the benchmark at two turns of the view.
    void expectSamePicture(bool smooth, bool color, Measurement test)
    {
        for (double turn : { 0.0, 2 * TURN }) {
            SCOPED_TRACE(testing::Message()
                << "smooth " << smooth << " color " << color << " test " << int(test) << " turn " << turn);
            const QImage library = draw(&m_library, *m_library_view, smooth, color, test, turn);
            const QImage baseline = draw(&m_baseline, *m_baseline_view, smooth, color, test, turn);
            ASSERT_FALSE(library.isNull());
            ASSERT_EQ(library.size(), baseline.size());
            QImage black(library.size(), library.format());
            black.fill(Qt::black);
            ASSERT_GT(differentlyCoveredPixels(library, black), 0) << "the library drew nothing";
            switch (test) {
            case Measurement::SURFACE:
            case Measurement::TWO_SIDED_SURFACE:
                EXPECT_EQ(differingPixels(library, baseline), 0);
                break;
            case Measurement::POINTS:
                // After flat surfaces the leaves keep their triangle normals for the points,
                // so only where the points lie must agree.
                EXPECT_EQ(differentlyCoveredPixels(library, baseline), 0);
                break;
            case Measurement::EDGES:
                // An edge two triangles share is drawn twice at the same depth, so the
                // order of drawing decides which of the two blends into some pixels.
                EXPECT_LT(differentlyCoveredPixels(library, baseline), SIZE * SIZE / 100);
                break;
            }
        }
    }

private:
    static QImage draw(BenchmarkRCB *callback, GL::RenderObject &view, bool smooth, bool color,
        Measurement test, double turn)
    {
        callback->setColor(color);
        CAD::ElemProp &properties = *callback->getMesh()->getElemProperties();
        properties.pointSize = 2.0;
        properties.smooth = smooth;
        properties.showTriangles = test == Measurement::SURFACE || test == Measurement::TWO_SIDED_SURFACE;
        properties.showMaterialSide = test == Measurement::TWO_SIDED_SURFACE;
        properties.showEdges = test == Measurement::EDGES;
        properties.showPoints = test == Measurement::POINTS;
        properties.showBoundary = false;
        // The frame-rate plan, which both draw, is made for the master view.
        GL::RenderCallback::setMasterRenderCallback(callback);
        view.setRotation(BaVec3d<double>(0.0, turn, 0.0));
        view.repaintWidget(GL::UpdateOptions(GL::UpdateOptions::US_ALL, GL::UpdateOptions::UT_BENCHMARK));
        view.waitForRendering();
        return view.getRenderedImage();
    }

    Cfg::CfgNode m_node;
    BenchmarkRCB m_library;
    Gcad::BaselineRCB m_baseline;
    std::unique_ptr<GL::RenderObject> m_library_view;
    std::unique_ptr<GL::RenderObject> m_baseline_view;
};

} // namespace

TEST_F(BenchBaselineTest, drawsEveryTestAsTheLibraryDoes)
{
    for (bool smooth : { false, true }) {
        for (bool color : { false, true }) {
            for (Measurement test : { Measurement::SURFACE, Measurement::TWO_SIDED_SURFACE,
                     Measurement::EDGES, Measurement::POINTS })
                expectSamePicture(smooth, color, test);
        }
    }
}
