#include "gcad/gcad_library.h"

#include "gcad/benchmark/gcad_benchmark_result_container.h"
#include "gcad/benchmark/gcad_cmd_benchmark.h"
#include "gcad/benchmark/gcad_cmd_card_info.h"
#include "gcad/gcad_config.h"
#include "gcad/host/base/vaq_translation.h"
#include "gcad/mesh/gcad_cmd_vertex_cache_benchmark.h"
#include "gcad/mesh/gcad_framerate_adjust.h"
#include "gcad/mesh/gcad_gl_node_container.h"

namespace Vaq::GCAD {

void InitDefaults(Cfg::CfgNode *)
{
    new BenchmarkResultContainer;
    new FramerateAdjust;
}

void InitLibrary(Cfg::CfgNode *node)
{
    installTranslator(QStringLiteral("VaqGCAD"));
    if (node)
        registerConfigEntries(*node);
    // The commands register with the application, which owns and deletes them.
    new MeshBenchmarkCommand;
    new VertexCacheBenchmarkCommand;
    new CardInfoCommand;
    new GLNodeContainer;
}

void CloseDefaults(Cfg::CfgNode *)
{
    delete FramerateAdjust::getInstance();
    delete BenchmarkResultContainer::getInstance();
}

void CloseLibrary()
{
    delete GLNodeContainer::getInstance();
}

} // namespace Vaq::GCAD
