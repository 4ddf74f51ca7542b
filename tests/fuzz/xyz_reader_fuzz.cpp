// Feeds arbitrary bytes to the XYZ point reader. Besides crashes, leaks and undefined
// behaviour it catches a reader that lets bad data through: whatever it accepts holds at
// least one point, only finite coordinates, and either no colours or one per point. Refusal
// must come as ImportError; any other exception escapes and counts as a crash.
#include "apps/scene/scene_import_error.h"
#include "apps/scene/scene_xyz_reader.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace Gcad::Scene;
    PointCloud cloud;
    try {
        cloud = readXyzPoints(std::string_view(reinterpret_cast<const char *>(data), size), "fuzz.xyz");
    } catch (const ImportError &) {
        return 0;
    }
    if (cloud.positions.empty() || (!cloud.colors.empty() && cloud.colors.size() != cloud.positions.size()))
        std::abort();
    for (const auto &p : cloud.positions) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
            std::abort();
    }
    return 0;
}
