// The actual data of an inspection shown by its deviations from the nominal: colour-mapped
// through the views' legend, whose data range the deviations set, the legend drawn beside.
#pragma once

#include "apps/scene/scene_point_cloud.h"

#include "gcad/host/cad/vaq_cad_points_base.h"
#include "gcad/host/cad/vaq_cad_poly_base.h"

#include <QString>

#include <memory>
#include <vector>

namespace Gcad::Scene {

// The colour of actual points without a deviation, unless the colour map sets one.
inline constexpr Vaq::Color NO_DEVIATION_COLOR { 150, 150, 150 };

// Sets the legend's colour map (Vaq::Legend2::LegendHandler) to the range from -r to r, r the
// largest size of a deviation; values must have one.
void setDeviationRange(const std::vector<float> &values);

// A colour-mapped mesh (MESH_COLOR_MAPPED) of actual's triangles with the deviation of each
// vertex of actual (one per vertex) and actual's name.
std::unique_ptr<Vaq::CAD::PolyBase> createDeviationMesh(
    const Vaq::CAD::PolyBase &actual, std::vector<float> deviations);

// A point set (POINTS_DEVIATION) of cloud's points and normals, each in the legend's colour of
// its deviation (one per point) and with the deviation as its value, showing the legend.
std::unique_ptr<Vaq::CAD::PointsBase> createDeviationPoints(
    PointCloud cloud, std::vector<float> deviations, const QString &name);

} // namespace Gcad::Scene
