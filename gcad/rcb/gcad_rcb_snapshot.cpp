// The render callback's snapshots: the view turned into a printable document. Where the host
// can, the view is drawn once more off-screen at a higher resolution, and every size given in
// pixels grows by the same scaling, so lines, points and labels keep their share of the
// picture while it gets sharper.
#include "gcad/rcb/gcad_rcb.h"

#include "gcad/gcad_config.h"
#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/cfg/vaq_cfg_root.h"
#include "gcad/host/fig2/vaq_fig2_calculator.h"
#include "gcad/host/fig2/vaq_fig2_figure.h"
#include "gcad/host/fig2/vaq_fig2_image_data.h"
#include "gcad/host/fig2/vaq_fig2_snapshot_data.h"
#include "gcad/host/gapp/vaq_gapp_main_window.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/host/gl/vaq_gl_widget_options.h"
#include "gcad/overlay/gcad_r_overlay2d.h"

#include <algorithm>

namespace Vaq::GCAD {

const QString RenderCallback::SNAPSHOT_IMAGE_TOKEN = QStringLiteral("Vaq_Zeltor_SnapshotImageToken");
int RenderCallback::_max_snapshot_size = 2048;

namespace {

// High resolution needs at least this much graphics memory.
constexpr unsigned MIN_SNAPSHOT_MEMORY_MB = 128;
// The picture size taken for a view that has none.
constexpr int SIZELESS_VIEW_PIXELS = 800;

// Resizes the view with drawing locked, so that no repaint sees it half rebuilt.
void resizeLocked(GL::RenderObject *view, int width, int height, int bands = 1)
{
    GApp::MainWindow *window = GApp::MainWindow::getInstance();
    window->lockDrawing();
    struct Unlock
    {
        GApp::MainWindow *window;
        ~Unlock() { window->unlockDrawing(); }
    } unlock { window };
    view->resizeForSnapshot(width, height, bands);
}

} // namespace

const Fig2::ImageData *SingleImageTokenInterface::getImage(const QString &token) const
{
    if (token != m_token)
        VAQ_PROG_ERROR("Vaq::GCAD::SingleImageTokenInterface::getImage", "Unhandled token");
    return m_image;
}

double RenderCallback::getPixelSize() const
{
    const GL::RenderObject *view = getRenderObject();
    if (!view)
        return 1.0;
    return view->getScale() / std::min(view->width(), view->height()) / _snapshot_scaling;
}

std::unique_ptr<Fig2::SnapshotData> RenderCallback::createSnapshot(bool *ok)
{
    GL::RenderObject *view = getRenderObject();
    if (!view)
        VAQ_PROG_ERROR("Vaq::GCAD::RenderCallback::createSnapshot", "the callback has no view");
    const Cfg::CfgNode &config = Cfg::getRoot();
    if (config.exists(QLatin1String(CFG_GCAD_SHOW_LABELS))
        && config.getBool(QLatin1String(CFG_GCAD_SHOW_LABELS)))
        view->waitForRendering();

    const GL::WidgetOptions::Options &options = GL::WidgetOptions::getInstance()->getWidgetOptions(false);
    const int target = std::min(options.snapshotSize, _max_snapshot_size);
    const bool highResolution = options.offscreenMode != GL::WidgetOptions::OM_OFF
        && options.memoryMB >= MIN_SNAPSHOT_MEMORY_MB && target > 0;
    int w = view->width(), h = view->height();
    if (w == 0 || h == 0)
        w = h = SIZELESS_VIEW_PIXELS;
    const int viewWidth = view->width(), viewHeight = view->height();

    std::unique_ptr<Fig2::SnapshotData> snapshot;
    {
        // Puts scaling and size back whatever the repaint throws. The view's own picture is
        // drawn anew before it is next read or picked from, or when the event loop comes
        // round: a high-resolution snapshot left it as it was, so the snapshot need not wait
        // for it.
        struct Restore
        {
            RenderCallback *callback;
            GL::RenderObject *view;
            int width, height;
            bool highResolution = false;
            ~Restore()
            {
                if (highResolution) {
                    callback->_snapshot_scaling = 1.0;
                    callback->_overlay2d->updatePixelSize();
                    if (view->width() != width || view->height() != height)
                        resizeLocked(view, width, height);
                }
                view->scheduleRepaint(
                    GL::UpdateOptions(GL::UpdateOptions::US_ALL, GL::UpdateOptions::UT_KEEP_GPU_DATA));
            }
        } scope { this, view, viewWidth, viewHeight };
        if (highResolution) {
            scope.highResolution = true;
            _snapshot_scaling = std::min(double(target) / h, double(target) / w);
            _overlay2d->updatePixelSize();
            resizeLocked(
                view, int(w * _snapshot_scaling + 0.5), int(h * _snapshot_scaling + 0.5), SNAPSHOT_BANDS);
        }

        view->repaintWidget(GL::UpdateOptions(GL::UpdateOptions::US_ALL, GL::UpdateOptions::UT_SNAPSHOT));
        const Fig2::ImageData image(view->getRenderedImage(ok));
        const double pixelMM = Fig2::Calculator::getInstance()->getScreenPixelSizeMM();
        snapshot
            = createSnapshotFromImage(&image, BaVec2d<double>(w * pixelMM, h * pixelMM), GView::CV_COLOR);
        // The overlay's figures are sized for the picture; their texts go on top as text.
        if (const Fig2::Figure *texts = _overlay2d->getTextFigure())
            snapshot->merge(*texts, QPointF(0.0, 0.0), Fig2::allElements);
        if (const Fig2::Figure *labels = getFigure())
            snapshot->merge(*labels, QPointF(0.0, 0.0), Fig2::allElements);
    }
    return snapshot;
}

std::unique_ptr<Fig2::SnapshotData> RenderCallback::createSnapshotFromImage(
    const Fig2::ImageData *image, const BaVec2d<double> &size, GView::Convert_t conversion)
{
    const SingleImageTokenInterface tokens(SNAPSHOT_IMAGE_TOKEN, image);
    const QSizeF sizeMM(size.x, size.y);

    auto frame = std::make_unique<Fig2::SnapshotFrame>();
    frame->setToken(SNAPSHOT_IMAGE_TOKEN);
    frame->setTokenInterface(&tokens);
    frame->setPosition(QPointF(size.x / 2.0, size.y / 2.0));
    frame->setInnerOrigin(QPointF(0.0, 0.0));
    frame->setSize(sizeMM);
    const int type = conversion >= GView::CV_COLOR && conversion <= GView::CV_BACKGROUND_WHITE
        ? conversion
        : GView::CV_DEFAULT;
    frame->setImageConversion(Fig2::ImageConversion(type, 0, 255));

    auto figure = std::make_unique<Fig2::Figure>();
    figure->setBackground(Fig2::FillStyle());
    figure->setSize(sizeMM);
    Fig2::SnapshotFrame *framePtr = frame.get();
    figure->getRoot().add(std::move(frame));
    if (figure->getRoot().canLayerDown(framePtr))
        figure->getRoot().layerBottom(framePtr);
    figure->update();
    // The frame keeps its pixels; the token's source need not outlive this call.
    framePtr->setTokenInterface(nullptr);
    return std::make_unique<Fig2::SnapshotData>(std::move(figure), Fig2::allElements);
}

} // namespace Vaq::GCAD
