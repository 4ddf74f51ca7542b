#include "gcad/host/gl/vaq_gl_update_options.h"

#include "gcad/host/base/vaq_prog_error.h"

namespace Vaq::GL {

namespace {
struct TemplateFlags
{
    bool snapshot, interactive, keepGpu;
};

// Indexed by UpdateTemplate_t; the header documents the same table.
constexpr TemplateFlags _template_flags[] = {
    { false, false, false },
    { false, true, true },
    { false, false, true },
    { true, false, true },
    { false, false, true },
};
} // namespace

UpdateOptions::UpdateOptions() = default;

UpdateOptions::UpdateOptions(int stage, int templ)
{
    if (stage < US_ALL || stage > US_OVERLAY)
        VAQ_PROG_ERROR("Vaq::GL::UpdateOptions::UpdateOptions", "update stage out of range");
    if (templ < UT_DEFAULT || templ > UT_BENCHMARK)
        VAQ_PROG_ERROR("Vaq::GL::UpdateOptions::UpdateOptions", "update template out of range");
    m_stage = UpdateStage_t(stage);
    m_template = UpdateTemplate_t(templ);
    const TemplateFlags &flags = _template_flags[templ];
    snapshotRendering = flags.snapshot;
    interactiveUpdate = flags.interactive;
    keepGpuData = flags.keepGpu;
}

} // namespace Vaq::GL
