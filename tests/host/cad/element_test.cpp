#include "gcad/host/cad/vaq_cad_element.h"
#include "tests/support/prog_error_message.h"

#include <gtest/gtest.h>

#include <functional>

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
    EXPECT_TRUE(leaf->isVisible(VR_ELEMENT));
    EXPECT_FALSE(leaf->isVisible(VR_HIERARCHY));

    // Taken out of the hidden tree, the element only answers for itself.
    folder->takeChild(leaf);
    EXPECT_TRUE(leaf->isHirarchyVisible());
    delete leaf;
    delete root;
}

TEST(ElementStages, validityBoxesAndTransformationsArePerStageWithStageIndependentFallback)
{
    Element element(ElementCreator::SPHERE);
    // A new element holds only the stage-independent entry, which answers for every stage.
    EXPECT_TRUE(element.isStageValid(StageIdentifier::DEFAULT_DATASET));
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

    // The display box falls back to the geometry box until one is set.
    ASSERT_TRUE(element.getBoundingBox(STAGE_2, BBT_DISPLAY, CCS_WORLD, box));
    EXPECT_EQ(box, unitBox());
    const Box3d display({ -1, -1, -1 }, { 2, 2, 2 });
    element.setBoundingBox(STAGE_2, BBT_DISPLAY, display);
    ASSERT_TRUE(element.getBoundingBox(STAGE_2, BBT_DISPLAY, CCS_WORLD, box));
    EXPECT_EQ(box, display);

    element.setStageValid(STAGE_1, false);
    EXPECT_FALSE(element.isStageValid(STAGE_1));
    EXPECT_TRUE(element.isStageValid(STAGE_2));
    // Without the stage-independent entry only stages of their own remain valid.
    EXPECT_TRUE(element.removeStage(StageIdentifier::NO_STAGE));
    EXPECT_FALSE(element.isStageValid(StageIdentifier::DEFAULT_DATASET));
    EXPECT_EQ(element.getStages(), (std::vector<StageIdentifier> { STAGE_1, STAGE_2 }));
}

TEST(ElementStages, badInputIsRefusedAndChangesNothing)
{
    Element element(ElementCreator::POINT_CLOUD);
    const std::pair<std::function<void()>, const char *> cases[] = {
        { [&] { element.setBoundingBox(STAGE_1, BBT_GEOMETRY, Box3d()); }, "empty bounding box" },
        { [&] { element.setBoundingBox(STAGE_1, BoundingBoxType_t(7), unitBox()); },
            "unknown bounding box type" },
        { [&] { element.setStageValid(StageIdentifier::UNINITIALIZED, true); }, "stage is not initialized" },
        { [&] { element.highlightPoint({ 0 }, Color()); }, "highlight of points not possible" },
        { [&] {
             element.setHighlightOfPointsPossible(true);
             element.highlightPoint({ 0, -1 }, Color());
         },
            "negative point index" },
    };
    for (const auto &[call, message] : cases)
        EXPECT_EQ(progErrorMessage(call), message);
    EXPECT_FALSE(element.getStageObject().holdsStage(STAGE_1));
    EXPECT_EQ(element.getNumberOfHighlightedPoints(), 0u);
}

TEST(ElementVisualization, changesMarkTheStagesOutdatedUntilUpdated)
{
    Element element(ElementCreator::MESH);
    element.setStageValid(STAGE_1, true);
    element.updateVisualization(STAGE_1, false, false);
    element.updateVisualization(StageIdentifier::NO_STAGE, false, false);
    EXPECT_FALSE(element.isVisualizationOutdated(STAGE_1));

    element.highlightElement(true);
    EXPECT_TRUE(element.isVisualizationOutdated(StageIdentifier::NO_STAGE));
    element.updateVisualization(STAGE_1, false, false);
    EXPECT_FALSE(element.isVisualizationOutdated(STAGE_1));
    EXPECT_TRUE(element.isVisualizationOutdated(StageIdentifier::NO_STAGE));

    // Setting the state it already has is no change; a new highlight colour is.
    element.highlightElement(true);
    element.setHighlightColor(element.getHighlightColor());
    EXPECT_FALSE(element.isVisualizationOutdated(STAGE_1));
    element.setHighlightColor(Color(0, 255, 0));
    EXPECT_TRUE(element.isVisualizationOutdated(STAGE_1));
}
