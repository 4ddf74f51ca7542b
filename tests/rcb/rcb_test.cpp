// The render callback's answers that need no view: the selection order and the box the
// origin axes add to the scene.
#include "tests/support/gcad_test_scene.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>

using namespace Vaq;
using CAD::Element;
using CAD::ElementCreator;

namespace {

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
