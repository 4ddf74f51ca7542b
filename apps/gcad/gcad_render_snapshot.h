// The snapshot of gcad render --snapshot (and of PDF output): the scene drawn in a view of
// the picture's size, then taken as a snapshot document whose picture is drawn again with its
// longer side at the asked number of pixels, every line, point and label scaled with it.
#pragma once

#include "apps/scene/scene.h"

#include "gcad/host/base/vaq_vec.h"
#include "gcad/host/fig2/vaq_fig2_snapshot_data.h"

#include <QSize>

#include <memory>

namespace Gcad {

// Throws ProgError when no view can be made, an element cannot be drawn or the driver cannot
// hold a frame buffer of that many pixels; the view is put back as it was in any case.
std::unique_ptr<Vaq::Fig2::SnapshotData> renderSceneSnapshot(
    const Scene::Scene &scene, const QSize &size, const Vaq::BaVec3d<double> &rotation, int pixels);

// The longest frame buffer edge this driver holds, in pixels.
int largestSnapshotEdge();

} // namespace Gcad
