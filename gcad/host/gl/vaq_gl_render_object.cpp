#include "gcad/host/gl/vaq_gl_render_object.h"

#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/base/vaq_trace.h"
#include "gcad/host/gl/vaq_gl_api.h"
#include "gcad/host/gl/vaq_gl_context.h"
#include "gcad/host/gl/vaq_gl_extensions.h"
#include "gcad/host/gl/vaq_gl_frame_buffer.h"
#include "gcad/host/gl/vaq_gl_render_callback.h"
#include "gcad/host/gl/vaq_gl_snapshot_target.h"
#include "gcad/host/gl/vaq_gl_standard_light.h"
#include "gcad/host/gl/vaq_gl_stencil_handler.h"
#include "gcad/host/gl/vaq_gl_tools.h"
#include "gcad/host/gl/vaq_gl_view_creator.h"
#include "gcad/host/gl/vaq_gl_widget_options.h"

#include <QCoreApplication>
#include <QPainter>

#include <algorithm>
#include <utility>

namespace Vaq::GL {

RenderObject *RenderObject::_main_render_object = nullptr;

namespace {

// How often a repaint lets pending events run between its draw steps.
constexpr qint64 EVENT_INTERVAL_MS = 10;

// Views whose repaint was asked for while another repaint ran; run when it ends.
std::vector<RenderObject *> &pendingRepaints()
{
    static std::vector<RenderObject *> pending;
    return pending;
}

bool _repaint_running = false;

} // namespace

RenderObject *RenderObject::createRenderObject(
    RenderCallback *callback, int width, int height, ViewCreator *creator)
{
    if (!callback)
        VAQ_PROG_ERROR("Vaq::GL::RenderObject::createRenderObject", "no render callback");
    if (callback->getRenderObject())
        VAQ_PROG_ERROR("Vaq::GL::RenderObject::createRenderObject", "render callback already has a view");
    GLContext::getInstance();
    return new RenderObject(callback, creator, width, height);
}

RenderObject::RenderObject(RenderCallback *callback, ViewCreator *creator, int width, int height)
    : m_callback(callback)
    , m_creator(creator)
    , m_frame_buffer(std::make_unique<FrameBuffer>())
{
    QString error;
    if (!m_frame_buffer->create(width, height, &error))
        VAQ_PROG_ERROR("Vaq::GL::RenderObject::RenderObject", error);
    m_camera.setViewportSize(width, height);
    m_stencil_handler = std::make_unique<StencilHandlerBase>(m_frame_buffer.get());
    if (m_creator)
        m_background = m_creator->getBackgroundColor();
    if (!_main_render_object)
        _main_render_object = this;
    m_callback->setRenderObject(this);
    if (m_creator && !m_creator->getRenderCallback())
        m_creator->setRenderCallback(m_callback);
    if (!m_callback->getViewCreator())
        m_callback->setViewCreator(m_creator);
    m_callback->setupRenderCallback();
}

RenderObject::~RenderObject()
{
    auto &pending = pendingRepaints();
    pending.erase(std::remove(pending.begin(), pending.end(), this), pending.end());
    if (_main_render_object == this)
        _main_render_object = nullptr;
    if (m_callback) {
        if (GLContext::tryGetInstance(nullptr))
            m_callback->widgetAboutToBeDestroyed();
        m_callback->setRenderObject(nullptr);
    }
}

RenderObject *RenderObject::getMainRenderObject()
{
    return _main_render_object;
}

void RenderObject::setMainRenderObject(RenderObject *renderObject)
{
    _main_render_object = renderObject;
}

void RenderObject::resize(int width, int height)
{
    if (m_repainting)
        VAQ_PROG_ERROR("Vaq::GL::RenderObject::resize", "cannot resize while repainting");
    endSnapshot();
    if (width == this->width() && height == this->height())
        return;
    GLContext::getInstance();
    QString error;
    if (!m_frame_buffer->create(width, height, &error))
        VAQ_PROG_ERROR("Vaq::GL::RenderObject::resize", error);
    m_camera.setViewportSize(width, height);
    // The last image and its element ids belong to the old size.
    m_has_image = false;
    m_saved_frame.invalidate();
    m_stencil_handler->reset(width, height);
    m_stencil_handler->finish();
}

void RenderObject::resizeForSnapshot(int width, int height, int bands)
{
    if (m_repainting)
        VAQ_PROG_ERROR("Vaq::GL::RenderObject::resizeForSnapshot", "cannot resize while repainting");
    if (width == m_frame_buffer->width() && height == m_frame_buffer->height()) {
        endSnapshot();
        return;
    }
    if (bands < 1)
        VAQ_PROG_ERROR("Vaq::GL::RenderObject::resizeForSnapshot", "a snapshot needs at least one band");
    GLContext::getInstance();
    // The whole picture must fit the driver's viewport, whatever the band's buffer holds.
    QString error;
    if (!FrameBuffer::fits(width, height, &error))
        VAQ_PROG_ERROR("Vaq::GL::RenderObject::resizeForSnapshot", error);
    bands = std::min(bands, height);
    const int bandRows = (height + bands - 1) / bands;
    std::unique_ptr<SnapshotTarget> started = m_snapshot ? nullptr : std::make_unique<SnapshotTarget>();
    SnapshotTarget &snapshot = started ? *started : *m_snapshot;
    // The old picture goes before the new buffer comes.
    snapshot.picture = QImage();
    if (!snapshot.frameBuffer.create(width, bandRows, &error))
        VAQ_PROG_ERROR("Vaq::GL::RenderObject::resizeForSnapshot", error);
    snapshot.bands = (height + bandRows - 1) / bandRows;
    snapshot.bandRows = bandRows;
    if (started) {
        started->viewTexts = std::exchange(m_texts, {});
        started->viewHasImage = m_has_image;
        started->viewOptions = m_update_options;
        m_snapshot = std::move(started);
    }
    m_has_image = false;
    m_camera.setViewportSize(width, height);
}

void RenderObject::endSnapshot()
{
    if (!m_snapshot)
        return;
    m_texts = std::move(m_snapshot->viewTexts);
    m_has_image = m_snapshot->viewHasImage;
    m_update_options = m_snapshot->viewOptions;
    m_snapshot.reset();
    m_camera.setViewportSize(m_frame_buffer->width(), m_frame_buffer->height());
    if (m_repaint_scheduled)
        postScheduledRepaint();
}

FrameBuffer &RenderObject::target() const
{
    return m_snapshot ? m_snapshot->frameBuffer : *m_frame_buffer;
}

StencilHandlerBase &RenderObject::targetStencilHandler() const
{
    return m_snapshot ? m_snapshot->stencilHandler : *m_stencil_handler;
}

QRect RenderObject::getDrawnArea() const
{
    return m_band_area.isNull() ? QRect(0, 0, width(), height()) : m_band_area;
}

StencilHandlerBase *RenderObject::getStencilHandler() const
{
    // Views are made with new, never const: a caller holding a const view still has the owed
    // repaint run.
    if (m_repaint_scheduled && !_repaint_running)
        const_cast<RenderObject *>(this)->runScheduledRepaint();
    return &targetStencilHandler();
}

void RenderObject::updateViewVolume()
{
    BaVec3d<double> min, max;
    if (m_callback && m_callback->getBoundingBox(&min, &max) && m_camera.setViewVolume(min, max)) {
        m_callback->extendViewVolume(&min, &max);
        m_camera.setViewVolume(min, max);
    } else {
        // Nothing to show (or a box no view can hold): the unit cube.
        m_camera.setViewVolume(BaVec3d<double>(-1.0, -1.0, -1.0), BaVec3d<double>(1.0, 1.0, 1.0));
    }
}

bool RenderObject::isVisible(const BaVec3d<double> &point) const
{
    return m_camera.isInViewVolume(point)
        && (!m_use_clipping_plane || m_clipping_plane.distance(point) >= 0.0);
}

void RenderObject::getViewportData(int viewport[4], double modelView[16], double projection[16]) const
{
    viewport[0] = 0;
    viewport[1] = 0;
    viewport[2] = width();
    viewport[3] = height();
    m_camera.getModelView().getGLTransformation(modelView);
    m_camera.getProjection().getGLTransformation(projection);
}

WidgetOptions *RenderObject::getWidgetOptions() const
{
    return WidgetOptions::getInstance();
}

void RenderObject::setClippingPlane(const Plane3d &plane)
{
    m_clipping_plane = plane;
    if (m_repainting && m_use_clipping_plane)
        enableClipping();
}

void RenderObject::setUseClippingPlane(bool use)
{
    m_use_clipping_plane = use;
    if (m_repainting) {
        if (use)
            enableClipping();
        else
            disableClipping();
    }
}

void RenderObject::loadClippingPlane()
{
    // glClipPlane takes the plane in the coordinates of the current model-view matrix:
    // load the view's, so that the plane is given in model coordinates.
    double equation[4];
    m_clipping_plane.getEquation(equation);
    double matrix[16];
    m_camera.getModelView().getGLTransformation(matrix);
    GLint mode = GL_MODELVIEW;
    ::glGetIntegerv(GL_MATRIX_MODE, &mode);
    ::glMatrixMode(GL_MODELVIEW);
    ::glPushMatrix();
    ::glLoadMatrixd(matrix);
    ::glClipPlane(GL_CLIP_PLANE0, equation);
    ::glPopMatrix();
    ::glMatrixMode(GLenum(mode));
}

void RenderObject::enableClipping()
{
    if (!m_use_clipping_plane || !m_repainting)
        return;
    loadClippingPlane();
    ::glEnable(GL_CLIP_PLANE0);
}

void RenderObject::disableClipping()
{
    if (m_repainting)
        ::glDisable(GL_CLIP_PLANE0);
}

void RenderObject::insertDetailedTimingStep(const QString &name)
{
    const double ms = m_repaint_timer.isValid() ? m_repaint_timer.nsecsElapsed() / 1.0e6 : 0.0;
    m_timing_steps.append(qMakePair(name, ms));
}

bool RenderObject::isFramerateAdjustAllowed() const
{
    return m_framerate_adjust_allowed && !m_update_options.snapshotRendering;
}

bool RenderObject::allowGPURessources() const
{
    return m_allow_gpu_ressources && GLExtensions::getCapabilities().bufferObjects;
}

void RenderObject::makeCurrent()
{
    GLContext::getInstance();
    target().bind();
}

void RenderObject::scheduleRepaint(const UpdateOptions &options)
{
    m_scheduled_options = options;
    if (m_repaint_scheduled)
        return;
    m_repaint_scheduled = true;
    if (!m_snapshot)
        postScheduledRepaint();
}

void RenderObject::postScheduledRepaint()
{
    // Dropped with the view when it goes first.
    QMetaObject::invokeMethod(
        this, [this] { runScheduledRepaint(); }, Qt::QueuedConnection);
}

void RenderObject::runScheduledRepaint()
{
    if (m_repaint_scheduled && !m_snapshot)
        repaintWidget(m_scheduled_options);
}

void RenderObject::repaintWidget(const UpdateOptions &options)
{
    if (_repaint_running) {
        // Asked for from the events processed between two draw steps: drawing now would
        // break the running repaint's GL state, so it runs when that one is done.
        m_pending_options = options;
        if (!m_repaint_pending) {
            m_repaint_pending = true;
            pendingRepaints().push_back(this);
        }
        return;
    }
    runRepaint(options);
    while (!pendingRepaints().empty()) {
        RenderObject *next = pendingRepaints().front();
        pendingRepaints().erase(pendingRepaints().begin());
        next->m_repaint_pending = false;
        next->runRepaint(next->m_pending_options);
    }
}

void RenderObject::clearColor()
{
    ::glClearColor(
        m_background.r / 255.0f, m_background.g / 255.0f, m_background.b / 255.0f, m_background.a / 255.0f);
    ::glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    ::glClear(GL_COLOR_BUFFER_BIT);
}

SavedFrame::ViewState RenderObject::viewState() const
{
    SavedFrame::ViewState state;
    state.width = width();
    state.height = height();
    m_camera.getModelView().getGLTransformation(state.modelView);
    m_camera.getProjection().getGLTransformation(state.projection);
    state.background = m_background;
    state.clipping = m_use_clipping_plane;
    m_clipping_plane.getEquation(state.clippingPlane);
    return state;
}

void RenderObject::saveFrame()
{
    if (m_update_options.interactiveUpdate || m_update_options.snapshotRendering)
        return;
    if (m_saved_frame.save(*m_frame_buffer, *m_stencil_handler, viewState()))
        m_saved_texts = m_texts.size();
}

void RenderObject::runRepaint(const UpdateOptions &options)
{
    if (!m_callback)
        VAQ_PROG_ERROR("Vaq::GL::RenderObject::repaintWidget", "the view has no render callback");
    makeCurrent();
    if (!m_snapshot)
        m_repaint_scheduled = false; // this repaint is the one that was owed

    // Whatever the callback throws, the view leaves the repaint state.
    struct RepaintScope
    {
        RenderObject *view;
        ~RepaintScope()
        {
            view->disableClipping();
            view->m_stage = RS_NONE;
            view->m_repainting = false;
            view->m_band_area = QRect();
            view->m_texts_by_band = false;
            _repaint_running = false;
            view->targetStencilHandler().finish();
        }
    };
    m_update_options = options;
    m_repainting = true;
    m_abort = false;
    _repaint_running = true;
    RepaintScope scope { this };
    m_timing_steps.clear();
    m_repaint_timer.start();
    m_since_events.invalidate();

    // An overlay repaint starts from the kept picture of the unchanged view, with the
    // stencil ids it had; anything else draws the scene and keeps a new picture.
    m_overlay_only = options.getStage() == UpdateOptions::US_OVERLAY && !options.snapshotRendering
        && !m_snapshot && m_saved_frame.restore(viewState(), *m_frame_buffer, m_stencil_handler.get());
    if (m_overlay_only) {
        m_texts.resize(std::min(m_texts.size(), m_saved_texts));
    } else {
        m_saved_frame.invalidate();
        m_texts.clear();
        updateViewVolume();
    }
    if (m_snapshot && m_snapshot->picture.size() != QSize(width(), height())) {
        m_snapshot->picture = QImage(width(), height(), QImage::Format_RGBA8888);
        if (m_snapshot->picture.isNull())
            VAQ_PROG_ERROR("Vaq::GL::RenderObject::repaintWidget",
                QStringLiteral("no memory for a picture of %1 x %2").arg(width()).arg(height()));
    }

    const int bands = m_snapshot ? m_snapshot->bands : 1;
    m_texts_by_band = bands > 1;
    bool done = true;
    for (int band = 0; band < bands && done; ++band) {
        beginBand(band);
        if (band == 0) {
            m_has_image = true;
            if (!m_overlay_only)
                m_callback->initAllElementsForDrawing();
        }
        done = runStages(m_overlay_only ? RS_OVERLAY3D : RS_SETUP, RS_OVERLAY3D);
        if (done && band == bands - 1) {
            // One layout of the 2-D overlay for the whole picture, drawn where it lands.
            m_texts_by_band = false;
            done = runStages(RS_OVERLAY2D, RS_FINISH);
        }
        if (m_snapshot) {
            const QRect rows = getDrawnArea();
            m_snapshot->frameBuffer.readColorRows(rows.height(), &m_snapshot->picture, rows.y());
        }
    }
    // Read bottom row first, as GL keeps them.
    if (m_snapshot)
        m_snapshot->picture.mirror(false, true);
    ::glFlush();
}

void RenderObject::beginBand(int band)
{
    if (m_snapshot) {
        const int y = band * m_snapshot->bandRows;
        m_band_area = QRect(0, y, width(), std::min(m_snapshot->bandRows, height() - y));
    }
    // The band's buffer shows the window's rows from the band's lowest one on.
    ::glViewport(0, -getDrawnArea().y(), width(), height());
    ::glDisable(GL_SCISSOR_TEST);
    double matrix[16];
    ::glMatrixMode(GL_PROJECTION);
    m_camera.getProjection().getGLTransformation(matrix);
    ::glLoadMatrixd(matrix);
    ::glMatrixMode(GL_MODELVIEW);
    ::glLoadIdentity();

    if (!m_overlay_only) {
        ::glClearDepth(1.0);
        ::glClearStencil(0);
        ::glDepthMask(GL_TRUE);
        ::glStencilMask(0xFF);
        ::glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        ::glClear(GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    }

    GLTools::initDefaults();
    if (m_overlay_only)
        targetStencilHandler().setElement(nullptr); // its stencil function back in the GL state
    else
        targetStencilHandler().reset(width(), height());
    // Lights are fixed to the viewer, so they are set under the identity.
    StandardLight::setupViewLights();
    m_camera.getModelView().getGLTransformation(matrix);
    ::glLoadMatrixd(matrix);
    enableClipping();
}

bool RenderObject::runStages(int first, int last)
{
    // Keeps the application responsive while a large scene is drawn in steps: events run
    // after the first unfinished step and then every EVENT_INTERVAL_MS, so that scenes of
    // many tiny steps do not pay for an event round at each of them.
    // An aborted stage is left unfinished: the callback closes it at its next preDraw.
    for (int stage = first; stage <= last; ++stage) {
        m_stage = RenderStage_t(stage);
        m_callback->preDraw();
        if (stage == RS_SETUP)
            clearColor(); // the set-up may have handed the view its background
        while (!m_abort && !m_callback->draw()) {
            if (QCoreApplication::instance()
                && (!m_since_events.isValid() || m_since_events.elapsed() >= EVENT_INTERVAL_MS)) {
                QCoreApplication::processEvents();
                // An event may have made another view's buffer current.
                target().bind();
                m_since_events.start();
            }
        }
        if (m_abort)
            return false;
        m_callback->postDraw();
        if (stage == RS_LEVEL1)
            saveFrame();
    }
    return true;
}

bool RenderObject::keepsTextAt(double y) const
{
    if (!m_texts_by_band || m_band_area.isNull())
        return true;
    // The lowest band keeps what lies below the window, the highest what lies above it.
    return (m_band_area.y() == 0 || y >= m_band_area.y())
        && (m_band_area.bottom() == height() - 1 || y < m_band_area.y() + m_band_area.height());
}

void RenderObject::abortRepaint()
{
    if (m_repainting)
        m_abort = true;
}

void RenderObject::waitForRendering()
{
    if (GLContext::tryGetInstance(nullptr))
        ::glFinish();
}

QImage RenderObject::getRenderedImage(bool *ok)
{
    if (ok)
        *ok = false;
    if (!GLContext::tryGetInstance(nullptr))
        return QImage();
    runScheduledRepaint();
    if (!m_has_image)
        return QImage();
    ::glFinish();
    QImage image = m_snapshot ? std::exchange(m_snapshot->picture, QImage()) : target().readColor();
    if (m_snapshot)
        m_has_image = false; // handed over
    if (image.isNull())
        return image;
    if (!m_texts.empty()) {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::TextAntialiasing);
        for (const TextItem &item : m_texts) {
            painter.setFont(item.font);
            painter.setPen(QColor(item.color.r, item.color.g, item.color.b, item.color.a));
            painter.drawText(item.position, item.text);
        }
    }
    if (ok)
        *ok = true;
    return image;
}

void RenderObject::renderText(
    const BaVec3d<double> &position, const QString &text, const QFont &font, const Color &color)
{
    Transformation toWindow = get3d2dTransformation();
    if (m_repainting) {
        // Inside a repaint the current matrices hold the element's own transformation too.
        double modelView[16], projection[16];
        ::glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
        ::glGetDoublev(GL_PROJECTION_MATRIX, projection);
        toWindow = m_camera.getViewport() * Transformation::fromGLTransformation(projection)
            * Transformation::fromGLTransformation(modelView);
    }
    const BaVec3d<double> window = toWindow.transform(position);
    if (!keepsTextAt(window.y))
        return;
    TextItem item;
    item.position = QPointF(window.x, height() - window.y);
    item.depth = window.z;
    item.text = text;
    item.font = font;
    item.color = color;
    m_texts.push_back(item);
}

} // namespace Vaq::GL
