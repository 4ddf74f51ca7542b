#include "gcad/clipping/gcad_clipping_interface.h"

#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/base/vaq_trace.h"
#include "gcad/host/cad/vaq_cad_element_creator.h"

namespace Vaq::GCAD {

ClippingInterface::ClippingInterface()
    : QObject(nullptr)
{
}

ClippingInterface::~ClippingInterface() = default;

void ClippingInterface::getBoundingBoxes(const std::vector<CAD::ElementAndStageImp> &elements,
    std::vector<Box3d> *boxes, CAD::BoundingBoxType_t type)
{
    if (!boxes)
        VAQ_PROG_ERROR("Vaq::GCAD::ClippingInterface::getBoundingBoxes", "null box vector");
    for (const CAD::ElementAndStageImp &entry : elements) {
        if (!entry.element)
            VAQ_PROG_ERROR("Vaq::GCAD::ClippingInterface::getBoundingBoxes", "null element");
    }

    std::vector<Box3d> result;
    for (const CAD::ElementAndStageImp &entry : elements) {
        CAD::ElementClassification classification;
        CAD::ElementCreator::getElementClassification(entry.element, &classification);
        if (classification[CAD::ElementClassification::MESH_DATASET]) {
            if (appendMeshLeafBoxes(entry, type, &result))
                continue;
            VAQ_TRACE("Vaq::GCAD::ClippingInterface::getBoundingBoxes", "update visualization missing");
        }
        Box3d box;
        if (entry.element->getBoundingBox(entry.stage, type, CAD::CCS_WORLD, box))
            result.push_back(box);
    }
    boxes->swap(result);
}

bool ClippingInterface::appendMeshLeafBoxes(
    const CAD::ElementAndStageImp &, CAD::BoundingBoxType_t, std::vector<Box3d> *)
{
    // Meshes have no render data in the element model yet (it arrives with PolyBase and its
    // BSP tree), so there are no leaves to take boxes from and the caller falls back to the
    // element's own box.
    return false;
}

} // namespace Vaq::GCAD
