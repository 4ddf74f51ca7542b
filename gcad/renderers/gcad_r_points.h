// PointsRenderer: draws point-set elements (point clouds, scanned and probed points, reference
// points, point deviations, springback and displacement results) as points, markers or
// crosses, with their normals, identifiers, deviation needles and displacement components.
// Large sets are drawn in slices of the base's stepping, so a cloud of millions of points
// spreads over several steps; a moving view draws a thinned-out set.
#pragma once

#include "gcad/host/cad/vaq_cad_points_base.h"
#include "gcad/renderers/gcad_gl_renderer.h"
#include "gcad/renderers/gcad_r_points_buffer.h"

#include <map>
#include <memory>

namespace Vaq::GCAD {

class PointsRenderer : public CADGLRenderer
{
public:
    // The passes of a point set, drawn in the order getRenderTypes lists them.
    enum RenderType_t : unsigned {
        PRT_POINTS = 0, // one GL point per point, in its colour, lit by its normal
        PRT_MARKERS = 1, // a small icosahedron per point
        PRT_CROSSES = 2, // three axis-parallel segments per point
        PRT_NORMALS = 3, // a line along each point's normal
        PRT_LABELS = 4, // each point's identifier as text
        PRT_DEVIATION_NEEDLES = 5, // a line along each point's distance vector
        PRT_SPRING_CUTOFF_NEEDLES = 6, // cutoff, spring and distance needles
        PRT_DISPLACEMENT = 7, // axis components of each displacement and their resultant
    };

    explicit PointsRenderer(RenderCallback *callback);
    ~PointsRenderer() override;

    // Drop the buffer objects kept for an element, or for all of them.
    void removeElement(CAD::Element *element) override;
    void removeAllElements() override;

    // The frame-rate adjustment's view of the current element: the time its render types take
    // at the benchmarked point rates, and a cheaper plan, every stepping-th of the points a
    // moving view draws (up to 8).
    double estimateRenderTime(const std::vector<unsigned> &renderTypes, unsigned stepping) const override;
    bool reduceRenderTime(std::vector<unsigned> *renderTypes, unsigned *stepping) const override;

protected:
    // Throws ProgError "wrong renderer for element" for a type this renderer does not draw.
    std::vector<unsigned> getRenderTypes() const override;
    // Throws ProgError "wrong element type" for an element that is no point set. Phases 2
    // and 3 set up and tear down the GL state; phases 1 and 3 start at the first point.
    void preDrawInternal(unsigned renderType, int phase) override;
    bool drawInternal() override;
    void postDrawInternal(int phase) override;

private:
    // The end and stepping of the next slice of count points.
    void calculateSlice(unsigned count, unsigned *stepping, unsigned *end) const;
    // Visits the shown points of the next slice; true when the slice reached the last point.
    template<typename Visit> bool forEachPointOfSlice(Visit visit);
    void chooseColorVector();
    const Color &colorOf(unsigned i) const;
    // The colour's red, green and blue as the current GL colour.
    static void setColor(const Color &color);

    bool drawPoints();
    bool drawMarkers();
    bool drawCrosses();
    bool drawNormals();
    bool drawLabels();
    bool drawNeedles();
    bool drawDisplacements();

    CAD::PointsBase *m_points = nullptr;
    unsigned m_next = 0;
    unsigned m_type = PRT_POINTS;
    const CAD::PointsRecordVector<Color> *m_colors = nullptr;
    // Buffer objects of the clouds drawn as plain points, by element.
    std::map<const CAD::Element *, std::unique_ptr<PointsBuffer>> m_buffers;
};

} // namespace Vaq::GCAD
