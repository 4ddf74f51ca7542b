// A full repaint of 10000 primitives (the size of a large inspection plan: points, lines,
// circles, planes, slots, spheres, cylinders, cones, polygon holes) at 1920 x 1080, against
// the same drawing cycle over 10000 elements whose renderer draws nothing. The difference per
// element is what the primitive renderer's figures cost.
#include "apps/scene/scene_element_list_callback.h"
#include "bench/median_reporter.h"
#include "gcad/host/cad/vaq_cad_primitive_circle.h"
#include "gcad/host/cad/vaq_cad_primitive_line.h"
#include "gcad/host/cad/vaq_cad_primitive_plane.h"
#include "gcad/host/cad/vaq_cad_primitive_point.h"
#include "gcad/host/cad/vaq_cad_primitive_slot.h"
#include "gcad/host/cad/vaq_cad_primitive_solid.h"
#include "gcad/host/gl/vaq_gl_headless_application.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/renderers/gcad_gl_renderer.h"

#include <cstdio>
#include <memory>

using namespace Vaq;
using Vec = BaVec3d<double>;

namespace {

constexpr int ELEMENTS = 10000;
constexpr int COLUMNS = 100; // the elements stand on a 100 x 100 grid, 10 units apart

class EmptyRenderer : public GCAD::CADGLRenderer
{
public:
    explicit EmptyRenderer(GCAD::RenderCallback *callback)
        : GCAD::CADGLRenderer(callback)
    {
        m_supported_types = { CAD::ElementCreator::LABEL };
    }

protected:
    void preDrawInternal(unsigned, int) override { }
    bool drawInternal() override { return true; }
    void postDrawInternal(int) override { }
};

// Primitive number i, about its grid place: one kind after the other.
std::unique_ptr<CAD::Element> primitive(int i)
{
    const Vec c(10.0 * (i % COLUMNS), 10.0 * (i / COLUMNS), 0.0), z(0, 0, 1);
    switch (i % 9) {
    case 0:
        return std::make_unique<CAD::PointBase>(c);
    case 1: {
        auto line = std::make_unique<CAD::LineBase>(c, c + Vec(6, 3, 0));
        line->setSymbols(CAD::LineBase::LS_POINT, CAD::LineBase::LS_ARROW);
        return line;
    }
    case 2:
        return std::make_unique<CAD::CircleBase>(Circle3d(c, z, 3.0));
    case 3:
        return std::make_unique<CAD::PlaneBase>(c, Vec(0, 1, 1), 6.0);
    case 4:
        return std::make_unique<CAD::LongholeBase>(c, c + Vec(4, 0, 0), z, 2.0);
    case 5:
        return std::make_unique<CAD::SphereBase>(Sphere3d(c, 3.0));
    case 6:
        return std::make_unique<CAD::CylinderBase>(Cylinder3d(c, Vec(1, 1, 1), 2.0, 6.0));
    case 7:
        return std::make_unique<CAD::ConeBase>(Cone3d(c, 3.0, c + Vec(0, 0, 5), 1.0));
    default:
        return std::make_unique<CAD::RegularPolyholeBase>(c, z, c + Vec(3, 0, 0), 6);
    }
}

struct View
{
    explicit View(bool primitives)
    {
        if (!primitives) {
            callback.getRendererContainer().freeAll();
            callback.getRendererContainer().registerRenderer(new EmptyRenderer(&callback));
        }
        for (int i = 0; i < ELEMENTS; ++i) {
            if (primitives) {
                elements.push_back(primitive(i));
            } else {
                elements.push_back(std::make_unique<CAD::Element>(CAD::ElementCreator::LABEL));
                elements.back()->setRenderLevel(CAD::RL_FOREGROUND);
            }
            callback.show(elements.back().get());
        }
        view.reset(GL::RenderObject::createRenderObject(&callback, 1920, 1080));
    }
    void repaint()
    {
        view->repaintWidget();
        view->waitForRendering();
    }
    std::vector<std::unique_ptr<CAD::Element>> elements;
    Gcad::Scene::ElementListCallback callback;
    std::unique_ptr<GL::RenderObject> view;
};

View &view(bool primitives)
{
    static View withPrimitives(true), empty(false);
    return primitives ? withPrimitives : empty;
}

void BM_PrimitivesRepaint(benchmark::State &state)
{
    for (auto _ : state)
        view(true).repaint();
}

void BM_EmptyElementsRepaint(benchmark::State &state)
{
    for (auto _ : state)
        view(false).repaint();
}

GCAD_WALL_CLOCK_BENCHMARK(BM_PrimitivesRepaint, 0.5, 3);
GCAD_WALL_CLOCK_BENCHMARK(BM_EmptyElementsRepaint, 0.5, 3);

} // namespace

int main(int argc, char **argv)
{
    const GL::HeadlessApplication application(argc, argv);
    Bench::MedianReporter reporter;
    Bench::runInterleaved(argc, argv, reporter);
    double primitives = 0.0, empty = 0.0;
    if (reporter.median("BM_PrimitivesRepaint", &primitives)
        && reporter.median("BM_EmptyElementsRepaint", &empty)) {
        const double toUs = 1e3 / ELEMENTS; // medians are in milliseconds per repaint
        std::printf(
            "per element, medians: primitives %.1f us, empty elements %.2f us (repaint %.0f ms against "
            "%.0f ms, %.1f x)\n",
            primitives * toUs, empty * toUs, primitives, empty, primitives / empty);
    }
    benchmark::Shutdown();
    return 0;
}
