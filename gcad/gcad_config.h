// The library's configuration: the key names it exports so that the application can address
// its entries, and the registration of those entries in the application's configuration tree.
#pragma once

namespace Vaq::Cfg {
class CfgNode;
}

namespace Vaq::GCAD {

extern const char *const CFG_GCAD_NODE;
extern const char *const CFG_GCAD_SHOW_LABELS;
extern const char *const CFG_GCAD_BOX_MODE;
extern const char *const CFG_GCAD_HIGHLIGHT_TRANSPARENCY;
extern const char *const CFG_GCAD_HIGHLIGHT_COLOR;
extern const char *const CFG_GCAD_INFO_CERTIFIED;
extern const char *const CFG_GCAD_INFO_SOFTWARE_RENDERING;
extern const char *const CFG_GCAD_INFO_OFFSCREEN_RENDERING;
extern const char *const CFG_GCAD_INFO_DRIVER_VERSION;

// The picture-in-picture names are the application's: this library neither registers nor
// reads them.
extern const char *const CFG_PIP_NODE;
extern const char *const CFG_PIP_LINK_TO_MAIN_WINDOW;
extern const char *const CFG_PIP_SHOW_VIEW_VOLUME;
extern const char *const CFG_PIP_VISIBILITY_MODE;

extern const char *const CMD_BENCHMARK_MESH;

// Registers the library's entries directly on node, each under its full key. Throws the
// tree's ProgError ("key already registered: ...") when one is there already; entries
// registered before the failing one stay.
void registerConfigEntries(Cfg::CfgNode &node);

} // namespace Vaq::GCAD
