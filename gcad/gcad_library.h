// Start-up and shutdown of the library. The application calls InitDefaults, then
// InitLibrary with its configuration node when it starts, and CloseLibrary and
// CloseDefaults after its last view is gone. They create and delete the library's
// process-wide objects: the benchmark result store, the frame-rate adjustment and the mesh
// node container; InitLibrary also installs the translations and registers the
// configuration entries.
#pragma once

namespace Vaq::Cfg {
class CfgNode;
}

namespace Vaq::GCAD {

// Creates the benchmark result store (which loads its file) and the frame-rate adjustment.
// A second call without CloseDefaults throws ProgError "only one instance allowed".
void InitDefaults(Cfg::CfgNode *node);
// Installs the "VaqGCAD" translations, registers the configuration entries on node, creates
// the library's commands (the application deletes them, with GApp::CommandContainer::deleteAll)
// and the mesh node container. A second call before the commands are deleted throws
// ProgError "command already registered: sys.run_benchmark".
void InitLibrary(Cfg::CfgNode *node);
// Delete what the two created, where it exists; the result store writes its file once more.
void CloseDefaults(Cfg::CfgNode *node);
void CloseLibrary();

} // namespace Vaq::GCAD
