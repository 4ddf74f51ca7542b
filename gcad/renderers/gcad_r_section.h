// SectionRenderer: draws section elements, polylines of one or more runs of points cut from
// meshes or measured along curves, with their deviation colours, deviation needles, actual
// shape, spring and cutoff vectors, 2-D inspection needles and tolerance band, and the marker
// of a section point. Long sections are drawn in slices of the base's stepping.
#pragma once

#include "gcad/host/cad/vaq_cad_section_base.h"
#include "gcad/renderers/gcad_gl_renderer.h"

#include <vector>

namespace Vaq::GCAD {

class SectionRenderer : public CADGLRenderer
{
public:
    // The passes of a section, drawn in the order getRenderTypes lists them.
    enum RenderType_t : unsigned {
        SRT_POINTS = 0, // the section points
        SRT_ACTUAL_POINTS = 1, // each point moved by its scaled distance vector
        SRT_POLYLINE = 2, // segments between consecutive points, closing segment of closed runs
        SRT_ACTUAL_LINE = 3, // the polyline through the moved points
        SRT_INSPECTION_NEEDLES = 4, // needles of points whose inspection flags allow one
        SRT_WANTED_NEEDLES = 5, // needles of points whose inspection flags ask for one
        SRT_EDGE_SPRING = 6, // spring vectors of a section edge
        SRT_EDGE_CUTOFF = 7, // cutoff vectors of a section edge
        SRT_DISTANCE_NEEDLES = 8, // every point's distance needle
        SRT_SPRING_NEEDLES = 9, // spring distance vectors
        SRT_CUTOFF_NEEDLES = 10, // cutoff distance vectors
        SRT_TOLERANCE = 11, // the tolerance band of a 2-D inspection
        SRT_MARKER = 12, // the marker of a section point
        SRT_ARROWS = 13, // four arrowheads pointing at it
    };

    explicit SectionRenderer(RenderCallback *callback);

protected:
    // Throws ProgError "unsupported type" for a type this renderer does not draw.
    std::vector<unsigned> getRenderTypes() const override;
    // Throws ProgError "wrong element type" for an element that is no section. Phases 2 and 3
    // set up and tear down the GL state; phases 1 and 3 start at the first point.
    void preDrawInternal(unsigned renderType, int phase) override;
    bool drawInternal() override;
    void postDrawInternal(int phase) override;

private:
    // The display set of the current element (2-D inspections have their own).
    const CAD::SectionDisplay &display() const;
    void chooseColors();
    Color colorOf(unsigned run, unsigned index) const;
    bool isShown(unsigned run, unsigned index) const;
    // Visits every point of the next slice as (run, index in run); true when the slice reached
    // the last point.
    template<typename Visit> bool forEachPointOfSlice(Visit visit);
    // The point moved by the vector scale times its distance vector; false for a point without
    // a value or left out of the actual line.
    bool actualPoint(unsigned run, unsigned index, BaVec3d<double> *point) const;

    bool drawPoints(bool actual);
    bool drawLines(bool actual);
    bool drawNeedles();
    // Two passes: the band round the tolerance geometry, then the band along the points.
    bool drawTolerance();
    bool drawMarker(bool arrows);

    CAD::SectionBase *m_section = nullptr;
    bool m_inspection_colors = false;
    unsigned m_next = 0;
    unsigned m_type = SRT_POINTS;
    unsigned m_slice_stepping = 1;
    const CAD::SectionRecords<Color> *m_colors = nullptr;
    // The number of the first point of each run, counted over all runs, and the total.
    std::vector<unsigned> m_run_starts;
};

} // namespace Vaq::GCAD
