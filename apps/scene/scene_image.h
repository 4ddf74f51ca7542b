// Draws a scene once into an off-screen view and returns the picture: what `gcad render`
// writes, and what a test looks at.
#pragma once

#include "apps/scene/scene.h"
#include "apps/scene/scene_label_layout.h"

#include "gcad/host/base/vaq_vec.h"

#include <QImage>
#include <QSize>

namespace Gcad::Scene {

// The scene seen with the view rotation (Euler angles as RenderObject::setRotation takes them,
// e.g. from ViewCreator::getViewForName), fitted to the scene's bounding box, size pixels
// large. Throws ProgError when no view can be made or an element cannot be drawn (e.g. "No
// renderer for type ..."); nothing is kept from a failed repaint. layout, when given, receives
// where the labels went.
QImage renderSceneImage(const Scene &scene, const QSize &size, const Vaq::BaVec3d<double> &rotation,
    LabelLayout *layout = nullptr);

} // namespace Gcad::Scene
