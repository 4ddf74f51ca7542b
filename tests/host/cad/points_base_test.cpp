// Point sets: one record per point or none, the visible count under flag changes, the box,
// the data version renderers watch, and values turned into vectors along a direction.
#include "gcad/host/cad/vaq_cad_points_base.h"
#include "tests/support/prog_error_message.h"

#include <gtest/gtest.h>

using namespace Vaq;
using namespace Vaq::CAD;
using Vaq::Test::progErrorMessage;

namespace {

const StageIdentifier STAGE = StageIdentifier::DEFAULT_DATASET;

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
