// The host's own view settings in the program's configuration tree (software rendering,
// off-screen rendering, occlusion queries for meshes), and the desktop the views are sized
// for. The main window registers the settings when it is created.
#pragma once

#include <QSize>

namespace Vaq::Cfg {
class CfgNode;
}

namespace Vaq::GApp {

// Registers the settings missing on node: CFG_SOFTWARE_RENDERING and CFG_GL_OFFSCREEN_RENDERING
// as lists "automatic", "off", "on" (default automatic), CFG_USE_MESH_OCCLUSION_QUERY as a bool
// (default on).
void registerViewSettings(Cfg::CfgNode &node);

// The size of the primary screen. Qt's offscreen platform (a machine without a display) has
// no real one; it stands for a common desktop of 1920 x 1200, as does a program without a GUI.
QSize getDesktopSize();

} // namespace Vaq::GApp
