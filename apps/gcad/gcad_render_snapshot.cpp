#include "apps/gcad/gcad_render_snapshot.h"

#include "apps/scene/scene_render_callback.h"

#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/gl/vaq_gl_context.h"
#include "gcad/host/gl/vaq_gl_extensions.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/host/gl/vaq_gl_widget_options.h"

#include <algorithm>

namespace Gcad {

std::unique_ptr<Vaq::Fig2::SnapshotData> renderSceneSnapshot(
    const Scene::Scene &scene, const QSize &size, const Vaq::BaVec3d<double> &rotation, int pixels)
{
    Scene::SceneRenderCallback callback(scene);
    // The view goes before its callback.
    const std::unique_ptr<Vaq::GL::RenderObject> view(
        Vaq::GL::RenderObject::createRenderObject(&callback, size.width(), size.height()));
    view->setRotation(rotation);
    view->fitView();
    view->repaintWidget();
    Vaq::GL::WidgetOptions::getInstance()->setSnapshotSizeSetting(pixels);
    Vaq::GCAD::RenderCallback::setMaxSnapshotSize(pixels);
    bool ok = false;
    std::unique_ptr<Vaq::Fig2::SnapshotData> snapshot = callback.createSnapshot(&ok);
    if (!ok)
        VAQ_PROG_ERROR("Gcad::renderSceneSnapshot", "the snapshot's picture could not be read");
    return snapshot;
}

int largestSnapshotEdge()
{
    Vaq::GL::GLContext::getInstance();
    const Vaq::GL::Capabilities &caps = Vaq::GL::GLExtensions::getCapabilities();
    return std::min({ caps.maxRenderbufferSize, caps.maxViewportWidth, caps.maxViewportHeight });
}

} // namespace Gcad
