// BenchmarkRCB: the render callback of the mesh benchmark's view. It holds the two test
// meshes, one dome drawn plain ("poly_benchmark") and with vertex colours
// ("poly_color_benchmark"), shows the one its colour switch chooses and frames the view so
// tightly that the dome overfills it at every turn: each frame fills the whole view.
#pragma once

#include "gcad/host/cad/vaq_cad_poly_base.h"
#include "gcad/rcb/gcad_rcb.h"

#include <memory>
#include <vector>

namespace Vaq::GCAD {

class BenchmarkRCB : public RenderCallback
{
public:
    // The fixed scene box: +-BOX_HALF_WIDTH across, +-BOX_HALF_DEPTH deep. The view shows
    // its width; its depth keeps the turning dome inside the depth range.
    static constexpr double BOX_HALF_WIDTH = 0.3;
    static constexpr double BOX_HALF_DEPTH = 2.0;

    BenchmarkRCB();
    ~BenchmarkRCB() override;

    // Builds both meshes as domes of domeSize x domeSize vertices (createDomeMesh) without
    // boundaries, with their spatial trees. Throws what createDomeMesh throws for a bad size.
    void createTestData(unsigned domeSize);
    // On: the coloured mesh is shown, off: the plain one.
    void setColor(bool color) { m_color = color; }
    bool getColor() const { return m_color; }
    // The mesh the colour switch chooses; null before createTestData.
    CAD::PolyBase *getMesh() const { return (m_color ? m_color_mesh : m_plain_mesh).get(); }

    // Whether the view is measured in a test that shows the mesh with these properties;
    // every test by default. A companion of the benchmark run may sit tests out.
    virtual bool measures(const CAD::ElemProp &properties) const;

    // Zooms the new view to the box's width.
    void setupRenderCallback() override;
    const CAD::Properties::Global *getGlobalProperties() const override { return &m_global; }
    bool acceptsObject(const TObject *object) override;
    // The chosen mesh; nothing before createTestData.
    std::vector<CAD::ElementAndStageImp> getElementsForDrawing() override;
    // The chosen mesh's vertices.
    unsigned getNumberOfPointsForDrawing() const override;
    // The fixed box, whatever is shown.
    bool getBoundingBox(BaVec3d<double> *min, BaVec3d<double> *max) override;

private:
    CAD::Properties::Global m_global;
    std::unique_ptr<CAD::PolyBase> m_plain_mesh;
    std::unique_ptr<CAD::PolyBase> m_color_mesh;
    bool m_color = false;
};

} // namespace Vaq::GCAD
