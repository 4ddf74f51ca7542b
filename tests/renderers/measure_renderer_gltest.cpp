// The measurement, GPS, measuring-plan and other renderers on a real view, checked by their
// pixels: arrowheads that keep their pixel size through a zoom, a pulled-out distance with its
// extension lines and a handle that getPullOutDist finds within 4 pixels, the arc of an angle,
// every supported type drawn once without a GL error or a changed default state, and
// degenerate or missing data drawn as far as it makes sense.
#include "gcad/host/cad/vaq_cad_distance.h"
#include "gcad/host/cad/vaq_cad_gps.h"
#include "gcad/host/cad/vaq_cad_measurement.h"
#include "gcad/host/cad/vaq_cad_other.h"
#include "gcad/host/cad/vaq_cad_pmp.h"
#include "gcad/host/gl/vaq_gl_api.h"
#include "gcad/renderers/gcad_r_gps.h"
#include "gcad/renderers/gcad_r_measure.h"
#include "gcad/renderers/gcad_r_other.h"
#include "gcad/renderers/gcad_r_pmp.h"
#include "tests/support/gcad_gl_test.h"
#include "tests/support/prog_error_message.h"

#include <QImage>

#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <set>

using namespace Vaq;
using CAD::ElementCreator;
using Vec = BaVec3d<double>;

namespace {

const Color GREEN(0, 255, 0);

class MeasureRendering : public Vaq::Test::GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        for (GCAD::CADRenderer *renderer : std::initializer_list<GCAD::CADRenderer *> {
                 new GCAD::GpsRenderer(&scene), new GCAD::MeasureRenderer(&scene),
                 new GCAD::OtherRenderer(&scene), new GCAD::PmpRenderer(&scene) })
            scene.getRendererContainer().registerRenderer(renderer);
        // Invisible labels at the corners: every test sees the square (0, 0) to (10, 10).
        corners[0] = std::make_unique<CAD::LabelPoint>(ElementCreator::LABEL_POINT, Vec(0, 0, 0));
        corners[1] = std::make_unique<CAD::LabelPoint>(ElementCreator::LABEL_POINT, Vec(10, 10, 0));
    }
    // Shows only the corners and element (which the test keeps).
    template<typename T> T *show(std::unique_ptr<T> element, const Color &color = GREEN)
    {
        element->getElemProperties()->color = color;
        scene.entries.clear();
        scene.show(corners[0].get());
        scene.show(corners[1].get());
        scene.show(element.get());
        T *shown = element.get();
        elements.push_back(std::move(element));
        return shown;
    }
    QImage paint(const GL::UpdateOptions &options = GL::UpdateOptions())
    {
        view->repaintWidget(options);
        image = view->getRenderedImage();
        return image;
    }
    QColor at(const Vec &point, int dx = 0, int dy = 0) const
    {
        const BaVec2d<double> pixel = pixelOf(point);
        return image.pixelColor(int(pixel.x) + dx, H - 1 - (int(pixel.y) + dy));
    }
    bool drawn(const Vec &point, int dx = 0, int dy = 0) const
    {
        return at(point, dx, dy) != QColor(Qt::black);
    }
    int drawnPixels() const
    {
        int count = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                count += image.pixelColor(x, y) != QColor(Qt::black);
        }
        return count;
    }
    // How many pixels of the window column x are drawn within rows of y.
    int columnThickness(int x, int y, int rows) const
    {
        int count = 0;
        for (int dy = -rows; dy <= rows; ++dy)
            count += image.pixelColor(x, H - 1 - (y + dy)) != QColor(Qt::black);
        return count;
    }

    std::unique_ptr<CAD::LabelPoint> corners[2];
    std::vector<std::unique_ptr<CAD::Element>> elements;
    QImage image;
};

} // namespace

TEST_F(MeasureRendering, ArrowheadsKeepTheirPixelSizeWhileTheDimensionLineFollowsTheZoom)
{
    const Vec a(1, 5, 0), b(9, 5, 0);
    show(std::make_unique<CAD::DistanceBase>(ElementCreator::DISTANCE, a, b));
    // Measured 15 pixels in from the tip, where the arrowhead is a few pixels thick and the line
    // alone one: the arrowhead's thickness there depends only on its length in pixels.
    int thickness[2] = {}, lineLength[2] = {};
    const double scales[2] = { 10.0, 15.0 };
    for (int i = 0; i < 2; ++i) {
        view->setScale(scales[i]);
        paint();
        const BaVec2d<double> tip = pixelOf(b);
        lineLength[i] = int(tip.x - pixelOf(a).x);
        thickness[i] = columnThickness(int(tip.x) - 15, int(tip.y), 30);
    }
    EXPECT_NEAR(double(lineLength[0]) / lineLength[1], 1.5, 0.05);
    EXPECT_GT(thickness[0], 3);
    EXPECT_NEAR(thickness[0], thickness[1], 1);
}

TEST_F(MeasureRendering, APulledOutDistanceDrawsExtensionLinesAndAHandleThatIsFoundWithinFourPixels)
{
    auto *distance
        = show(std::make_unique<CAD::DistanceBase>(ElementCreator::DISTANCE, Vec(2, 3, 0), Vec(8, 3, 0)));
    paint();
    // Not pulled out: the dimension line and its handle lie on the points, nothing runs off them.
    EXPECT_EQ(at({ 5, 3, 0 }, 0, 2), QColor(0, 255, 0));
    EXPECT_FALSE(drawn({ 2, 5, 0 }));
    ASSERT_EQ(scene.getDistanceHandlers().size(), 1u);

    distance->getPullOut()->pullTo({ 4, 7, 0 });
    paint();
    // The dimension line through the pull point at y = 7, joined to the points at x = 2 and 8.
    EXPECT_TRUE(drawn({ 2, 5, 0 }));
    EXPECT_TRUE(drawn({ 8, 5, 0 }));
    EXPECT_FALSE(drawn({ 5, 3, 0 }, 0, 2));
    const Vec handle(5, 7, 0);
    EXPECT_EQ(at(handle, 0, 2), QColor(0, 255, 0)); // the filled square, unlit
    EXPECT_EQ(at(handle, 4, 2), QColor(Qt::black)); // its outline

    const BaVec2d<double> pixel = pixelOf(handle);
    CAD::Element *element = nullptr;
    EXPECT_EQ(scene.getPullOutDist({ pixel.x + 4, pixel.y - 4 }, &element), distance->getPullOut());
    EXPECT_EQ(element, distance);
    EXPECT_EQ(scene.getPullOutDist({ pixel.x + 6, pixel.y }, nullptr), nullptr);

    // A moving view and a snapshot neither draw the handle nor announce it.
    paint(GL::UpdateOptions(GL::UpdateOptions::US_VIEW, GL::UpdateOptions::UT_INTERACTIVE));
    EXPECT_TRUE(scene.getDistanceHandlers().empty());
    distance->setHandleEnabled(false);
    paint();
    EXPECT_TRUE(scene.getDistanceHandlers().empty());
}

TEST_F(MeasureRendering, AnAngleArcRunsBetweenItsLegsAndAZeroAngleHasNone)
{
    auto angle = std::make_unique<CAD::AngleMeasurement>(
        ElementCreator::ANGLE, Vec(3, 3, 0), Vec(1, 0, 0), Vec(0, 2, 0));
    angle->setLegLength(6.0);
    show(std::move(angle));
    paint();
    // The arc has a third of the legs' length as radius: inside the right angle, not opposite.
    const double r = 2.0 / std::sqrt(2.0);
    EXPECT_TRUE(
        drawn({ 3 + r, 3 + r, 0 }) || drawn({ 3 + r, 3 + r, 0 }, 1, 0) || drawn({ 3 + r, 3 + r, 0 }, 0, 1));
    EXPECT_FALSE(drawn({ 3 - r, 3 - r, 0 }));
    EXPECT_TRUE(drawn({ 3, 8, 0 }));

    show(std::make_unique<CAD::AngleMeasurement>(
        ElementCreator::ANGLE, Vec(3, 3, 0), Vec(1, 0, 0), Vec(2, 0, 0)));
    paint();
    EXPECT_TRUE(drawn({ 3.5, 3, 0 }));
    EXPECT_FALSE(drawn({ 3.5, 3.3, 0 }));
}

TEST_F(MeasureRendering, GpsShapesAndPlanFiguresAreDrawnWhereTheirDataSay)
{
    // Seen along z: the cylinder (diameter 4 about (6, 6)) shows its rims at radius 2 and is open
    // in the middle; the zone's outline is filled; the segment is 3 pixels wide.
    CAD::GpsRenderData shapes;
    shapes.cylinders.push_back({ { 6, 6, 0 }, { 0, 0, 1 }, 4.0, 1.0 });
    shapes.planes.push_back({ { 1, 1, 0 }, { 3, 1, 0 }, { 3, 3, 0 }, { 1, 3, 0 } });
    shapes.lines.emplace_back(Vec(1, 9, 0), Vec(9, 9, 0));
    auto gps = std::make_unique<CAD::GpsElement>(ElementCreator::GPS_CYLINDRICITY);
    gps->setRenderData(shapes);
    show(std::move(gps));
    paint();
    EXPECT_TRUE(drawn({ 8, 6, 0 }) || drawn({ 8, 6, 0 }, -1, 0));
    EXPECT_FALSE(drawn({ 6, 6, 0 }));
    EXPECT_FALSE(drawn({ 8.6, 6, 0 }));
    EXPECT_TRUE(drawn({ 2, 2, 0 }));
    EXPECT_FALSE(drawn({ 3.6, 2, 0 }));
    EXPECT_TRUE(drawn({ 5, 9, 0 }, 0, 1) && drawn({ 5, 9, 0 }, 0, -1));

    // A disc point probed along x sits the material offset and the clearance (1 + 2) beyond its
    // nominal point: seen edge-on, its disc of radius 1.5 is a short line across y there.
    auto disc = std::make_unique<CAD::PmpElement>(ElementCreator::PMP_DISC_POINT_CHANGE);
    disc->setNominalPoint({ 3, 5, 0 }, { 1, 0, 0 });
    disc->setJaw({ 0, 0, 1 }, 1.5);
    disc->setClearance(2.0);
    disc->setMaterialOffset(1.0);
    show(std::move(disc));
    paint();
    EXPECT_TRUE(drawn({ 6, 6, 0 }) || drawn({ 6, 6, 0 }, -1, 0) || drawn({ 6, 6, 0 }, 1, 0));
    EXPECT_FALSE(drawn({ 6, 7, 0 }));
    EXPECT_FALSE(drawn({ 3, 6, 0 }));
}

TEST_F(MeasureRendering, EverySupportedTypeDrawsWithoutAGlErrorAndLeavesTheDefaultState)
{
    const Vec o(5, 5, 0), x(1, 0, 0), y(0, 1, 0), z(0, 0, 1);
    std::vector<std::unique_ptr<CAD::Element>> all;
    // Measurements.
    for (auto type : { ElementCreator::DISTANCE, ElementCreator::DIRECTIONAL_DISTANCE,
             ElementCreator::PMP_DISTANCE_CHANGE, ElementCreator::PMP_DISTANCE }) {
        all.push_back(std::make_unique<CAD::DistanceBase>(type, Vec(2, 2, 0), Vec(8, 2, 0)));
        all.back()->getPullOut()->pullTo({ 5, 6, 0 });
    }
    all.push_back(std::make_unique<CAD::DiscCaliper>(Vec(2, 5, 0), Vec(8, 5, 0), x, 2.0, true));
    all.push_back(std::make_unique<CAD::SegmentCaliper>(Vec(2, 5, 0), Vec(8, 5, 0), z, y, 3.0));
    for (auto type : { ElementCreator::POINT_MEASUREMENT, ElementCreator::LINE_MEASUREMENT,
             ElementCreator::POINT_LINE_MEASUREMENT, ElementCreator::POINT_PLANE_MEASUREMENT }) {
        auto feature = std::make_unique<CAD::FeatureMeasurement>(type);
        feature->setMeasuredPoint({ 5, 8, 1 });
        feature->setMeasuredLine({ 1, 2, 0 }, { 9, 2, 0 });
        feature->setMeasuredPlane(Plane3d(o, z), { { 1, 1, 0 }, { 9, 1, 0 }, { 9, 9, 0 }, { 1, 9, 0 } });
        all.push_back(std::move(feature));
    }
    for (auto type :
        { ElementCreator::ANGLE, ElementCreator::ANGLE_MEASUREMENT, ElementCreator::PMP_ANGLE_CHANGE }) {
        auto angle = std::make_unique<CAD::AngleMeasurement>(type, Vec(2, 2, 0), x, Vec(1, 1, 0));
        angle->setLegLength(6.0);
        angle->setLine(0, { 1, 1, 0 }, { 9, 1, 0 });
        all.push_back(std::move(angle));
    }
    for (auto type : { ElementCreator::SIX_DOF_MEASUREMENT, ElementCreator::SIX_DOF_TRACKING })
        all.push_back(std::make_unique<CAD::SixDofMeasurement>(type, o, x, y, z, 3.0));
    // GPS elements, each with one shape of every kind.
    CAD::GpsRenderData shapes;
    shapes.planes.push_back({ { 1, 1, 0 }, { 4, 1, 0 }, { 4, 4, 0 }, { 1, 4, 0 } });
    shapes.lines.emplace_back(Vec(1, 8, 0), Vec(9, 8, 0));
    shapes.cylinders.push_back({ { 7, 3, 0 }, z, 2.0, 1.0 });
    shapes.points.push_back({ 5, 5, 0 });
    shapes.spheres.emplace_back(Vec(7, 7, 0), 1.0);
    for (int t = ElementCreator::GPS_ROUNDNESS; t <= ElementCreator::GPS_TOTAL_RUNOUT + 3; ++t) {
        const auto type = t > ElementCreator::GPS_TOTAL_RUNOUT
            ? std::array { ElementCreator::GPS_DATUM_SYSTEM, ElementCreator::GPS_FLATNESS,
                  ElementCreator::GPS_STRAIGHTNESS }[t - ElementCreator::GPS_TOTAL_RUNOUT - 1]
            : ElementCreator::Element_t(t);
        auto gps = std::make_unique<CAD::GpsElement>(type);
        gps->setRenderData(shapes);
        all.push_back(std::move(gps));
    }
    // The measuring plan.
    for (auto type : { ElementCreator::PMP_POINT_CHANGE, ElementCreator::PMP_SURFACE_POINT_CHANGE,
             ElementCreator::PMP_SECTION_POINT_CHANGE, ElementCreator::PMP_SYMMETRY_POINT_CHANGE,
             ElementCreator::PMP_TRIM_POINT_CHANGE, ElementCreator::PMP_DISC_POINT_CHANGE,
             ElementCreator::PMP_SEGMENT_POINT_CHANGE, ElementCreator::PMP_CIRCLE_CHANGE,
             ElementCreator::PMP_SLOT_CHANGE, ElementCreator::PMP_RECTANGLE_HOLE_CHANGE,
             ElementCreator::PMP_REGULAR_POLYHOLE_CHANGE }) {
        auto pmp = std::make_unique<CAD::PmpElement>(type);
        pmp->setNominalPoint(o, y);
        pmp->setVectorLength(3.0);
        pmp->setLastTouchedPoint(Vec(7, 6, 0));
        pmp->setJaw(x, 2.0);
        pmp->setMaterialOffset(0.5);
        pmp->setNominalCircle(Circle3d(o, z, 2.0));
        pmp->setNominalHole({ { 3, 5, 0 }, { 7, 5, 0 }, z, 2.0, 0.4 });
        pmp->setNominalRegularPolyhole(RegularPolygon3d(o, z, { 7, 5, 0 }, 6));
        all.push_back(std::move(pmp));
    }
    // The other kinds.
    all.push_back(std::make_unique<CAD::ScaleBar>(Vec(1, 1, 0), Vec(9, 9, 0)));
    auto camera = std::make_unique<CAD::Camera>(o, Vec(0, 0, 0));
    camera->showObjectPoints = camera->showImageRays = true;
    camera->setObjectPoints({ { 2, 2, -4 }, { -2, 1, -4 } });
    camera->setRays({ { -1, -1, -2 }, { 1, -1, -2 }, { 1, 1, -2 }, { -1, 1, -2 } });
    all.push_back(std::move(camera));
    all.push_back(std::make_unique<CAD::PolySurface>(
        std::vector<std::vector<Vec>> { { { 1, 1, 0 }, { 9, 1, 0 }, { 9, 9, 0 }, { 1, 9, 0 } } }));
    all.push_back(std::make_unique<CAD::CuttingEdge>(o, x, z, 6.0, 1.0));
    all.push_back(std::make_unique<CAD::CoordSystem>(Vec(2, 2, 0), x * 5, y * 5, z * 5));
    for (auto type : { ElementCreator::LABEL, ElementCreator::LABEL_POINT, ElementCreator::LABEL_DEVIATION,
             ElementCreator::LABEL_NOTE, ElementCreator::LABEL_MEASUREMENT })
        all.push_back(std::make_unique<CAD::LabelPoint>(type, o));

    std::set<ElementCreator::Element_t> covered;
    for (std::unique_ptr<CAD::Element> &element : all) {
        const auto type = element->getType();
        const bool label = dynamic_cast<CAD::LabelPoint *>(element.get()) != nullptr;
        show(std::move(element));
        paint();
        view->makeCurrent();
        EXPECT_EQ(::glGetError(), GLenum(GL_NO_ERROR)) << "type " << type;
        // Labels draw only an invisible marker.
        EXPECT_EQ(drawnPixels() > 0, !label) << "type " << type;
        EXPECT_EQ(takeTraces(), "") << "type " << type;
        covered.insert(type);
    }
    for (GCAD::CADRenderer *renderer : { scene.getRendererContainer().getRenderer(ElementCreator::DISTANCE),
             scene.getRendererContainer().getRenderer(ElementCreator::GPS_POSITION),
             scene.getRendererContainer().getRenderer(ElementCreator::PMP_DISTANCE),
             scene.getRendererContainer().getRenderer(ElementCreator::CAMERA) }) {
        for (ElementCreator::Element_t type : renderer->getSupportedTypes())
            EXPECT_EQ(covered.count(type), 1u) << "type " << type << " not drawn";
    }
}

TEST_F(MeasureRendering, DegenerateAndMissingDataAreDrawnAsFarAsTheyGoOrLeftOutWithOneTrace)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // Coincident points: no line to put arrowheads on, but the handle still shows.
    show(std::make_unique<CAD::DistanceBase>(ElementCreator::DISTANCE, Vec(5, 5, 0), Vec(5, 5, 0)));
    paint();
    EXPECT_EQ(scene.getDistanceHandlers().size(), 1u);
    EXPECT_TRUE(drawn({ 5, 5, 0 }));
    EXPECT_FALSE(drawn({ 5, 5, 0 }, 12, 0));
    // A point that is not a number, null directions, invalid measured data: nothing, and no
    // GL error.
    show(std::make_unique<CAD::DistanceBase>(ElementCreator::DISTANCE, Vec(nan, 5, 0), Vec(5, 5, 0)));
    paint();
    show(std::make_unique<CAD::AngleMeasurement>(ElementCreator::ANGLE, Vec(5, 5, 0), Vec(), Vec(1, 0, 0)));
    paint();
    EXPECT_EQ(drawnPixels(), 0);
    auto invalid = std::make_unique<CAD::AngleMeasurement>(
        ElementCreator::ANGLE_MEASUREMENT, Vec(5, 5, 0), Vec(1, 0, 0), Vec(0, 1, 0));
    invalid->setMeasuredAngleValid(false);
    show(std::move(invalid));
    paint();
    EXPECT_EQ(drawnPixels(), 0);
    show(std::make_unique<CAD::FeatureMeasurement>(ElementCreator::POINT_PLANE_MEASUREMENT));
    paint();
    EXPECT_EQ(drawnPixels(), 0);
    show(std::make_unique<CAD::GpsElement>(ElementCreator::GPS_POSITION));
    paint();
    EXPECT_EQ(drawnPixels(), 0);
    view->makeCurrent();
    EXPECT_EQ(::glGetError(), GLenum(GL_NO_ERROR));
    EXPECT_EQ(takeTraces(), "");

    // An element of a measurement type without measurement data: one trace, nothing drawn.
    show(std::make_unique<CAD::Element>(ElementCreator::DISTANCE, QStringLiteral("bare")));
    paint();
    const std::string traces = takeTraces();
    EXPECT_NE(traces.find("element bare of type 20 has no data of its kind; not drawn"), std::string::npos);
    EXPECT_EQ(traces.find('\n'), traces.size() - 1);

    // A camera needs exactly four image rays; without image rays it draws its body.
    auto camera = std::make_unique<CAD::Camera>(Vec(5, 5, 0), Vec(0, 0, 0));
    camera->showImageRays = true;
    camera->setRays({ { -1, -1, -2 }, { 1, -1, -2 }, { 1, 1, -2 } });
    CAD::Camera *shown = show(std::move(camera));
    EXPECT_EQ(Vaq::Test::progErrorMessage([&] { paint(); }), "rays enthaelt nicht exakt vier elemente");
    shown->showImageRays = false;
    paint();
    EXPECT_TRUE(drawn({ 5, 5, 0 }));
}
