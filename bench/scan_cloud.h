// A scanned sheet for the point benchmarks: columns x rows points over a gently waved square,
// each with its normal and a colour by its height, as a structured-light scan delivers them.
#pragma once

#include "gcad/host/cad/vaq_cad_points_base.h"

#include <cmath>
#include <memory>
#include <numbers>

namespace Vaq::Bench {

inline std::unique_ptr<CAD::PointsBase> makeScanCloud(unsigned columns, unsigned rows)
{
    constexpr double AMPLITUDE = 0.05;
    const std::size_t count = std::size_t(columns) * rows;
    std::vector<BaVec3d<double>> positions;
    std::vector<BaVec3d<float>> normals;
    std::vector<Color> colors;
    positions.reserve(count);
    normals.reserve(count);
    colors.reserve(count);
    for (unsigned row = 0; row < rows; ++row) {
        const double y = row / double(rows - 1);
        for (unsigned column = 0; column < columns; ++column) {
            const double x = column / double(columns - 1);
            const double s = std::sin(3.0 * std::numbers::pi * x), c = std::cos(2.0 * std::numbers::pi * y);
            const double z = AMPLITUDE * s * c;
            const double dzdx = AMPLITUDE * 3.0 * std::numbers::pi * std::cos(3.0 * std::numbers::pi * x) * c;
            const double dzdy
                = -AMPLITUDE * 2.0 * std::numbers::pi * s * std::sin(2.0 * std::numbers::pi * y);
            positions.emplace_back(x, y, z);
            normals.push_back(BaVec3d<float>(float(-dzdx), float(-dzdy), 1.0f).normalized());
            const auto t = uint8_t(127.5 * (1.0 + z / AMPLITUDE));
            colors.emplace_back(t, uint8_t(90 + t / 2), uint8_t(255 - t));
        }
    }
    auto cloud = std::make_unique<CAD::PointsBase>(CAD::ElementCreator::POINTS_SCAN, QStringLiteral("scan"));
    cloud->setPoints(std::move(positions));
    cloud->setNormals(std::move(normals));
    cloud->setColors(std::move(colors));
    return cloud;
}

} // namespace Vaq::Bench
