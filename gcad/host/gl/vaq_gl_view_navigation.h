// How a view moves under the user's hands: turning by a drag (about the scene centre or a
// chosen point, which then stays where it is on screen), panning by a drag and zooming at a
// pixel (the model point under it stays there). Each works on the view's rotation, pan and
// scale only, so that any window or test can drive a RenderObject with the same feel.
#pragma once

#include "gcad/host/base/vaq_transformation.h"
#include "gcad/host/base/vaq_vec.h"

namespace Vaq::GL {

class RenderObject;

namespace ViewNavigation {

// The rotation matrix of Euler angles as RenderObject::setRotation takes them (about z, then
// y, then x), and the angles of a rotation matrix (the inverse; in gimbal lock the z angle is
// taken as 0).
Transformation rotationMatrix(const BaVec3d<double> &angles);
BaVec3d<double> eulerAngles(const Transformation &rotation);

// Turns the view by a drag of (dx, dy) pixels (y downward, as a window counts them): a drag
// across the smaller side of the view turns by half a turn, sideways about the screen's
// vertical, up and down about its horizontal. With centre, that model point keeps its place
// on screen.
void turn(RenderObject &view, double dx, double dy, const BaVec3d<double> *centre = nullptr);
// Moves the picture with a drag of (dx, dy) pixels (y downward).
void pan(RenderObject &view, double dx, double dy);
// Shows factor times as much (below 1 zooms in) around GL window pixel (x, y) (origin lower
// left): the model point under it stays under it.
void zoomAt(RenderObject &view, double x, double y, double factor);

} // namespace ViewNavigation

} // namespace Vaq::GL
