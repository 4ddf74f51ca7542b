#include "gcad/mesh/gcad_gl_node_listener.h"

namespace Vaq::GCAD {

GLNodeListener *GLNodeListener::_listener = nullptr;

} // namespace Vaq::GCAD
