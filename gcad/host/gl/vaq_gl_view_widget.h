// ViewWidget: a RenderObject shown in a window, so that an application can put a 3-D view
// among its own widgets. The view is drawn off-screen on the shared context and its picture
// painted; the mouse turns (left), pans (middle, or Shift and left) and zooms (wheel, at the
// cursor), keys fit the view (F) and pick the axis views (1 to 6) and the iso view (I). While
// the view moves it is drawn with interactive repaints; once the input rests for
// MOTION_END_MS a full repaint follows, drawn in steps between which events run and which a
// new motion or closing the window cuts short. A change of the overlays alone (the element
// under the mouse) is drawn over the kept picture of the last full repaint.
#pragma once

#include "gcad/host/base/vaq_vec.h"
#include "gcad/host/gl/vaq_gl_update_options.h"
#include "gcad/host/gl/vaq_gl_view_creator.h"

#include <QElapsedTimer>
#include <QImage>
#include <QPoint>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace Vaq::GL {

class RenderCallback;
class RenderObject;

class ViewWidget : public QWidget
{
    Q_OBJECT

public:
    // Input rest after which a motion counts as finished.
    static constexpr int MOTION_END_MS = 150;
    // A full repaint that takes longer than this reports its progress.
    static constexpr int LONG_REPAINT_MS = 250;

    // A view of callback (not owned; it must outlive the widget), size pixels large until the
    // window resizes it, made by creator (not owned, may be null; it must outlive the widget).
    // Throws ProgError when no view can be made.
    ViewWidget(RenderCallback *callback, const QSize &size, QWidget *parent = nullptr,
        ViewCreator *creator = nullptr);
    ~ViewWidget() override;

    RenderObject *getRenderObject() const { return m_view.get(); }
    QSize sizeHint() const override { return m_size_hint; }

    // Runs change on the view (rotation, pan, scale ...) as part of a motion: at once when no
    // repaint runs, else when it ends (a full repaint is cut short for it); then draws.
    void moveView(std::function<void(RenderObject &)> change);
    // Changes the view and draws it fully, as a jump (the axis views, fitting).
    void jumpView(std::function<void(RenderObject &)> change);
    // The model point the view turns about; unset: the scene centre.
    void setRotationCenter(const std::optional<BaVec3d<double>> &centre) { m_rotation_centre = centre; }
    const std::optional<BaVec3d<double>> &getRotationCenter() const { return m_rotation_centre; }

    // Draws the view fully again (after the scene changed).
    void redraw();
    // Draws only the overlays again, over the kept picture of the scene (e.g. the element
    // under the mouse changed): a frame of the overlays' cost instead of the scene's. The view
    // draws fully when it keeps no picture of its current state; a pending full repaint or
    // motion takes this along.
    void redrawOverlay();
    // Shows the picture of a repaint that ran elsewhere (e.g. the one a marking asks for).
    void refresh();
    // The picture shown: the last finished repaint's.
    const QImage &getImage() const { return m_image; }
    bool isMoving() const { return m_moving; }
    // Frames per second of the last finished motion; 0 before the first.
    double getLastMotionFps() const { return m_last_motion_fps; }

    // Turns the view by step pixels of drag per frame for frames interactive frames, each
    // drawn and painted; returns the milliseconds of each frame. A full repaint follows.
    std::vector<double> runFrames(int frames, double step);

    // GL window pixel (origin lower left) of a widget position.
    QPoint toWindowPixel(const QPoint &position) const;

    // Stops drawing for good, cutting a running repaint short: the window showing the view
    // is closing. A top-level ViewWidget does this itself when closed.
    void closeView();

signals:
    // The mouse rests over a pixel (GL window coordinates) without a button; sent only while
    // no repaint runs, so that the last picture's stencil can be asked.
    void hovered(const QPoint &pixel);
    // A click (press and release without a drag) and a double-click, in GL window pixels.
    void clicked(const QPoint &pixel);
    void doubleClicked(const QPoint &pixel);
    // A motion ended (a full repaint follows).
    void motionEnded(double framesPerSecond);
    // A full repaint running longer than LONG_REPAINT_MS: elapsed milliseconds, every
    // LONG_REPAINT_MS; finished once the picture is shown.
    void repaintProgress(qint64 elapsedMs);
    void repaintFinished();
    // The view took a new size; the repaint for it follows.
    void viewResized(const QSize &size);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    enum class Drag { None, Turn, Pan };

    // Applies the waiting changes and repaints until the picture is of the latest view.
    void draw();
    // Cuts a running full repaint short for newer work.
    void interruptFullRepaint();
    void startMotion();
    void endMotion();
    void deliverPending();
    void showAxisView(ViewCreator::ViewDirection_t direction);

    std::unique_ptr<RenderObject> m_view;
    QSize m_size_hint;
    QImage m_image;
    std::vector<std::function<void(RenderObject &)>> m_changes;
    std::optional<BaVec3d<double>> m_rotation_centre;
    bool m_drawing = false;
    bool m_drawing_full = false; // the repaint running is a full one of draw()
    bool m_aborted = false; // and it was cut short
    bool m_full_pending = false; // a full repaint is wanted
    bool m_overlay_pending = false; // a repaint of the overlays is wanted
    bool m_resize_pending = false;
    bool m_closing = false;

    bool m_moving = false;
    int m_motion_frames = 0;
    QElapsedTimer m_motion_clock;
    qint64 m_last_frame_end_ns = 0;
    double m_last_motion_fps = 0.0;
    QTimer m_motion_end;
    QTimer m_retry; // a repaint started elsewhere runs: try again shortly
    QTimer m_progress;
    QElapsedTimer m_repaint_clock;

    Drag m_drag = Drag::None;
    QPoint m_press_position;
    QPoint m_last_position;
    bool m_dragged = false;
    std::optional<QPoint> m_pending_hover;
    std::optional<QPoint> m_pending_click;
};

} // namespace Vaq::GL
