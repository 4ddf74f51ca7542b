// Reader of XYZ point files: plain text, one point per line, values separated by blanks, tabs,
// commas or semicolons; '#' starts a comment that runs to the end of the line, blank lines are
// skipped. The columns:
//   3  x y z
//   6  x y z nx ny nz  or  x y z r g b: normals when every triple is a unit vector (also when
//      each could be a colour, such as 1 0 0), else colours when every triple is whole numbers
//      from 0 to 255
//   7  x y z r g b value
//   9  x y z nx ny nz r g b
// A comment before the first point whose words start with x y z names the columns instead, e.g.
// "# x y z nx ny nz" or "# x y z red green blue intensity"; known names are nx ny nz, r g b
// (or red green blue) and value, scalar, quality, intensity or deviation for the value; other
// named columns are skipped. Every point must have as many values as the first, so that a
// truncated or mixed file is reported rather than half read.
#pragma once

#include "apps/scene/scene_mapped_file.h"
#include "apps/scene/scene_point_cloud.h"

#include <QString>

#include <string_view>

namespace Gcad::Scene {

// The points of text. Throws ImportError for fileName with "line <n>: <what is wrong>", or
// "no points" when text holds none; no partial result is returned then.
PointCloud readXyzPoints(std::string_view text, const QString &fileName, const ReleaseRead &release = {});

} // namespace Gcad::Scene
