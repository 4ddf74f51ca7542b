// Feeds arbitrary bytes to the OBJ import through assimp: whatever it accepts must pass
// fuzz_checks.h (a mesh without triangles is refused later, when the element is built);
// refusal must come as ImportError.
#include "apps/scene/scene_import_error.h"
#include "apps/scene/scene_mesh_import.h"
#include "tests/fuzz/fuzz_checks.h"

// assimp's OBJ loader leaks on some malformed files (a vertex line with a bad number); the
// leak is inside the library, not in what calls it.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libassimp.so\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace Gcad::Scene;
    try {
        const MeshData mesh
            = readObjMesh(std::string_view(reinterpret_cast<const char *>(data), size), "fuzz.obj");
        if (!mesh.triangles.empty())
            Gcad::Fuzz::checkMesh(mesh);
    } catch (const ImportError &) {
    }
    return 0;
}
