// The render callback's answers that need no view: which elements are valid while and after
// they are collected, the scene box, the selection order and the box the origin axes add.
#include "tests/support/gcad_test_scene.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>

using namespace Vaq;
using CAD::Element;
using CAD::ElementCreator;

namespace {

// Asks, for every element it is shown, whether the elements shown before are valid.
class PeekingScene : public Vaq::Test::TestScene
{
public:
    bool isElementVisible(const Element *element) const override
    {
        for (const Element *earlier : seen)
            validBefore.push_back(isElementValid(earlier));
        seen.push_back(element);
        return true;
    }

    mutable std::vector<const Element *> seen;
    mutable std::vector<bool> validBefore;
};

TEST(RenderCallbackCollection, ElementsAreValidAsSoonAsCollectedAndNullEntriesAreSkippedEverywhere)
{
    PeekingScene scene;
    Element elements[4] { Element(ElementCreator::LABEL), Element(ElementCreator::LABEL),
        Element(ElementCreator::LABEL), Element(ElementCreator::LABEL) };
    // Shown against their address order, so that a search that relies on sorting misses.
    for (int i = 3; i >= 0; --i) {
        elements[i].setBoundingBox(CAD::StageIdentifier::NO_STAGE, CAD::BBT_GEOMETRY,
            Box3d(BaVec3d<double>(i, 0, 0), BaVec3d<double>(i + 1, 1, 0)));
        scene.show(&elements[i]);
    }
    scene.show(nullptr);
    scene.initAllElementsForDrawing();
    EXPECT_EQ(scene.validBefore, std::vector<bool>(6, true)); // 1 + 2 + 3 earlier elements
    for (const Element &element : elements)
        EXPECT_TRUE(scene.isElementValid(&element));

    BaVec3d<double> min, max;
    ASSERT_TRUE(scene.getBoundingBox(&min, &max));
    EXPECT_LE(min.x, 0.0);
    EXPECT_GE(max.x, 4.0);
    scene.entries = { { nullptr, CAD::StageIdentifier::NO_STAGE } };
    EXPECT_FALSE(scene.getBoundingBox(&min, &max));
}

TEST(RenderCallbackSelection, GroupsByKindAndKeepsTheOrderWithinAGroup)
{
    std::vector<std::unique_ptr<Element>> owned;
    std::vector<Element *> elements;
    for (auto [type, name] : std::initializer_list<std::pair<ElementCreator::Element_t, const char *>> {
             { ElementCreator::PLANE, "primitive" }, // 7
             { ElementCreator::POINT_CLOUD, "cloud" }, // 4
             { ElementCreator::LABEL, "label 1" }, // 2
             { ElementCreator::POINTS_DEVIATION, "deviations" }, // 3
             { ElementCreator::PMP_POINT_CHANGE, "pmp" }, // 6
             { ElementCreator::DISTANCE, "distance" }, // 5
             { ElementCreator::SECTION_INSPECTION_2D, "section 2d" }, // 1
             { ElementCreator::MESH, "plain mesh" }, // 2: the measured mesh itself
             { ElementCreator::MESH_INSPECTION, "inspection" }, // 1
             { ElementCreator::CUTTING_EDGE, "edge" }, // 7
             { ElementCreator::REFERENCE_POINTS, "references" }, // 4
         }) {
        owned.emplace_back(new Element(type, name));
        elements.push_back(owned.back().get());
    }
    GCAD::RenderCallback::sortElementsForSelection(elements);
    QStringList names;
    for (const Element *e : elements)
        names << e->getFileName();
    EXPECT_EQ(names,
        QStringList({ "section 2d", "inspection", "label 1", "plain mesh", "deviations", "cloud",
            "references", "distance", "pmp", "primitive", "edge" }));
}

TEST(RenderCallbackPreviewBox, OriginAxesWidenTheBoxOnlyWhenDrawnAtTheOrigin)
{
    Vaq::Test::TestScene scene;
    const double empty = std::numeric_limits<double>::max();
    BaVec3d<double> min(empty, empty, empty), max(-empty, -empty, -empty);

    GCAD::RenderCallback::setCoordinateAxisDrawingEnabled(true);
    GCAD::RenderCallback::setCoordinateAxisDrawingMode(GCAD::RenderCallback::CSM_ORIGIN);
    // An empty box gets axes of length 5: the cube of half that around the origin.
    ASSERT_TRUE(scene.addPreviewBoundingBox(&min, &max));
    EXPECT_EQ(min, BaVec3d<double>(-2.5, -2.5, -2.5));
    EXPECT_EQ(max, BaVec3d<double>(2.5, 2.5, 2.5));

    // Axes are 0.3 of the largest extent (here 100), and the box only grows.
    min = { 10, 10, 0 };
    max = { 110, 30, 1 };
    ASSERT_TRUE(scene.addPreviewBoundingBox(&min, &max));
    EXPECT_EQ(min, BaVec3d<double>(-15, -15, -15));
    EXPECT_EQ(max, BaVec3d<double>(110, 30, 15));

    GCAD::RenderCallback::setCoordinateAxisDrawingMode(GCAD::RenderCallback::CSM_VIEW_CORNER);
    min = { 10, 10, 0 };
    EXPECT_FALSE(scene.addPreviewBoundingBox(&min, &max));
    EXPECT_EQ(min, BaVec3d<double>(10, 10, 0));
    GCAD::RenderCallback::setCoordinateAxisDrawingMode(GCAD::RenderCallback::CSM_ORIGIN);
    GCAD::RenderCallback::setCoordinateAxisDrawingEnabled(false);
}

} // namespace
