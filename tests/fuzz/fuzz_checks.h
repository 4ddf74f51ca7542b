// What every mesh or point cloud a reader accepts must satisfy, for the fuzz targets: finite
// coordinates, corners that name existing vertices, and per-point data either absent or one
// entry per point. A breach aborts, which libFuzzer reports as a crash.
#pragma once

#include "apps/scene/scene_mesh_data.h"

#include <cmath>
#include <cstdlib>

namespace Gcad::Fuzz {

template<typename T> void checkFinite(const Vaq::BaVec3d<T> &p)
{
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
        std::abort();
}

template<typename T> void checkFinite(const std::vector<Vaq::BaVec3d<T>> &points)
{
    for (const auto &p : points)
        checkFinite(p);
}

inline void checkMesh(const Scene::MeshData &mesh)
{
    if (mesh.triangles.empty() || (!mesh.colors.empty() && mesh.colors.size() != mesh.vertices.size()))
        std::abort();
    checkFinite(mesh.vertices);
    for (const auto &triangle : mesh.triangles) {
        for (uint32_t corner : triangle) {
            if (corner >= mesh.vertices.size())
                std::abort();
        }
    }
}

inline void checkCloud(const Scene::PointCloud &cloud)
{
    const std::size_t n = cloud.positions.size();
    const auto fits = [n](std::size_t size) { return size == 0 || size == n; };
    if (n == 0 || !fits(cloud.normals.size()) || !fits(cloud.colors.size()) || !fits(cloud.values.size()))
        std::abort();
    checkFinite(cloud.positions);
}

} // namespace Gcad::Fuzz
