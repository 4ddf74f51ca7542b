#include "apps/scene/scene_deviation.h"

#include "apps/scene/scene_point_grid.h"

#include "gcad/host/cad/vaq_cad_plane_cut.h"
#include "gcad/host/cad/vaq_cad_triangle_bvh.h"

#include <algorithm>
#include <atomic>
#include <numeric>
#include <thread>

namespace Gcad::Scene {

using Vaq::BaVec3d;
using Vaq::CAD::NO_VALUE;

namespace {

// Points per block a thread takes at a time: large enough that the hint pays, small enough
// that both threads finish together.
constexpr std::size_t BLOCK = 4096;

} // namespace

Deviations computeDeviations(const Vaq::CAD::PolyBaseData &nominal,
    const std::vector<BaVec3d<double>> &points, double maxDistance, unsigned threads)
{
    std::vector<uint32_t> all(nominal.triangles.size());
    std::iota(all.begin(), all.end(), 0u);
    const Vaq::CAD::TriangleBvh bvh(nominal.vertices, nominal.triangles, std::move(all));

    Deviations result;
    result.values.assign(points.size(), NO_VALUE);
    result.feet.resize(points.size());
    std::atomic<std::size_t> nextBlock { 0 };
    std::atomic<std::size_t> withValue { 0 };
    auto work = [&]() {
        std::size_t found = 0;
        for (std::size_t begin = nextBlock++ * BLOCK; begin < points.size(); begin = nextBlock++ * BLOCK) {
            uint32_t hint = Vaq::CAD::TriangleBvh::NO_HINT;
            for (std::size_t i = begin; i < std::min(points.size(), begin + BLOCK); ++i) {
                Vaq::CAD::NearestPoint nearest;
                if (!bvh.nearest(points[i], maxDistance, hint, &nearest))
                    continue;
                hint = nearest.triangle;
                result.values[i] = float(nearest.signedDistance);
                result.feet[i] = nearest.point;
                ++found;
            }
        }
        withValue += found;
    };
    const unsigned count = threads > 0 ? threads : std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::thread> helpers;
    for (unsigned i = 1; i < count; ++i)
        helpers.emplace_back(work);
    work();
    for (std::thread &helper : helpers)
        helper.join();
    result.withValue = withValue;
    return result;
}

std::size_t DeviationSection::numberOfPoints() const
{
    std::size_t count = 0;
    for (const auto &run : runs)
        count += run.size();
    return count;
}

SectionCutter::SectionCutter(const Vaq::CAD::PolyBase &nominal, const Deviations *deviations, double radius)
    : m_nominal(nominal)
    , m_deviations(deviations)
    , m_radius(radius)
{
    if (!deviations)
        return;
    std::vector<uint32_t> measured;
    for (uint32_t i = 0; i < deviations->values.size(); ++i) {
        if (deviations->values[i] != NO_VALUE)
            measured.push_back(i);
    }
    m_feet = std::make_unique<PointGrid>(deviations->feet, std::move(measured), radius);
}

SectionCutter::~SectionCutter() = default;

DeviationSection SectionCutter::cut(const Vaq::Plane3d &plane) const
{
    DeviationSection section;
    section.plane = plane;
    for (Vaq::CAD::PlaneCutRun &run :
        Vaq::CAD::cutWithPlane(m_nominal, Vaq::CAD::StageIdentifier::NO_STAGE, plane)) {
        std::vector<float> values(run.points.size(), NO_VALUE);
        std::vector<BaVec3d<float>> needles(run.points.size());
        for (std::size_t i = 0; m_feet && i < run.points.size(); ++i) {
            const std::vector<uint32_t> near = m_feet->within(run.points[i], m_radius);
            if (near.empty())
                continue;
            double sum = 0.0;
            for (const uint32_t j : near)
                sum += m_deviations->values[j];
            values[i] = float(sum / double(near.size()));
            needles[i] = run.normals[i] * values[i];
        }
        section.runs.push_back(std::move(run.points));
        section.closed.push_back(run.closed);
        section.values.push_back(std::move(values));
        section.needles.push_back(std::move(needles));
    }
    return section;
}

} // namespace Gcad::Scene
