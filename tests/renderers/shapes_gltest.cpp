// The drawing routines on a real view: where each shape lands in pixels, that sizes given in
// pixels survive zooming and axis stretching, and that every routine leaves the default GL
// state behind (the fixture fails a test on the "GL-Default error" trace).
#include "gcad/host/gl/vaq_gl_stencil_handler.h"
#include "gcad/host/gl/vaq_gl_tools.h"
#include "gcad/renderers/gcad_r_primitive.h"
#include "tests/support/gcad_gl_test.h"

#include <QImage>

#include <cmath>
#include <functional>
#include <memory>

using namespace Vaq;
using CAD::ElementCreator;
using GCAD::CADGLRenderer;

namespace {

using Vec = BaVec3d<double>;

// Draws whatever the test hands it as the single render type of its element.
class ShapeRenderer : public CADGLRenderer
{
public:
    explicit ShapeRenderer(GCAD::RenderCallback *callback)
        : CADGLRenderer(callback)
    {
        m_supported_types = { ElementCreator::LABEL };
    }
    std::function<void(ShapeRenderer &)> shapes;
    using CADGLRenderer::disableRenderMode;
    using CADGLRenderer::enableRenderMode;

    // The material, as initMaterial would load it for an element of this colour.
    void setColor(const Color &color)
    {
        m_front_color = m_back_color = color;
        applyMaterial(1);
    }

protected:
    void preDrawInternal(unsigned, int) override { }
    bool drawInternal() override
    {
        if (shapes)
            shapes(*this);
        return true;
    }
    void postDrawInternal(int) override { }
};

class Shapes : public Vaq::Test::GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        renderer = new ShapeRenderer(&scene);
        scene.getRendererContainer().registerRenderer(renderer);
        // The element only spans the view volume: a cube of side 20 around the origin. It is
        // drawn over the scene, where blended surfaces are allowed.
        element.reset(Vaq::Test::makeElement(ElementCreator::LABEL, "shapes", -10, -10, 10, 10));
        element->setBoundingBox(
            CAD::StageIdentifier::NO_STAGE, CAD::BBT_GEOMETRY, Box3d(Vec(-10, -10, -10), Vec(10, 10, 10)));
        element->setRenderLevel(CAD::RL_FOREGROUND);
        scene.show(element.get());
        view->setScale(40.0); // 0.2 model units per pixel
    }

    void draw(std::function<void(ShapeRenderer &)> shapes)
    {
        renderer->shapes = std::move(shapes);
        view->repaintWidget();
        image = view->getRenderedImage();
    }
    // The colour of the pixel dx, dy pixels (right, up) from where the model point appears.
    QColor at(const Vec &point, double dx = 0.0, double dy = 0.0) const
    {
        const BaVec2d<double> p = pixelOf(point);
        const int x = int(std::floor(p.x + dx)), y = int(std::floor(p.y + dy));
        EXPECT_TRUE(image.valid(x, H - 1 - y)) << "outside the view: " << x << " " << y;
        return image.pixelColor(x, H - 1 - y);
    }
    static bool isBackground(const QColor &c) { return c == QColor(0, 0, 0); }
    // Whether anything was drawn within a pixel of there (lines are one pixel wide).
    bool drawnNear(const Vec &point, double dx = 0.0, double dy = 0.0) const
    {
        for (int i = -1; i <= 1; ++i)
            for (int j = -1; j <= 1; ++j)
                if (!isBackground(at(point, dx + i, dy + j)))
                    return true;
        return false;
    }
    // An opaque unlit square in the xy plane at height z.
    static void drawSquare(double half, double z, const Color &color)
    {
        ::glDisable(GL_LIGHTING);
        ::glColor3ub(color.r, color.g, color.b);
        ::glBegin(GL_QUADS);
        ::glVertex3d(-half, -half, z);
        ::glVertex3d(half, -half, z);
        ::glVertex3d(half, half, z);
        ::glVertex3d(-half, half, z);
        ::glEnd();
        ::glEnable(GL_LIGHTING);
    }

    ShapeRenderer *renderer = nullptr;
    std::unique_ptr<CAD::Element> element;
    QImage image;
};

TEST_F(Shapes, AMarkerKeepsItsPixelSizeWhenTheViewZoomsOrStretches)
{
    // A 10-pixel marker reaches phi x 10 = 16.2 pixels to each side of its centre.
    Vec position(2, 1, 0);
    const auto marker
        = [&](ShapeRenderer &r) { r.drawPointMarker(position, 10.0, Color(255, 0, 0), 0, false); };
    const auto expectSize = [&](const char *what) {
        const QColor centre = at(position);
        EXPECT_GT(centre.red(), 40) << what;
        EXPECT_EQ(centre.green(), 0) << what;
        for (const auto &[dx, dy] :
            { std::pair(1, 0), std::pair(-1, 0), std::pair(0, 1), std::pair(0, -1) }) {
            EXPECT_FALSE(isBackground(at(position, 15 * dx, 15 * dy))) << what << " " << dx << " " << dy;
            EXPECT_TRUE(isBackground(at(position, 18 * dx, 18 * dy))) << what << " " << dx << " " << dy;
        }
    };
    draw(marker);
    expectSize("as fitted");
    view->setScale(10.0);
    draw(marker);
    expectSize("zoomed in");
    view->setAxisScale({ 1.0, 3.0, 0.5 });
    draw(marker);
    expectSize("stretched");

    // Far zoomed in, a one-pixel marker would be too small to find: it keeps 5e-05 units.
    view->setAxisScale({ 1.0, 1.0, 1.0 });
    view->setScale(0.001); // 5e-06 units per pixel: the floor is 10 pixels
    position = Vec(0, 0, 0);
    draw([&](ShapeRenderer &r) { r.drawPointMarker(position, 1.0, Color(255, 0, 0), 0, false); });
    expectSize("floored");
}

TEST_F(Shapes, StyleOneMarkersStandOnAScreenFacingSquare)
{
    // A 3-pixel marker ends within 5 pixels of its centre; the square reaches 5 pixels out
    // along both screen axes, so its corners show beside the marker.
    for (int style : { 0, 1 }) {
        draw([&](ShapeRenderer &r) { r.drawPointMarker(Vec(0, 0, 0), 3.0, Color(0, 255, 0), style, false); });
        EXPECT_FALSE(isBackground(at(Vec(0, 0, 0))));
        EXPECT_EQ(isBackground(at(Vec(0, 0, 0), 4.5, 4.5)), style == 0) << style;
        EXPECT_EQ(isBackground(at(Vec(0, 0, 0), -4.5, -4.5)), style == 0) << style;
        EXPECT_TRUE(isBackground(at(Vec(0, 0, 0), 7, 7))) << style;
    }
    // A transparent marker in no colour at all shows nothing, yet its element can be picked
    // there (labels are found by their invisible markers).
    draw([&](ShapeRenderer &r) { r.drawPointMarker(Vec(0, 0, 0), 3.0, Color(0, 0, 0, 0), 1, true); });
    EXPECT_TRUE(isBackground(at(Vec(0, 0, 0), 0.5, 0.5)));
    const BaVec2d<double> centre = pixelOf(Vec(0, 0, 0));
    EXPECT_EQ(view->getStencilHandler()->getNearestRenderedElement({ centre.x + 0.5, centre.y + 0.5 }),
        element.get());
    EXPECT_EQ(
        view->getStencilHandler()->getNearestRenderedElement({ centre.x + 30.5, centre.y + 0.5 }), nullptr);

    // Turned, the square still faces the viewer.
    view->setRotation({ 0.7, -0.4, 0.2 });
    draw([&](ShapeRenderer &r) { r.drawPointMarker(Vec(0, 0, 0), 3.0, Color(0, 255, 0), 1, false); });
    EXPECT_FALSE(isBackground(at(Vec(0, 0, 0), 4.5, -4.5)));
}

// What a routine left changed that the library's default state check does not cover: the
// face culled, the shade model and the model-view stack; empty when nothing.
GLint modelViewDepth()
{
    GLint depth = 0;
    ::glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    return depth;
}

std::string stateLeftBehind(GLint modelViewDepthBefore)
{
    QString difference;
    GL::GLTools::checkDefaults(&difference);
    std::string left = difference.toStdString();
    GLint value = 0;
    ::glGetIntegerv(GL_CULL_FACE_MODE, &value);
    if (value != GL_FRONT)
        left += " cull face not GL_FRONT";
    ::glGetIntegerv(GL_SHADE_MODEL, &value);
    if (value != GL_SMOOTH)
        left += " shade model not GL_SMOOTH";
    if (modelViewDepth() != modelViewDepthBefore)
        left += " model-view stack depth changed";
    return left;
}

TEST_F(Shapes, EveryFigureShowsWhereItIsAndLeavesTheDefaultStateBehind)
{
    // One model unit is 5 pixels; offsets are pixels from the origin, inside and outside each
    // figure, chosen at least a pixel and a half away from its edges.
    const Vec o(0, 0, 0), x(1, 0, 0), y(0, 1, 0), z(0, 0, 1);
    const Color red(255, 0, 0, 160);
    using Offsets = std::vector<std::pair<double, double>>;
    struct Figure
    {
        const char *name;
        std::function<void(ShapeRenderer &)> draw;
        Offsets inside, outside;
    };
    const std::vector<Figure> figures = {
        { "half turn of 20 pixels radius from +x, clockwise seen from the viewer",
            [&](ShapeRenderer &r) {
                r.enableRenderMode(CADGLRenderer::RM_LINES_NO_DEPTH_WRITE);
                r.drawCircleInternal(o, z, x * 4, false, 0, M_PI, red);
                r.disableRenderMode(CADGLRenderer::RM_LINES_NO_DEPTH_WRITE);
            },
            { { 0, -20 }, { 14, -14 }, { -20, 0 } }, { { 0.5, 19.5 }, { 14.5, 14.5 }, { 0.5, 0.5 } } },
        { "triangle with a corner 30 pixels above its centre",
            [&](ShapeRenderer &r) { r.drawRegularPolygon(RegularPolygon3d(o, z, y * 6, 3), red, 1, 1); },
            { { 0.5, 28.5 }, { -20.5, -12.5 }, { 8.5, -8.5 } }, { { -15.5, 20.5 }, { 0.5, -17.5 } } },
        { "circle element of 10 pixels radius, its cross 30 pixels wide",
            [&](ShapeRenderer &r) { r.drawCircleElement(Circle3d(o, z, 2), red, 1, 1); },
            { { 0, 10 }, { -10, 0 }, { 5.5, 5.5 }, { 0, 14 } },
            { { 7.5, 10.5 }, { 18.5, 0.5 }, { -3.5, -12.5 } } },
        { "arrow head, 30 pixels along +x", [&](ShapeRenderer &r) { r.drawArrowHead(o, x * 10, 6, red); },
            { { 15.5, 0.5 }, { 27.5, 4.5 } }, { { -3.5, 0.5 }, { 33.5, 0.5 }, { 15.5, 8.5 } } },
        { "double arrow head, 30 pixels along +y",
            [&](ShapeRenderer &r) { r.drawDoubleArrowHead(o, y * 10, 6, red); },
            { { 0.5, 10.5 }, { 0.5, 25.5 } }, { { 0.5, 33.5 }, { 0.5, -3.5 }, { 8.5, 20.5 } } },
        { "cylinder of radius 10 pixels, 40 long", [&](ShapeRenderer &r) { r.drawCylinder(o, x, 2, 8, red); },
            { { 0.5, 0.5 }, { 18.5, 8.5 }, { -18.5, -8.5 } }, { { 0.5, 12.5 }, { 23.5, 0.5 } } },
        { "cone from radius 10 pixels to 5 along +y",
            [&](ShapeRenderer &r) { r.drawCone(Cone3d(o, 2, y * 8, 1), red, 1, false); },
            { { 0.5, 2.5 }, { 0.5, 37.5 }, { -8.5, 2.5 } }, { { 8.5, 37.5 }, { 0.5, 43.5 }, { 12.5, 0.5 } } },
        { "cone outline", [&](ShapeRenderer &r) { r.drawCone(Cone3d(o, 2, y * 8, 1), red, 1, true); },
            { { -7.5, 20.0 }, { 7.5, 20.0 }, { 0.5, 0.0 }, { 0.5, 40.0 } }, { { 0.5, 20.5 } } },
        { "sphere of radius 15 pixels",
            [&](ShapeRenderer &r) { r.drawSphere(Sphere3d(o, 3), 50, true, red); },
            { { 0.5, 0.5 }, { 10.5, 0.5 } }, { { 17.5, 0.5 }, { 12.5, 12.5 } } },
        { "paraboloid opening towards the viewer, vertex 25 pixels right",
            [&](ShapeRenderer &r) {
                r.drawParaboloid(Paraboloid3d(Transformation::translation(x * -5), 1, 4), 50, true, red);
            },
            { { 25.5, 0.5 }, { 40.5, 0.5 }, { 10.5, 0.5 } },
            { { 0.5, 0.5 }, { 48.5, 0.5 }, { 25.5, 23.5 } } },
        { "polygon",
            [&](ShapeRenderer &r) {
                r.drawPolygon(z, { o, x * 4, x * 4 + y * 2, y * 2 }, red, 1);
            },
            { { 10.5, 5.5 }, { 18.5, 8.5 } }, { { -3.5, 5.5 }, { 10.5, 13.5 } } },
        { "slot 60 by 20 pixels", [&](ShapeRenderer &r) { r.drawSlot(x * -4, x * 4, z, 4, red, 1, 1); },
            { { 27.5, 0.5 }, { -27.5, 0.5 }, { 10.5, 8.5 } },
            { { 33.5, 0.5 }, { 28.5, 8.5 }, { 3.5, 12.5 } } },
        { "rounded rectangle 60 by 20 pixels",
            [&](ShapeRenderer &r) { r.drawRoundedRectangle(x * -4, x * 4, z, 4, 0.5, red, 1, 1); },
            { { 27.5, 0.5 }, { 28.5, 8.5 }, { -28.5, -8.5 } }, { { 33.5, 0.5 }, { 3.5, 12.5 } } },
        { "axis arrow 50 pixels along +x",
            [&](ShapeRenderer &r) {
                r.applyAxisMaterial(red);
                r.drawAxisArrow(false, o, x * 10);
            },
            { { 20.5, 0.5 }, { 45.5, 0.5 }, { 40.5, 1.5 } },
            { { 20.5, 3.5 }, { 53.5, 0.5 }, { -3.5, 0.5 } } },
        { "caliper jaw along x, its back towards -y",
            [&](ShapeRenderer &r) { r.drawCaliperJaw(o, x, y, 8, 4, red, Color(255, 255, 255)); },
            { { 10.5, -5.5 }, { -15.5, -2.5 } }, { { 10.5, 3.5 }, { 25.5, -5.5 }, { 10.5, -13.5 } } },
        { "origin sphere of 11 pixels", [&](ShapeRenderer &r) { r.drawOriginSphere(&scene, o, false); },
            { { 0.5, 0.5 }, { 7.5, 0.5 } }, { { 14.5, 0.5 } } },
    };
    for (const Figure &figure : figures) {
        std::string left;
        draw([&](ShapeRenderer &r) {
            r.setColor(red);
            // The library's default face to cull, which the host's defaults do not set.
            ::glCullFace(GL_FRONT);
            const GLint depth = modelViewDepth();
            figure.draw(r);
            left = stateLeftBehind(depth);
        });
        EXPECT_EQ(left, "") << figure.name;
        // Whole-pixel offsets name points on lines, which may light either neighbouring pixel.
        for (const auto &[dx, dy] : figure.inside)
            EXPECT_TRUE(dx == std::floor(dx) ? drawnNear(o, dx, dy) : !isBackground(at(o, dx, dy)))
                << figure.name << ": " << dx << " " << dy;
        for (const auto &[dx, dy] : figure.outside)
            EXPECT_TRUE(isBackground(at(o, dx, dy))) << figure.name << ": " << dx << " " << dy;
    }
}

TEST_F(Shapes, BlendedFillsShowWhatIsBehindAndTheSpotlightShinesOverEverything)
{
    // A half-transparent red disc of 20 pixels over an opaque blue square: both show inside
    // the disc, only blue outside.
    const Vec origin(0, 0, 0);
    const Color red(255, 0, 0, 128);
    draw([&](ShapeRenderer &r) {
        drawSquare(8, -2, Color(0, 0, 255));
        r.setColor(red);
        r.drawDisc(origin, Vec(0, 0, 1), 4, red);
    });
    for (const auto &[dx, dy] : { std::pair(0.5, 0.5), std::pair(15.5, 0.5), std::pair(-0.5, -17.5) }) {
        const QColor c = at(origin, dx, dy);
        EXPECT_GT(c.red(), 60) << dx << " " << dy;
        EXPECT_GT(c.blue(), 90) << dx << " " << dy;
        EXPECT_LT(c.blue(), 160) << dx << " " << dy;
    }
    EXPECT_EQ(at(origin, 25.5, 0.5), QColor(0, 0, 255));

    // The square now drawn with the scene, in front of everything; the view's spotlight of 10
    // units (50 pixels) comes later, yellow at alpha 60, and blends over it. Discs are drawn by
    // the primitive renderer.
    scene.getRendererContainer().registerRenderer(new GCAD::PrimitiveRenderer(&scene));
    element->setRenderLevel(CAD::RL_SCENE);
    scene.setSpotlightEnabled(true);
    draw([&](ShapeRenderer &) { drawSquare(15, 9, Color(0, 0, 255)); });
    const QColor centre = at(origin, 0.5, 0.5);
    EXPECT_GT(centre.red(), 30);
    EXPECT_GT(centre.blue(), 100);
    EXPECT_LT(centre.blue(), 250);
    EXPECT_NE(at(origin, 45.5, 0.5), QColor(0, 0, 255));
    EXPECT_EQ(at(origin, 55.5, 0.5), QColor(0, 0, 255));
}

} // namespace
