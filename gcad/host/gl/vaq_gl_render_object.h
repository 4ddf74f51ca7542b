// RenderObject: one 3-D view drawn off-screen. It owns a frame buffer object of the view's
// size on the shared EGL context, keeps the view's Camera (fitted to the callback's scene box
// at every repaint), and drives the render callback through one whole repaint synchronously.
#pragma once

#include "gcad/host/base/vaq_color.h"
#include "gcad/host/base/vaq_line.h"
#include "gcad/host/base/vaq_plane.h"
#include "gcad/host/base/vaq_transformation.h"
#include "gcad/host/base/vaq_vec.h"
#include "gcad/host/gl/vaq_gl_camera.h"
#include "gcad/host/gl/vaq_gl_saved_frame.h"
#include "gcad/host/gl/vaq_gl_update_options.h"

#include <QElapsedTimer>
#include <QFont>
#include <QImage>
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointF>
#include <QRect>
#include <QString>

#include <memory>
#include <vector>

namespace Vaq::GL {

class FrameBuffer;
class RenderCallback;
class StencilHandlerBase;
struct SnapshotTarget;
class ViewCreator;
class WidgetOptions;

class RenderObject : public QObject
{
    Q_OBJECT

public:
    enum RenderStage_t {
        RS_NONE = -1, // no repaint in progress
        RS_SETUP = 0, // view set-up
        RS_LEVEL0 = 1, // elements of render level 0
        RS_LEVEL1 = 2, // elements of render level 1 and the scene part of 3-D overlays
        RS_OVERLAY3D = 3, // 3-D overlay
        RS_OVERLAY2D = 4, // 2-D overlay
        RS_FINISH = 5, // nothing is drawn; last chance to clean up
    };

    // A text placed at a 3-D position during a repaint; painted over the read-back image.
    struct TextItem
    {
        QPointF position; // pixel, origin top left
        double depth = 0.0;
        QString text;
        QFont font;
        Color color;
    };

    // An off-screen view of width x height pixels drawn by callback (not owned; it must
    // outlive the view). The first view created becomes the main one. Throws ProgError
    // when no GL context or frame buffer can be made, or when the size is not positive.
    static RenderObject *createRenderObject(
        RenderCallback *callback, int width, int height, ViewCreator *creator = nullptr);
    // The main view (the first one created and still alive, or the one made main).
    static RenderObject *getMainRenderObject();
    static void setMainRenderObject(RenderObject *renderObject);

    ~RenderObject() override;

    int width() const { return m_camera.width(); }
    int height() const { return m_camera.height(); }
    // Resizes the view (ending a snapshot's size first); throws ProgError for a size the driver
    // cannot hold (the old frame buffer stays).
    void resize(int width, int height);
    // For a high-resolution snapshot: from now on the view has the given size and draws into
    // a frame buffer of its own, while its own picture, element ids and texts stay as they
    // are; asked for its own size again, it drops that buffer and has them back. With more
    // than one band that buffer holds only a band of height / bands rows (rounded up), and
    // each repaint draws the view band after band into one picture: the buffers take a
    // bands-th of the memory of whole ones. Throws ProgError for a size the driver cannot
    // hold (the view stays as it was).
    void resizeForSnapshot(int width, int height, int bands = 1);
    // The window pixels (origin lower left) the running repaint draws: the whole view, or the
    // rows of the snapshot band being drawn. What is drawn through the matrices (an orthographic
    // projection over the window included) lands in the band by itself; positions handed to GL
    // in window pixels (glWindowPos, glScissor, glReadPixels) are taken less the area's origin,
    // and culling may skip what lies outside the area.
    QRect getDrawnArea() const;

    // The view parameters and matrices; see Camera. The scene box is the callback's (widened
    // by extendViewVolume) as of the last repaint.
    double getScale() const { return m_camera.getScale(); }
    void setScale(double scale) { m_camera.setScale(scale); }
    void fitView() { m_camera.fitView(); }
    const BaVec3d<double> &getRotation() const { return m_camera.getRotation(); }
    void setRotation(const BaVec3d<double> &rotation) { m_camera.setRotation(rotation); }
    const BaVec3d<double> &getTranslation() const { return m_camera.getTranslation(); }
    void setTranslation(const BaVec3d<double> &translation) { m_camera.setTranslation(translation); }
    const BaVec3d<double> &getAxisScale() const { return m_camera.getAxisScale(); }
    void setAxisScale(const BaVec3d<double> &axisScale) { m_camera.setAxisScale(axisScale); }
    BaVec3d<double> getViewDirection() const { return m_camera.getViewDirection(); }
    Transformation get3d2dTransformation() const { return m_camera.get3d2dTransformation(); }
    Transformation getInverse3d2dTransformation() const { return m_camera.getInverse3d2dTransformation(); }
    Line3d unproject(double x, double y, double depth) const { return m_camera.unproject(x, y, depth); }
    // Whether the point lies inside the view volume (and on the kept side of an active
    // clipping plane).
    bool isVisible(const BaVec3d<double> &point) const;
    // The view's viewport and its model-view and projection matrices (column-major).
    void getViewportData(int viewport[4], double modelView[16], double projection[16]) const;

    // Asked for outside a repaint, the handler answers for the picture: a scheduled repaint
    // runs first. While a snapshot is drawn, the snapshot's handler, which keeps no ids.
    StencilHandlerBase *getStencilHandler() const;
    ViewCreator *getCreator() const { return m_creator; }
    RenderCallback *getRenderCallback() const { return m_callback; }
    WidgetOptions *getWidgetOptions() const;
    const UpdateOptions &getUpdateOptions() const { return m_update_options; }
    RenderStage_t getCurrentRenderStage() const { return m_stage; }

    // One clipping plane, the side its normal points to is kept.
    void setClippingPlane(const Plane3d &plane);
    const Plane3d &getClippingPlane() const { return m_clipping_plane; }
    void setUseClippingPlane(bool use);
    bool isClippingPlaneUsed() const { return m_use_clipping_plane; }
    // Switch the plane on and off inside a repaint (renderers that must not be clipped).
    void enableClipping();
    void disableClipping();

    void setBackgroundColor(const Color &color) { m_background = color; }
    const Color &getBackgroundColor() const { return m_background; }

    // Named time stamps (milliseconds since the repaint started) for profiling a repaint.
    void insertDetailedTimingStep(const QString &name);
    const QList<QPair<QString, double>> &getDetailedTimingSteps() const { return m_timing_steps; }

    // Frame-rate adjustment is allowed unless switched off or a snapshot is rendered.
    bool isFramerateAdjustAllowed() const;
    void setFramerateAdjustAllowed(bool allowed) { m_framerate_adjust_allowed = allowed; }
    // Buffer objects may be used: the driver has them and the view has not forbidden them.
    bool allowGPURessources() const;
    void setAllowGPURessources(bool allow) { m_allow_gpu_ressources = allow; }

    // Draws the whole view once: set-up, collection, render stages 0 to 5. A repaint
    // asked for while one is running (from the events processed between draw steps) is
    // run right after it.
    // A snapshot drawn in bands runs render stages 0 to 3 once for each band, on a band
    // cleared anew, and the 2-D overlay and the finish (stages 4 and 5) once, in the last
    // band: the overlay is laid out once for the whole picture.
    // Every full repaint that is neither interactive nor a snapshot keeps its picture as it
    // stands after render stage 2 (the scene without the overlays). A repaint of update
    // stage US_OVERLAY starts from that picture and runs only the overlay stages 3 to 5,
    // unless the view changed since (rotation, zoom, size, background, clipping) or
    // invalidateSavedFrame was called: then it draws everything.
    void repaintWidget(const UpdateOptions &options = UpdateOptions());
    // The scene changed in a way the next US_OVERLAY repaint must show (e.g. an element's
    // marking): it draws everything again.
    void invalidateSavedFrame() { m_saved_frame.invalidate(); }
    // Whether the last repaint started from the kept picture and ran only the overlay stages.
    bool wasOverlayOnly() const { return m_overlay_only; }
    bool isRepainting() const { return m_repainting; }
    // Asks for a repaint the way a widget's update() does: it runs from the event loop, or
    // before the picture is next read (getRenderedImage) or picked from (getStencilHandler),
    // whichever comes first; while a snapshot is drawn it waits for the view's own size. A
    // repaint that runs meanwhile takes its place.
    void scheduleRepaint(const UpdateOptions &options);
    bool isRepaintScheduled() const { return m_repaint_scheduled; }
    // Ends the running repaint after its current draw step (from an event processed between
    // two steps, e.g. when the user moves the view again or closes it); repaints asked for
    // meanwhile still run. The picture keeps what was drawn so far.
    void abortRepaint();
    // Waits until the GPU has finished the last repaint.
    void waitForRendering();
    // The last repaint's pixels, rows top-down, with the texts of renderText painted on.
    // A null image (and *ok false) before the first repaint. A snapshot's picture is handed
    // over once, its only copy: asked for again, it is null until the next repaint.
    QImage getRenderedImage(bool *ok = nullptr);

    // Places a text at a model position of the current model-view matrix; drawn when the
    // image is read back. Texts are collected anew by every repaint; of a snapshot drawn in
    // bands, each band keeps those placed in its rows, so that every text is kept once.
    virtual void renderText(const BaVec3d<double> &position, const QString &text, const QFont &font = QFont(),
        const Color &color = Color(255, 255, 255));

    // Makes the context current and binds this view's frame buffer.
    void makeCurrent();

protected:
    friend class RenderCallback;
    RenderObject(RenderCallback *callback, ViewCreator *creator, int width, int height);

private:
    void updateViewVolume();
    void loadClippingPlane();
    void runRepaint(const UpdateOptions &options);
    // Sets the GL state a repaint starts from for the given band of a snapshot (0 for a
    // whole view), and clears the band unless the repaint starts from the kept picture.
    void beginBand(int band);
    // Runs the render stages first to last; false when the repaint was aborted.
    bool runStages(int first, int last);
    // Whether a text placed at window row y belongs to the band being drawn.
    bool keepsTextAt(double y) const;
    SavedFrame::ViewState viewState() const;
    // Keeps the picture of a full repaint once its scene stages are drawn.
    void saveFrame();
    void runScheduledRepaint();
    void postScheduledRepaint();
    // Leaves a snapshot's frame buffer for the view's own one.
    void endSnapshot();
    // Where the view draws now: its own frame buffer or a snapshot's.
    FrameBuffer &target() const;
    StencilHandlerBase &targetStencilHandler() const;
    void clearColor();

    RenderCallback *m_callback = nullptr;
    ViewCreator *m_creator = nullptr;
    std::unique_ptr<FrameBuffer> m_frame_buffer;
    std::unique_ptr<StencilHandlerBase> m_stencil_handler;
    // While a snapshot is drawn: its buffers, and what the view's own picture keeps.
    std::unique_ptr<SnapshotTarget> m_snapshot;
    Camera m_camera;

    Plane3d m_clipping_plane;
    bool m_use_clipping_plane = false;
    Color m_background { 0, 0, 0, 255 };
    bool m_framerate_adjust_allowed = true;
    bool m_allow_gpu_ressources = true;

    UpdateOptions m_update_options;
    RenderStage_t m_stage = RS_NONE;
    bool m_repainting = false;
    bool m_abort = false;
    bool m_has_image = false;
    bool m_repaint_pending = false;
    UpdateOptions m_pending_options;
    bool m_repaint_scheduled = false;
    UpdateOptions m_scheduled_options;
    QElapsedTimer m_repaint_timer;
    QElapsedTimer m_since_events;
    // The snapshot band being drawn (null outside a band) and whether texts are kept by rows.
    QRect m_band_area;
    bool m_texts_by_band = false;
    QList<QPair<QString, double>> m_timing_steps;
    std::vector<TextItem> m_texts;
    SavedFrame m_saved_frame;
    size_t m_saved_texts = 0; // texts placed by the stages of the kept picture
    bool m_overlay_only = false;

    static RenderObject *_main_render_object;
};

} // namespace Vaq::GL
