// The primitive renderer on a real view: silhouettes where the geometry puts them (a cylinder
// across and along its axis, a sphere, a circle), line end symbols, every supported type drawn
// with the default GL state left behind and no GL error, and degenerate geometry left out
// with a single trace line instead of a crash or an error.
#include "gcad/host/cad/vaq_cad_mesh_cylinder_fit.h"
#include "gcad/host/cad/vaq_cad_primitive_adapter.h"
#include "gcad/host/cad/vaq_cad_primitive_circle.h"
#include "gcad/host/cad/vaq_cad_primitive_line.h"
#include "gcad/host/cad/vaq_cad_primitive_plane.h"
#include "gcad/host/cad/vaq_cad_primitive_point.h"
#include "gcad/host/cad/vaq_cad_primitive_slot.h"
#include "gcad/host/cad/vaq_cad_primitive_solid.h"
#include "gcad/renderers/gcad_r_primitive.h"
#include "tests/support/gcad_gl_test.h"
#include "tests/support/prog_error_message.h"

#include <QImage>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

using namespace Vaq;
using namespace Vaq::CAD;
using Vec = BaVec3d<double>;

namespace {

const StageIdentifier STAGE = StageIdentifier::DEFAULT_DATASET;
const double NaN = std::numeric_limits<double>::quiet_NaN();

// One element of every type the primitive renderer draws, each within 5 units of the origin.
std::vector<std::unique_ptr<Element>> oneOfEachType()
{
    using E = ElementCreator;
    std::vector<std::unique_ptr<Element>> all;
    for (E::Element_t t :
        { E::POINT, E::REFERENCE_POINT, E::FIXTURE_POINT, E::TARGET_POINT, E::NOMINAL_POINT })
        all.push_back(std::make_unique<PointBase>(Vec(1, 1, 0), t));
    for (E::Element_t t : { E::LINE, E::LINE_SEGMENT, E::NOMINAL_LINE_SEGMENT }) {
        auto line = std::make_unique<LineBase>(Vec(-4, -2, 0), Vec(4, 2, 0), t);
        line->setSymbols(LineBase::LS_POINT, LineBase::LS_ARROW);
        all.push_back(std::move(line));
    }
    for (E::Element_t t : { E::CIRCLE, E::NOMINAL_CIRCLE })
        all.push_back(std::make_unique<CircleBase>(Circle3d({ 0, 0, 0 }, { 0, 0, 1 }, 3.0), t));
    all.push_back(std::make_unique<Disc>(Disc3d({ 0, 0, 0 }, { 0, 1, 1 }, 3.0)));
    for (E::Element_t t : { E::PLANE, E::NOMINAL_PLANE })
        all.push_back(std::make_unique<PlaneBase>(Vec(0, 0, 0), Vec(1, 0, 1), 6.0, t));
    all.push_back(
        std::make_unique<LimitedPlane>(std::vector<Vec> { { -3, -3, 0 }, { 3, -3, 0 }, { 0, 3, 1 } }));
    all.push_back(std::make_unique<AdapterPlane>(Vec(0, 0, 0), Vec(0, 0, 1), Vec(1, 0, 0), 6.0, 2.0));
    for (E::Element_t t : { E::SLOT, E::NOMINAL_SLOT, E::ROUNDED_RECTANGLE, E::NOMINAL_ROUNDED_RECTANGLE })
        all.push_back(std::make_unique<LongholeBase>(Vec(-2, 0, 0), Vec(2, 0, 0), Vec(0, 0, 1), 3.0, 0.5, t));
    for (E::Element_t t : { E::SPHERE, E::NOMINAL_SPHERE, E::REFERENCE_SPHERE, E::TOOLING_BALL })
        all.push_back(std::make_unique<SphereBase>(Sphere3d({ 0, 0, 0 }, 3.0), t));
    for (E::Element_t t : { E::CYLINDER, E::NOMINAL_CYLINDER, E::PIN })
        all.push_back(std::make_unique<CylinderBase>(Cylinder3d({ 0, 0, 0 }, { 1, 1, 0 }, 2.0, 6.0), t));
    for (E::Element_t t : { E::CONE, E::NOMINAL_CONE })
        all.push_back(std::make_unique<ConeBase>(Cone3d({ 0, 0, -2 }, 3.0, { 0, 1, 2 }, 1.0), t));
    all.push_back(
        std::make_unique<Paraboloid>(Paraboloid3d(Transformation::translation({ 0, 0, 2 }), 1.0, 2.0)));
    all.push_back(std::make_unique<Label>(Vec(-1, 2, 0)));
    all.push_back(std::make_unique<AdapterEdge>(Vec(0, 0, 0), Vec(1, 0, 0), Vec(0, 1, 0), 6.0, 3.0));
    all.push_back(std::make_unique<AdapterCylinder2>(Cylinder3d({ 0, 0, 0 }, { 0, 1, 0 }, 1.5, 5.0)));
    all.push_back(std::make_unique<AdapterSphere2>(Sphere3d({ 0, 2, 0 }, 1.5), Vec(0, -1, 0), 4.0));
    all.push_back(std::make_unique<RegularPolyholeBase>(Vec(0, 0, 0), Vec(0, 0, 1), Vec(3, 0, 0), 6));
    return all;
}

class PrimitiveRendering : public Vaq::Test::GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        scene.getRendererContainer().registerRenderer(new GCAD::PrimitiveRenderer(&scene));
        view->setScale(20.0); // 10 pixels per unit
    }

    template<typename Kind> Kind *show(std::unique_ptr<Kind> element)
    {
        Kind *shown = element.get();
        shown->getElemProperties()->color = Color(255, 255, 255);
        // Wider than the default, so that a width left behind shows.
        shown->getElemProperties()->lineWidth = 2.0;
        scene.show(shown, STAGE);
        elements.push_back(std::move(element));
        return shown;
    }
    void clear()
    {
        scene.entries.clear();
        elements.clear();
    }
    // Repaints; the GL errors the repaint raised go to glErrors.
    QImage paint()
    {
        view->makeCurrent();
        while (::glGetError() != GL_NO_ERROR) { }
        view->repaintWidget();
        view->makeCurrent();
        glErrors = 0;
        while (::glGetError() != GL_NO_ERROR)
            ++glErrors;
        image = view->getRenderedImage();
        return image;
    }
    // Whether anything is drawn at the model point moved by (dx, dy) pixels.
    bool drawn(const Vec &point, double dx = 0.0, double dy = 0.0) const
    {
        const BaVec2d<double> p = pixelOf(point);
        return image.pixelColor(int(std::floor(p.x + dx)), H - 1 - int(std::floor(p.y + dy)))
            != QColor(Qt::black);
    }
    bool empty() const
    {
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixelColor(x, y) != QColor(Qt::black))
                    return false;
        return true;
    }
    int countTraces(const std::string &traces, const std::string &text) const
    {
        int count = 0;
        for (std::size_t at = traces.find(text); at != std::string::npos; at = traces.find(text, at + 1))
            ++count;
        return count;
    }

    std::vector<std::unique_ptr<Element>> elements;
    QImage image;
    int glErrors = 0;
};

TEST_F(PrimitiveRendering, aCylinderShowsItsRadiusAcrossAndAlongItsAxis)
{
    // Across: radius 3 (30 pixels), 12 long along x. The band reaches 30 pixels off the axis.
    show(std::make_unique<CylinderBase>(Cylinder3d({ 0, 0, 0 }, { 2, 0, 0 }, 3.0, 12.0)));
    paint();
    for (double x : { -5.0, 0.0, 5.0 }) {
        EXPECT_TRUE(drawn({ x, 0, 0 }, 0, 27)) << x;
        EXPECT_TRUE(drawn({ x, 0, 0 }, 0, -27)) << x;
        EXPECT_FALSE(drawn({ x, 0, 0 }, 0, 33)) << x;
        EXPECT_FALSE(drawn({ x, 0, 0 }, 0, -33)) << x;
    }
    EXPECT_FALSE(drawn({ 6.5, 0, 0 }));

    // Along: the view looks down the axis, and only the rims show, as a ring of 30 pixels.
    clear();
    show(std::make_unique<CylinderBase>(Cylinder3d({ 0, 0, 0 }, { 0, 0, 1 }, 3.0, 4.0)));
    paint();
    const double s = std::sqrt(0.5);
    for (const auto &[dx, dy] :
        { std::pair(1.0, 0.0), std::pair(0.0, -1.0), std::pair(-s, s), std::pair(s, s) }) {
        bool ring = false;
        for (double r = 29.0; r <= 31.0; r += 0.5)
            ring = ring || drawn({ 0, 0, 0 }, r * dx, r * dy);
        EXPECT_TRUE(ring) << dx << " " << dy;
        EXPECT_FALSE(drawn({ 0, 0, 0 }, 34 * dx, 34 * dy)) << dx << " " << dy;
        EXPECT_FALSE(drawn({ 0, 0, 0 }, 20 * dx, 20 * dy)) << dx << " " << dy;
    }
}

TEST_F(PrimitiveRendering, aSphereAndACircleShowTheirOutlines)
{
    show(std::make_unique<SphereBase>(Sphere3d({ 0, 0, 0 }, 4.0)));
    paint();
    for (const auto &[dx, dy] : { std::pair(1.0, 0.0), std::pair(0.0, 1.0), std::pair(-0.6, -0.8) }) {
        EXPECT_TRUE(drawn({ 0, 0, 0 }, 37 * dx, 37 * dy)) << dx << " " << dy;
        EXPECT_FALSE(drawn({ 0, 0, 0 }, 43 * dx, 43 * dy)) << dx << " " << dy;
    }

    // A circle of radius 4 facing the viewer: the filled disc inside, nothing outside.
    clear();
    show(std::make_unique<CircleBase>(Circle3d({ 1, 1, 0 }, { 0, 0, 1 }, 4.0)));
    paint();
    for (const auto &[dx, dy] : { std::pair(0.8, 0.6), std::pair(-0.6, 0.8), std::pair(0.0, -1.0) }) {
        EXPECT_TRUE(drawn({ 1, 1, 0 }, 37 * dx, 37 * dy)) << dx << " " << dy;
        EXPECT_FALSE(drawn({ 1, 1, 0 }, 43 * dx, 43 * dy)) << dx << " " << dy;
    }
}

TEST_F(PrimitiveRendering, aLineShowsAMarkerAtAStartOfSymbol2AndAnArrowheadAtAnEndOfSymbol1)
{
    // A line along x from -5 to 5; its arrowhead is 35 pixels long and 35 x sin 15 = 9 pixels
    // wide to each side at its base, the marker of point size 3 reaches about 5.7 pixels.
    LineBase *line = show(std::make_unique<LineBase>(Vec(-5, 0, 0), Vec(5, 0, 0)));
    paint();
    EXPECT_TRUE(drawn({ 0, 0, 0 }));
    EXPECT_FALSE(drawn({ 5, 0, 0 }, -25, 4));
    EXPECT_FALSE(drawn({ -5, 0, 0 }, 0, 4));

    line->setSymbols(LineBase::LS_POINT, LineBase::LS_ARROW);
    paint();
    EXPECT_TRUE(drawn({ 5, 0, 0 }, -25, 4));
    EXPECT_TRUE(drawn({ 5, 0, 0 }, -25, -4));
    EXPECT_FALSE(drawn({ 5, 0, 0 }, 5, 0)); // the apex sits on the end
    EXPECT_TRUE(drawn({ -5, 0, 0 }, 0, 4));
    EXPECT_FALSE(drawn({ -5, 0, 0 }, -25, 4)); // no arrow at the start
}

TEST_F(PrimitiveRendering, everySupportedTypeDrawsSomethingWithoutGLErrorAndLeavesTheDefaultState)
{
    std::vector<ElementCreator::Element_t> types;
    for (std::unique_ptr<Element> &element : oneOfEachType()) {
        clear();
        const ElementCreator::Element_t type = element->getType();
        types.push_back(type);
        show(std::move(element));
        paint();
        EXPECT_FALSE(empty()) << type;
        EXPECT_EQ(glErrors, 0) << type;
    }
    // The fixture checks the "GL-Default error" trace; these are all the renderer's types.
    std::sort(types.begin(), types.end());
    const std::vector<ElementCreator::Element_t> expected = { ElementCreator::Element_t(2),
        ElementCreator::Element_t(7), ElementCreator::Element_t(8), ElementCreator::Element_t(9),
        ElementCreator::Element_t(10), ElementCreator::Element_t(15), ElementCreator::Element_t(17),
        ElementCreator::Element_t(18), ElementCreator::Element_t(19), ElementCreator::Element_t(25),
        ElementCreator::Element_t(30), ElementCreator::Element_t(54), ElementCreator::Element_t(70),
        ElementCreator::Element_t(71), ElementCreator::Element_t(72), ElementCreator::Element_t(97),
        ElementCreator::Element_t(98), ElementCreator::Element_t(99), ElementCreator::Element_t(100),
        ElementCreator::Element_t(118), ElementCreator::Element_t(119), ElementCreator::Element_t(122),
        ElementCreator::Element_t(123), ElementCreator::Element_t(125), ElementCreator::Element_t(126),
        ElementCreator::Element_t(128), ElementCreator::Element_t(129), ElementCreator::Element_t(130),
        ElementCreator::Element_t(131), ElementCreator::Element_t(134), ElementCreator::Element_t(135),
        ElementCreator::Element_t(136), ElementCreator::Element_t(137), ElementCreator::Element_t(140) };
    EXPECT_EQ(types, expected);
    std::vector<ElementCreator::Element_t> supported
        = scene.getRendererContainer().getRenderer(ElementCreator::CIRCLE)->getSupportedTypes();
    std::sort(supported.begin(), supported.end());
    EXPECT_EQ(supported, expected);
}

TEST_F(PrimitiveRendering, degenerateGeometryIsLeftOutWithOneTraceAndAConeOfEqualRadiiIsACylinder)
{
    show(std::make_unique<CircleBase>(Circle3d({ 0, 0, 0 }, { 0, 0, 1 }, 0.0)))->setFileName("flat circle");
    show(std::make_unique<SphereBase>(Sphere3d({ NaN, 0, 0 }, 1.0)))->setFileName("lost sphere");
    show(std::make_unique<CylinderBase>(Cylinder3d({ 0, 0, 0 }, { 0, 0, 0 }, 1.0, 2.0)))
        ->setFileName("no axis");
    show(std::make_unique<LineBase>(Vec(1, 1, 1), Vec(1, 1, 1), ElementCreator::LINE_SEGMENT))
        ->setFileName("no length");
    show(std::make_unique<RegularPolyholeBase>(Vec(0, 0, 0), Vec(0, 0, 1), Vec(3, 0, 0), 2))
        ->setFileName("2 gon");
    takeTraces();
    paint();
    EXPECT_TRUE(empty());
    EXPECT_EQ(glErrors, 0);
    paint();
    const std::string traces = takeTraces();
    for (const char *name : { "flat circle", "lost sphere", "no axis", "no length", "2 gon" })
        EXPECT_EQ(countTraces(traces, std::string(name) + " not drawn: its geometry is degenerate"), 1)
            << name;

    // Radii 2 and 2 along x from -4 to 4, or so nearly 2 that the side lines never meet: the
    // band of a cylinder.
    for (double radius : { 2.0, 2.000001 }) {
        clear();
        show(std::make_unique<ConeBase>(Cone3d({ -4, 0, 0 }, 2.0, { 4, 0, 0 }, radius)));
        paint();
        EXPECT_TRUE(drawn({ 0, 0, 0 }, 0, 17)) << radius;
        EXPECT_FALSE(drawn({ 0, 0, 0 }, 0, 23)) << radius;
        EXPECT_EQ(glErrors, 0);
    }
}

TEST_F(PrimitiveRendering, otherTypesAndElementsWithoutPrimitiveDataAreErrors)
{
    GCAD::CADRenderer *renderer = scene.getRendererContainer().getRenderer(ElementCreator::CIRCLE);
    ASSERT_NE(dynamic_cast<GCAD::PrimitiveRenderer *>(renderer), nullptr);
    view->makeCurrent();
    Element label(ElementCreator::LABEL), bare(ElementCreator::CIRCLE);
    renderer->setup({ &label, STAGE }, {}, 1);
    EXPECT_EQ(Vaq::Test::progErrorMessage([&] { renderer->draw(); }), "unsupported type");
    renderer->finish();
    renderer->setup({ &bare, STAGE }, {}, 1);
    EXPECT_EQ(Vaq::Test::progErrorMessage([&] { renderer->draw(); }), "wrong element type");
    renderer->finish();
}

} // namespace
