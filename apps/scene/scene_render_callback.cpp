#include "apps/scene/scene_render_callback.h"

#include "gcad/overlay/gcad_r_overlay2d.h"

#include <algorithm>
#include <limits>

namespace Gcad::Scene {

using Vaq::CAD::StageIdentifier;

SceneRenderCallback::SceneRenderCallback(const Scene &scene)
    : m_scene(scene)
    , m_global(scene.getBackground())
{
    m_figure.setBackground(Vaq::Fig2::FillStyle::null);
    Vaq::GCAD::Overlay2d &overlay = *getOverlay2d();
    const OverlayOptions &options = scene.getOverlay();
    for (const PointMark &mark : options.pointMarks)
        overlay.markPoint(mark.at, mark.text, mark.color.value_or(Vaq::GCAD::Overlay2d::DEFAULT_MARK_COLOR));
    if (options.cross)
        overlay.markCross(*options.cross, Vaq::GCAD::Overlay2d::DEFAULT_MARK_COLOR);
    setSpotlightEnabled(options.spotlight);
    for (const auto &[element, color] : scene.getMarkedElements())
        markElement(element, color);
}

bool SceneRenderCallback::acceptsObject(const Vaq::TObject *object)
{
    const std::vector<Vaq::CAD::Element *> elements = m_scene.getElements();
    return std::find(elements.begin(), elements.end(), object) != elements.end();
}

std::vector<Vaq::CAD::ElementAndStageImp> SceneRenderCallback::getElementsForDrawing()
{
    std::vector<Vaq::CAD::ElementAndStageImp> entries;
    for (Vaq::CAD::Element *element : m_scene.getElements())
        entries.emplace_back(element, StageIdentifier::NO_STAGE);
    return entries;
}

unsigned SceneRenderCallback::getNumberOfPointsForDrawing() const
{
    return unsigned(std::min<std::size_t>(m_scene.getNumberOfPoints(), std::numeric_limits<unsigned>::max()));
}

bool SceneRenderCallback::getBoundingBox(Vaq::BaVec3d<double> *min, Vaq::BaVec3d<double> *max)
{
    Vaq::Box3d scene;
    for (const Vaq::CAD::Element *element : m_scene.getElements()) {
        Vaq::Box3d box;
        if (element->getBoundingBox(
                StageIdentifier::NO_STAGE, Vaq::CAD::BBT_DISPLAY, Vaq::CAD::CCS_WORLD, box))
            scene.extend(box);
    }
    if (scene.isEmpty())
        return false;
    *min = scene.getMin();
    *max = scene.getMax();
    // Keeps the origin axes' length (and their room, where they are drawn) as every view has it.
    addPreviewBoundingBox(min, max);
    return true;
}

} // namespace Gcad::Scene
