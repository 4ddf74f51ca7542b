// Picking on a real view: the rotation centre under a pixel over meshes drawn by the library's
// mesh renderer (front surface, children of entries, render transformations, invisible
// elements, the clipping plane, the background), the pull-out handle near a pixel, and the
// elements the stencil names when its rounds are resolved only where their elements drew.
#include "gcad/host/base/vaq_transformation.h"
#include "gcad/host/cad/vaq_cad_distance.h"
#include "gcad/host/cad/vaq_cad_measurement.h"
#include "gcad/host/cad/vaq_cad_primitive_circle.h"
#include "gcad/host/cad/vaq_cad_primitive_line.h"
#include "gcad/host/cad/vaq_cad_primitive_plane.h"
#include "gcad/host/cad/vaq_cad_primitive_point.h"
#include "gcad/host/cad/vaq_cad_primitive_slot.h"
#include "gcad/host/cad/vaq_cad_primitive_solid.h"
#include "gcad/host/gl/vaq_gl_stencil_handler.h"
#include "gcad/mesh/gcad_gl_node_container.h"
#include "gcad/renderers/gcad_r_measure.h"
#include "gcad/renderers/gcad_r_primitive.h"
#include "tests/support/gcad_gl_test.h"
#include "tests/support/gcad_grid_mesh.h"
#include "tests/support/gcad_plane_clipping.h"

#include <limits>
#include <memory>

using namespace Vaq;
using CAD::ElementCreator;
using Vaq::Test::makeGridMesh;
using Vaq::Test::STAGE;

namespace {

class Picking : public Vaq::Test::GLTest
{
protected:
    void TearDown() override
    {
        scene.clipping = nullptr;
        nodes.deleteAllNodes();
        Vaq::Test::GLTest::TearDown();
    }

    // The rotation centre under the pixel at which model point p appears.
    bool centreAt(const BaVec3d<double> &p, BaVec3d<double> *point, double *depth)
    {
        const BaVec2d<double> pixel = pixelOf(p);
        return scene.getRotationCenterPoint(int(pixel.x), int(pixel.y), depth, point);
    }

    GCAD::GLNodeContainer nodes;
};

// Less than a pixel of this view, in model units: the pixel is rounded down to whole pixels.
constexpr double PIXEL = 0.02;

// A renderer that does not say where it draws: its elements' rounds are resolved in the whole view.
template<typename Renderer> class AnywhereRenderer : public Renderer
{
public:
    using Renderer::Renderer;
    double getPixelReach(CAD::Element &, Box3d *) const override { return -1.0; }
};

// The element the stencil names at every pixel of the view, rows upwards.
std::vector<const CAD::Element *> elementsOnView(GL::RenderObject &view)
{
    unsigned rect[4];
    std::vector<const CAD::Element *> elements;
    EXPECT_TRUE(view.getStencilHandler()->getRenderedElements(
        { 0, 0 }, { view.width() - 1.0, view.height() - 1.0 }, false, rect, &elements));
    return elements;
}

} // namespace

TEST_F(Picking, RoundsResolvedWhereTheirElementsDrewNameTheSameElementsAsWholeViewRounds)
{
    // 300 short distances that use up the first round of stencil ids (measurements are drawn in
    // both render stages), then measurements apart from one another that draw far beyond their
    // boxes (long distances pulled out far to either side or too short for inside arrowheads,
    // directional ones, disc calipers with wide discs, nearly straight angles whose arcs bulge
    // out of their legs' box), then 240 primitives of every kind with a reach, crowded so that
    // they overlap within and across the rounds; some elements placed by a render
    // transformation. A large view, so that what is drawn in model units reaches far.
    view->resize(800, 800);
    using Vec = BaVec3d<double>;
    std::vector<std::unique_ptr<CAD::Element>> elements;
    unsigned seed = 7;
    const auto random = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return double((seed >> 8) & 0xFFFF) / 65535.0;
    };
    const Vec z(0, 0, 1), x(1, 0, 0);
    for (int i = 0; i < 600; ++i) {
        const double turn = 6.28 * random();
        const Vec along(std::cos(turn), std::sin(turn), 0.0), across(-along.y, along.x, 0.0);
        const Vec spot(3 * random(), 3 * random(), 0.0),
            p = Vec(3.5, 3.5, 0.0) + Vec(random(), random(), 0.1);
        const double r = 0.02 + 0.03 * random();
        if (i < 300) {
            elements.push_back(
                std::make_unique<CAD::DistanceBase>(ElementCreator::DISTANCE, p, p + along * 0.02));
        } else if (i < 330) {
            const bool pulled = i % 3 != 0;
            auto distance = std::make_unique<CAD::DistanceBase>(
                i % 2 ? ElementCreator::DISTANCE : ElementCreator::DIRECTIONAL_DISTANCE, spot,
                spot + along * (pulled ? 0.8 : 0.05));
            if (pulled)
                distance->getPullOut()->pullTo(spot + across * (i % 4 < 2 ? 0.8 : -0.8));
            elements.push_back(std::move(distance));
        } else if (i < 340) {
            elements.push_back(
                std::make_unique<CAD::DiscCaliper>(spot, spot + along * 0.3, z, 0.5, i % 2 == 0));
        } else if (i < 360) {
            auto angle = std::make_unique<CAD::AngleMeasurement>(
                ElementCreator::ANGLE, spot, along, Vec(std::cos(turn + 3.0), std::sin(turn + 3.0), 0.0));
            angle->setLegLength(1.5);
            elements.push_back(std::move(angle));
        } else {
            const Vec q = p + along * 0.05;
            switch (i % 9) {
            case 0:
                elements.push_back(std::make_unique<CAD::PointBase>(p));
                break;
            case 1: {
                auto line = std::make_unique<CAD::LineBase>(p, q);
                line->setSymbols(CAD::LineBase::LS_POINT, CAD::LineBase::LS_ARROW);
                elements.push_back(std::move(line));
                break;
            }
            case 2:
                elements.push_back(std::make_unique<CAD::CircleBase>(Circle3d(p, Vec(0, 1, 1), r)));
                break;
            case 3:
                elements.push_back(std::make_unique<CAD::PlaneBase>(p, Vec(0, 1, 1), 2 * r));
                break;
            case 4:
                elements.push_back(std::make_unique<CAD::LongholeBase>(p, q, z, r));
                break;
            case 5:
                elements.push_back(std::make_unique<CAD::SphereBase>(Sphere3d(p, r)));
                break;
            case 6:
                elements.push_back(
                    std::make_unique<CAD::CylinderBase>(Cylinder3d(p, Vec(1, 1, 1), r, 3 * r)));
                break;
            case 7:
                elements.push_back(
                    std::make_unique<CAD::ConeBase>(Cone3d(p, r, p + Vec(0, 0, 2 * r), r / 3)));
                break;
            default:
                elements.push_back(std::make_unique<CAD::RegularPolyholeBase>(p, z, p + Vec(r, 0, 0), 6));
                break;
            }
        }
        if (i % 5 == 0)
            elements.back()->setRenderTransformation(
                STAGE, Transformation::translation({ 0.1, -0.1, 0.0 }) * Transformation::rotation(z, 0.05));
        scene.show(elements.back().get(), STAGE);
    }
    const auto repaintWith = [&](GCAD::CADRenderer *primitives, GCAD::CADRenderer *measurements) {
        scene.getRendererContainer().freeAll();
        scene.getRendererContainer().registerRenderer(primitives);
        scene.getRendererContainer().registerRenderer(measurements);
        view->fitView();
        view->repaintWidget();
        EXPECT_GE(view->getStencilHandler()->getResolveCount(), 1u);
        return elementsOnView(*view);
    };
    const std::vector<const CAD::Element *> wholeView
        = repaintWith(new AnywhereRenderer<GCAD::PrimitiveRenderer>(&scene),
            new AnywhereRenderer<GCAD::MeasureRenderer>(&scene));
    const std::vector<const CAD::Element *> areas
        = repaintWith(new GCAD::PrimitiveRenderer(&scene), new GCAD::MeasureRenderer(&scene));
    // Neither the stages' ends nor the picking afterwards read the whole view back.
    EXPECT_LT(view->getStencilHandler()->getResolvedPixels(), 800u * 800u);
    ASSERT_EQ(areas.size(), wholeView.size());
    int different = 0, drawn = 0;
    for (std::size_t i = 0; i < areas.size(); ++i) {
        drawn += wholeView[i] != nullptr;
        if (areas[i] != wholeView[i] && different++ == 0)
            ADD_FAILURE() << "first different pixel " << i % 800 << ", " << i / 800;
    }
    EXPECT_EQ(different, 0);
    EXPECT_GT(drawn, int(areas.size() / 20)); // the scene is more than a few stray pixels
}

TEST_F(Picking, TheRotationCentreIsTheFrontSurfacePointUnderThePixel)
{
    // The floor: the unit square at z = 0. On it, as the floor's child, a smaller square moved
    // by its render transformation to [0.5, 0.9] x [0.5, 0.9] at z = 0.5.
    const std::unique_ptr<CAD::PolyBase> floor = makeGridMesh(21, 21);
    CAD::PolyBase *lid = makeGridMesh(5, 5).release();
    lid->setRenderTransformation(
        STAGE, Transformation::translation({ 0.5, 0.5, 0.5 }) * Transformation::scaling(0.4, 0.4, 1.0));
    floor->addChild(lid);
    scene.show(floor.get(), STAGE);
    view->repaintWidget();

    BaVec3d<double> point;
    double depth = 0.0;
    ASSERT_TRUE(centreAt({ 0.25, 0.3, 0 }, &point, &depth));
    EXPECT_LT((point - BaVec3d<double>(0.25, 0.3, 0)).length(), PIXEL);
    // The depth is the point's window depth, negated.
    EXPECT_NEAR(depth, -view->get3d2dTransformation().transformZ(point), 1e-9);
    const double floorDepth = depth;

    ASSERT_TRUE(centreAt({ 0.7, 0.6, 0.5 }, &point, &depth));
    EXPECT_LT((point - BaVec3d<double>(0.7, 0.6, 0.5)).length(), PIXEL);
    EXPECT_GT(depth, floorDepth);

    // The clipping plane keeps z <= 0.25: the lid is cut away.
    Vaq::Test::PlaneClipping clipping;
    clipping.setClippingPlane(Plane3d({ 0, 0, 0.25 }, { 0, 0, -1 }));
    clipping.setClippingActive(true);
    scene.clipping = &clipping;
    ASSERT_TRUE(centreAt({ 0.7, 0.6, 0.5 }, &point, &depth));
    EXPECT_LT((point - BaVec3d<double>(0.7, 0.6, 0)).length(), PIXEL);
    clipping.setClippingActive(false);

    // An invisible lid does not count either.
    lid->setVisible(false);
    ASSERT_TRUE(centreAt({ 0.7, 0.6, 0.5 }, &point, &depth));
    EXPECT_LT((point - BaVec3d<double>(0.7, 0.6, 0)).length(), PIXEL);
    lid->setVisible(true);

    // Beside the floor there is only background.
    point = BaVec3d<double>(7, 7, 7);
    EXPECT_FALSE(centreAt({ -0.2, 0.5, 0 }, &point, &depth));
    EXPECT_EQ(depth, -std::numeric_limits<double>::max());
    EXPECT_EQ(point, BaVec3d<double>(7, 7, 7));
}

TEST_F(Picking, ThePullOutHandleNearestTheViewerWithinFourPixelsWins)
{
    CAD::Element near(ElementCreator::DISTANCE), far(ElementCreator::DISTANCE);
    // The handles are opaque to picking: any distinct addresses do.
    char handles[3];
    auto *nearHandle = reinterpret_cast<CAD::DistPullOut *>(&handles[0]);
    auto *farHandle = reinterpret_cast<CAD::DistPullOut *>(&handles[1]);
    auto *laterHandle = reinterpret_cast<CAD::DistPullOut *>(&handles[2]);
    scene.addDistanceHandler({ 50, 50, -0.7 }, &far, farHandle);
    scene.addDistanceHandler({ 54, 46, -0.2 }, &near, nearHandle);

    CAD::Element *element = nullptr;
    EXPECT_EQ(scene.getPullOutDist({ 50.5, 50 }, &element), nearHandle);
    EXPECT_EQ(element, &near);
    // Only the far one is within 4 pixels in x and in y.
    EXPECT_EQ(scene.getPullOutDist({ 49, 50 }, &element), farHandle);
    EXPECT_EQ(element, &far);
    EXPECT_EQ(scene.getPullOutDist({ 54, 51 }, nullptr), farHandle);
    EXPECT_EQ(scene.getPullOutDist({ 58, 46 }, nullptr), nearHandle);
    element = &far;
    EXPECT_EQ(scene.getPullOutDist({ 58.5, 46 }, &element), nullptr);
    EXPECT_EQ(element, &far);
    // Of two at the same depth, the later one.
    scene.addDistanceHandler({ 51, 51, -0.2 }, &far, laterHandle);
    EXPECT_EQ(scene.getPullOutDist({ 52, 48 }, nullptr), laterHandle);
}
