#include "apps/scene/scene_image.h"

#include "apps/scene/scene_render_callback.h"

#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/host/gl/vaq_gl_view_creator.h"

#include <memory>

namespace Gcad::Scene {

QImage renderSceneImage(
    const Scene &scene, const QSize &size, const Vaq::BaVec3d<double> &rotation, LabelLayout *layout)
{
    SceneRenderCallback callback(scene);
    // Tells the overlay along which axis the view looks, for the raster and the direction's name.
    Vaq::GL::ViewCreator creator(&callback);
    // The view goes before its creator and callback.
    const std::unique_ptr<Vaq::GL::RenderObject> view(
        Vaq::GL::RenderObject::createRenderObject(&callback, size.width(), size.height(), &creator));
    view->setRotation(rotation);
    view->fitView();
    view->repaintWidget();
    if (layout)
        *layout = readLabelLayout(*callback.getOverlay2d(), size);
    return view->getRenderedImage();
}

} // namespace Gcad::Scene
