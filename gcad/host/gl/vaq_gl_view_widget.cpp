#include "gcad/host/gl/vaq_gl_view_widget.h"

#include "gcad/host/gl/vaq_gl_render_callback.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/host/gl/vaq_gl_view_navigation.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <utility>

namespace Vaq::GL {

namespace {

// A press that moves less than this many pixels before its release is a click.
constexpr int CLICK_SLOP = 3;
// Each wheel notch shows this much of the view.
constexpr double ZOOM_PER_NOTCH = 0.85;

} // namespace

ViewWidget::ViewWidget(RenderCallback *callback, const QSize &size, QWidget *parent, ViewCreator *creator)
    : QWidget(parent)
    , m_view(RenderObject::createRenderObject(callback, size.width(), size.height(), creator))
    , m_size_hint(size)
{
    callback->setViewWidget(this);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    m_motion_end.setSingleShot(true);
    m_motion_end.setInterval(MOTION_END_MS);
    connect(&m_motion_end, &QTimer::timeout, this, &ViewWidget::endMotion);
    m_retry.setSingleShot(true);
    m_retry.setInterval(10);
    connect(&m_retry, &QTimer::timeout, this, &ViewWidget::draw);
    m_progress.setInterval(LONG_REPAINT_MS);
    connect(&m_progress, &QTimer::timeout, this, [this] { emit repaintProgress(m_repaint_clock.elapsed()); });
    m_full_pending = true;
}

ViewWidget::~ViewWidget()
{
    if (RenderCallback *callback = m_view->getRenderCallback())
        callback->setViewWidget(nullptr);
}

void ViewWidget::moveView(std::function<void(RenderObject &)> change)
{
    m_changes.push_back(std::move(change));
    startMotion();
    m_motion_end.start();
    interruptFullRepaint();
    draw();
}

void ViewWidget::jumpView(std::function<void(RenderObject &)> change)
{
    m_changes.push_back(std::move(change));
    m_full_pending = true;
    interruptFullRepaint();
    draw();
}

void ViewWidget::redraw()
{
    m_full_pending = true;
    draw();
}

void ViewWidget::redrawOverlay()
{
    m_overlay_pending = true;
    draw();
}

void ViewWidget::interruptFullRepaint()
{
    // A full repaint of draw(), or one started elsewhere (e.g. by marking an element).
    if (m_drawing_full || (!m_drawing && m_view->isRepainting())) {
        m_aborted = m_drawing_full;
        m_view->abortRepaint();
    }
}

void ViewWidget::draw()
{
    if (m_drawing || m_closing)
        return; // the running draw() takes the new work on when its repaint returns
    if (m_view->isRepainting()) {
        m_retry.start();
        return;
    }
    m_drawing = true;
    // A full repaint, and one of the overlays, waits for the end of a motion.
    while (!m_closing
        && (!m_changes.empty() || m_resize_pending || ((m_full_pending || m_overlay_pending) && !m_moving))) {
        if (m_resize_pending) {
            m_resize_pending = false;
            m_view->resize(std::max(1, width()), std::max(1, height()));
            emit viewResized(QSize(m_view->width(), m_view->height()));
        }
        for (const auto &change : std::exchange(m_changes, {}))
            change(*m_view);
        const bool interactive = m_moving;
        // Changes and resizes come with a motion or a full repaint: otherwise only the
        // overlays are wanted.
        const bool overlayOnly = !interactive && !m_full_pending;
        if (!interactive) {
            m_full_pending = false;
            m_overlay_pending = false;
            // One of the overlays is drawn fully when the view keeps no picture: it may take
            // as long as a full repaint and is cut short the same way.
            m_drawing_full = true;
            m_aborted = false;
            m_repaint_clock.start();
            m_progress.start();
        }
        m_view->repaintWidget(UpdateOptions(overlayOnly ? UpdateOptions::US_OVERLAY : UpdateOptions::US_VIEW,
            interactive ? UpdateOptions::UT_INTERACTIVE : UpdateOptions::UT_DEFAULT));
        m_progress.stop();
        m_drawing_full = false;
        if (m_closing)
            break;
        if (!interactive && m_aborted)
            continue; // its picture is unfinished; newer work is waiting
        m_image = m_view->getRenderedImage();
        repaint();
        if (interactive) {
            ++m_motion_frames;
            m_last_frame_end_ns = m_motion_clock.nsecsElapsed();
        } else {
            emit repaintFinished();
        }
    }
    m_drawing = false;
    deliverPending();
}

void ViewWidget::refresh()
{
    if (m_drawing || m_closing || m_view->isRepainting())
        return;
    m_image = m_view->getRenderedImage();
    update();
}

void ViewWidget::startMotion()
{
    if (m_moving)
        return;
    m_moving = true;
    m_motion_frames = 0;
    m_last_frame_end_ns = 0;
    m_motion_clock.start();
}

void ViewWidget::endMotion()
{
    if (!m_moving)
        return;
    m_moving = false;
    m_last_motion_fps = m_last_frame_end_ns > 0 ? m_motion_frames * 1.0e9 / double(m_last_frame_end_ns) : 0.0;
    m_view->getRenderCallback()->motionFinished();
    emit motionEnded(m_last_motion_fps);
    redraw();
}

void ViewWidget::deliverPending()
{
    if (m_moving || m_closing)
        return;
    if (const std::optional<QPoint> click = std::exchange(m_pending_click, std::nullopt))
        emit clicked(*click);
    if (const std::optional<QPoint> hover = std::exchange(m_pending_hover, std::nullopt))
        emit hovered(*hover);
}

std::vector<double> ViewWidget::runFrames(int frames, double step)
{
    std::vector<double> milliseconds;
    QElapsedTimer frame;
    for (int i = 0; i < frames && !m_closing; ++i) {
        frame.start();
        m_changes.push_back([this, step](RenderObject &view) {
            ViewNavigation::turn(view, step, 0.0, m_rotation_centre ? &*m_rotation_centre : nullptr);
        });
        startMotion();
        draw();
        milliseconds.push_back(frame.nsecsElapsed() / 1.0e6);
    }
    endMotion();
    return milliseconds;
}

QPoint ViewWidget::toWindowPixel(const QPoint &position) const
{
    return QPoint(position.x(), m_view->height() - 1 - position.y());
}

void ViewWidget::closeView()
{
    m_closing = true;
    m_motion_end.stop();
    m_retry.stop();
    m_progress.stop();
    m_view->abortRepaint();
}

void ViewWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const Color &background = m_view->getBackgroundColor();
    const QColor fill(background.r, background.g, background.b);
    if (m_image.isNull()) {
        painter.fillRect(rect(), fill);
        return;
    }
    painter.drawImage(0, 0, m_image);
    // While the window grows, the old picture does not cover it yet.
    if (m_image.width() < width())
        painter.fillRect(m_image.width(), 0, width() - m_image.width(), height(), fill);
    if (m_image.height() < height())
        painter.fillRect(0, m_image.height(), m_image.width(), height() - m_image.height(), fill);
}

void ViewWidget::resizeEvent(QResizeEvent *)
{
    m_resize_pending = true;
    m_full_pending = true;
    interruptFullRepaint();
    m_retry.start();
}

void ViewWidget::mousePressEvent(QMouseEvent *event)
{
    m_press_position = m_last_position = event->position().toPoint();
    m_dragged = false;
    if (event->button() == Qt::MiddleButton
        || (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ShiftModifier)))
        m_drag = Drag::Pan;
    else if (event->button() == Qt::LeftButton)
        m_drag = Drag::Turn;
}

void ViewWidget::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint position = event->position().toPoint();
    if (m_drag == Drag::None) {
        m_pending_hover = toWindowPixel(position);
        if (!m_drawing && !m_view->isRepainting())
            deliverPending();
        return;
    }
    if (!m_dragged && (position - m_press_position).manhattanLength() < CLICK_SLOP)
        return;
    m_dragged = true;
    const QPoint delta = position - m_last_position;
    m_last_position = position;
    if (m_drag == Drag::Turn)
        moveView([this, delta](RenderObject &view) {
            ViewNavigation::turn(
                view, delta.x(), delta.y(), m_rotation_centre ? &*m_rotation_centre : nullptr);
        });
    else
        moveView([delta](RenderObject &view) { ViewNavigation::pan(view, delta.x(), delta.y()); });
}

void ViewWidget::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = m_drag != Drag::None && !m_dragged && event->button() == Qt::LeftButton;
    m_drag = Drag::None;
    if (!click)
        return;
    m_pending_click = toWindowPixel(event->position().toPoint());
    if (!m_drawing && !m_view->isRepainting())
        deliverPending();
}

void ViewWidget::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && !m_drawing && !m_view->isRepainting())
        emit doubleClicked(toWindowPixel(event->position().toPoint()));
}

void ViewWidget::wheelEvent(QWheelEvent *event)
{
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0.0)
        return;
    const QPoint pixel = toWindowPixel(event->position().toPoint());
    const double factor = std::pow(ZOOM_PER_NOTCH, notches);
    moveView([pixel, factor](RenderObject &view) {
        ViewNavigation::zoomAt(view, pixel.x() + 0.5, pixel.y() + 0.5, factor);
    });
}

void ViewWidget::showAxisView(ViewCreator::ViewDirection_t direction)
{
    BaVec3d<double> rotation;
    if (!ViewCreator::getRotationForView(direction, &rotation))
        return;
    jumpView([rotation](RenderObject &view) {
        view.setRotation(rotation);
        view.fitView();
    });
}

void ViewWidget::keyPressEvent(QKeyEvent *event)
{
    static constexpr ViewCreator::ViewDirection_t axisViews[]
        = { ViewCreator::VD_X_PLUS, ViewCreator::VD_X_MINUS, ViewCreator::VD_Y_PLUS, ViewCreator::VD_Y_MINUS,
              ViewCreator::VD_Z_PLUS, ViewCreator::VD_Z_MINUS };
    const int key = event->key();
    if (key == Qt::Key_F)
        jumpView([](RenderObject &view) { view.fitView(); });
    else if (key >= Qt::Key_1 && key <= Qt::Key_6)
        showAxisView(axisViews[key - Qt::Key_1]);
    else if (key == Qt::Key_I)
        showAxisView(ViewCreator::VD_XP_YP_ZP);
    else
        QWidget::keyPressEvent(event);
}

void ViewWidget::closeEvent(QCloseEvent *event)
{
    closeView();
    event->accept();
}

} // namespace Vaq::GL
