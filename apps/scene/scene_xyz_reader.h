// Reader of XYZ point files: plain text, one point per line as "x y z" or "x y z r g b"
// (colour channels whole numbers from 0 to 255), values separated by blanks, tabs, commas or
// semicolons. '#' starts a comment that runs to the end of the line; blank lines are skipped.
// The first point decides whether the points carry colours, and every later point must do
// the same, so that a truncated or mixed file is reported rather than half read.
#pragma once

#include "apps/scene/scene_point_cloud.h"

#include <QString>

#include <string_view>

namespace Gcad::Scene {

// The points of text. Throws ImportError for fileName with "line <n>: <what is wrong>", or
// "no points" when text holds none; no partial result is returned then.
PointCloud readXyzPoints(std::string_view text, const QString &fileName);

} // namespace Gcad::Scene
