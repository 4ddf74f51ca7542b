// The drawn kinds of the element model: where a pulled-out dimension line runs, the boxes of
// measurements and the values they derive (angle, tolerance frame, reference point, hole edges,
// poly-surface triangles), and the kind checks of their constructors.
#include "gcad/host/cad/vaq_cad_distance.h"
#include "gcad/host/cad/vaq_cad_gps.h"
#include "gcad/host/cad/vaq_cad_measurement.h"
#include "gcad/host/cad/vaq_cad_other.h"
#include "gcad/host/cad/vaq_cad_pmp.h"
#include "tests/support/prog_error_message.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace Vaq;
using namespace Vaq::CAD;
using Vec = BaVec3d<double>;

namespace {

void expectNear(const Vec &actual, const Vec &expected)
{
    EXPECT_NEAR((actual - expected).length(), 0.0, 1e-12) << actual.x << " " << actual.y << " " << actual.z;
}

} // namespace

TEST(DistPullOut, TheDimensionLineMovesSquareToThePointsThroughThePullPoint)
{
    DistPullOut pullOut;
    const Vec p1(0, 0, 0), p2(10, 0, 0);
    EXPECT_EQ(pullOut.getKinkPoints(p1, p2), DistPullOut::Segment(p1, p2));

    // Pulled to (3, 4, 0): only the part square to p1-p2 moves the line, along it nothing.
    pullOut.pullTo({ 3, 4, 0 });
    const auto [a, b] = pullOut.getKinkPoints(p1, p2);
    expectNear(a, { 0, 4, 0 });
    expectNear(b, { 10, 4, 0 });
    EXPECT_EQ(pullOut.getMainLine(p1, p2), pullOut.getKinkPoints(p1, p2));
    // By a direction: only the part along it, whatever else the pull point says.
    pullOut.pullTo({ 3, 4, 5 });
    const auto [c, d] = pullOut.getKinkPointsByDir(p1, p2, { 0, 0, 2 });
    expectNear(c, { 0, 0, 5 });
    expectNear(d, { 10, 0, 5 });
    EXPECT_EQ(pullOut.getKinkPointsByDir(p1, p2, {}), DistPullOut::Segment(p1, p2));
    // Coincident points have no direction to keep: the line moves the whole way.
    expectNear(pullOut.getKinkPoints(p1, p1).first, { 3, 4, 5 });
    pullOut.reset();
    EXPECT_FALSE(pullOut.isPulledOut());
}

TEST(Measurements, BoxesHoldTheGeometryAndLeaveOutPointsThatAreNotNumbers)
{
    DistanceBase distance(ElementCreator::DISTANCE, { 0, 0, 0 }, { 4, 0, 0 });
    distance.getPullOut()->pullTo({ 2, 3, -1 });
    Box3d box;
    ASSERT_TRUE(distance.getBoundingBox(StageIdentifier::NO_STAGE, BBT_GEOMETRY, CCS_ELEMENT, box));
    EXPECT_EQ(box.getMin(), Vec(0, 0, -1));
    EXPECT_EQ(box.getMax(), Vec(4, 3, 0));
    // Drawn over the scene, where the handles are announced.
    EXPECT_EQ(distance.getRenderLevel(), RL_FOREGROUND);

    const double nan = std::numeric_limits<double>::quiet_NaN();
    distance.setPoints({ nan, 0, 0 }, { 1, 1, 1 });
    distance.getPullOut()->reset();
    ASSERT_TRUE(distance.getBoundingBox(StageIdentifier::NO_STAGE, BBT_GEOMETRY, CCS_ELEMENT, box));
    EXPECT_EQ(box.getMin(), Vec(1, 1, 1));

    FeatureMeasurement nothing(ElementCreator::POINT_MEASUREMENT);
    EXPECT_FALSE(nothing.getBoundingBox(StageIdentifier::NO_STAGE, BBT_GEOMETRY, CCS_ELEMENT, box));
    nothing.setMeasuredLine({ 1, 1, 1 }, { 1, 1, 1 });
    EXPECT_FALSE(nothing.isMeasuredLineValid());
}

TEST(Measurements, ConstructorsRefuseKindsTheyAreNotMadeFor)
{
    using Vaq::Test::progErrorMessage;
    EXPECT_EQ(progErrorMessage([] { DistanceBase(ElementCreator::ANGLE, {}, {}); }), "wrong element type");
    EXPECT_EQ(progErrorMessage([] { FeatureMeasurement(ElementCreator::DISTANCE); }), "wrong element type");
    EXPECT_EQ(progErrorMessage([] { GpsElement(ElementCreator::PMP_DISTANCE); }), "wrong element type");
    EXPECT_EQ(progErrorMessage([] { PmpElement(ElementCreator::PMP_DISTANCE); }), "wrong element type");
    EXPECT_EQ(progErrorMessage([] { LabelPoint(ElementCreator::LABEL_MARKER, {}); }), "wrong element type");
    EXPECT_EQ(progErrorMessage([] { GpsElement(ElementCreator::GPS_TOTAL_RUNOUT); }), "no error");
}

TEST(Measurements, DerivedValues)
{
    // An angle between (1, 0, 0) and (1, 1, 0) is 45 degrees; a null leg gives none.
    EXPECT_NEAR(
        AngleMeasurement(ElementCreator::ANGLE, {}, { 2, 0, 0 }, { 1, 1, 0 }).getAngle(), M_PI / 4, 1e-12);
    EXPECT_EQ(AngleMeasurement(ElementCreator::ANGLE, {}, {}, { 1, 1, 0 }).getAngle(), 0.0);

    GpsElement flatness(ElementCreator::GPS_FLATNESS);
    flatness.setTolerance(0.05);
    flatness.setDatums({ "A", "B" });
    EXPECT_EQ(flatness.getFrameText(), QStringLiteral("\u23e5 0.05 A B"));
    GpsElement datums(ElementCreator::GPS_DATUM_SYSTEM);
    datums.setDatums({ "A", "B", "C" });
    EXPECT_EQ(datums.getFrameText(), QStringLiteral("A B C"));

    // Point changes supply their nominal point as reference point, holes none.
    PmpElement point(ElementCreator::PMP_SURFACE_POINT_CHANGE), circle(ElementCreator::PMP_CIRCLE_CHANGE);
    point.setNominalPoint({ 1, 2, 3 }, { 0, 0, 1 });
    Vec reference;
    ASSERT_TRUE(point.getReferencePoint(&reference));
    EXPECT_EQ(reference, Vec(1, 2, 3));
    EXPECT_FALSE(circle.getReferencePoint(&reference));

    // A slot from (0, 0) to (4, 0), 2 wide: across at x = 2, lengthwise from -1 to 5.
    PmpElement slot(ElementCreator::PMP_SLOT_CHANGE);
    slot.setNominalHole({ { 0, 0, 0 }, { 4, 0, 0 }, { 0, 0, 1 }, 2.0, 0.0 });
    const std::vector<Vec> edges = slot.getNominalEdgePoints();
    ASSERT_EQ(edges.size(), 4u);
    expectNear(edges[0], { 2, -1, 0 });
    expectNear(edges[1], { 2, 1, 0 });
    expectNear(edges[2], { -1, 0, 0 });
    expectNear(edges[3], { 5, 0, 0 });

    // A pentagon fans into three triangles, all facing +z for a counter-clockwise outline.
    PolySurface surface({ { { 0, 0, 0 }, { 2, 0, 0 }, { 3, 1, 0 }, { 1, 3, 0 }, { -1, 1, 0 } } });
    surface.tesselate();
    ASSERT_EQ(surface.getTriangles().size(), 3u);
    EXPECT_EQ(surface.getTriangles()[2].getP3(), 4u);
    for (const BaVec3d<float> &n : surface.getTriangleNormals())
        EXPECT_EQ(n, BaVec3d<float>(0, 0, 1));

    // A camera turned a quarter about z maps its x axis onto y, and sits at its centre.
    Camera camera({ 1, 1, 1 }, { 0, 0, M_PI / 2 });
    expectNear(camera.getTransformation().transform({ 1, 0, 0 }), { 1, 2, 1 });
    camera.setObjectPoints({ { 3, 0, 4 }, { 0, 0, 1 } });
    EXPECT_DOUBLE_EQ(camera.getAvgPointDistance(), 3.0);
}
