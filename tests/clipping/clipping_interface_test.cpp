// The element boxes clipping works with: one per element in the given order, in view
// coordinates, and one per leaf with visible points for a mesh.
#include "gcad/clipping/gcad_clipping_interface.h"
#include "gcad/host/cad/vaq_cad_dome_mesh.h"
#include "gcad/host/cad/vaq_cad_poly_base_render_data.h"
#include "tests/support/prog_error_message.h"

#include <gtest/gtest.h>

#include <regex>

using namespace Vaq;
using namespace Vaq::GCAD;
using CAD::ElementCreator;
using CAD::StageIdentifier;

namespace {

const StageIdentifier STAGE_1 { 1 };

Box3d box(double x0, double x1)
{
    return Box3d({ x0, 0, 0 }, { x1, 1, 1 });
}

std::vector<Box3d> boxesOf(
    const std::vector<CAD::ElementAndStageImp> &elements, CAD::BoundingBoxType_t type = CAD::BBT_GEOMETRY)
{
    std::vector<Box3d> boxes { box(-9, -8) }; // replaced, not appended to
    ClippingInterface::getBoundingBoxes(elements, &boxes, type);
    return boxes;
}

TEST(ClippingBoundingBoxes, ComeInElementOrderInViewCoordinatesForTheStageAndTypeOrThrowLeavingThemAlone)
{
    CAD::Element a(ElementCreator::SPHERE), b(ElementCreator::POINT_CLOUD), c(ElementCreator::CYLINDER),
        other(ElementCreator::SPHERE), mesh(ElementCreator::MESH_SCAN);
    a.setBoundingBox(STAGE_1, CAD::BBT_GEOMETRY, box(0, 1));
    a.setBoundingBox(STAGE_1, CAD::BBT_DISPLAY, box(-1, 2));
    b.setBoundingBox(STAGE_1, CAD::BBT_GEOMETRY, box(2, 3));
    c.setBoundingBox(STAGE_1, CAD::BBT_GEOMETRY, box(4, 5));
    c.setRenderTransformation(STAGE_1, Transformation::translation({ 10, 0, 0 }));
    // A box for another stage does not answer for stage 1.
    other.setBoundingBox(StageIdentifier { 2 }, CAD::BBT_GEOMETRY, box(6, 7));
    mesh.setBoundingBox(STAGE_1, CAD::BBT_GEOMETRY, box(8, 9)); // without render data: its own box

    testing::internal::CaptureStdout();
    EXPECT_EQ(boxesOf({ { &c, STAGE_1 }, { &other, STAGE_1 }, { &mesh, STAGE_1 }, { &a, STAGE_1 },
                  { &b, STAGE_1 } }),
        std::vector<Box3d>({ box(14, 15), box(8, 9), box(0, 1), box(2, 3) }));
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(std::regex_match(out,
        std::regex(
            R"(Vaq::GCAD::ClippingInterface::getBoundingBoxes\(\d+\): update visualization missing\n)")))
        << out;
    EXPECT_EQ(boxesOf({ { &a, STAGE_1 } }, CAD::BBT_DISPLAY), std::vector<Box3d>({ box(-1, 2) }));
    EXPECT_TRUE(boxesOf({ { &other, STAGE_1 } }).empty());

    std::vector<Box3d> boxes { box(5, 6) };
    EXPECT_EQ(Vaq::Test::progErrorMessage([&] {
        ClippingInterface::getBoundingBoxes(
            { { &a, STAGE_1 }, { nullptr, STAGE_1 } }, &boxes, CAD::BBT_GEOMETRY);
    }),
        "null element");
    EXPECT_EQ(boxes, std::vector<Box3d>({ box(5, 6) }));
    EXPECT_EQ(Vaq::Test::progErrorMessage(
                  [&] { ClippingInterface::getBoundingBoxes({}, nullptr, CAD::BBT_GEOMETRY); }),
        "null box vector");
}

TEST(ClippingBoundingBoxes, AMeshGivesOneBoxPerLeafWithVisiblePoints)
{
    std::unique_ptr<CAD::PolyBase> mesh = CAD::createDomeMesh(300, false);
    const StageIdentifier stage = StageIdentifier::DEFAULT_DATASET;
    mesh->updateVisualization(stage, false, false);
    const std::vector<CAD::BspNode *> &leaves = mesh->getPolyBaseRenderData(stage)->getAllLeaves();
    ASSERT_GE(leaves.size(), 2u);
    mesh->setPointFlag(leaves[0]->getVertices(), CAD::PointFlags::HIDDEN, true);
    mesh->updateVisualization(stage, false, false);
    mesh->setRenderTransformation(stage, Transformation::translation({ 10, 0, 0 }));

    testing::internal::CaptureStdout();
    const std::vector<Box3d> boxes = boxesOf({ { mesh.get(), stage } }, CAD::BBT_DISPLAY);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    ASSERT_EQ(boxes.size(), leaves.size() - 1);
    for (std::size_t i = 1; i < leaves.size(); ++i) {
        const Box3d &leaf = leaves[i]->getBoundingBox(CAD::BBT_DISPLAY);
        EXPECT_EQ(boxes[i - 1],
            Box3d(leaf.getMin() + BaVec3d<double>(10, 0, 0), leaf.getMax() + BaVec3d<double>(10, 0, 0)));
    }
}

} // namespace
