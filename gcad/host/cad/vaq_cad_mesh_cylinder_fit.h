// MeshCylinderFit: a mesh (type 102) that a cylinder was fitted into. Its triangles are drawn
// as any mesh's; the cylinder is shown over the scene too (its additional render level).
#pragma once

#include "gcad/host/base/vaq_shapes.h"
#include "gcad/host/cad/vaq_cad_poly_base.h"

namespace Vaq::CAD {

class MeshCylinderFit : public PolyBase
{
public:
    explicit MeshCylinderFit(const QString &fileName = QString());

    void setCylinder(const Cylinder3d &cylinder) { m_cylinder = cylinder; }
    // The fitted cylinder; false before one is set or for one that cannot be drawn.
    bool getCylinder(Cylinder3d *cylinder) const;

private:
    Cylinder3d m_cylinder;
};

} // namespace Vaq::CAD
