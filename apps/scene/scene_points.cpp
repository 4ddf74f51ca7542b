#include "apps/scene/scene_points.h"

namespace Gcad::Scene {

std::unique_ptr<Vaq::CAD::PointsBase> createPointsElement(PointCloud cloud, const QString &name)
{
    auto points = std::make_unique<Vaq::CAD::PointsBase>(Vaq::CAD::ElementCreator::POINT_CLOUD, name);
    Vaq::CAD::ElemProp &properties = *points->getElemProperties();
    // A point set without colours is drawn in its dataset colour.
    properties.datasetColor = DEFAULT_POINT_COLOR;
    properties.deviationNeedles = !cloud.deviations.empty();
    points->setPoints(std::move(cloud.positions));
    points->setNormals(std::move(cloud.normals));
    points->setColors(std::move(cloud.colors));
    points->setValues(std::move(cloud.values));
    points->setIds(std::move(cloud.ids));
    points->setDistances(std::move(cloud.deviations));
    return points;
}

} // namespace Gcad::Scene
