#include "gcad/clipping/gcad_clipping_interface.h"

#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/base/vaq_trace.h"
#include "gcad/host/cad/vaq_cad_element_creator.h"
#include "gcad/host/cad/vaq_cad_poly_base.h"
#include "gcad/host/cad/vaq_cad_poly_base_render_data.h"

#include <QStringList>

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
    const CAD::ElementAndStageImp &entry, CAD::BoundingBoxType_t type, std::vector<Box3d> *boxes)
{
    const auto *mesh = dynamic_cast<const CAD::PolyBase *>(entry.element);
    const CAD::PolyBaseRenderData *renderData = mesh ? mesh->getPolyBaseRenderData(entry.stage) : nullptr;
    if (!renderData)
        return false;
    Transformation transformation;
    const bool transformed = entry.element->existsRenderTransformation(entry.stage)
        && entry.element->getRenderTransformation(entry.stage, &transformation);
    // One box per leaf with visible points fits a mesh tighter than its own box.
    for (const CAD::BspNode *leaf : renderData->getAllLeaves()) {
        if (leaf->numVisiblePoints(CAD::PM_WITHOUT_PREVIEW) == 0)
            continue;
        const Box3d &box = leaf->getBoundingBox(type);
        boxes->push_back(transformed ? transformation.transformBox(box) : box);
    }
    return true;
}

QString ClippingInterface::getDescription() const
{
    QStringList parts;
    Plane3d plane;
    if (isClippingActive() && getClippingPlane(&plane)) {
        const BaVec3d<double> &p = plane.getPoint(), &n = plane.getNormal();
        parts << QStringLiteral("plane %1 %2 %3 %4 %5 %6")
                     .arg(p.x)
                     .arg(p.y)
                     .arg(p.z)
                     .arg(n.x)
                     .arg(n.y)
                     .arg(n.z);
    }
    Box3d box;
    if (isClippingBoxActive() && getClippingBox(&box)) {
        parts << QStringLiteral("box %1 %2 %3 %4 %5 %6")
                     .arg(box.getMin().x)
                     .arg(box.getMin().y)
                     .arg(box.getMin().z)
                     .arg(box.getMax().x)
                     .arg(box.getMax().y)
                     .arg(box.getMax().z);
    }
    return parts.join(QLatin1Char(';'));
}

} // namespace Vaq::GCAD
