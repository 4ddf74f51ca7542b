// Feeds arbitrary bytes to the STL reader. Besides crashes, leaks and undefined behaviour it
// catches a reader that lets bad data through (see fuzz_checks.h) or fails to merge: no two
// vertices it returns may share a position. Refusal must come as ImportError.
#include "apps/scene/scene_import_error.h"
#include "apps/scene/scene_stl_reader.h"
#include "tests/fuzz/fuzz_checks.h"

#include <algorithm>
#include <tuple>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace Gcad::Scene;
    MeshData mesh;
    try {
        mesh = readStlMesh(std::string_view(reinterpret_cast<const char *>(data), size), "fuzz.stl");
    } catch (const ImportError &) {
        return 0;
    }
    Gcad::Fuzz::checkMesh(mesh);
    // +0.0 makes -0 and +0 one key, as they are one position.
    std::vector<std::tuple<double, double, double>> positions;
    for (const auto &p : mesh.vertices)
        positions.emplace_back(p.x + 0.0, p.y + 0.0, p.z + 0.0);
    std::sort(positions.begin(), positions.end());
    if (std::adjacent_find(positions.begin(), positions.end()) != positions.end())
        std::abort();
    return 0;
}
