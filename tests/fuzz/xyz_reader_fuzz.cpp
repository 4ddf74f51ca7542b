// Feeds arbitrary bytes to the XYZ point reader. Besides crashes, leaks and undefined
// behaviour it catches a reader that lets bad data through: whatever it accepts must pass
// fuzz_checks.h. Refusal must come as ImportError; any other exception escapes and counts as
// a crash.
#include "apps/scene/scene_import_error.h"
#include "apps/scene/scene_xyz_reader.h"
#include "tests/fuzz/fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace Gcad::Scene;
    try {
        Gcad::Fuzz::checkCloud(
            readXyzPoints(std::string_view(reinterpret_cast<const char *>(data), size), "fuzz.xyz"));
    } catch (const ImportError &) {
    }
    return 0;
}
