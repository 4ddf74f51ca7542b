// The points element of a point cloud read from a file: a point set of type POINT_CLOUD that
// shows the cloud's points in their colours (in one default colour when the file has none),
// lit by their normals, with a needle along each deviation that the file gives.
#pragma once

#include "apps/scene/scene_point_cloud.h"

#include "gcad/host/cad/vaq_cad_points_base.h"

#include <QString>

#include <memory>

namespace Gcad::Scene {

// The colour of points that bring none of their own.
inline constexpr Vaq::Color DEFAULT_POINT_COLOR { 225, 225, 230 };

// Takes cloud's data into a new element named name. Values and identifiers are kept (the
// identifiers are shown as text only when asked for: a scan may have millions); deviation needles are
// switched on when the cloud has deviations, drawn for the points with a value (all of them
// when the cloud has no values).
std::unique_ptr<Vaq::CAD::PointsBase> createPointsElement(PointCloud cloud, const QString &name);

} // namespace Gcad::Scene
