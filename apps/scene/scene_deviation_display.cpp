#include "apps/scene/scene_deviation_display.h"

#include "apps/scene/scene_points.h"

#include "gcad/host/fig2/vaq_fig2_legend_handler.h"

#include <algorithm>
#include <cmath>

namespace Gcad::Scene {

using Vaq::CAD::NO_VALUE;
using Vaq::CAD::StageIdentifier;

void setDeviationRange(const std::vector<float> &values)
{
    double largest = 0.0;
    for (const float v : values) {
        if (v != NO_VALUE)
            largest = std::max(largest, double(std::abs(v)));
    }
    // All on the surface: a range around zero all the same.
    if (largest == 0.0)
        largest = 1e-6;
    Vaq::Legend2::LegendHandler::getInstance()->getColorMap().setDataRange(-largest, largest);
}

std::unique_ptr<Vaq::CAD::PolyBase> createDeviationMesh(
    const Vaq::CAD::PolyBase &actual, std::vector<float> deviations)
{
    const Vaq::CAD::PolyBaseData &data = *actual.getData(StageIdentifier::NO_STAGE);
    auto mesh = std::make_unique<Vaq::CAD::PolyBase>(
        Vaq::CAD::ElementCreator::MESH_COLOR_MAPPED, actual.getFileName());
    mesh->setMesh(data.vertices, data.triangles);
    // The vertices are split at creases already; each copy keeps the normal of its facets.
    mesh->computeNormals(Vaq::CAD::PolyBase::NO_CREASE_ANGLE);
    mesh->setDeviations(std::move(deviations));
    return mesh;
}

std::unique_ptr<Vaq::CAD::PointsBase> createDeviationPoints(
    PointCloud cloud, std::vector<float> deviations, const QString &name)
{
    const Vaq::Legend2::LegendHandler &legend = *Vaq::Legend2::LegendHandler::getInstance();
    const std::vector<Vaq::Color> scale = legend.getIndexedColors();
    const Vaq::Legend2::ColorMap &map = legend.getColorMap();
    const Vaq::Color none = map.isUncomputedColorValid() ? map.getUncomputedColor() : NO_DEVIATION_COLOR;
    std::vector<Vaq::Color> colors(deviations.size(), none);
    for (std::size_t i = 0; i < deviations.size(); ++i) {
        const float at = legend.getColorIndex(deviations[i]);
        if (at != NO_VALUE)
            colors[i] = scale[std::min(scale.size() - 1, std::size_t(at * float(scale.size())))];
    }
    auto points = std::make_unique<Vaq::CAD::PointsBase>(Vaq::CAD::ElementCreator::POINTS_DEVIATION, name);
    Vaq::CAD::ElemProp &properties = *points->getElemProperties();
    properties.colorMapEnabled = true;
    // The highlight of lit points is the complement of the dataset colour: from a near-white one
    // it is faint and leaves the legend's colours as they are.
    properties.datasetColor = DEFAULT_POINT_COLOR;
    points->setPoints(std::move(cloud.positions));
    points->setNormals(std::move(cloud.normals));
    points->setColors(std::move(colors));
    points->setValues(std::move(deviations));
    return points;
}

} // namespace Gcad::Scene
