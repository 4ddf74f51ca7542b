// The passes the strain renderer chooses for grids, sections and stage points, the column step
// of a moving view, and the element types it refuses; without GL.
#include "gcad/renderers/gcad_r_strain.h"
#include "tests/support/gcad_test_scene.h"
#include "tests/support/prog_error_message.h"

#include <gtest/gtest.h>

using namespace Vaq;
using GCAD::StrainRenderer;
using Types = std::vector<unsigned>;

namespace {

class StrainRenderTypes : public testing::Test
{
protected:
    Types typesOf(CAD::Element &element)
    {
        const Types types = renderer.setup({ &element, CAD::StageIdentifier::DEFAULT_DATASET }, {}, 1);
        renderer.finish();
        return types;
    }

    Vaq::Test::TestScene scene;
    StrainRenderer renderer { &scene };
};

} // namespace

TEST_F(StrainRenderTypes, aGridDrawsItsSwitchedOnPassesInTheirFixedOrder)
{
    CAD::Strain strain;
    CAD::ElemProp &p = *strain.getElemProperties();
    EXPECT_EQ(typesOf(strain), Types({ 1 }));
    p.showTriangles = false;
    EXPECT_EQ(typesOf(strain), Types());
    p.showPoints = p.showTriangles = p.showEdges = p.showBoundary = true;
    CAD::StrainDisplay &s = p.strain;
    s.coordinateDirections = s.majorDirections = s.minorDirections = s.displacementDirections = true;
    s.isolines = s.isolineNormals = s.isolineLabels = true;
    EXPECT_EQ(typesOf(strain), Types({ 0, 1, 2, 3, 11, 8, 9, 10, 12, 13, 14 }));
    s.coordinateDirections = s.minorDirections = s.isolines = false;
    p.showEdges = false;
    EXPECT_EQ(typesOf(strain), Types({ 0, 1, 3, 11, 9, 13, 14 }));
}

TEST_F(StrainRenderTypes, sectionsAndStagePointsHaveTheirOwnPassesAndOtherTypesAreRefused)
{
    CAD::StrainSection section;
    EXPECT_EQ(typesOf(section), Types({ 5 }));
    section.getElemProperties()->strain.sectionSpheres = true;
    EXPECT_EQ(typesOf(section), Types({ 5, 7 }));
    section.getElemProperties()->strain.sectionPoints = true;
    EXPECT_EQ(typesOf(section), Types({ 5, 6, 7 }));

    // A stage point has only its marker, whatever its properties switch on.
    CAD::StrainStagePoint point({ 1, 2, 3 });
    point.getElemProperties()->showPoints = true;
    point.getElemProperties()->strain.sectionPoints = true;
    EXPECT_EQ(typesOf(point), Types({ 4 }));

    CAD::Element other(CAD::ElementCreator::LABEL_POINT); // 49
    CAD::Element fortyEight(CAD::ElementCreator::Element_t(48));
    EXPECT_EQ(Vaq::Test::progErrorMessage([&] { typesOf(fortyEight); }), "unsupported type");
    EXPECT_EQ(Vaq::Test::progErrorMessage([&] { typesOf(other); }), "unsupported type");
}

TEST(StrainRenderer, theColumnStepGrowsByOneForEvery150000PointsOfTheHintWhileTheViewMoves)
{
    EXPECT_EQ(StrainRenderer::columnStep(299999, true), 2u);
    EXPECT_EQ(StrainRenderer::columnStep(150000, true), 2u);
    EXPECT_EQ(StrainRenderer::columnStep(149999, true), 1u);
    EXPECT_EQ(StrainRenderer::columnStep(300000, true), 3u);
    EXPECT_EQ(StrainRenderer::columnStep(4000000000u, true), 26667u);
    EXPECT_EQ(StrainRenderer::columnStep(4000000000u, false), 1u);
}
