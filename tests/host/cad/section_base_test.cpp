// Sections: runs checked as they come in, per-point records shaped like the runs, visible
// counts and boxes, colours through a colour map, the vectors of section edges, and the
// tolerance band of a 2-D inspection (point tolerance vectors, offset arcs, validity).
#include "gcad/host/cad/vaq_cad_find_parameter.h"
#include "gcad/host/cad/vaq_cad_section_edge.h"
#include "gcad/host/cad/vaq_cad_section_insp2d.h"
#include "tests/support/prog_error_message.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <optional>

using namespace Vaq;
using namespace Vaq::CAD;
using Vaq::Test::progErrorMessage;
using V = BaVec3d<double>;

namespace {

const StageIdentifier STAGE = StageIdentifier::DEFAULT_DATASET;
const Color RED(255, 0, 0), GREEN(0, 255, 0), BLUE(0, 0, 255), GREY(9, 9, 9);

// Seen from above, 10 pixels per unit around pixel (100, 100), nearer the viewer for larger z.
FindParameter pickAt(double x, double y)
{
    const double m[16] = { 10, 0, 0, 100, 0, 10, 0, 100, 0, 0, -0.01, 0.5, 0, 0, 0, 1 };
    return FindParameter(Line3d({ x, y, 50 }, { 0, 0, -1 }), Transformation(m));
}

// The point found under (x, y) within tolerance pixels, or nothing.
std::optional<V> find(const SectionBase &section, double x, double y, double tolerance = 2.0)
{
    FindParameter parameter = pickAt(x, y);
    V point;
    if (!section.findElementAtPixel(STAGE, parameter, tolerance) || !parameter.getFoundPoint(&point))
        return std::nullopt;
    return point;
}

} // namespace

TEST(SectionBase, badRunsAreRefusedAndLeaveTheSectionAsItWas)
{
    EXPECT_EQ(progErrorMessage([] { SectionBase(ElementCreator::POINT_CLOUD); }), "not a section type");

    SectionBase section;
    section.setSections({ { { 0, 0, 0 }, { 1, 0, 0 } } });
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(progErrorMessage([&] {
        section.setSections({ { { 0, 0, 0 } } });
    }),
        "a section needs at least two points");
    EXPECT_EQ(progErrorMessage([&] { section.setSections({ {} }); }), "a section needs at least two points");
    EXPECT_EQ(progErrorMessage([&] {
        section.setSections({ { { 0, 0, 0 }, { nan, 0, 0 } } });
    }),
        "section point is not finite");
    EXPECT_EQ(progErrorMessage([&] {
        section.setSections({ { { 0, 0, 0 }, { 1, 0, 0 } } }, { true, false });
    }),
        "wrong number of closed flags");
    EXPECT_EQ(section.getNumberOfPoints(STAGE), 2u);

    // No runs at all is an empty section, not an error.
    section.setSections({});
    EXPECT_EQ(section.getNumberOfPoints(STAGE), 0u);
    Box3d box;
    EXPECT_FALSE(section.getBoundingBox(STAGE, BBT_GEOMETRY, CCS_ELEMENT, box));
}

TEST(SectionBase, perPointRecordsFollowTheRunsAndNewRunsDropThem)
{
    SectionBase section(ElementCreator::SECTION_VECTORS);
    section.setSections(
        { { { 0, 0, 0 }, { 1, 0, 0 } }, { { 0, 5, 0 }, { 1, 5, 0 }, { 2, 7, -1 } } }, { false, true });
    EXPECT_FALSE(section.isClosed(STAGE, 0));
    EXPECT_TRUE(section.isClosed(STAGE, 1));
    EXPECT_FALSE(section.isClosed(STAGE, 2));
    EXPECT_EQ(section.firstPoint(STAGE, 1), V(0, 5, 0));
    EXPECT_EQ(section.getNumberOfVisiblePoints(STAGE), 5u);
    Box3d box;
    ASSERT_TRUE(section.getBoundingBox(STAGE, BBT_GEOMETRY, CCS_ELEMENT, box));
    EXPECT_EQ(box.getMin(), V(0, 0, -1));
    EXPECT_EQ(box.getMax(), V(2, 7, 0));

    // Right count in total, wrong per run.
    EXPECT_EQ(progErrorMessage([&] {
        section.setColors({ { RED, RED, RED }, { RED, RED } });
    }),
        "wrong number of values");
    EXPECT_EQ(progErrorMessage([&] { section.setValues({ { 1, 2 } }); }), "wrong number of values");
    EXPECT_EQ(progErrorMessage([&] {
        section.setDeviations({ { 1, 2 }, { 1, 2, 3 } }, {});
    }),
        "wrong number of values");
    EXPECT_FALSE(section.existsDistanceVector(STAGE));

    section.setSpringDistances({ { {}, {} }, { {}, {}, {} } });
    section.setInsp2dFlags(
        { { Insp2dFlags(), Insp2dFlags() }, { Insp2dFlags(), Insp2dFlags(), Insp2dFlags() } });
    EXPECT_TRUE(section.existsSpringDistVector(STAGE));
    EXPECT_TRUE(section.existsInsp2dFlags(STAGE));
    section.setPointFlag(1, 2, PointFlags::HIDDEN, true);
    section.setPointFlag(0, 0, PointFlags::PREVIEW, true);
    EXPECT_EQ(section.getNumberOfVisiblePoints(STAGE), 3u);
    EXPECT_EQ(progErrorMessage([&] { section.setPointFlag(0, 2, PointFlags::HIDDEN, true); }),
        "point index out of range");

    // A stage in which the section is not valid has no data.
    const StageIdentifier other(7);
    section.setStageValid(other, false);
    EXPECT_TRUE(section.getSections(other).empty());
    EXPECT_FALSE(section.existsSpringDistVector(other));
    EXPECT_EQ(section.getNumberOfVisiblePoints(other), 0u);

    section.setSections({ { { 0, 0, 0 }, { 1, 0, 0 } } });
    EXPECT_FALSE(section.existsSpringDistVector(STAGE));
    EXPECT_FALSE(section.existsInsp2dFlags(STAGE));
    EXPECT_EQ(section.getNumberOfVisiblePoints(STAGE), 2u);
}

TEST(SectionBase, aColourMapColoursTheValuesByTheirBandAndPointsWithoutValueApart)
{
    SectionBase section;
    section.setSections({ { { 0, 0, 0 }, { 1, 0, 0 }, { 2, 0, 0 }, { 3, 0, 0 }, { 4, 0, 0 } } });
    section.getElemProperties()->datasetColor = GREY;
    section.setColors({ { RED, RED, RED, RED, RED } });
    Legend2::ColorMap map;
    map.setColors({ BLUE, GREEN, RED });
    map.setDataRange(-3.0, 3.0);
    // Bands [-3, -1), [-1, 1), [1, 3]; beyond the range the nearer end.
    section.setDeviations({ { -2.0f, 0.5f, 1.0f, -40.0f, NO_VALUE } }, { { {}, {}, {}, {}, {} } });
    EXPECT_EQ(section.getColors(STAGE)[0][0], RED); // no map yet: its own colours
    section.setColorMap(map);
    EXPECT_EQ(section.getColors(STAGE), SectionRecords<Color>({ { BLUE, GREEN, RED, BLUE, GREY } }));
    map.setUncomputedColor(Color(1, 2, 3));
    section.setColorMap(map);
    EXPECT_EQ(section.getColors(STAGE)[0][4], Color(1, 2, 3));
    // Without values, the own colours again.
    section.setDeviations({}, {});
    EXPECT_EQ(section.getColors(STAGE)[0][1], RED);

    EXPECT_EQ(Color::fadeColor(Color(255, 0, 100, 40)), Color(255, 127, 177, 40));
}

TEST(SectionEdge, springAndCutoffVectorsAreCheckedAndDroppedWithTheRuns)
{
    SectionEdge edge;
    edge.setSections({ { { 0, 0, 0 }, { 1, 0, 0 } } });
    EXPECT_EQ(progErrorMessage([&] {
        edge.setSpringVectors({ { { 0, 1, 0 } } });
    }),
        "wrong number of values");
    edge.setSpringVectors({ { { 0, 1, 0 }, { 0, 2, 0 } } });
    edge.setCutoffVectors({ { { 0, 0, 1 }, { 0, 0, 2 } } });
    EXPECT_EQ(edge.getCutoffVectors(STAGE)[0][1], BaVec3d<float>(0, 0, 2));
    edge.setSections({ { { 0, 0, 0 }, { 1, 0, 0 } } });
    EXPECT_TRUE(edge.getSpringVectors(STAGE).empty());
    EXPECT_TRUE(edge.getCutoffVectors(STAGE).empty());
}

TEST(SectionInsp2d, pointToleranceVectorsLieLeftOfTheRunInThePlane)
{
    SectionInsp2d section;
    // An open L and a closed square, counter-clockwise seen from +z.
    section.setSections(
        { { { 0, 0, 0 }, { 2, 0, 0 }, { 2, 2, 0 } }, { { 5, 0, 0 }, { 7, 0, 0 }, { 7, 2, 0 }, { 5, 2, 0 } } },
        { false, true });
    EXPECT_FALSE(section.existsToleranceVector(STAGE));
    section.setTolerance({ -0.5, 1.0 }, { { 0, 0, 2 }, { { { 0, 0, 0 }, { 2, 0, 0 }, {}, 0.0 } } });
    ASSERT_TRUE(section.existsToleranceVector(STAGE));
    const auto &v = section.getPointToleranceVector(STAGE);
    const float h = float(std::sqrt(0.5));
    EXPECT_EQ(v[0][0], BaVec3d<float>(0, 1, 0)); // one-sided at the open start
    EXPECT_NEAR(v[0][1].x, -h, 1e-6);
    EXPECT_NEAR(v[0][1].y, h, 1e-6);
    EXPECT_EQ(v[0][2], BaVec3d<float>(-1, 0, 0));
    // The closed run's first point looks back to its last: the corner's bisector, inwards.
    EXPECT_NEAR(v[1][0].x, h, 1e-6);
    EXPECT_NEAR(v[1][0].y, h, 1e-6);

    // The box holds the band: the lower limit moves the square's corners outwards, and the L's
    // start and the figure's line down to -0.5.
    Box3d box;
    ASSERT_TRUE(section.getBoundingBox(STAGE, BBT_GEOMETRY, CCS_ELEMENT, box));
    EXPECT_NEAR(box.getMin().y, -0.5, 1e-6);
    EXPECT_NEAR(box.getMax().x, 7 + 0.5 * h, 1e-6);
    EXPECT_NEAR(box.getMax().y, 2 + 0.5 * h, 1e-6);
    EXPECT_TRUE(section.isToleranceGeometryValid(STAGE));
}

TEST(SectionInsp2d, arcsAreOffsetTowardsTheirLeftInStepsOfADegreeAndBadFiguresAreInvalid)
{
    const V normal(0, 0, 1);
    const ToleranceCurve quarter { { 2, 0, 0 }, {}, { 0, 0, 0 }, std::numbers::pi / 2 };
    const auto inner = tessellateToleranceCurve(quarter, normal, 0.5);
    ASSERT_EQ(inner.size(), 91u);
    for (const V &p : inner)
        EXPECT_NEAR(p.length(), 1.5, 1e-9);
    EXPECT_NEAR(inner.back().y, 1.5, 1e-9);
    // Clockwise, the left lies outside.
    const ToleranceCurve back { { 0, 2, 0 }, {}, { 0, 0, 0 }, -std::numbers::pi / 2 };
    const auto outer = tessellateToleranceCurve(back, normal, 0.5);
    ASSERT_EQ(outer.size(), 91u);
    EXPECT_NEAR(outer.back().x, 2.5, 1e-9);
    // A line moves square to itself.
    const auto line = tessellateToleranceCurve({ { 0, 0, 0 }, { 4, 0, 0 }, {}, 0.0 }, normal, -1.0);
    EXPECT_EQ(line, std::vector<V>({ { 0, -1, 0 }, { 4, -1, 0 } }));

    SectionInsp2d section;
    section.setSections({ { { 0, 0, 0 }, { 1, 0, 0 } } });
    section.setTolerance({ 1.0, -1.0 }, { normal, { quarter } }); // lower above upper
    EXPECT_FALSE(section.isToleranceGeometryValid(STAGE));
    section.setTolerance({ -1.0, 1.0 }, { normal, { quarter, { { 1, 1, 0 }, { 1, 1, 0 }, {}, 0.0 } } });
    EXPECT_FALSE(section.isToleranceGeometryValid(STAGE));
    section.setTolerance({ -1.0, 1.0 }, { V(), { quarter } });
    EXPECT_FALSE(section.isToleranceGeometryValid(STAGE));
    EXPECT_TRUE(tessellateToleranceCurve(quarter, V(), 0.1).empty());
    section.setTolerance({ -1.0, 1.0 }, { normal, { quarter } });
    EXPECT_TRUE(section.isToleranceGeometryValid(STAGE));
}

TEST(SectionBase, findHitsThePolylineAsDrawnNearestTheViewer)
{
    // An open run along three sides of a square at z = 0, and one segment above it at z = 1.
    SectionBase section;
    section.setSections(
        { { { 0, 0, 0 }, { 4, 0, 0 }, { 4, 4, 0 }, { 0, 4, 0 } }, { { 2, -1, 1 }, { 2, 1, 1 } } });
    // The pixel's foot on the segment, 1 pixel beside it: at (1, 0) on the bottom side.
    EXPECT_EQ(find(section, 1, 0.1), V(1, 0, 0));
    // Where the two runs cross, the upper one wins; with it cut away, the lower one.
    EXPECT_EQ(find(section, 2, 0), V(2, 0, 1));
    FindParameter parameter = pickAt(2, 0);
    parameter.setClippingPlane(Plane3d({ 0, 0, 0.5 }, { 0, 0, -1 }));
    ASSERT_TRUE(section.findElementAtPixel(STAGE, parameter, 2.0));
    V point;
    parameter.getFoundPoint(&point);
    EXPECT_EQ(point, V(2, 0, 0));
    // The open run has no side from (0, 4) back to (0, 0); closed, it has.
    EXPECT_EQ(find(section, 0, 2), std::nullopt);
    section.setSections(
        { { { 0, 0, 0 }, { 4, 0, 0 }, { 4, 4, 0 }, { 0, 4, 0 } }, { { 2, -1, 1 }, { 2, 1, 1 } } },
        { true, false });
    EXPECT_EQ(find(section, 0, 2), V(0, 2, 0));
    // A hidden point takes both its segments with it; the tolerance reaches its neighbours' ends.
    section.setPointFlag(0, 1, PointFlags::HIDDEN, true);
    EXPECT_EQ(find(section, 4, 1), std::nullopt);
    EXPECT_EQ(find(section, 4, 3.9, 2.0), V(4, 4, 0));
    // A stage in which the section is not valid has nothing to find.
    FindParameter other = pickAt(0, 2);
    EXPECT_FALSE(section.findElementAtPixel(StageIdentifier::UNINITIALIZED, other, 2.0));
}
