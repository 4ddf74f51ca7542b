// Point sets: one record per point or none, the visible count under flag changes, the box,
// the data version renderers watch, and values turned into vectors along a direction.
#include "gcad/host/cad/vaq_cad_find_parameter.h"
#include "gcad/host/cad/vaq_cad_points_base.h"
#include "tests/support/prog_error_message.h"

#include <gtest/gtest.h>

using namespace Vaq;
using namespace Vaq::CAD;
using Vaq::Test::progErrorMessage;

namespace {

const StageIdentifier STAGE = StageIdentifier::DEFAULT_DATASET;

// Seen from above, 10 pixels per unit around pixel (100, 100), nearer the viewer for larger z.
FindParameter pickAt(double x, double y)
{
    const double m[16] = { 10, 0, 0, 100, 0, 10, 0, 100, 0, 0, -0.01, 0.5, 0, 0, 0, 1 };
    return FindParameter(Line3d({ x, y, 50 }, { 0, 0, -1 }), Transformation(m));
}

BaVec3d<double> foundPoint(const FindParameter &parameter)
{
    BaVec3d<double> point;
    EXPECT_TRUE(parameter.getFoundPoint(&point));
    return point;
}

} // namespace

TEST(PointsBase, perPointRecordsMustMatchThePointCountAndNewPointsDropThem)
{
    EXPECT_EQ(progErrorMessage([] { PointsBase(ElementCreator::MESH); }), "not a points type");

    PointsBase cloud(ElementCreator::POINTS_SCAN);
    cloud.setPoints({ { 0, 0, 0 }, { 1, 2, 3 } });
    cloud.setColors({ Color(1, 2, 3), Color(4, 5, 6) });
    cloud.setValues({ 0.5f, NO_VALUE });
    EXPECT_EQ(progErrorMessage([&] { cloud.setIds({ 7 }); }), "wrong number of values");
    EXPECT_EQ(progErrorMessage([&] { cloud.setNormals({ {}, {}, {} }); }), "wrong number of values");
    EXPECT_TRUE(cloud.getIdVector(STAGE).empty());
    EXPECT_EQ(cloud.getColorVector(STAGE).size(), 2u);

    // No records at all is always allowed: the data is just not there.
    cloud.setColors({});
    EXPECT_TRUE(cloud.getColorVector(STAGE).empty());

    cloud.setDistances({ { 1, 0, 0 }, { 0, 1, 0 } });
    EXPECT_TRUE(cloud.existsDistanceVector(STAGE));
    cloud.setPoints({ { 5, 5, 5 } });
    EXPECT_FALSE(cloud.existsDistanceVector(STAGE));
    EXPECT_TRUE(cloud.getDataVector(STAGE).empty());
    EXPECT_EQ(cloud.getFlagVector(STAGE).size(), 1u);

    // A stage in which the element is not valid has no points.
    cloud.setStageValid(StageIdentifier(7), false);
    EXPECT_TRUE(cloud.getPointVector(StageIdentifier(7)).empty());
    EXPECT_EQ(cloud.getNumberOfVisiblePoints(StageIdentifier(7)), 0u);
    EXPECT_EQ(cloud.getPointVector(STAGE).size(), 1u);
}

TEST(PointsBase, visiblePointsLeaveOutHiddenAndPreviewAndEveryChangeBumpsTheVersion)
{
    PointsBase cloud;
    cloud.setPoints({ { 0, 0, 0 }, { 4, -1, 2 }, { -3, 5, 1 }, { 1, 1, 1 } });
    EXPECT_EQ(cloud.getNumberOfVisiblePoints(STAGE), 4u);
    uint64_t version = cloud.getDataVersion();

    cloud.setPointFlag({ 0, 2 }, PointFlags::HIDDEN, true);
    cloud.setPointFlag({ 2, 3 }, PointFlags::PREVIEW, true);
    EXPECT_EQ(cloud.getNumberOfVisiblePoints(STAGE), 1u);
    EXPECT_GT(cloud.getDataVersion(), version);
    version = cloud.getDataVersion();
    cloud.setPointFlag({ 3 }, PointFlags::PREVIEW, false);
    EXPECT_EQ(cloud.getNumberOfVisiblePoints(STAGE), 2u);
    EXPECT_EQ(progErrorMessage([&] {
        cloud.setPointFlag({ 1, 4 }, PointFlags::HIDDEN, true);
    }),
        "point index out of range");
    EXPECT_TRUE(cloud.getFlagVector(STAGE)[1].isVisible());
    EXPECT_GT(cloud.getDataVersion(), version);
    version = cloud.getDataVersion();
    cloud.setNormals({ {}, {}, {}, {} });
    EXPECT_GT(cloud.getDataVersion(), version);

    // The box of every point, hidden ones included; moved by the render transformation.
    Box3d box;
    ASSERT_TRUE(cloud.getBoundingBox(STAGE, BBT_GEOMETRY, CCS_ELEMENT, box));
    EXPECT_EQ(box.getMin(), BaVec3d<double>(-3, -1, 0));
    EXPECT_EQ(box.getMax(), BaVec3d<double>(4, 5, 2));
    cloud.setRenderTransformation(STAGE, Transformation::translation(BaVec3d<double>(10, 0, 0)));
    ASSERT_TRUE(cloud.getBoundingBox(STAGE, BBT_DISPLAY, CCS_WORLD, box));
    EXPECT_EQ(box.getMin(), BaVec3d<double>(7, -1, 0));
    PointsBase empty;
    EXPECT_FALSE(empty.getBoundingBox(STAGE, BBT_GEOMETRY, CCS_ELEMENT, box));
}

TEST(PointsBase, aValueBecomesAVectorOfItsLengthAlongTheDirectionUnlessItHasNone)
{
    BaVec3d<float> v(9, 9, 9);
    ASSERT_TRUE(PointsBase::transferDistToVector(-2.0f, { 0, 3, 4 }, &v));
    EXPECT_FLOAT_EQ(v.x, 0.0f);
    EXPECT_FLOAT_EQ(v.y, -1.2f);
    EXPECT_FLOAT_EQ(v.z, -1.6f);
    const BaVec3d<float> before = v;
    EXPECT_FALSE(PointsBase::transferDistToVector(NO_VALUE, { 1, 0, 0 }, &v));
    EXPECT_FALSE(PointsBase::transferDistToVector(1.0f, { 0, 0, 0 }, &v));
    EXPECT_EQ(v, before);
}

TEST(PointsBase, findTakesTheVisiblePointNearestTheViewerWithinThePixelTolerance)
{
    PointsBase cloud(ElementCreator::POINTS_SCAN);
    // 0 and 1 under the pixel, 1 nearer; 2 nearest, but 3 pixels aside; 3 far aside.
    cloud.setPoints({ { 0, 0, 0 }, { 0, 0, 1 }, { 0.3, 0, 2 }, { 5, 5, 9 } });

    FindParameter parameter = pickAt(0, 0);
    ASSERT_TRUE(cloud.findElementAtPixel(STAGE, parameter, 2.0));
    EXPECT_EQ(foundPoint(parameter), BaVec3d<double>(0, 0, 1));
    double z = 0.0;
    parameter.getFoundZ(&z);
    EXPECT_DOUBLE_EQ(z, -(0.5 - 0.01));
    EXPECT_FALSE(parameter.existsFoundRenderTrafo());

    ASSERT_TRUE(cloud.findElementAtPixel(STAGE, parameter, 3.01));
    EXPECT_EQ(foundPoint(parameter), BaVec3d<double>(0.3, 0, 2));
    // Hidden or cut away, the nearer ones give way.
    cloud.setPointFlag({ 2 }, PointFlags::HIDDEN, true);
    ASSERT_TRUE(cloud.findElementAtPixel(STAGE, parameter, 3.01));
    EXPECT_EQ(foundPoint(parameter), BaVec3d<double>(0, 0, 1));
    parameter.setClippingPlane(Plane3d({ 0, 0, 0.5 }, { 0, 0, -1 }));
    ASSERT_TRUE(cloud.findElementAtPixel(STAGE, parameter, 3.01));
    EXPECT_EQ(foundPoint(parameter), BaVec3d<double>(0, 0, 0));

    // Nothing within the tolerance.
    parameter = pickAt(2, 2);
    EXPECT_FALSE(cloud.findElementAtPixel(STAGE, parameter, 5.0));
    EXPECT_FALSE(parameter.getFoundPoint(nullptr));

    // Moved by (2, 2, 0): points 0 and 1 lie under (2, 2); the point found is the cloud's own.
    cloud.setRenderTransformation(STAGE, Transformation::translation({ 2, 2, 0 }));
    ASSERT_TRUE(cloud.findElementAtPixel(STAGE, parameter, 1.0));
    EXPECT_EQ(foundPoint(parameter), BaVec3d<double>(0, 0, 1));
    EXPECT_TRUE(parameter.existsFoundRenderTrafo());
}
