#include "gcad/clipping/gcad_clipping_interface.h"
#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/cad/vaq_cad_dome_mesh.h"
#include "gcad/host/cad/vaq_cad_poly_base_render_data.h"

#include <gtest/gtest.h>

#include <regex>

using namespace Vaq;
using namespace Vaq::GCAD;
using CAD::ElementCreator;
using CAD::StageIdentifier;

namespace {

const StageIdentifier STAGE_1 { 1 };

// The smallest application side: one plane, one box, switches.
class PlaneClipping : public ClippingInterface
{
public:
    bool isClippingActive() const override { return m_active; }
    void setClippingActive(bool active) override { m_active = active; }
    bool isClippingPlaneDefined() const override { return m_has_plane; }
    void setClippingPlane(const Plane3d &plane) override
    {
        m_plane = plane;
        m_has_plane = true;
    }
    void flipClippingPlane() override { m_plane = Plane3d(m_plane.getPoint(), -m_plane.getNormal()); }
    void moveClippingPlane(double d) override
    {
        m_plane = Plane3d(m_plane.getPoint() + m_plane.getNormal() * d, m_plane.getNormal());
    }
    bool getClippingPlane(Plane3d *plane) const override
    {
        if (m_has_plane)
            *plane = m_plane;
        return m_has_plane;
    }
    bool isClippingBoxActive() const override { return false; }
    void setClippingBoxActive(bool) override { }
    void setClippingBox(const Box3d &) override { }
    bool getClippingBox(Box3d *) const override { return false; }
    bool isClippingPlaneShown() const override { return false; }
    void setClippingPlaneShown(bool) override { }
    void resetClipping() override { m_active = m_has_plane = false; }

private:
    bool m_active = false;
    bool m_has_plane = false;
    Plane3d m_plane;
};

Box3d box(double x0, double x1)
{
    return Box3d({ x0, 0, 0 }, { x1, 1, 1 });
}

} // namespace

TEST(ClippingInterface, isAQObjectOfItsOwnClassWithoutParent)
{
    PlaneClipping clipping;
    EXPECT_EQ(clipping.parent(), nullptr);
    ASSERT_NE(clipping.metaObject()->superClass(), nullptr);
    EXPECT_STREQ(ClippingInterface::staticMetaObject.className(), "Vaq::GCAD::ClippingInterface");
    EXPECT_EQ(qobject_cast<ClippingInterface *>(static_cast<QObject *>(&clipping)), &clipping);
    // Only QObject's own methods (deleteLater, destroyed ...) exist: no signals or slots of its own.
    EXPECT_EQ(ClippingInterface::staticMetaObject.methodCount(), QObject::staticMetaObject.methodCount());

    Plane3d plane;
    EXPECT_FALSE(clipping.getClippingPlane(&plane));
    clipping.setClippingPlane(Plane3d({ 0, 0, 1 }, { 0, 0, 2 }));
    clipping.setClippingActive(true);
    ClippingInterface &viaInterface = clipping;
    ASSERT_TRUE(viaInterface.isClippingActive());
    ASSERT_TRUE(viaInterface.getClippingPlane(&plane));
    EXPECT_EQ(plane.getNormal(), BaVec3d<double>(0, 0, 1));
}

TEST(ClippingBoundingBoxes, comeInElementOrderInViewCoordinates)
{
    CAD::Element a(ElementCreator::SPHERE), b(ElementCreator::POINT_CLOUD), c(ElementCreator::CYLINDER);
    a.setBoundingBox(STAGE_1, CAD::BBT_GEOMETRY, box(0, 1));
    b.setBoundingBox(STAGE_1, CAD::BBT_GEOMETRY, box(2, 3));
    c.setBoundingBox(STAGE_1, CAD::BBT_GEOMETRY, box(4, 5));
    c.setRenderTransformation(STAGE_1, Transformation::translation({ 10, 0, 0 }));

    std::vector<Box3d> boxes { box(-9, -8) }; // replaced, not appended to
    ClippingInterface::getBoundingBoxes(
        { { &c, STAGE_1 }, { &a, STAGE_1 }, { &b, STAGE_1 } }, &boxes, CAD::BBT_GEOMETRY);
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0], box(14, 15));
    EXPECT_EQ(boxes[1], box(0, 1));
    EXPECT_EQ(boxes[2], box(2, 3));
}

TEST(ClippingBoundingBoxes, anElementWithoutABoxForTheStageContributesNothing)
{
    CAD::Element withBox(ElementCreator::SPHERE), withoutBox(ElementCreator::SPHERE);
    withBox.setBoundingBox(STAGE_1, CAD::BBT_GEOMETRY, box(0, 1));
    // A box for another stage does not answer for stage 1.
    withoutBox.setBoundingBox(StageIdentifier { 2 }, CAD::BBT_GEOMETRY, box(2, 3));

    std::vector<Box3d> boxes;
    ClippingInterface::getBoundingBoxes(
        { { &withoutBox, STAGE_1 }, { &withBox, STAGE_1 } }, &boxes, CAD::BBT_GEOMETRY);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], box(0, 1));

    ClippingInterface::getBoundingBoxes({ { &withoutBox, STAGE_1 } }, &boxes, CAD::BBT_GEOMETRY);
    EXPECT_TRUE(boxes.empty());
}

TEST(ClippingBoundingBoxes, theRequestedBoxTypeIsUsed)
{
    CAD::Element element(ElementCreator::POINT);
    element.setBoundingBox(STAGE_1, CAD::BBT_GEOMETRY, box(0, 1));
    element.setBoundingBox(STAGE_1, CAD::BBT_DISPLAY, box(-1, 2));
    std::vector<Box3d> boxes;
    ClippingInterface::getBoundingBoxes({ { &element, STAGE_1 } }, &boxes, CAD::BBT_DISPLAY);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], box(-1, 2));
}

TEST(ClippingBoundingBoxes, aMeshWithoutRenderDataIsTracedAndUsesItsOwnBox)
{
    CAD::Element mesh(ElementCreator::MESH_SCAN), sphere(ElementCreator::SPHERE);
    mesh.setBoundingBox(STAGE_1, CAD::BBT_GEOMETRY, box(0, 1));
    sphere.setBoundingBox(STAGE_1, CAD::BBT_GEOMETRY, box(2, 3));

    std::vector<Box3d> boxes;
    testing::internal::CaptureStdout();
    ClippingInterface::getBoundingBoxes(
        { { &sphere, STAGE_1 }, { &mesh, STAGE_1 } }, &boxes, CAD::BBT_GEOMETRY);
    const std::string out = testing::internal::GetCapturedStdout();

    // One trace, for the mesh only.
    EXPECT_TRUE(std::regex_match(out,
        std::regex(
            R"(Vaq::GCAD::ClippingInterface::getBoundingBoxes\(\d+\): update visualization missing\n)")))
        << out;
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0], box(2, 3));
    EXPECT_EQ(boxes[1], box(0, 1));
}

TEST(ClippingBoundingBoxes, aMeshGivesOneBoxPerLeafWithVisiblePoints)
{
    // 300 x 300 vertices need two leaves or more.
    std::unique_ptr<CAD::PolyBase> mesh = CAD::createDomeMesh(300, false);
    const StageIdentifier stage = StageIdentifier::DEFAULT_DATASET;
    mesh->updateVisualization(stage, false, false);
    const std::vector<CAD::BspNode *> &leaves = mesh->getPolyBaseRenderData(stage)->getAllLeaves();
    ASSERT_GE(leaves.size(), 2u);
    // The first leaf's points are all hidden.
    mesh->setPointFlag(leaves[0]->getVertices(), CAD::PointFlags::HIDDEN, true);
    mesh->updateVisualization(stage, false, false);
    mesh->setRenderTransformation(stage, Transformation::translation({ 10, 0, 0 }));

    std::vector<Box3d> boxes;
    testing::internal::CaptureStdout();
    ClippingInterface::getBoundingBoxes({ { mesh.get(), stage } }, &boxes, CAD::BBT_DISPLAY);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    ASSERT_EQ(boxes.size(), leaves.size() - 1);
    for (std::size_t i = 1; i < leaves.size(); ++i) {
        const Box3d &leaf = leaves[i]->getBoundingBox(CAD::BBT_DISPLAY);
        EXPECT_EQ(boxes[i - 1],
            Box3d(leaf.getMin() + BaVec3d<double>(10, 0, 0), leaf.getMax() + BaVec3d<double>(10, 0, 0)));
    }
    // Each leaf box lies inside the dome's unit square, moved along.
    for (const Box3d &box : boxes) {
        EXPECT_GE(box.getMin().x, 9.5);
        EXPECT_LE(box.getMax().x, 10.5);
    }
}

TEST(ClippingBoundingBoxes, badArgumentsThrowAndLeaveTheBoxesAlone)
{
    CAD::Element element(ElementCreator::SPHERE);
    element.setBoundingBox(STAGE_1, CAD::BBT_GEOMETRY, box(0, 1));
    std::vector<Box3d> boxes { box(5, 6) };
    auto message = [](auto &&f) -> std::string {
        try {
            f();
        } catch (const ProgError &e) {
            return e.message().toStdString();
        }
        return "no error";
    };
    EXPECT_EQ(message([&] {
        ClippingInterface::getBoundingBoxes(
            { { &element, STAGE_1 }, { nullptr, STAGE_1 } }, &boxes, CAD::BBT_GEOMETRY);
    }),
        "null element");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], box(5, 6));
    EXPECT_EQ(message([&] { ClippingInterface::getBoundingBoxes({}, nullptr, CAD::BBT_GEOMETRY); }),
        "null box vector");
}
