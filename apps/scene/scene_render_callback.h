// SceneRenderCallback: the render callback of a program's view. It shows every element of one
// Scene (not owned; it must outlive the callback) on the scene's background and draws them
// through the library's renderers like any view of the application, with the scene's overlay:
// the elements' labels and legend in a label figure of its own, the raster and view direction
// and the marks. The view it serves is a still picture, so it fits the view to the elements'
// own box rather than to one that keeps the scene in view at every rotation.
#pragma once

#include "apps/scene/scene.h"

#include "gcad/host/cad/vaq_cad_properties.h"
#include "gcad/host/fig2/vaq_fig2_figure.h"
#include "gcad/rcb/gcad_rcb.h"

#include <vector>

namespace Gcad::Scene {

class SceneRenderCallback : public Vaq::GCAD::RenderCallback
{
public:
    // Hands the scene's point marks and crosshair to the overlay and marks its marked elements.
    explicit SceneRenderCallback(const Scene &scene);

    const Vaq::CAD::Properties::Global *getGlobalProperties() const override { return &m_global; }
    bool acceptsObject(const Vaq::TObject *object) override;
    std::vector<Vaq::CAD::ElementAndStageImp> getElementsForDrawing() override;
    unsigned getNumberOfPointsForDrawing() const override;
    // The box around all elements; false for an empty scene.
    bool getBoundingBox(Vaq::BaVec3d<double> *min, Vaq::BaVec3d<double> *max) override;

    // The figure the overlay gathers the labels and the legend into; transparent.
    Vaq::Fig2::Figure *getFigure() override { return &m_figure; }
    // Raster and view-direction text as the scene's overlay says.
    bool isCoordinateGridDrawingEnabled() const override { return m_scene.getOverlay().raster; }
    bool isWriteViewDirectionEnabled() const override { return m_scene.getOverlay().raster; }

private:
    const Scene &m_scene;
    Vaq::CAD::Properties::Global m_global;
    Vaq::Fig2::Figure m_figure;
};

} // namespace Gcad::Scene
