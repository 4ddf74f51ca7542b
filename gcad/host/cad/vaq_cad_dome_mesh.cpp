#include "gcad/host/cad/vaq_cad_dome_mesh.h"

#include "gcad/host/base/vaq_prog_error.h"

#include <cmath>
#include <numbers>

namespace Vaq::CAD {

std::unique_ptr<PolyBase> createDomeMesh(unsigned n, bool withColors, ElementCreator::Element_t type)
{
    if (n < 2 || n > 65535)
        VAQ_PROG_ERROR("Vaq::CAD::createDomeMesh", "dome size out of range");
    const double last = n - 1;
    std::vector<BaVec3d<double>> vertices;
    vertices.reserve(std::size_t(n) * n);
    for (unsigned i = 0; i < n; ++i) {
        for (unsigned j = 0; j < n; ++j) {
            const double z
                = 0.5 * std::sin(std::numbers::pi * j / last) * std::sin(std::numbers::pi * i / last);
            vertices.emplace_back(j / last - 0.5, i / last - 0.5, z);
        }
    }
    std::vector<Triangle> triangles;
    triangles.reserve(2 * std::size_t(n - 1) * (n - 1));
    for (uint32_t i = 0; i + 1 < n; ++i) {
        for (uint32_t j = 0; j + 1 < n; ++j) {
            const uint32_t k = i * n + j;
            triangles.push_back({ k, k + 1, k + n + 1 });
            triangles.push_back({ k, k + n + 1, k + n });
        }
    }
    auto mesh = std::make_unique<PolyBase>(type);
    mesh->setMesh(std::move(vertices), std::move(triangles));
    if (withColors) {
        std::vector<Color> colors;
        colors.reserve(std::size_t(n) * n);
        for (unsigned i = 0; i < n; ++i) {
            for (unsigned j = 0; j < n; ++j)
                colors.emplace_back(uint8_t(255u * j / (n - 1)), uint8_t(255u * i / (n - 1)), 0);
        }
        mesh->setDrawColors(std::move(colors));
    }
    mesh->computeNormals();
    return mesh;
}

} // namespace Vaq::CAD
