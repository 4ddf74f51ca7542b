// The passes the points renderer chooses for each kind of point set and its display
// properties, without GL (a still view: markers stay markers).
#include "gcad/host/base/vaq_init.h"
#include "gcad/renderers/gcad_r_points.h"
#include "tests/support/gcad_test_scene.h"
#include "tests/support/prog_error_message.h"

#include <gtest/gtest.h>

using namespace Vaq;
using CAD::ElementCreator;
using CAD::PointsBase;
using Types = std::vector<unsigned>;

namespace {

class PointsRenderTypes : public testing::Test
{
protected:
    void TearDown() override { VaqInit::_app = 0; }

    Types typesOf(PointsBase &points)
    {
        const Types types = renderer.setup({ &points, CAD::StageIdentifier::DEFAULT_DATASET }, {}, 1);
        renderer.finish();
        return types;
    }

    Vaq::Test::TestScene scene;
    GCAD::PointsRenderer renderer { &scene };
};

} // namespace

TEST_F(PointsRenderTypes, scansAreLabelledFirstOnlyInTheApplicationsThatLabelThem)
{
    PointsBase cloud(ElementCreator::POINT_CLOUD);
    CAD::ElemProp &p = *cloud.getElemProperties();
    p.displayMode = 1;
    p.showIdentifiers = true;
    p.showNormals = true;
    EXPECT_EQ(typesOf(cloud), Types({ 1, 3 }));
    for (int app : { 6, 10, 11 }) {
        VaqInit::_app = app;
        EXPECT_EQ(typesOf(cloud), Types({ 4, 1, 3 })) << app;
    }
    VaqInit::_app = 7;
    EXPECT_EQ(typesOf(cloud), Types({ 1, 3 }));

    // Deviation needles need the points shown; vector needles do not.
    PointsBase scan(ElementCreator::POINTS_SCAN);
    CAD::ElemProp &s = *scan.getElemProperties();
    s.deviationNeedles = s.vectorNeedles = true;
    EXPECT_EQ(typesOf(scan), Types({ 0, 5, 6 }));
    s.pointsShown = false;
    s.displayMode = 2;
    EXPECT_EQ(typesOf(scan), Types({ 2, 6 }));
    s.displayMode = 3; // no points at all
    EXPECT_EQ(typesOf(scan), Types({ 6 }));
}

TEST_F(PointsRenderTypes, eachResultKindHasItsOwnExtras)
{
    // Reference points are labelled in every application, and show no needles.
    PointsBase references(ElementCreator::REFERENCE_POINTS);
    references.getElemProperties()->showIdentifiers = true;
    references.getElemProperties()->deviationNeedles = true;
    EXPECT_EQ(typesOf(references), Types({ 4, 0 }));
    references.getElemProperties()->showNormals = true;
    EXPECT_EQ(typesOf(references), Types({ 4, 0, 3 }));

    // Deviations: needles without asking for the points to be shown; never labels.
    PointsBase deviations(ElementCreator::POINTS_DEVIATION);
    CAD::ElemProp &d = *deviations.getElemProperties();
    d.showIdentifiers = d.pointsShown = false;
    d.deviationNeedles = d.showNormals = true;
    d.displayMode = 2;
    EXPECT_EQ(typesOf(deviations), Types({ 2, 5, 3 }));

    // Springback always gets its needles, even with every needle switched off.
    PointsBase springback(ElementCreator::POINTS_SPRINGBACK);
    EXPECT_EQ(typesOf(springback), Types({ 0, 6 }));
    springback.getElemProperties()->showNormals = true;
    EXPECT_EQ(typesOf(springback), Types({ 0, 3, 6 }));

    PointsBase displacements(ElementCreator::POINTS_DISPLACEMENT);
    displacements.getElemProperties()->showNormals = true;
    EXPECT_EQ(typesOf(displacements), Types({ 0, 7 }));

    // An element of a type that is no point set is a programming error.
    CAD::Element mesh(ElementCreator::MESH, "mesh.stl");
    EXPECT_EQ(Vaq::Test::progErrorMessage([&] {
        renderer.setup({ &mesh, CAD::StageIdentifier::DEFAULT_DATASET }, {}, 1);
    }),
        "wrong renderer for element");
}

TEST_F(PointsRenderTypes, aFrameRatePlanThinsTheCloudStepByStepAndEstimatesEachStepCheaper)
{
    PointsBase cloud(ElementCreator::POINT_CLOUD);
    cloud.setPoints(std::vector<BaVec3d<double>>(1000, { 1, 2, 3 }));
    const Types types = renderer.setup({ &cloud, CAD::StageIdentifier::DEFAULT_DATASET }, {}, 1);
    unsigned stepping = 1;
    std::vector<unsigned> steppings;
    double time = renderer.estimateRenderTime(types, stepping);
    EXPECT_GT(time, 0.0);
    Types reduced = types;
    while (renderer.reduceRenderTime(&reduced, &stepping)) {
        steppings.push_back(stepping);
        const double cheaper = renderer.estimateRenderTime(reduced, stepping);
        EXPECT_LT(cheaper, time) << stepping;
        time = cheaper;
    }
    // The benchmarked steppings, the render types untouched.
    EXPECT_EQ(steppings, std::vector<unsigned>({ 2, 3, 4, 6, 8 }));
    EXPECT_EQ(reduced, types);
    // Hidden points take no time.
    cloud.setPointFlag({ 0, 1, 2, 3, 4 }, CAD::PointFlags::HIDDEN, true);
    EXPECT_LT(renderer.estimateRenderTime(types, 8), time);
    renderer.finish();
}
