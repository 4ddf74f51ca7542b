#include "gcad/host/cad/vaq_cad_element.h"
#include "gcad/host/cad/vaq_cad_find_parameter.h"
#include "tests/support/prog_error_message.h"

#include <gtest/gtest.h>

using namespace Vaq;
using namespace Vaq::CAD;
using Vaq::Test::progErrorMessage;

namespace {

const StageIdentifier STAGE_1 { 1 };
const StageIdentifier STAGE_2 { 2 };

Box3d unitBox()
{
    return Box3d({ 0, 0, 0 }, { 1, 1, 1 });
}

} // namespace

TEST(ElementHierarchyVisibility, needsTheElementAndEveryElementAncestorVisible)
{
    auto *root = new Element(ElementCreator::GROUP);
    auto *folder = new TObject; // not an element: has no visibility of its own
    auto *leaf = new Element(ElementCreator::MESH);
    root->addChild(folder);
    folder->addChild(leaf);

    EXPECT_TRUE(leaf->isHirarchyVisible());
    root->setVisible(false);
    EXPECT_FALSE(leaf->isHirarchyVisible());
    // Its own switch is untouched; only the hierarchy request sees the hidden root.
    EXPECT_TRUE(leaf->isVisible());
    EXPECT_TRUE(leaf->isVisible(VR_ELEMENT));
    EXPECT_FALSE(leaf->isVisible(VR_HIERARCHY));

    root->setVisible(true);
    leaf->setVisible(false);
    EXPECT_FALSE(leaf->isHirarchyVisible());
    EXPECT_TRUE(root->isHirarchyVisible());

    // Taken out of the hidden tree, the element only answers for itself.
    leaf->setVisible(true);
    root->setVisible(false);
    folder->takeChild(leaf);
    EXPECT_TRUE(leaf->isHirarchyVisible());
    delete leaf;
    delete root;
}

TEST(ElementStages, validityIsPerStageWithStageIndependentFallback)
{
    Element element(ElementCreator::POINT_CLOUD);
    // A new element holds only the stage-independent entry, which answers for every stage.
    EXPECT_EQ(element.getStages(), std::vector<StageIdentifier> { StageIdentifier::NO_STAGE });
    EXPECT_TRUE(element.isStageValid(StageIdentifier::DEFAULT_DATASET));
    EXPECT_FALSE(element.isStageValid(StageIdentifier::UNINITIALIZED));
    element.setStageValid(STAGE_1, false);
    EXPECT_FALSE(element.isStageValid(STAGE_1));
    EXPECT_TRUE(element.isStageValid(STAGE_2));

    // Without the stage-independent entry only stages of their own remain valid.
    element.setStageValid(STAGE_2, true);
    EXPECT_TRUE(element.removeStage(StageIdentifier::NO_STAGE));
    EXPECT_FALSE(element.isStageValid(StageIdentifier::DEFAULT_DATASET));
    EXPECT_TRUE(element.isStageValid(STAGE_2));
    EXPECT_EQ(element.getStages(), (std::vector<StageIdentifier> { STAGE_1, STAGE_2 }));

    EXPECT_EQ(progErrorMessage([&] { element.setStageValid(StageIdentifier::UNINITIALIZED, true); }),
        "stage is not initialized");
    EXPECT_EQ(element.getStages().size(), 2u);
}

TEST(ElementStages, boxesAndTransformationsAreKeptPerStage)
{
    Element element(ElementCreator::SPHERE);
    Box3d box;
    EXPECT_FALSE(element.getBoundingBox(STAGE_1, BBT_GEOMETRY, CCS_WORLD, box));

    element.setBoundingBox(StageIdentifier::NO_STAGE, BBT_GEOMETRY, unitBox());
    element.setRenderTransformation(STAGE_1, Transformation::translation({ 10, 0, 0 }));

    // Stage 1 started from the stage-independent values and moved on; stage 2 still uses them.
    ASSERT_TRUE(element.getBoundingBox(STAGE_1, BBT_GEOMETRY, CCS_WORLD, box));
    EXPECT_EQ(box, Box3d({ 10, 0, 0 }, { 11, 1, 1 }));
    ASSERT_TRUE(element.getBoundingBox(STAGE_1, BBT_GEOMETRY, CCS_ELEMENT, box));
    EXPECT_EQ(box, unitBox());
    ASSERT_TRUE(element.getBoundingBox(STAGE_2, BBT_GEOMETRY, CCS_WORLD, box));
    EXPECT_EQ(box, unitBox());
    EXPECT_TRUE(element.existsRenderTransformation(STAGE_1));
    EXPECT_FALSE(element.existsRenderTransformation(STAGE_2));
    element.clearRenderTransformation(STAGE_1);
    EXPECT_FALSE(element.existsRenderTransformation(STAGE_1));

    // The display box falls back to the geometry box until one is set.
    ASSERT_TRUE(element.getBoundingBox(STAGE_1, BBT_DISPLAY, CCS_WORLD, box));
    EXPECT_EQ(box, unitBox());
    const Box3d display({ -1, -1, -1 }, { 2, 2, 2 });
    element.setBoundingBox(STAGE_1, BBT_DISPLAY, display);
    ASSERT_TRUE(element.getBoundingBox(STAGE_1, BBT_DISPLAY, CCS_WORLD, box));
    EXPECT_EQ(box, display);
    ASSERT_TRUE(element.getBoundingBox(STAGE_1, BBT_GEOMETRY, CCS_WORLD, box));
    EXPECT_EQ(box, unitBox());
}

TEST(ElementStages, badBoxesAreRefused)
{
    Element element(ElementCreator::SPHERE);
    EXPECT_EQ(progErrorMessage([&] { element.setBoundingBox(STAGE_1, BBT_GEOMETRY, Box3d()); }),
        "empty bounding box");
    EXPECT_EQ(progErrorMessage([&] { element.setBoundingBox(STAGE_1, BoundingBoxType_t(7), unitBox()); }),
        "unknown bounding box type");
    EXPECT_EQ(progErrorMessage(
                  [&] { element.setBoundingBox(StageIdentifier::UNINITIALIZED, BBT_GEOMETRY, unitBox()); }),
        "stage is not initialized");
    EXPECT_FALSE(element.getStageObject().holdsStage(STAGE_1));
}

TEST(ElementStages, expandForDrawingAddsHalfTheSymbolSizeInModelUnits)
{
    Element element(ElementCreator::POINT);
    element.getElemProperties()->symbolSize = 10.0;
    Box3d box = unitBox();
    // 10 pixels of 0.1 model units each: 0.5 on every side.
    ASSERT_TRUE(element.expandBoundingBoxForDrawing(STAGE_1, 0.1, box));
    EXPECT_EQ(box, Box3d({ -0.5, -0.5, -0.5 }, { 1.5, 1.5, 1.5 }));

    Box3d empty;
    EXPECT_FALSE(element.expandBoundingBoxForDrawing(STAGE_1, 0.1, empty));
    EXPECT_TRUE(empty.isEmpty());
}

TEST(ElementVisualization, changesMarkTheStagesOutdatedUntilUpdated)
{
    Element element(ElementCreator::MESH);
    element.setStageValid(STAGE_1, true);
    element.updateVisualization(STAGE_1, false, false);
    element.updateVisualization(StageIdentifier::NO_STAGE, false, false);
    EXPECT_FALSE(element.isVisualizationOutdated(STAGE_1));

    element.highlightElement(true);
    EXPECT_TRUE(element.isVisualizationOutdated(STAGE_1));
    EXPECT_TRUE(element.isVisualizationOutdated(StageIdentifier::NO_STAGE));
    element.updateVisualization(STAGE_1, false, false);
    EXPECT_FALSE(element.isVisualizationOutdated(STAGE_1));
    EXPECT_TRUE(element.isVisualizationOutdated(StageIdentifier::NO_STAGE));

    // Setting the state it already has is no change; a new highlight colour is.
    element.highlightElement(true);
    element.setHighlightColor(element.getHighlightColor());
    EXPECT_FALSE(element.isVisualizationOutdated(STAGE_1));
    EXPECT_TRUE(element.isElementHighlighted());
    element.setHighlightColor(Color(0, 255, 0));
    EXPECT_TRUE(element.isVisualizationOutdated(STAGE_1));
}

TEST(ElementHighlight, pointsAreHighlightedPerIndexAndAnsweredInOneColour)
{
    Element element(ElementCreator::POINT_CLOUD);
    EXPECT_EQ(progErrorMessage([&] { element.highlightPoint({ 0 }, Color()); }),
        "highlight of points not possible");
    element.setHighlightOfPointsPossible(true);
    EXPECT_EQ(progErrorMessage([&] { element.highlightPoint({ 0, -1 }, Color()); }), "negative point index");
    EXPECT_EQ(element.getNumberOfHighlightedPoints(), 0u);
    const Color red(255, 0, 0), blue(0, 0, 255);
    element.highlightPoint({ 1, 2 }, red);
    element.highlightPoint({ 3 }, blue);

    Color color;
    EXPECT_TRUE(element.isPointHighlighted({ 2, 1 }, &color));
    EXPECT_EQ(color, red);
    EXPECT_TRUE(element.isPointHighlighted({ 3 }, &color));
    EXPECT_EQ(color, blue);
    // Mixed colours, a missing index or no index at all do not count as highlighted.
    EXPECT_FALSE(element.isPointHighlighted({ 1, 3 }, &color));
    EXPECT_FALSE(element.isPointHighlighted({ 1, 4 }, &color));
    EXPECT_FALSE(element.isPointHighlighted({}, &color));

    element.highlightPoint({ 3 }, red);
    EXPECT_TRUE(element.isPointHighlighted({ 1, 2, 3 }, nullptr));

    element.clearHighlightPoint({ 2 });
    EXPECT_FALSE(element.isPointHighlighted({ 2 }, nullptr));
    EXPECT_EQ(element.getNumberOfHighlightedPoints(), 2u);
    element.clearHighlightPoint();
    EXPECT_EQ(element.getNumberOfHighlightedPoints(), 0u);
}

TEST(ElementState, aSecondLabelReusesTheFirst)
{
    Element element(ElementCreator::DISTANCE, "dist 1");
    EXPECT_EQ(element.getLabel(), nullptr);
    LabelElement *label = element.setLabel("12.5 mm");
    ASSERT_EQ(element.getLabel(), label);
    EXPECT_EQ(element.setLabel("13.0 mm"), label);
    EXPECT_EQ(label->getText(), "13.0 mm");
}

TEST(ElementPicking, viewLineHitsTheBoxAtTheSideNearerTheViewer)
{
    Element element(ElementCreator::SPHERE);
    element.setBoundingBox(STAGE_1, BBT_GEOMETRY, unitBox());
    element.setRenderTransformation(STAGE_1, Transformation::translation({ 0, 0, 10 }));

    // Looking down -z through (0.5, 0.5); the identity as 3-D to 2-D keeps z as depth, so the
    // top face z = 11 (element z = 1) is nearest.
    FindParameter parameter(Line3d({ 0.5, 0.5, 100 }, { 0, 0, -1 }), Transformation());
    ASSERT_TRUE(element.findElementAtPixel(STAGE_1, parameter, 10.0));
    double z = 0;
    BaVec3d<double> point;
    Transformation trafo;
    ASSERT_TRUE(parameter.getFoundZ(&z));
    ASSERT_TRUE(parameter.getFoundPoint(&point));
    ASSERT_TRUE(parameter.getFoundRenderTrafo(&trafo));
    EXPECT_DOUBLE_EQ(z, 11.0);
    EXPECT_EQ(point, BaVec3d<double>(0.5, 0.5, 1.0));
    EXPECT_EQ(trafo.transform(point), BaVec3d<double>(0.5, 0.5, 11.0));

    // A clipping plane that cuts the top away leaves the bottom face.
    parameter.setClippingPlane(Plane3d({ 0, 0, 10.5 }, { 0, 0, -1 }));
    ASSERT_TRUE(element.findElementAtPixel(STAGE_1, parameter, 10.0));
    ASSERT_TRUE(parameter.getFoundZ(&z));
    EXPECT_DOUBLE_EQ(z, 10.0);

    // A miss clears what an earlier element found.
    FindParameter miss(Line3d({ 5, 5, 100 }, { 0, 0, -1 }), Transformation());
    miss.setFound({ 1, 1, 1 }, 3.0);
    EXPECT_FALSE(element.findElementAtPixel(STAGE_1, miss, 10.0));
    EXPECT_FALSE(miss.getFoundPoint(nullptr));

    element.setStageValid(STAGE_1, false);
    EXPECT_FALSE(element.findElementAtPixel(STAGE_1, parameter, 10.0));
}
