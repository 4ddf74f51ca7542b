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
#include "tests/support/gcad_driver_guard.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

using namespace Vaq;
using namespace Vaq::GCAD;

namespace {

constexpr int SIZE = 96;
constexpr double TURN = 0.6283185307179586;

// Pixels at which differ(a's colour, b's colour) holds.
template<typename F> int countPixels(const QImage &a, const QImage &b, F differ)
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x)
            count += differ(a.pixel(x, y), b.pixel(x, y));
    }
    return count;
}

// More than one step in a channel (rounding of the lights).
bool colourDiffers(QRgb p, QRgb q)
{
    return std::abs(qRed(p) - qRed(q)) > 1 || std::abs(qGreen(p) - qGreen(q)) > 1
        || std::abs(qBlue(p) - qBlue(q)) > 1;
}

// Drawn in one picture and left black in the other.
bool coverageDiffers(QRgb p, QRgb q)
{
    return (qGray(p) == 0) != (qGray(q) == 0);
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
    GCAD_SKIP_WITHOUT(bufferObjects);
    for (int mode = 0; mode < 4; ++mode) {
        for (Measurement test : { Measurement::SURFACE, Measurement::TWO_SIDED_SURFACE, Measurement::EDGES,
                 Measurement::POINTS }) {
            for (double turn : { 0.0, 2 * TURN, 5 * TURN }) {
                SCOPED_TRACE(
                    testing::Message() << "mode " << mode << " test " << int(test) << " turn " << turn);
                const bool smooth = mode & 2, color = mode & 1;
                const QImage library = draw(&m_library, *m_library_view, smooth, color, test, turn);
                const QImage baseline = draw(&m_baseline, *m_baseline_view, smooth, color, test, turn);
                ASSERT_EQ(library.size(), baseline.size());
                ASSERT_GT(countPixels(library, library, [](QRgb p, QRgb) { return qGray(p) != 0; }), 0)
                    << "the library drew nothing";
                if (test == Measurement::EDGES) {
                    // An edge two triangles share is drawn twice at the same depth, so the
                    // order of drawing decides which of the two blends into some pixels.
                    EXPECT_LT(countPixels(library, baseline, coverageDiffers), SIZE * SIZE / 100);
                } else if (test == Measurement::POINTS) {
                    // After flat surfaces the leaves keep their triangle normals for the points,
                    // so only where the points lie must agree.
                    EXPECT_EQ(countPixels(library, baseline, coverageDiffers), 0);
                } else {
                    EXPECT_EQ(countPixels(library, baseline, colourDiffers), 0);
                }
            }
        }
    }
}
