// RotationView: a view of one element turned a little about its vertical axis at every
// interactive repaint, as a user turns it, for the benchmarks of moving views. It keeps the
// picture drawn in full before the motion, so that a benchmark can check that a full repaint
// afterwards draws exactly that again.
#pragma once

#include "apps/scene/scene_element_list_callback.h"
#include "bench/median_reporter.h"
#include "gcad/host/gapp/vaq_gapp_view_widget_container.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/mesh/gcad_framerate_adjust.h"

#include <QImage>

#include <cmath>
#include <cstdio>
#include <memory>

namespace Vaq::Bench {

class RotationView
{
public:
    // Each interactive frame turns the view by this much about its vertical axis.
    static constexpr double STEP_RADIANS = 2.0 * M_PI / 180.0;

    // A view of size x size pixels showing element (not owned), drawn once in full.
    RotationView(CAD::Element *element, int size, const BaVec3d<double> &startRotation)
        : m_start(startRotation)
    {
        callback.show(element, CAD::StageIdentifier::NO_STAGE);
        view.reset(GL::RenderObject::createRenderObject(&callback, size, size));
        // As an application lists the views it opens: what they show stays on the GPU
        // between full repaints.
        GApp::ViewWidgetContainer::addView(view.get());
        GL::RenderCallback::setMasterRenderCallback(&callback);
        view->setRotation(m_start);
        view->repaintWidget(); // prepares and uploads what the element needs
        before = view->getRenderedImage();
    }
    ~RotationView()
    {
        GL::RenderCallback::setMasterRenderCallback(nullptr);
        GApp::ViewWidgetContainer::removeView(view.get());
    }
    RotationView(const RotationView &) = delete;
    RotationView &operator=(const RotationView &) = delete;

    // One interactive frame, one step further, with or without the frame-rate adjustment.
    void turn(bool adjust)
    {
        view->setFramerateAdjustAllowed(adjust);
        m_angle += STEP_RADIANS;
        view->setRotation({ m_start.x, m_start.y + m_angle, m_start.z });
        view->repaintWidget(GL::UpdateOptions(GL::UpdateOptions::US_VIEW, GL::UpdateOptions::UT_INTERACTIVE));
        view->waitForRendering();
    }

    // Back to where the motion started, drawn in full: the pixels that differ from the
    // picture before the motion.
    int differingFromStart()
    {
        view->setRotation(m_start);
        view->repaintWidget();
        return differingPixels(view->getRenderedImage(), before);
    }

    static int differingPixels(const QImage &a, const QImage &b)
    {
        if (a.size() != b.size())
            return a.width() * a.height();
        int count = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                count += a.pixel(x, y) != b.pixel(x, y);
        return count;
    }

    Gcad::Scene::ElementListCallback callback;
    std::unique_ptr<GL::RenderObject> view;
    QImage before;

private:
    BaVec3d<double> m_start;
    double m_angle = 0.0;
};

// Prints the frames per second of the full repaints (benchmark full) and of the turns with the
// frame-rate adjustment (benchmark adjusted), medians of reporter, and their ratio.
inline void printFrameRates(const MedianReporter &reporter, const char *full, const char *adjusted)
{
    double fullTime = 0.0, adjustedTime = 0.0;
    if (reporter.median(full, &fullTime) && reporter.median(adjusted, &adjustedTime))
        std::printf("frames per second, medians: in full %.2f, with frame-rate adjustment %.2f (%.1f x; the "
                    "adjustment aims at %.0f)\n",
            1000.0 / fullTime, 1000.0 / adjustedTime, fullTime / adjustedTime,
            GCAD::FramerateAdjust::TARGET_FRAME_RATE);
}

} // namespace Vaq::Bench
