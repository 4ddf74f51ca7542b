// Geometric primitives: each kind's box frames its geometry tightly (checked against points
// sampled on the shape), degenerate data (zero radius or axis, NaN, coinciding points) is
// refused by the accessor and leaves the element without a box, and a kind accepts only its
// own element types.
#include "gcad/host/cad/vaq_cad_mesh_cylinder_fit.h"
#include "gcad/host/cad/vaq_cad_primitive_adapter.h"
#include "gcad/host/cad/vaq_cad_primitive_circle.h"
#include "gcad/host/cad/vaq_cad_primitive_line.h"
#include "gcad/host/cad/vaq_cad_primitive_plane.h"
#include "gcad/host/cad/vaq_cad_primitive_point.h"
#include "gcad/host/cad/vaq_cad_primitive_slot.h"
#include "gcad/host/cad/vaq_cad_primitive_solid.h"
#include "tests/support/prog_error_message.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>

using namespace Vaq;
using namespace Vaq::CAD;
using Vaq::Test::progErrorMessage;
using Vec = BaVec3d<double>;

namespace {

const StageIdentifier STAGE = StageIdentifier::DEFAULT_DATASET;
const double NaN = std::numeric_limits<double>::quiet_NaN();

std::optional<Box3d> boxOf(const Element &element)
{
    Box3d box;
    if (!element.getBoundingBox(STAGE, BBT_GEOMETRY, CCS_ELEMENT, box))
        return std::nullopt;
    return box;
}

// Points on a circle, found by turning two vectors square to the normal (independent of the
// library's own construction).
std::vector<Vec> circlePoints(const Vec &centre, const Vec &normal, double radius)
{
    const Vec n = normal.normalized();
    const Vec a = (std::abs(n.x) < 0.9 ? Vec(1, 0, 0) : Vec(0, 1, 0)).cross(n).normalized();
    const Vec b = n.cross(a);
    std::vector<Vec> points;
    for (int i = 0; i < 3600; ++i) {
        const double t = 2.0 * M_PI * i / 3600;
        points.push_back(centre + a * (radius * std::cos(t)) + b * (radius * std::sin(t)));
    }
    return points;
}

// The box holds every sample and no side lies further than tolerance beyond them.
void expectTightBox(const Element &element, const std::vector<Vec> &samples, double tolerance = 1e-3)
{
    const std::optional<Box3d> box = boxOf(element);
    ASSERT_TRUE(box);
    Box3d sampled;
    for (const Vec &p : samples)
        sampled.extend(p);
    for (int i = 0; i < 3; ++i) {
        EXPECT_LE(box->getMin()[i], sampled.getMin()[i] + 1e-9) << i;
        EXPECT_GE(box->getMax()[i], sampled.getMax()[i] - 1e-9) << i;
        EXPECT_NEAR(box->getMin()[i], sampled.getMin()[i], tolerance) << i;
        EXPECT_NEAR(box->getMax()[i], sampled.getMax()[i], tolerance) << i;
    }
}

void append(std::vector<Vec> &to, const std::vector<Vec> &from)
{
    to.insert(to.end(), from.begin(), from.end());
}

} // namespace

TEST(Primitives, boxesFrameTiltedCirclesCylindersConesAndSlots)
{
    const Vec tilted = Vec(1, 2, 2) * (1.0 / 3.0);
    expectTightBox(CircleBase(Circle3d({ 1, 2, 3 }, tilted, 2.0)), circlePoints({ 1, 2, 3 }, tilted, 2.0));

    // A cylinder of length 6 along the tilted axis: its two rims.
    std::vector<Vec> rims = circlePoints(Vec(1, 2, 3) - tilted * 3.0, tilted, 0.5);
    append(rims, circlePoints(Vec(1, 2, 3) + tilted * 3.0, tilted, 0.5));
    expectTightBox(CylinderBase(Cylinder3d({ 1, 2, 3 }, tilted * 7.0, 0.5, 6.0)), rims);

    std::vector<Vec> cone = circlePoints({ 0, 0, 0 }, { 1, 1, 0 }, 3.0);
    append(cone, circlePoints({ 4, 4, 0 }, { 1, 1, 0 }, 1.0));
    expectTightBox(ConeBase(Cone3d({ 0, 0, 0 }, 3.0, { 4, 4, 0 }, 1.0)), cone);

    // A slot from (0, 0, 0) to (10, 0, 0), 4 wide, in the plane z = 0: its half circles and sides.
    std::vector<Vec> slot = circlePoints({ 0, 0, 0 }, { 0, 0, 1 }, 2.0);
    append(slot, circlePoints({ 10, 0, 0 }, { 0, 0, 1 }, 2.0));
    expectTightBox(LongholeBase({ 0, 0, 0 }, { 10, 0, 0 }, { 0, 0, 1 }, 4.0), slot);

    expectTightBox(SphereBase(Sphere3d({ 1, 1, 1 }, 2.0)), { { -1, -1, -1 }, { 3, 3, 3 } }, 0.0);
    // z = (x^2 + y^2) / 4 in a frame whose origin is the model point (1, 2, 3), cut at height 4:
    // a rim of radius 4.
    const Paraboloid paraboloid(Paraboloid3d(Transformation::translation({ -1, -2, -3 }), 1.0, 4.0));
    expectTightBox(paraboloid, { { -3, -2, 3 }, { 5, 6, 7 } }, 0.0);
}

TEST(Primitives, planesAreSquaresOrOutlinesWithTheirWindingsNormal)
{
    // A square of side 4 about (1, 1, 5) in a plane facing +z, counter-clockwise from above.
    const PlaneBase plane({ 1, 1, 5 }, { 0, 0, 2 }, 4.0);
    std::vector<Vec> corners;
    ASSERT_TRUE(plane.getCorners(&corners));
    ASSERT_EQ(corners.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        const Vec edge = corners[(i + 1) % 4] - corners[i];
        EXPECT_NEAR(edge.length(), 4.0, 1e-12);
        EXPECT_NEAR((corners[i] - Vec(1, 1, 5)).length(), std::sqrt(8.0), 1e-12);
        EXPECT_GT(edge.cross(corners[(i + 2) % 4] - corners[(i + 1) % 4]).z, 0.0);
    }

    // An L-shaped outline walked clockwise seen from above faces down.
    const LimitedPlane outline(
        { { 0, 0, 0 }, { 0, 2, 0 }, { 1, 2, 0 }, { 1, 1, 0 }, { 2, 1, 0 }, { 2, 0, 0 } });
    std::vector<Vec> points;
    Vec normal;
    ASSERT_TRUE(outline.getPoints(&points, &normal));
    EXPECT_EQ(normal, Vec(0, 0, -1));
    EXPECT_EQ(boxOf(outline), Box3d({ 0, 0, 0 }, { 2, 2, 0 }));

    // An adapter pad 6 long along x (its direction leaning out of the plane) and 2 wide.
    const AdapterPlane pad({ 0, 0, 1 }, { 0, 0, 1 }, { 1, 0, 1 }, 6.0, 2.0);
    EXPECT_EQ(boxOf(pad), Box3d({ -3, -1, 1 }, { 3, 1, 1 }));
}

TEST(Primitives, degenerateGeometryIsRefusedAndHasNoBox)
{
    Circle3d circle;
    EXPECT_FALSE(CircleBase(Circle3d({ 0, 0, 0 }, { 0, 0, 1 }, 0.0)).getCircle(&circle));
    EXPECT_FALSE(CircleBase(Circle3d({ NaN, 0, 0 }, { 0, 0, 1 }, 1.0)).getCircle(&circle));
    EXPECT_FALSE(CircleBase(Circle3d({ 0, 0, 0 }, { 0, 0, 0 }, 1.0)).getCircle(&circle));
    Disc3d disc;
    EXPECT_FALSE(Disc(Disc3d({ 0, 0, 0 }, { 0, 0, 1 }, -1.0)).getDisc(&disc));

    Cylinder3d cylinder;
    const CylinderBase noAxis(Cylinder3d({ 0, 0, 0 }, { 0, 0, 0 }, 1.0, 2.0));
    EXPECT_FALSE(noAxis.getCylinder(&cylinder));
    EXPECT_FALSE(boxOf(noAxis));
    EXPECT_FALSE(CylinderBase(Cylinder3d({ 0, 0, 0 }, { 0, 0, 1 }, 1.0, 0.0)).getCylinder(&cylinder));
    EXPECT_FALSE(CylinderBase(Cylinder3d({ 0, 0, 0 }, { 0, 0, 1 }, NaN, 1.0)).getCylinder(&cylinder));

    Cone3d cone;
    EXPECT_FALSE(ConeBase(Cone3d({ 1, 1, 1 }, 1.0, { 1, 1, 1 }, 2.0)).getCone(&cone));
    EXPECT_FALSE(ConeBase(Cone3d({ 0, 0, 0 }, 0.0, { 0, 0, 1 }, 0.0)).getCone(&cone));
    // Equal radii are a cone without apex, but still a shape to draw.
    EXPECT_TRUE(ConeBase(Cone3d({ 0, 0, 0 }, 1.0, { 0, 0, 1 }, 1.0)).getCone(&cone));

    Sphere3d sphere;
    const SphereBase nanSphere(Sphere3d({ 0, 0, 0 }, NaN));
    EXPECT_FALSE(nanSphere.getSphere(&sphere));
    EXPECT_FALSE(boxOf(nanSphere));
    Paraboloid3d paraboloid;
    EXPECT_FALSE(Paraboloid(Paraboloid3d(Transformation(), 0.0, 1.0)).getParaboloid(&paraboloid));
    EXPECT_FALSE(
        Paraboloid(Paraboloid3d(Transformation::scaling(1, 0, 1), 1.0, 1.0)).getParaboloid(&paraboloid));

    Line3d line;
    Vec start, end;
    EXPECT_FALSE(LineBase({ 1, 2, 3 }, { 1, 2, 3 }).getLine(&line, &start, &end));
    EXPECT_FALSE(LineBase({ 1, 2, 3 }, { 1, NaN, 3 }).getLine(&line, &start, &end));
    Vec point;
    const PointBase nanPoint({ NaN, 0, 0 });
    EXPECT_FALSE(nanPoint.getPoint(&point));
    EXPECT_FALSE(boxOf(nanPoint));

    Vec first, second, normal;
    double width = 0.0;
    // The axis runs along the normal: the slot has no direction in its plane.
    EXPECT_FALSE(LongholeBase({ 0, 0, 0 }, { 0, 0, 5 }, { 0, 0, 1 }, 2.0)
                     .getDataForPMPElement(&first, &second, &normal, &width));
    EXPECT_FALSE(LongholeBase({ 0, 0, 0 }, { 5, 0, 0 }, { 0, 0, 1 }, 0.0)
                     .getDataForPMPElement(&first, &second, &normal, &width));

    std::vector<Vec> corners;
    EXPECT_FALSE(PlaneBase({ 0, 0, 0 }, { 0, 0, 1 }, 0.0).getCorners(&corners));
    EXPECT_FALSE(LimitedPlane({ { 0, 0, 0 }, { 1, 1, 0 }, { 2, 2, 0 } }).getPoints(&corners, &normal));
    EXPECT_FALSE(RegularPolyholeBase({ 0, 0, 0 }, { 0, 0, 1 }, { 1, 0, 0 }, 2).getPoly().isValid());
    EXPECT_FALSE(boxOf(RegularPolyholeBase({ 0, 0, 0 }, { 0, 0, 1 }, { 0, 0, 0 }, 6)));

    Cone3d stand;
    EXPECT_FALSE(AdapterSphere2(Sphere3d({ 0, 0, 0 }, 1.0), { 0, 0, 0 }, 3.0).getData(&sphere, &stand));
    EXPECT_FALSE(
        AdapterEdge({ 0, 0, 0 }, { 1, 0, 0 }, { 2, 0, 0 }, 1.0, 1.0).getData(&first, &second, &normal));

    // The label of what is not drawn would point at nothing: it is not shown either.
    SphereBase flat(Sphere3d({ 0, 0, 0 }, 0.0)), ball(Sphere3d({ 0, 0, 0 }, 1.0));
    flat.setLabel(QStringLiteral("flat"));
    ball.setLabel(QStringLiteral("ball"));
    EXPECT_FALSE(flat.mustLabelBeRendered(STAGE));
    EXPECT_TRUE(ball.mustLabelBeRendered(STAGE));

    // A mesh without its fitted cylinder has none to show.
    EXPECT_FALSE(MeshCylinderFit().getCylinder(&cylinder));
}

TEST(Primitives, kindsTakeOnlyTheirTypesAndAreDrawnOverTheScene)
{
    EXPECT_EQ(progErrorMessage([] { CircleBase(Circle3d(), ElementCreator::DISC); }), "wrong element type");
    EXPECT_EQ(
        progErrorMessage([] { SphereBase(Sphere3d(), ElementCreator::CYLINDER); }), "wrong element type");
    EXPECT_EQ(progErrorMessage([] { PointBase({}, ElementCreator::POINT_CLOUD); }), "wrong element type");
    EXPECT_EQ(progErrorMessage(
                  [] { LongholeBase({}, {}, {}, 1.0, 0.0, ElementCreator::NOMINAL_ROUNDED_RECTANGLE); }),
        "no error");
    const CylinderBase pin(Cylinder3d({ 0, 0, 0 }, { 0, 0, 1 }, 1.0, 1.0), ElementCreator::PIN);
    EXPECT_EQ(pin.getType(), ElementCreator::PIN);
    EXPECT_EQ(pin.getRenderLevel(), RL_FOREGROUND);
    EXPECT_EQ(MeshCylinderFit().getAdditionalRenderLevel(), RL_FOREGROUND);

    // A rounded rectangle's corners are at most half its width.
    EXPECT_EQ(LongholeBase({}, { 1, 0, 0 }, { 0, 0, 1 }, 4.0, 3.0, ElementCreator::ROUNDED_RECTANGLE)
                  .getEdgeRadius(),
        2.0);
    EXPECT_EQ(LongholeBase({}, { 1, 0, 0 }, { 0, 0, 1 }, 4.0, -1.0, ElementCreator::ROUNDED_RECTANGLE)
                  .getEdgeRadius(),
        0.0);
}
