// The drawing routines on a real view: where each shape lands in pixels, that sizes given in
// pixels survive zooming and axis stretching, and that every routine leaves the default GL
// state behind (the fixture fails a test on the "GL-Default error" trace).
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
    using CADGLRenderer::calculateDrawSize;
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
            { std::pair(15, 0), std::pair(-15, 0), std::pair(0, 15), std::pair(0, -15) })
            EXPECT_FALSE(isBackground(at(position, dx, dy))) << what << " " << dx << " " << dy;
        for (const auto &[dx, dy] :
            { std::pair(18, 0), std::pair(-18, 0), std::pair(0, 18), std::pair(0, -18) })
            EXPECT_TRUE(isBackground(at(position, dx, dy))) << what << " " << dx << " " << dy;
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
    // Turned, the square still faces the viewer.
    view->setRotation({ 0.7, -0.4, 0.2 });
    draw([&](ShapeRenderer &r) { r.drawPointMarker(Vec(0, 0, 0), 3.0, Color(0, 255, 0), 1, false); });
    EXPECT_FALSE(isBackground(at(Vec(0, 0, 0), 4.5, -4.5)));
}

TEST_F(Shapes, ArcsRunClockwiseAndDiscsBlendOverWhatIsBehind)
{
    const Vec origin(0, 0, 0), up(0, 0, 1);
    // A half turn of 20 pixels radius from +x, clockwise seen from the viewer: through -y.
    draw([&](ShapeRenderer &r) {
        r.enableRenderMode(CADGLRenderer::RM_LINES_NO_DEPTH_WRITE);
        r.drawCircleInternal(origin, up, Vec(4, 0, 0), false, 0, M_PI, Color(255, 255, 0));
        r.disableRenderMode(CADGLRenderer::RM_LINES_NO_DEPTH_WRITE);
    });
    EXPECT_TRUE(drawnNear(origin, 0, -20));
    EXPECT_TRUE(drawnNear(origin, 14.1, -14.1));
    EXPECT_FALSE(drawnNear(origin, 0, 20));
    EXPECT_FALSE(drawnNear(origin, 14.1, 14.1));
    EXPECT_FALSE(drawnNear(origin));

    // A half-transparent red disc of 20 pixels over an opaque blue square: both show inside
    // the disc, only blue outside.
    draw([&](ShapeRenderer &r) {
        drawSquare(8, -2, Color(0, 0, 255));
        r.setColor(Color(255, 0, 0, 128));
        r.drawDisc(origin, up, 4, Color(255, 0, 0, 128));
    });
    for (const auto &[dx, dy] : { std::pair(0.5, 0.5), std::pair(15.5, 0.5), std::pair(-0.5, -17.5) }) {
        const QColor c = at(origin, dx, dy);
        EXPECT_GT(c.red(), 60) << dx << " " << dy;
        EXPECT_GT(c.blue(), 90) << dx << " " << dy;
        EXPECT_LT(c.blue(), 160) << dx << " " << dy;
    }
    EXPECT_EQ(at(origin, 25.5, 0.5), QColor(0, 0, 255));
}

TEST_F(Shapes, CircleElementsAndPolygonsFillOutlineAndMarkTheirCentre)
{
    const Vec centre(-4, 0, 0), up(0, 0, 1);
    // A triangle with a corner straight above its centre; the cross is 30 pixels wide, the
    // needle points at the viewer.
    const RegularPolygon3d triangle(centre, up, centre + Vec(0, 6, 0), 3);
    const Color green(0, 255, 0, 100);
    draw([&](ShapeRenderer &r) {
        r.setColor(green);
        r.drawRegularPolygon(triangle, green, 1.0, 1.0);
        r.setColor(Color(0, 0, 255, 100));
        r.drawCircleElement(Circle3d(Vec(5, 0, 0), up, 2), Color(0, 0, 255, 100), 1.0, 1.0);
    });
    const auto green_ = [&](double dx, double dy) { return at(centre, dx, dy).green() > 0; };
    EXPECT_TRUE(green_(0.5, 28.5)); // just below the top corner
    EXPECT_TRUE(green_(-20.5, -12.5)); // near the lower left corner, 30 pixels from the centre
    EXPECT_FALSE(green_(-15.5, 20.5)); // beside the top corner, outside the triangle
    EXPECT_FALSE(green_(0.5, -17.5)); // below the lower edge (15 pixels below the centre)
    // The cross arms end 15 pixels out; at 12 pixels the cross is opaque over the blended fill.
    EXPECT_GT(at(centre, -12.5, 0.5).green(), at(centre, -12.5, 4.5).green() + 60);

    // The circle element of 10 pixels radius beside it; its cross reaches beyond it.
    const Vec circle(5, 0, 0);
    EXPECT_TRUE(drawnNear(circle, 0, 10));
    EXPECT_TRUE(drawnNear(circle, -10, 0));
    EXPECT_GT(at(circle, 5.5, 5.5).blue(), 0);
    EXPECT_TRUE(drawnNear(circle, 0, 14));
    EXPECT_TRUE(isBackground(at(circle, 7.5, 10.5)));
    EXPECT_TRUE(isBackground(at(circle, 18.5, 0.5)));
}

} // namespace
