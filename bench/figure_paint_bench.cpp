// Laying a 2-D figure over a 1920 x 1080 GL view, two ways, on the same context and with the
// same figure (a legend, a raster of 60 lines, 80 framed labels with connectors):
//  - BM_ReadPaintWrite: the library's GLFigurePainter, which reads the frame buffer back,
//    paints on the copy and writes it back with glDrawPixels (painting on the frame buffer);
//  - BM_ImageAndTexturedQuad: painting into a transparent image and blending it over the
//    frame buffer as one textured quad;
//  - BM_CachedSprites: the overlay's CachedFigurePainter, with the labels moving by a fraction of a
//    pixel between repaints as in a turning view (their sprites are reused, not painted again).
// Each iteration clears the view and waits for the GPU (glFinish). Both must give the same
// pixels (up to one step of rounding of the blending).
#include "bench/median_reporter.h"
#include "gcad/host/fig2/vaq_fig2_cached_painter.h"
#include "gcad/host/fig2/vaq_fig2_figure.h"
#include "gcad/host/fig2/vaq_fig2_gl_painter.h"
#include "gcad/host/fig2/vaq_fig2_label.h"
#include "gcad/host/fig2/vaq_fig2_legend.h"
#include "gcad/host/fig2/vaq_fig2_line.h"
#include "gcad/host/gl/vaq_gl_api.h"
#include "gcad/host/gl/vaq_gl_headless_application.h"
#include "gcad/host/gl/vaq_gl_render_callback.h"
#include "gcad/host/gl/vaq_gl_render_object.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

using namespace Vaq;
using namespace Vaq::Fig2;

namespace {

constexpr int W = 1920, H = 1080;
constexpr double PIXEL_MM = 25.4 / 96.0;
const QRectF AREA(0.0, 0.0, W *PIXEL_MM, H *PIXEL_MM);

struct OverlayFigure
{
    Figure figure;
    Legend legend;
    std::vector<std::unique_ptr<Line>> lines;
    std::vector<std::unique_ptr<Label>> labels;

    OverlayFigure()
    {
        figure.setBackground(FillStyle::null);
        figure.setSize(AREA.size());
        for (int i = 0; i < 60; ++i) {
            const double x = AREA.width() * (i + 0.5) / 60.0;
            lines.push_back(std::make_unique<Line>(QPointF(x, 0.0), QPointF(x, AREA.height()),
                LineStyle { LineStyle::SOLID, Color(49, 49, 49), i % 2 ? 0.0 : 0.25 * PIXEL_MM }));
            figure.getRoot().add(lines.back().get());
        }
        for (int i = 0; i < 80; ++i) {
            auto label = std::make_unique<Label>();
            label->setText(
                QStringLiteral("<html><span %1>Point %2<br>dz = %3 mm</span></html>")
                    .arg(LabelBase::getRTFStyleAttribute(Font::DEFAULT_FONT_SANS, 9.0, Color(0, 0, 160)))
                    .arg(i)
                    .arg(0.01 * i));
            const QPointF position(20.0 + (i % 10) * 48.0, 20.0 + (i / 10) * 30.0);
            label->setPosition(position);
            label->setConnectorPoint(position + QPointF(30.0, 20.0));
            labels.push_back(std::move(label));
            figure.getRoot().add(labels.back().get());
        }
        legend.setTitle(QStringLiteral("Deviation [mm]"));
        legend.setScale(
            { { 0, 0, 255 }, { 0, 255, 255 }, { 0, 255, 0 }, { 255, 255, 0 }, { 255, 0, 0 } }, -1.0, 1.0);
        legend.setCenter(QPointF(AREA.width() / 2.0, AREA.height() - 15.0));
        figure.getRoot().add(&legend);
    }
};

std::unique_ptr<GL::RenderCallback> _callback;
std::unique_ptr<GL::RenderObject> _view;
std::unique_ptr<OverlayFigure> _figure;

void clearView()
{
    _view->makeCurrent();
    ::glClearColor(0.5f, 0.6f, 0.7f, 1.0f);
    ::glClear(GL_COLOR_BUFFER_BIT);
}

// The library's way: read back, paint on the copy, write back.
void paintOnFrameBuffer()
{
    GFigure2::GLFigurePainter painter;
    painter.begin(_view.get(), AREA);
    painter.drawFigure(_figure->figure, QPointF(0.0, 0.0), 1.0);
    painter.end();
}

// The other way: a transparent image blended over the view as one textured quad.
void paintThroughTexture()
{
    QImage image(W, H, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        GFigure2::setFigureTransform(painter, image.size(), AREA);
        _figure->figure.paint(painter);
    }
    ::glPushAttrib(GL_ALL_ATTRIB_BITS);
    ::glMatrixMode(GL_PROJECTION);
    ::glPushMatrix();
    ::glLoadIdentity();
    ::glMatrixMode(GL_MODELVIEW);
    ::glPushMatrix();
    ::glLoadIdentity();
    ::glViewport(0, 0, W, H);
    ::glDisable(GL_DEPTH_TEST);
    ::glDisable(GL_STENCIL_TEST);
    ::glDisable(GL_LIGHTING);
    ::glEnable(GL_BLEND);
    ::glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA); // premultiplied
    GLuint texture = 0;
    ::glGenTextures(1, &texture);
    ::glBindTexture(GL_TEXTURE_2D, texture);
    ::glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    ::glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    ::glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    ::glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, W, H, 0, GL_BGRA, GL_UNSIGNED_BYTE, image.constBits());
    ::glEnable(GL_TEXTURE_2D);
    ::glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    ::glBegin(GL_QUADS); // image row 0 (texture t = 0) at the top
    ::glTexCoord2d(0.0, 1.0);
    ::glVertex2d(-1.0, -1.0);
    ::glTexCoord2d(1.0, 1.0);
    ::glVertex2d(1.0, -1.0);
    ::glTexCoord2d(1.0, 0.0);
    ::glVertex2d(1.0, 1.0);
    ::glTexCoord2d(0.0, 0.0);
    ::glVertex2d(-1.0, 1.0);
    ::glEnd();
    ::glDeleteTextures(1, &texture);
    ::glPopMatrix();
    ::glMatrixMode(GL_PROJECTION);
    ::glPopMatrix();
    ::glMatrixMode(GL_MODELVIEW);
    ::glPopAttrib();
}

QImage readView()
{
    QImage image(W, H, QImage::Format_ARGB32);
    ::glFinish();
    ::glReadPixels(0, 0, W, H, GL_BGRA, GL_UNSIGNED_BYTE, image.bits());
    return image;
}

void BM_ImageAndTexturedQuad(benchmark::State &state)
{
    for (auto _ : state) {
        clearView();
        paintThroughTexture();
        ::glFinish();
    }
}

void BM_ReadPaintWrite(benchmark::State &state)
{
    for (auto _ : state) {
        clearView();
        paintOnFrameBuffer();
        ::glFinish();
    }
}

void BM_CachedSprites(benchmark::State &state)
{
    double step = 0.1;
    for (auto _ : state) {
        clearView();
        for (const auto &label : _figure->labels)
            label->move(step, step);
        step = -step;
        GFigure2::CachedFigurePainter painter;
        painter.begin(_view.get(), AREA);
        painter.drawFigure(_figure->figure, QPointF(0.0, 0.0), 1.0);
        painter.end();
        ::glFinish();
    }
}

BENCHMARK(BM_CachedSprites)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(3);
BENCHMARK(BM_ImageAndTexturedQuad)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(3);
BENCHMARK(BM_ReadPaintWrite)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(3);

// Pixels whose channels differ by more than two steps (the two ways round antialiased edges
// differently).
int differingPixels(const QImage &a, const QImage &b)
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            count += std::abs(qRed(p) - qRed(q)) > 2 || std::abs(qGreen(p) - qGreen(q)) > 2
                || std::abs(qBlue(p) - qBlue(q)) > 2;
        }
    }
    return count;
}

} // namespace

int main(int argc, char **argv)
{
    const GL::HeadlessApplication application(argc, argv);
    _callback = std::make_unique<GL::RenderCallback>();
    _view.reset(GL::RenderObject::createRenderObject(_callback.get(), W, H));
    _figure = std::make_unique<OverlayFigure>();

    clearView();
    const QImage background = readView();
    paintThroughTexture();
    const QImage throughTexture = readView();
    clearView();
    paintOnFrameBuffer();
    const QImage onFrameBuffer = readView();
    const int differing = differingPixels(throughTexture, onFrameBuffer);
    std::printf("%d x %d view, %d pixels painted; direct painting and textured quad differ in %d pixels\n", W,
        H, differingPixels(background, throughTexture), differing);
    std::fflush(stdout);

    Bench::MedianReporter reporter;
    Bench::runInterleaved(argc, argv, reporter);
    double quad = 0.0, direct = 0.0, cached = 0.0;
    if (reporter.median("BM_ImageAndTexturedQuad", &quad) && reporter.median("BM_ReadPaintWrite", &direct))
        std::printf(
            "medians: read, paint and write back %.2f ms, image and textured quad %.2f ms; the direct "
            "way takes %.2f of the quad's time\n",
            direct, quad, direct / quad);
    if (reporter.median("BM_CachedSprites", &cached) && direct > 0.0)
        std::printf("cached sprites of moving labels: %.2f ms, %.3f of read, paint and write back\n", cached,
            cached / direct);
    benchmark::Shutdown();
    _figure.reset();
    _view.reset();
    _callback.reset();
    return differing == 0 ? 0 : 1;
}
