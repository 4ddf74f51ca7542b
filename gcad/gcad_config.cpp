#include "gcad/gcad_config.h"

#include "gcad/host/base/vaq_translation.h"
#include "gcad/host/cfg/vaq_cfg_node.h"

namespace Vaq::GCAD {

const char *const CFG_GCAD_NODE = "Gcad";
const char *const CFG_GCAD_SHOW_LABELS = "Gcad/ShowLabels";
const char *const CFG_GCAD_BOX_MODE = "Gcad/BoxMode";
const char *const CFG_GCAD_HIGHLIGHT_TRANSPARENCY = "RenderOptions/Expert/HighlightTransparency";
const char *const CFG_GCAD_HIGHLIGHT_COLOR = "RenderOptions/Expert/HighlightColor";
const char *const CFG_GCAD_INFO_CERTIFIED = "Gcad/InfoCertified";
const char *const CFG_GCAD_INFO_SOFTWARE_RENDERING = "Gcad/InfoSoftwareRendering";
const char *const CFG_GCAD_INFO_OFFSCREEN_RENDERING = "Gcad/InfoOffscreenRendering";
const char *const CFG_GCAD_INFO_DRIVER_VERSION = "Gcad/InfoDriverVersion";

const char *const CFG_PIP_NODE = "Gcad/PiP";
const char *const CFG_PIP_LINK_TO_MAIN_WINDOW = "Gcad/PiP/LinkToMainWindow";
const char *const CFG_PIP_SHOW_VIEW_VOLUME = "Gcad/PiP/ShowViewVolume";
const char *const CFG_PIP_VISIBILITY_MODE = "Gcad/PiP/VisibilityMode";

const char *const CMD_BENCHMARK_MESH = "sys.run_benchmark";

void registerConfigEntries(Cfg::CfgNode &node)
{
    using Cfg::CfgItem;
    // Only the two highlight entries are the user's to change; the rest the library keeps.
    const CfgItem::Flags user = CfgItem::FLAG_OPTIONS_DIALOG;
    const CfgItem::Flags internal = CfgItem::FLAG_INTERNAL;

    node.addNode(CFG_GCAD_NODE, "gcad node", internal);
    node.addBool(CFG_GCAD_SHOW_LABELS, "auto hide labels", false, internal);
    // Any 32-bit value: the label placement interprets it.
    node.addUInt(CFG_GCAD_BOX_MODE, "label placement mode", 0, 4294967295u, 0, 1, internal);
    node.addDbl(CFG_GCAD_HIGHLIGHT_TRANSPARENCY, translate("GCAD_OpenGL_cfg", "highlight transparency"), 0.0,
        1.0, 0.8, 0.1, 1, user);
    node.addColor(CFG_GCAD_HIGHLIGHT_COLOR, translate("GCAD_OpenGL_cfg", "highlight color"),
        Color(255, 255, 255), user);
    node.addUInt(CFG_GCAD_INFO_CERTIFIED, "info is certified", 0, 3, 0, 1, internal);
    node.addUInt(CFG_GCAD_INFO_SOFTWARE_RENDERING, "info use software rendering", 0, 3, 0, 1, internal);
    node.addUInt(CFG_GCAD_INFO_OFFSCREEN_RENDERING, "info use offscreen rendering", 0, 3, 0, 1, internal);
    node.addString(CFG_GCAD_INFO_DRIVER_VERSION, "info driver version", "", 1, internal);
}

} // namespace Vaq::GCAD
