// Feeds arbitrary bytes to the PLY reader: whatever it accepts, mesh or point cloud, must pass
// fuzz_checks.h; refusal must come as ImportError.
#include "apps/scene/scene_import_error.h"
#include "apps/scene/scene_ply_reader.h"
#include "tests/fuzz/fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace Gcad::Scene;
    try {
        const PlyData ply = readPly(std::string_view(reinterpret_cast<const char *>(data), size), "fuzz.ply");
        if (const MeshData *mesh = std::get_if<MeshData>(&ply))
            Gcad::Fuzz::checkMesh(*mesh);
        else
            Gcad::Fuzz::checkCloud(std::get<PointCloud>(ply));
    } catch (const ImportError &) {
    }
    return 0;
}
