// Picking after a repaint, at 1920 x 1080: (a) the element under one pixel and every element in
// the whole view, over 1000 overlapping flat quads (far more elements than the stencil's ids,
// so the ids are resolved several times per repaint), with a check that every pixel's answer is
// the element whose unique flat colour the picture shows there; (b) the rotation centre under a
// pixel on a 10-million-triangle mesh through its spatial tree, against the same ray tested on
// every triangle, with a check that both find the same point.
#include "apps/scene/scene_element_list_callback.h"
#include "bench/median_reporter.h"
#include "gcad/host/cad/vaq_cad_poly_base.h"
#include "gcad/host/cad/vaq_cad_poly_base_render_data.h"
#include "gcad/host/cad/vaq_cad_ray_hit.h"
#include "gcad/host/gl/vaq_gl_api.h"
#include "gcad/host/gl/vaq_gl_headless_application.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/host/gl/vaq_gl_stencil_handler.h"
#include "gcad/renderers/gcad_gl_renderer.h"

#include <QElapsedTimer>
#include <QImage>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>
#include <numeric>
#include <random>

using namespace Vaq;
using CAD::ElementCreator;

namespace {

constexpr int W = 1920, H = 1080;
constexpr int COLUMNS = 40, ROWS = 25; // 1000 quads
constexpr int GRID = 2238; // vertices per side: 2 x 2237^2 = 10008338 triangles

// Draws each element as one unlit quad over its geometry box, in the element's colour.
class FlatQuadRenderer : public GCAD::CADGLRenderer
{
public:
    FlatQuadRenderer(GCAD::RenderCallback *callback, ElementCreator::Element_t type, bool draws)
        : GCAD::CADGLRenderer(callback)
        , m_draws(draws)
    {
        m_supported_types = { type };
    }

protected:
    void preDrawInternal(unsigned, int) override { }
    bool drawInternal() override
    {
        Box3d box;
        if (!m_draws || !m_current_element->getBoundingBox(m_stage, CAD::BBT_GEOMETRY, CAD::CCS_ELEMENT, box))
            return true;
        const Color &c = m_current_element->getElemProperties()->color;
        ::glDisable(GL_LIGHTING);
        ::glColor4ub(c.r, c.g, c.b, 255);
        ::glBegin(GL_QUADS);
        ::glVertex3d(box.getMin().x, box.getMin().y, box.getMax().z);
        ::glVertex3d(box.getMax().x, box.getMin().y, box.getMax().z);
        ::glVertex3d(box.getMax().x, box.getMax().y, box.getMax().z);
        ::glVertex3d(box.getMin().x, box.getMax().y, box.getMax().z);
        ::glEnd();
        ::glEnable(GL_LIGHTING);
        return true;
    }
    void postDrawInternal(int) override { }

private:
    bool m_draws;
};

// Element i's colour: its number plus one in red and green, blue 200 (the background has none).
Color colorOf(int i)
{
    return Color(uint8_t((i + 1) & 0xFF), uint8_t((i + 1) >> 8), 200);
}

// 1000 quads on a 40 x 25 grid of unit cells, each reaching 0.3 into its neighbours, at
// distinct heights in random order, so that every pixel near a cell's edge has two or more
// candidates and the depth test decides.
struct QuadScene
{
    QuadScene()
    {
        callback.getRendererContainer().freeAll();
        callback.getRendererContainer().registerRenderer(
            new FlatQuadRenderer(&callback, ElementCreator::PLANE, true));
        std::vector<int> heights(COLUMNS * ROWS);
        std::iota(heights.begin(), heights.end(), 0);
        std::shuffle(heights.begin(), heights.end(), std::mt19937(3));
        for (int i = 0; i < COLUMNS * ROWS; ++i) {
            const double x = i % COLUMNS, y = i / COLUMNS, z = heights[i] * 0.001;
            auto *quad = new CAD::Element(ElementCreator::PLANE);
            quad->setBoundingBox(CAD::StageIdentifier::NO_STAGE, CAD::BBT_GEOMETRY,
                Box3d(BaVec3d<double>(x - 0.3, y - 0.3, z), BaVec3d<double>(x + 1.3, y + 1.3, z)));
            quad->getElemProperties()->color = colorOf(i);
            quads.emplace_back(quad);
            callback.show(quad);
        }
        view.reset(GL::RenderObject::createRenderObject(&callback, W, H));
        repaint();
    }
    void repaint()
    {
        view->repaintWidget();
        view->waitForRendering();
    }

    Gcad::Scene::ElementListCallback callback;
    std::vector<std::unique_ptr<CAD::Element>> quads;
    std::unique_ptr<GL::RenderObject> view;
};

QuadScene &quadScene()
{
    static QuadScene instance;
    return instance;
}

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Each iteration repaints (not timed), then times the first query.
void BM_PixelAfterRepaint(benchmark::State &state)
{
    QuadScene &s = quadScene();
    std::mt19937 random(11);
    for (auto _ : state) {
        s.repaint();
        const BaVec2d<double> pixel(double(random() % W), double(random() % H));
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(s.callback.getNearestRenderedElement(pixel, false));
        state.SetIterationTime(secondsSince(start));
    }
}

void wholeViewAfterRepaint(benchmark::State &state, bool withLabels)
{
    QuadScene &s = quadScene();
    std::size_t found = 0;
    for (auto _ : state) {
        s.repaint();
        const auto start = std::chrono::steady_clock::now();
        found = s.callback.getRenderedElements({ 0, 0 }, { W - 1, H - 1 }, withLabels, false).size();
        state.SetIterationTime(secondsSince(start));
    }
    if (found != s.quads.size())
        state.SkipWithError("not every quad was found in the whole view");
}

void BM_WholeViewAfterRepaint(benchmark::State &state)
{
    wholeViewAfterRepaint(state, true);
}

void BM_WholeViewWithoutLabelsAfterRepaint(benchmark::State &state)
{
    wholeViewAfterRepaint(state, false);
}

// Pixels whose answer differs from the element whose colour the picture shows there.
long long countWrongPixels(QuadScene &s, unsigned *resolves)
{
    s.repaint();
    *resolves = s.view->getStencilHandler()->getResolveCount();
    const QImage image = s.view->getRenderedImage().convertToFormat(QImage::Format_RGB32);
    long long wrong = 0;
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            const QRgb c = image.pixel(x, y);
            const CAD::Element *expected = nullptr;
            if (qBlue(c) == 200) {
                const int i = qRed(c) + 256 * qGreen(c) - 1;
                if (i < 0 || i >= int(s.quads.size())) {
                    ++wrong; // a colour no quad has
                    continue;
                }
                expected = s.quads[i].get();
            }
            if (s.callback.getNearestRenderedElement({ double(x), double(H - 1 - y) }, false) != expected)
                ++wrong;
        }
    }
    return wrong;
}

// A wavy unit square of GRID x GRID vertices, drawn by a renderer that draws nothing: the
// view is fitted to it without the cost of drawing it.
struct MeshScene
{
    MeshScene()
    {
        QElapsedTimer timer;
        timer.start();
        std::vector<BaVec3d<double>> vertices;
        vertices.reserve(std::size_t(GRID) * GRID);
        for (int i = 0; i < GRID; ++i) {
            for (int j = 0; j < GRID; ++j) {
                const double x = double(j) / (GRID - 1), y = double(i) / (GRID - 1);
                vertices.emplace_back(x, y, height(x, y));
            }
        }
        std::vector<CAD::Triangle> triangles;
        triangles.reserve(2 * std::size_t(GRID - 1) * (GRID - 1));
        for (uint32_t i = 0; i + 1 < GRID; ++i) {
            for (uint32_t j = 0; j + 1 < GRID; ++j) {
                const uint32_t k = i * GRID + j;
                triangles.push_back({ k, k + 1, k + 1 + GRID });
                triangles.push_back({ k, k + 1 + GRID, k + GRID });
            }
        }
        mesh.setMesh(std::move(vertices), std::move(triangles));
        mesh.needsNoBoundary(true);
        mesh.updateVisualization(CAD::StageIdentifier::NO_STAGE, false, false);
        callback.getRendererContainer().freeAll();
        callback.getRendererContainer().registerRenderer(
            new FlatQuadRenderer(&callback, ElementCreator::MESH, false));
        callback.show(&mesh);
        view.reset(GL::RenderObject::createRenderObject(&callback, W, H));
        view->setRotation({ -0.9, 0.0, 0.5 });
        view->repaintWidget();
        std::printf("mesh of %zu triangles in %zu leaves built in %.1f s\n",
            mesh.getData(CAD::StageIdentifier::NO_STAGE)->triangles.size(),
            mesh.getPolyBaseRenderData(CAD::StageIdentifier::NO_STAGE)->getAllLeaves().size(),
            timer.elapsed() / 1000.0);
    }

    static double height(double x, double y) { return 0.05 * std::sin(12 * x) * std::cos(9 * y); }

    // The pixel (window coordinates) at which the surface point over (x, y) appears.
    BaVec2d<double> pixelOf(double x, double y) const
    {
        const BaVec3d<double> p = view->get3d2dTransformation().transform({ x, y, height(x, y) });
        return { p.x, p.y };
    }

    // The nearest hit of the view line through (x, y) over every triangle, as a scene point.
    bool bruteForce(int x, int y, BaVec3d<double> *point) const
    {
        const CAD::Ray ray(view->unproject(x, y, 0.0));
        const CAD::PolyBaseData &data = *mesh.getData(CAD::StageIdentifier::NO_STAGE);
        double best = std::numeric_limits<double>::infinity();
        for (const CAD::Triangle &tri : data.triangles) {
            double t = 0.0;
            if (CAD::rayHitsTriangle(
                    ray, data.vertices[tri[0]], data.vertices[tri[1]], data.vertices[tri[2]], &t)
                && t < best)
                best = t;
        }
        if (best == std::numeric_limits<double>::infinity())
            return false;
        *point = ray.pointAt(best);
        return true;
    }

    CAD::PolyBase mesh;
    Gcad::Scene::ElementListCallback callback;
    std::unique_ptr<GL::RenderObject> view;
};

MeshScene &meshScene()
{
    static MeshScene instance;
    return instance;
}

// A pixel over the mesh, inside its border.
BaVec2d<double> randomPixel(const MeshScene &s, std::mt19937 &random)
{
    std::uniform_real_distribution<double> inside(0.02, 0.98);
    return s.pixelOf(inside(random), inside(random));
}

void BM_RotationCentre(benchmark::State &state)
{
    MeshScene &s = meshScene();
    std::mt19937 random(5);
    double depth = 0.0;
    BaVec3d<double> point;
    for (auto _ : state) {
        const BaVec2d<double> pixel = randomPixel(s, random);
        benchmark::DoNotOptimize(
            s.callback.getRotationCenterPoint(int(pixel.x), int(pixel.y), &depth, &point));
    }
}

void BM_RotationCentreEveryTriangle(benchmark::State &state)
{
    MeshScene &s = meshScene();
    std::mt19937 random(5);
    BaVec3d<double> point;
    for (auto _ : state) {
        const BaVec2d<double> pixel = randomPixel(s, random);
        benchmark::DoNotOptimize(s.bruteForce(int(pixel.x), int(pixel.y), &point));
    }
}

// Repaint and query each take whole milliseconds: three repetitions of a few iterations.
#define GCAD_AFTER_REPAINT_BENCHMARK(function)                                                               \
    BENCHMARK(function)                                                                                      \
        ->Unit(benchmark::kMillisecond)                                                                      \
        ->UseManualTime()                                                                                    \
        ->Iterations(20)                                                                                     \
        ->Repetitions(3)                                                                                     \
        ->ReportAggregatesOnly(true)

GCAD_AFTER_REPAINT_BENCHMARK(BM_PixelAfterRepaint);
GCAD_AFTER_REPAINT_BENCHMARK(BM_WholeViewAfterRepaint);
GCAD_AFTER_REPAINT_BENCHMARK(BM_WholeViewWithoutLabelsAfterRepaint);
GCAD_WALL_CLOCK_BENCHMARK(BM_RotationCentre, 0.2, 3);
GCAD_WALL_CLOCK_BENCHMARK(BM_RotationCentreEveryTriangle, 0.5, 3);

} // namespace

int main(int argc, char **argv)
{
    const GL::HeadlessApplication application(argc, argv);
    unsigned resolves = 0;
    const long long wrong = countWrongPixels(quadScene(), &resolves);
    std::printf("exactness: %lld of %d pixels answer another element than the picture shows (%u stencil "
                "resolves per repaint)\n",
        wrong, W * H, resolves);

    // The first pick on a leaf builds its triangle hierarchy: picks over a grid of surface points
    // reach every leaf; they are timed apart.
    MeshScene &mesh = meshScene();
    QElapsedTimer timer;
    timer.start();
    double depth = 0.0;
    BaVec3d<double> indexed, brute;
    int missed = 0;
    for (int i = 0; i < 64; ++i) {
        for (int j = 0; j < 64; ++j) {
            const BaVec2d<double> pixel = mesh.pixelOf((i + 0.5) / 64, (j + 0.5) / 64);
            missed += !mesh.callback.getRotationCenterPoint(int(pixel.x), int(pixel.y), &depth, &indexed);
        }
    }
    const std::size_t leaves
        = mesh.mesh.getPolyBaseRenderData(CAD::StageIdentifier::NO_STAGE)->getAllLeaves().size();
    std::printf("first picks on all %zu leaves (4096 picks, %d over no surface): %.2f s, %.1f ms per leaf\n",
        leaves, missed, timer.elapsed() / 1000.0, double(timer.elapsed()) / leaves);

    // The tree and every triangle find the same point.
    std::mt19937 random(9);
    double farthest = 0.0;
    int differing = 0;
    for (int k = 0; k < 20; ++k) {
        const BaVec2d<double> pixel = randomPixel(mesh, random);
        const bool found = mesh.callback.getRotationCenterPoint(int(pixel.x), int(pixel.y), &depth, &indexed);
        if (!found || !mesh.bruteForce(int(pixel.x), int(pixel.y), &brute))
            ++differing;
        else
            farthest = std::max(farthest, (indexed - brute).length());
    }
    std::printf("rotation centre of 20 pixels over the mesh: %d not found by both, largest distance between "
                "the two answers %.3g\n",
        differing, farthest);

    Bench::MedianReporter reporter;
    Bench::runInterleaved(argc, argv, reporter);
    double pixel = 0.0, whole = 0.0, plain = 0.0, centre = 0.0, every = 0.0;
    if (reporter.median("BM_PixelAfterRepaint", &pixel) && reporter.median("BM_WholeViewAfterRepaint", &whole)
        && reporter.median("BM_WholeViewWithoutLabelsAfterRepaint", &plain))
        std::printf("medians after a repaint of %zu quads at %dx%d: one pixel %.3f ms (target 2), whole view "
                    "%.2f ms (target 30), %.2f ms of it without the label image\n",
            quadScene().quads.size(), W, H, pixel, whole, plain);
    if (reporter.median("BM_RotationCentre", &centre)
        && reporter.median("BM_RotationCentreEveryTriangle", &every))
        std::printf("rotation centre medians: %.3f ms through the tree (target 20), %.1f ms testing every "
                    "triangle, %.0f x faster (target 50)\n",
            centre, every, every / centre);
    benchmark::Shutdown();
    return 0;
}
