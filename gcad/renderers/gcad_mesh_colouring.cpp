#include "gcad/renderers/gcad_mesh_colouring.h"

#include "gcad/host/cad/vaq_cad_poly_base.h"

namespace Vaq::GCAD {

using CAD::ElementClassification;
using CAD::ElementCreator;

MeshColouring getMeshColouring(const CAD::Element &mesh)
{
    ElementClassification classification;
    ElementCreator::getElementClassification(&mesh, &classification);
    const bool colourMapped = classification[ElementClassification::COLOR_MAPPED];
    const ElementCreator::Element_t type = mesh.getType();
    MeshColouring colouring;
    colouring.vertexColours = !colourMapped && type != ElementCreator::MESH
        && type != ElementCreator::MESH_NOMINAL && type != ElementCreator::MESH_CYLINDER_FIT
        && type != ElementCreator::MESH_REFERENCE && type != ElementCreator::MESH_CAD;
    colouring.colourMap
        = (type == ElementCreator::MESH && mesh.getElemProperties()->colorMapEnabled) || colourMapped;
    return colouring;
}

bool hasUsableColourData(const CAD::Element &mesh, const CAD::StageIdentifier &stage)
{
    const MeshColouring colouring = getMeshColouring(mesh);
    if (!colouring.vertexColours && !colouring.colourMap)
        return true;
    const auto *poly = dynamic_cast<const CAD::PolyBase *>(&mesh);
    const CAD::PolyBaseData *data = poly ? poly->getData(stage) : nullptr;
    if (!data)
        return false;
    return colouring.colourMap ? !data->deviations.empty() : !data->drawColors.empty();
}

} // namespace Vaq::GCAD
