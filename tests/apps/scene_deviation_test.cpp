// Deviations of a scan from its nominal part: the signed distances against the deformation the
// scan was made with, the search distance, threads, sections with the deviations near them,
// and the colours and legend of the deviation display.
#include "apps/scene/scene_deviation.h"
#include "apps/scene/scene_deviation_display.h"
#include "apps/scene/scene_inspection_sample.h"
#include "apps/scene/scene_point_grid.h"

#include "gcad/host/fig2/vaq_fig2_global_legend.h"
#include "gcad/host/fig2/vaq_fig2_legend_handler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

using namespace Gcad::Scene;
using Vaq::BaVec3d;
using Vaq::CAD::NO_VALUE;
using Vaq::CAD::StageIdentifier;

namespace {

constexpr unsigned COLUMNS = 120, ROWS = 40;

// The sample part, fine enough that its facets lie within 0.005 of the true wall.
std::unique_ptr<Vaq::CAD::PolyBase> samplePart()
{
    MeshData data = makeSamplePart(360, 101);
    auto part = std::make_unique<Vaq::CAD::PolyBase>(Vaq::CAD::ElementCreator::MESH, QStringLiteral("part"));
    part->setMesh(std::move(data.vertices), std::move(data.triangles));
    part->updateVisualization(StageIdentifier::NO_STAGE, true, false);
    return part;
}

// The deformation the sample scan was made with at its point i.
double deformationAt(std::size_t i)
{
    const unsigned row = unsigned(i / COLUMNS), column = unsigned(i % COLUMNS);
    const double z = SAMPLE_PART_HEIGHT * (0.02 + 0.96 * row / (ROWS - 1));
    return sampleDeformation(2.0 * std::numbers::pi * (column + 0.5) / COLUMNS, z);
}

} // namespace

TEST(ScanDeviations, areTheDeformationTheScanWasMadeWithOnAnyNumberOfThreads)
{
    const auto part = samplePart();
    const Vaq::CAD::PolyBaseData &nominal = *part->getData(StageIdentifier::NO_STAGE);
    const PointCloud scan = makeSampleScan(COLUMNS, ROWS, 0.0, 1);
    const Deviations one = computeDeviations(nominal, scan.positions, 2.0, 1);
    ASSERT_EQ(one.values.size(), scan.positions.size());
    EXPECT_EQ(one.withValue, scan.positions.size());
    double largest = 0.0;
    for (std::size_t i = 0; i < one.values.size(); ++i) {
        ASSERT_NEAR(one.values[i], deformationAt(i), 0.005) << i;
        // The foot lies on the nominal wall, the deviation away from the point.
        EXPECT_NEAR((scan.positions[i] - one.feet[i]).length(), std::abs(one.values[i]), 1e-5);
        largest = std::max(largest, std::abs(deformationAt(i)));
    }
    // Both signs and the dent's depth occur.
    EXPECT_GT(largest, 0.6);
    const Deviations two = computeDeviations(nominal, scan.positions, 2.0, 2);
    EXPECT_EQ(two.values, one.values);

    // A search distance of 0.3 leaves out what the deformation moved farther.
    const Deviations near = computeDeviations(nominal, scan.positions, 0.3, 2);
    std::size_t beyond = 0;
    for (std::size_t i = 0; i < near.values.size(); ++i) {
        const double d = std::abs(deformationAt(i));
        if (d > 0.31) {
            EXPECT_EQ(near.values[i], NO_VALUE) << i;
        } else if (d < 0.29) {
            EXPECT_FLOAT_EQ(near.values[i], one.values[i]) << i;
        }
        beyond += near.values[i] == NO_VALUE;
    }
    EXPECT_EQ(near.withValue, near.values.size() - beyond);
    EXPECT_GT(beyond, 100u);

    // A scan out of reach: no values at all, no failure.
    const std::vector<BaVec3d<double>> far = { { 500, 0, 0 }, { 0, 0, -40 } };
    const Deviations none = computeDeviations(nominal, far, 2.0);
    EXPECT_EQ(none.withValue, 0u);
    EXPECT_EQ(none.values, std::vector<float>(2, NO_VALUE));
}

TEST(ScanDeviations, aSectionCarriesTheDeviationsNearItAsValuesAndNeedlesAlongTheNormal)
{
    const auto part = samplePart();
    const PointCloud scan = makeSampleScan(COLUMNS, ROWS, 0.0, 1);
    const Deviations deviations
        = computeDeviations(*part->getData(StageIdentifier::NO_STAGE), scan.positions, 2.0);
    // The scan's rows lie 2.46 apart: a radius of 1.5 finds the row at z = 52.
    const double z = SAMPLE_PART_HEIGHT * (0.02 + 0.96 * 21 / (ROWS - 1));
    const Vaq::Plane3d plane({ 0, 0, z }, { 0, 0, 1 });
    const DeviationSection section = SectionCutter(*part, &deviations, 1.5).cut(plane);
    ASSERT_EQ(section.runs.size(), 1u);
    EXPECT_TRUE(section.closed[0]);
    // Per quad of the wall, its vertical edge and its diagonal.
    EXPECT_EQ(section.numberOfPoints(), 720u);
    std::size_t withValue = 0;
    for (std::size_t i = 0; i < section.runs[0].size(); ++i) {
        const BaVec3d<double> &p = section.runs[0][i];
        const float value = section.values[0][i];
        if (value == NO_VALUE) {
            EXPECT_EQ(section.needles[0][i], BaVec3d<float>());
            continue;
        }
        ++withValue;
        // The mean of scan points at most 1.5 away along a smooth deformation of amplitude 0.4.
        EXPECT_NEAR(value, sampleDeformation(std::atan2(p.y, p.x), z), 0.03) << i;
        // The needle: the outward normal, nearly horizontal here, times the value.
        const BaVec3d<float> &needle = section.needles[0][i];
        EXPECT_NEAR(needle.length(), std::abs(value), 1e-5);
        const BaVec3d<double> outwards = BaVec3d<double>(p.x, p.y, 0).normalized() * value;
        EXPECT_GT(needle.x * outwards.x + needle.y * outwards.y, 0.9 * value * value);
    }
    EXPECT_GT(withValue, 300u);

    // Without actual data the section has points but no values; a plane above the part nothing.
    const SectionCutter plain(*part, nullptr, 0.0);
    const DeviationSection bare = plain.cut(plane);
    ASSERT_EQ(bare.values.size(), 1u);
    EXPECT_TRUE(
        std::all_of(bare.values[0].begin(), bare.values[0].end(), [](float v) { return v == NO_VALUE; }));
    EXPECT_TRUE(plain.cut(Vaq::Plane3d({ 0, 0, 101 }, { 0, 0, 1 })).runs.empty());
}

TEST(PointGrid, findsThePointsWithinTheRadiusAsALoopOverAllDoes)
{
    std::mt19937 random(3);
    std::uniform_real_distribution<double> coordinate(-5.0, 5.0);
    std::vector<BaVec3d<double>> points(3000);
    for (auto &p : points)
        p = { coordinate(random), coordinate(random), coordinate(random) * 0.1 };
    std::vector<uint32_t> even;
    for (uint32_t i = 0; i < points.size(); i += 2)
        even.push_back(i);
    const PointGrid grid(points, even, 0.7);
    for (int q = 0; q < 200; ++q) {
        const BaVec3d<double> p { coordinate(random), coordinate(random), 0.0 };
        std::vector<uint32_t> found = grid.within(p, 0.7), expected;
        for (const uint32_t i : even) {
            if ((points[i] - p).length() <= 0.7)
                expected.push_back(i);
        }
        std::sort(found.begin(), found.end());
        EXPECT_EQ(found, expected);
    }
}

TEST(DeviationDisplay, pointsTakeTheLegendsColoursAndShowTheLegend)
{
    setDeviationRange({ 0.1f, -0.4f, NO_VALUE, 0.25f });
    const Vaq::Legend2::LegendHandler &legend = *Vaq::Legend2::LegendHandler::getInstance();
    EXPECT_DOUBLE_EQ(legend.getColorMap().getMinimum(), -0.4f);
    EXPECT_DOUBLE_EQ(legend.getColorMap().getMaximum(), 0.4f);
    const std::vector<Vaq::Color> &scale = legend.getColorMap().getColors();

    PointCloud cloud;
    cloud.positions = { { 0, 0, 0 }, { 1, 0, 0 }, { 2, 0, 0 }, { 3, 0, 0 } };
    auto points
        = createDeviationPoints(std::move(cloud), { -0.4f, 0.4f, NO_VALUE, 0.0f }, QStringLiteral("scan"));
    const auto &colors = points->getColorVector(StageIdentifier::NO_STAGE);
    ASSERT_EQ(colors.size(), 4u);
    // The ends of the range take the scale's end colours, zero its middle one, no value grey.
    EXPECT_EQ(colors[0], scale.front());
    EXPECT_EQ(colors[1], scale.back());
    EXPECT_EQ(colors[2], NO_DEVIATION_COLOR);
    EXPECT_EQ(colors[3], scale[scale.size() / 2]);
    EXPECT_EQ(points->getDataVector(StageIdentifier::NO_STAGE)[1], 0.4f);

    EXPECT_TRUE(points->mustLabelBeRendered(StageIdentifier::NO_STAGE));
    points->updateFigureElements(StageIdentifier::NO_STAGE, 100, Vaq::Transformation(), 0.25);
    const auto figure = points->getFigureElements(StageIdentifier::NO_STAGE);
    EXPECT_EQ(std::count(figure.begin(), figure.end(), Vaq::GLegend2::GlobalLegend::getInstance()), 1);
    // Switched off, the same points hand out nothing.
    points->getElemProperties()->colorMapEnabled = false;
    EXPECT_FALSE(points->mustLabelBeRendered(StageIdentifier::NO_STAGE));
    EXPECT_TRUE(points->getFigureElements(StageIdentifier::NO_STAGE).empty());
}
