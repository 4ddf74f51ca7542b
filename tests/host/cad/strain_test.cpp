// Strain grids built from plain data: holes, facets, lines, boundary, directions, isolines
// traced by marching squares; strain sections, stage points and the label offset a free point
// shares with its stage points.
#include "gcad/host/cad/vaq_cad_strain.h"
#include "gcad/host/cad/vaq_cad_strain_free_point.h"
#include "gcad/host/cad/vaq_cad_strain_section.h"
#include "gcad/host/cad/vaq_cad_strain_stage_point.h"
#include "tests/support/prog_error_message.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

using namespace Vaq;
using CAD::Strain;
using Vaq::Test::progErrorMessage;

namespace {

const CAD::StageIdentifier STAGE = CAD::StageIdentifier::DEFAULT_DATASET;

// A flat grid in the z = 0 plane, one unit between points, with the values value(column, row).
template<typename F> void flatGrid(Strain &strain, unsigned width, unsigned height, F value)
{
    std::vector<BaVec3d<double>> positions;
    std::vector<float> values;
    for (unsigned row = 0; row < height; ++row) {
        for (unsigned column = 0; column < width; ++column) {
            positions.emplace_back(column, row, 0.0);
            values.push_back(value(column, row));
        }
    }
    strain.setGrid(width, height, positions, values);
}

} // namespace

TEST(Strain, badGridsAreRefusedAndLeaveTheOldGrid)
{
    Strain strain;
    flatGrid(strain, 3, 2, [](unsigned c, unsigned) { return float(c); });
    EXPECT_EQ(progErrorMessage(
                  [&] { strain.setGrid(3, 3, std::vector<BaVec3d<double>>(9), std::vector<float>(8)); }),
        "wrong number of values");
    EXPECT_EQ(progErrorMessage(
                  [&] { strain.setGrid(3, 3, std::vector<BaVec3d<double>>(8), std::vector<float>(9)); }),
        "wrong number of values");
    EXPECT_EQ(progErrorMessage(
                  [&] { strain.setGrid(1, 5, std::vector<BaVec3d<double>>(5), std::vector<float>(5)); }),
        "grid too small");
    EXPECT_EQ(progErrorMessage([&] { strain.setNormals(std::vector<BaVec3d<float>>(5)); }),
        "wrong number of values");
    EXPECT_EQ(progErrorMessage([&] { strain.setPointFlag({ 6 }, CAD::StrainPointFlags::FLAGGED, true); }),
        "point index out of range");
    EXPECT_EQ(progErrorMessage([&] { strain.setColorRange(1.0f, 1.0f); }), "empty colour range");
    EXPECT_EQ(strain.getWidth(), 3u);
    EXPECT_EQ(strain.getNumberOfVisiblePoints(STAGE), 6u);
}

TEST(Strain, facetsMapTheirValuesAndHolesTakeTheirFacetsAndLinesAway)
{
    // 3 x 3 points, values 10 x column + row, the centre a hole.
    Strain strain;
    flatGrid(strain, 3, 3,
        [](unsigned c, unsigned r) { return c == 1 && r == 1 ? CAD::NO_VALUE : 10.0f * c + r; });
    strain.setColorRange(0.0f, 20.0f);
    EXPECT_EQ(strain.getNumberOfVisiblePoints(STAGE), 8u);
    EXPECT_FALSE(strain.getFlags(STAGE, 4).exists());

    Strain::MappedPoint corners[4];
    for (unsigned r = 0; r < 2; ++r)
        for (unsigned c = 0; c < 2; ++c)
            EXPECT_FALSE(strain.getDrawFacets(STAGE, c, r, corners)) << c << r;

    flatGrid(strain, 3, 3, [](unsigned c, unsigned r) { return 10.0f * c + r; });
    ASSERT_TRUE(strain.getDrawFacets(STAGE, 1, 0, corners));
    // Counter-clockwise from (column, row), values mapped by the colour range.
    EXPECT_EQ(corners[0].position, BaVec3d<float>(1, 0, 0));
    EXPECT_EQ(corners[1].position, BaVec3d<float>(2, 0, 0));
    EXPECT_EQ(corners[2].position, BaVec3d<float>(2, 1, 0));
    EXPECT_EQ(corners[3].position, BaVec3d<float>(1, 1, 0));
    EXPECT_FLOAT_EQ(corners[2].value, 21.0f / 20.0f);
    EXPECT_FLOAT_EQ(corners[3].value, 11.0f / 20.0f);
    // A flat grid faces +z; a facet at the last column or row does not exist.
    EXPECT_EQ(corners[0].normal, BaVec3d<float>(0, 0, 1));
    EXPECT_FALSE(strain.getDrawFacets(STAGE, 2, 0, corners));
    EXPECT_FALSE(strain.getDrawFacets(STAGE, 0, 2, corners));

    // Flags reach the mapped points; hidden points are left out like holes.
    strain.setPointFlag({ 4 }, CAD::StrainPointFlags::FLAGGED, true);
    ASSERT_TRUE(strain.getDrawFacets(STAGE, 0, 0, corners));
    EXPECT_EQ(corners[2].flag, 1);
    EXPECT_EQ(corners[0].flag, 0);
    Strain::MappedPoint lines[4];
    EXPECT_EQ(strain.getDrawLines(STAGE, 0, lines), 4u);
    strain.setPointFlag({ 1 }, CAD::StrainPointFlags::HIDDEN, true);
    EXPECT_EQ(strain.getDrawLines(STAGE, 0, lines), 2u);
    EXPECT_EQ(lines[1].position, BaVec3d<float>(0, 1, 0));
    EXPECT_FALSE(strain.getDrawPoint(STAGE, 1, lines));
    EXPECT_EQ(strain.getNumberOfVisiblePoints(STAGE), 8u);

    // Nothing at all in a stage where the element is not valid.
    const CAD::StageIdentifier other(7);
    strain.setStageValid(other, false);
    EXPECT_FALSE(strain.getDrawFacets(other, 1, 1, corners));
    EXPECT_EQ(strain.getDrawLines(other, 4, lines), 0u);
    EXPECT_TRUE(strain.getBoundary(other).empty());
}

TEST(Strain, theBoundaryRunsRoundTheOutsideAndRoundHoles)
{
    // 5 x 5 points: 16 facets, outline of 16 edges. A hole in the centre takes its four
    // facets away and leaves their 8 outer edges as an inner boundary.
    Strain strain;
    flatGrid(strain, 5, 5, [](unsigned, unsigned) { return 0.5f; });
    EXPECT_EQ(strain.getBoundary(STAGE).size(), 2u * 16);
    flatGrid(strain, 5, 5, [](unsigned c, unsigned r) { return c == 2 && r == 2 ? CAD::NO_VALUE : 0.5f; });
    const std::vector<Strain::MappedPoint> boundary = strain.getBoundary(STAGE);
    ASSERT_EQ(boundary.size(), 2u * 24);
    // Every edge is one unit long and none touches the hole itself.
    for (std::size_t i = 0; i < boundary.size(); i += 2) {
        EXPECT_FLOAT_EQ((boundary[i + 1].position - boundary[i].position).length(), 1.0f);
        EXPECT_NE(boundary[i].position, BaVec3d<float>(2, 2, 0));
    }
}

TEST(Strain, directionsAreThoseOfTheGridOrAsGiven)
{
    // A grid stretched along x and turned: columns run along y, rows along -x.
    Strain strain;
    std::vector<BaVec3d<double>> positions;
    for (unsigned r = 0; r < 2; ++r)
        for (unsigned c = 0; c < 3; ++c)
            positions.emplace_back(-double(r), 2.0 * c, 0.0);
    strain.setGrid(3, 2, positions, std::vector<float>(6, 0.0f));
    BaVec3d<float> u, v;
    ASSERT_TRUE(strain.getCoordinatesDirection(STAGE, 5, &u, &v));
    EXPECT_EQ(u, BaVec3d<float>(0, 1, 0));
    EXPECT_EQ(v, BaVec3d<float>(-1, 0, 0));
    EXPECT_FALSE(strain.getMajorDirection(STAGE, 0, &u));
    strain.setMajorDirections(std::vector<BaVec3d<float>>(6, { 0.5f, 0, 0 }));
    strain.setDisplacements(std::vector<BaVec3d<float>>(6, { 0, 0, 2 }));
    ASSERT_TRUE(strain.getMajorDirection(STAGE, 3, &u));
    EXPECT_EQ(u, BaVec3d<float>(0.5f, 0, 0));
    ASSERT_TRUE(strain.getDisplacementDirection(STAGE, 3, &u));
    EXPECT_EQ(u, BaVec3d<float>(0, 0, 2));
    EXPECT_FALSE(strain.getMinorDirection(STAGE, 3, &u));
}

TEST(Strain, isolinesCrossTheGridWhereTheValuesSayAndLeaveHolesAlone)
{
    // Values rise by 1 per column: the isoline of 1.25 is the line x = 1.25, one segment per
    // row of facets, with the surface normal at its ends.
    Strain strain;
    flatGrid(strain, 4, 4, [](unsigned c, unsigned) { return float(c); });
    strain.setIsolineValues({ 1.25f, 7.0f });
    const auto &points = strain.getIsolinePoints(STAGE, 0);
    ASSERT_EQ(points.size(), 6u);
    std::set<float> ys;
    for (const BaVec3d<float> &p : points) {
        EXPECT_FLOAT_EQ(p.x, 1.25f);
        ys.insert(p.y);
    }
    EXPECT_EQ(ys, std::set<float>({ 0.0f, 1.0f, 2.0f, 3.0f }));
    ASSERT_EQ(strain.getIsolineNormals(STAGE, 0).size(), 6u);
    EXPECT_EQ(strain.getIsolineNormals(STAGE, 0)[3], BaVec3d<float>(0, 0, 1));
    BaVec3d<double> at;
    QString text;
    ASSERT_TRUE(strain.getIsolineLabel(STAGE, 0, &at, &text));
    EXPECT_DOUBLE_EQ(at.x, 1.25);
    EXPECT_EQ(text, "1.25");
    // A value the grid never reaches, and an index past the values, have no isoline.
    EXPECT_TRUE(strain.getIsolinePoints(STAGE, 1).empty());
    EXPECT_TRUE(strain.getIsolinePoints(STAGE, 2).empty());
    EXPECT_FALSE(strain.getIsolineLabel(STAGE, 1, &at, &text));

    // New values are traced anew; hiding a point takes the segments of its facets away.
    strain.setIsolineValues({ 2.5f });
    EXPECT_FLOAT_EQ(strain.getIsolinePoints(STAGE, 0)[0].x, 2.5f);
    strain.setPointFlag({ strain.getPointIndex(2, 0) }, CAD::StrainPointFlags::HIDDEN, true);
    EXPECT_EQ(strain.getIsolinePoints(STAGE, 0).size(), 4u);
}

TEST(Strain, aSaddleIsSplitByItsMeanValueIntoTwoSegmentsThatDoNotCross)
{
    // One facet, corners 0 and 2 high: with the mean below the level the high corners are cut
    // off on their own; with it above, the low ones are.
    for (const float high : { 1.0f, 3.0f }) {
        Strain strain;
        const float values[4] = { high, 0.0f, high, 0.0f };
        strain.setGrid(2, 2, { { 0, 0, 0 }, { 1, 0, 0 }, { 0, 1, 0 }, { 1, 1, 0 } },
            { values[0], values[1], values[3], values[2] });
        strain.setIsolineValues({ 0.9f });
        const auto &points = strain.getIsolinePoints(STAGE, 0);
        ASSERT_EQ(points.size(), 4u) << high;
        // The corner each segment cuts off lies within the triangle of the segment and corner.
        const BaVec3d<float> cutOff[2] = { high < 2.0f ? BaVec3d<float>(0, 0, 0) : BaVec3d<float>(1, 0, 0),
            high < 2.0f ? BaVec3d<float>(1, 1, 0) : BaVec3d<float>(0, 1, 0) };
        for (int s = 0; s < 2; ++s) {
            const BaVec3d<float> middle = (points[2 * s] + points[2 * s + 1]) * 0.5f;
            const float nearest = std::min((middle - cutOff[0]).length(), (middle - cutOff[1]).length());
            EXPECT_LT(nearest, 0.5f) << high << " segment " << s;
        }
    }
}

TEST(StrainSection, drawPointsComeInSegmentPairsAndBadPolylinesAreRefused)
{
    CAD::StrainSection section;
    EXPECT_EQ(progErrorMessage([&] { section.setPoints({ { 0, 0, 0 } }); }), "too few points");
    EXPECT_EQ(progErrorMessage([&] { section.setPoints({ { 0, 0, 0 }, { NAN, 0, 0 } }); }), "invalid point");
    section.setPoints({ { 0, 0, 0 }, { 1, 0, 0 }, { 1, 2, 0 } });
    const auto pairs = section.getDrawPoints(STAGE);
    ASSERT_EQ(pairs.size(), 4u);
    EXPECT_EQ(pairs[1], pairs[2]);
    EXPECT_EQ(pairs[3], BaVec3d<double>(1, 2, 0));
    Box3d box;
    ASSERT_TRUE(section.getBoundingBox(STAGE, CAD::BBT_GEOMETRY, CAD::CCS_ELEMENT, box));
    EXPECT_EQ(box.getMax(), BaVec3d<double>(1, 2, 0));
}

TEST(StrainFreePoint, theLabelOffsetOfAFreePointReachesTheLabelsOfItsStagePoints)
{
    auto *labelled = new CAD::StrainStagePoint({ 1, 2, 3 });
    auto *unlabelled = new CAD::StrainStagePoint({ 1, 2, 4 });
    labelled->setLabel("P1");
    const BaVec3d<double> offset(5, -1, 0);
    for (auto type : { CAD::ElementCreator::REFERENCE_POINT, CAD::ElementCreator::FIXTURE_POINT,
             CAD::ElementCreator::TARGET_POINT, CAD::ElementCreator::POINT }) {
        CAD::Element point(type);
        point.setLabel("P1")->setManualOriginOffset(offset);
        point.addChild(labelled);
        point.addChild(unlabelled);
        labelled->getLabel()->setManualOriginOffset({});
        const bool free = type != CAD::ElementCreator::POINT;
        EXPECT_EQ(CAD::StrainTools::FreePoint::propagateLabelPosition(&point), free ? 1u : 0u) << type;
        EXPECT_EQ(labelled->getLabel()->getManualOriginOffset(), free ? offset : BaVec3d<double>()) << type;
        point.takeChild(labelled);
        point.takeChild(unlabelled);
    }
    delete labelled;
    delete unlabelled;
}
