#include "gcad/host/cad/vaq_cad_properties.h"

namespace Vaq::CAD {

DefaultProperties DefaultProperties::_default;

} // namespace Vaq::CAD
