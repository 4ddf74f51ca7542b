// MeshRenderer: the cylinder display of fitted cylinders (type 102), drawn over the scene as a
// blended open cylinder in the element's colour with its two rims as depth-writing lines.
#include "gcad/host/cad/vaq_cad_mesh_cylinder_fit.h"
#include "gcad/renderers/gcad_r_mesh.h"
#include "gcad/renderers/gcad_tessellation.h"

#include <algorithm>

namespace Vaq::GCAD {

void MeshRenderer::drawFittedCylinder()
{
    const auto *fit = dynamic_cast<const CAD::MeshCylinderFit *>(m_element);
    Cylinder3d cylinder;
    if (!fit || !fit->getCylinder(&cylinder))
        return;
    // The surface is lit in the element's colour, not in the mesh's.
    const CAD::ElemProp &properties = *m_element->getElemProperties();
    Color colour = properties.color;
    colour.a = uint8_t((1.0 - std::clamp(properties.transparency, 0.0, 1.0)) * 255.0);
    m_front_color = m_back_color = colour;
    m_two_sided = false;
    applyMaterial(1);

    const BaVec3d<double> axis = cylinder.getAxis().normalized();
    const BaVec3d<double> half = axis * (0.5 * cylinder.getLength());
    drawCylinder(cylinder.getCenter(), axis, cylinder.getRadius(), cylinder.getLength(), colour);
    BaVec3d<double> radial = Tessellation::perpendicular(axis);
    Tessellation::setLength(&radial, cylinder.getRadius());
    enableRenderMode(RM_LINES);
    setLineWidth(properties.lineWidth);
    for (const BaVec3d<double> &rim : { cylinder.getCenter() - half, cylinder.getCenter() + half })
        drawCircleInternal(rim, axis, rim + radial, false, 0, 2.0 * M_PI, colour);
    disableRenderMode(RM_LINES);
    resetLineWidth();
}

} // namespace Vaq::GCAD
