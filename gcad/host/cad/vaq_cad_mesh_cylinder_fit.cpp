#include "gcad/host/cad/vaq_cad_mesh_cylinder_fit.h"

#include "gcad/host/cad/vaq_cad_primitive_solid.h"

namespace Vaq::CAD {

MeshCylinderFit::MeshCylinderFit(const QString &fileName)
    : PolyBase(ElementCreator::MESH_CYLINDER_FIT, fileName)
{
    setAdditionalRenderLevel(RL_FOREGROUND);
}

bool MeshCylinderFit::getCylinder(Cylinder3d *cylinder) const
{
    *cylinder = m_cylinder;
    return isDrawable(m_cylinder);
}

} // namespace Vaq::CAD
