#include "apps/scene/scene_labels.h"

#include "gcad/host/cad/vaq_cad_points_base.h"
#include "gcad/host/cad/vaq_cad_poly_base.h"

#include <limits>
#include <vector>

namespace Gcad::Scene {

namespace {

using Vaq::BaVec3d;

// The point of points nearest target, looking at every step-th one.
BaVec3d<double> nearestSampled(const std::vector<BaVec3d<double>> &points, const BaVec3d<double> &target)
{
    const std::size_t step = (points.size() + CONNECTOR_SAMPLES - 1) / CONNECTOR_SAMPLES;
    BaVec3d<double> nearest = points.front();
    double best = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < points.size(); i += step) {
        const BaVec3d<double> d = points[i] - target;
        const double distance = d.x * d.x + d.y * d.y + d.z * d.z;
        if (distance < best) {
            best = distance;
            nearest = points[i];
        }
    }
    return nearest;
}

} // namespace

std::optional<BaVec3d<double>> connectorPoint(
    const Vaq::CAD::Element &element, const Vaq::CAD::StageIdentifier &stage)
{
    Vaq::Box3d box;
    if (!element.getBoundingBox(stage, Vaq::CAD::BBT_GEOMETRY, Vaq::CAD::CCS_ELEMENT, box) || box.isEmpty())
        return std::nullopt;
    const std::vector<BaVec3d<double>> *points = nullptr;
    if (const auto *mesh = dynamic_cast<const Vaq::CAD::PolyBase *>(&element)) {
        if (const Vaq::CAD::PolyBaseData *data = mesh->getData(stage))
            points = &data->vertices;
    } else if (const auto *set = dynamic_cast<const Vaq::CAD::PointsBase *>(&element)) {
        points = &set->getPointVector(stage);
    }
    if (!points || points->empty())
        return box.getCenter();
    return nearestSampled(*points, box.getCenter());
}

void attachLabel(Vaq::CAD::Element &element, const QString &text, const Vaq::CAD::StageIdentifier &stage)
{
    Vaq::CAD::LabelElement *label = element.setLabel(text);
    if (const std::optional<BaVec3d<double>> point = connectorPoint(element, stage))
        label->setConnectorPoint(stage, *point);
    label->setAutoLabelPlacement(true);
}

} // namespace Gcad::Scene
