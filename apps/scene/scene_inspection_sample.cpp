#include "apps/scene/scene_inspection_sample.h"

#include <cmath>
#include <numbers>
#include <random>

namespace Gcad::Scene {

namespace {

using std::numbers::pi;
using Vaq::BaVec3d;

double radius(double z)
{
    return 30.0 + 6.0 * std::sin(1.5 * pi * z / SAMPLE_PART_HEIGHT);
}

double radiusSlope(double z)
{
    return 6.0 * 1.5 * pi / SAMPLE_PART_HEIGHT * std::cos(1.5 * pi * z / SAMPLE_PART_HEIGHT);
}

BaVec3d<double> wallPoint(double angle, double z)
{
    return { radius(z) * std::cos(angle), radius(z) * std::sin(angle), z };
}

BaVec3d<double> wallNormal(double angle, double z)
{
    return BaVec3d<double>(std::cos(angle), std::sin(angle), -radiusSlope(z)).normalized();
}

} // namespace

MeshData makeSamplePart(unsigned sides, unsigned rings)
{
    MeshData part;
    for (unsigned r = 0; r < rings; ++r) {
        const double z = SAMPLE_PART_HEIGHT * r / (rings - 1);
        for (unsigned s = 0; s < sides; ++s)
            part.vertices.push_back(wallPoint(2.0 * pi * s / sides, z));
    }
    auto at = [sides](unsigned r, unsigned s) { return r * sides + s % sides; };
    for (unsigned r = 0; r + 1 < rings; ++r) {
        for (unsigned s = 0; s < sides; ++s) {
            part.triangles.push_back({ at(r, s), at(r, s + 1), at(r + 1, s + 1) });
            part.triangles.push_back({ at(r, s), at(r + 1, s + 1), at(r + 1, s) });
        }
    }
    const auto bottom = uint32_t(part.vertices.size());
    part.vertices.emplace_back(0.0, 0.0, 0.0);
    part.vertices.emplace_back(0.0, 0.0, SAMPLE_PART_HEIGHT);
    for (unsigned s = 0; s < sides; ++s) {
        part.triangles.push_back({ bottom, at(0, s + 1), at(0, s) });
        part.triangles.push_back({ bottom + 1, at(rings - 1, s), at(rings - 1, s + 1) });
    }
    return part;
}

double sampleDeformation(double angle, double z)
{
    const double height = z / SAMPLE_PART_HEIGHT;
    const double bulge = 0.4 * std::cos(2.0 * angle) * std::sin(pi * height);
    // A dent at a quarter turn, two thirds up.
    const double da = std::remainder(angle - 0.5 * pi, 2.0 * pi) * radius(z),
                 dz = z - 0.66 * SAMPLE_PART_HEIGHT;
    const double dent = -0.6 * std::exp(-(da * da + dz * dz) / 64.0);
    return bulge + dent;
}

PointCloud makeSampleScan(unsigned columns, unsigned rows, double noise, uint64_t seed)
{
    std::mt19937_64 random(seed);
    std::normal_distribution<double> gauss(0.0, noise > 0.0 ? noise : 1.0);
    PointCloud scan;
    scan.positions.reserve(std::size_t(columns) * rows);
    scan.normals.reserve(std::size_t(columns) * rows);
    for (unsigned row = 0; row < rows; ++row) {
        const double z = SAMPLE_PART_HEIGHT * (0.02 + 0.96 * row / std::max(1u, rows - 1));
        for (unsigned column = 0; column < columns; ++column) {
            const double angle = 2.0 * pi * (column + 0.5) / columns;
            const BaVec3d<double> normal = wallNormal(angle, z);
            const double offset = sampleDeformation(angle, z) + (noise > 0.0 ? gauss(random) : 0.0);
            scan.positions.push_back(wallPoint(angle, z) + normal * offset);
            scan.normals.emplace_back(float(normal.x), float(normal.y), float(normal.z));
        }
    }
    return scan;
}

} // namespace Gcad::Scene
