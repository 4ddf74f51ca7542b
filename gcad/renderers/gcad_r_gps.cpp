// The GPS renderer: the shapes of an element's render data in a fixed order, planes first (their
// blended fill under everything else of the element), then segments, cylinders with their
// rims, point markers and spheres. Linear in the number of shapes.
#include "gcad/renderers/gcad_r_gps.h"

#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/cad/vaq_cad_gps.h"
#include "gcad/renderers/gcad_element_data.h"

namespace Vaq::GCAD {

using CAD::ElementCreator;

namespace {

// Tolerance zones and datum features are outlined in lines of this width (pixels).
constexpr double SEGMENT_WIDTH = 3.0;
constexpr double POINT_PIXELS = 5.0;
constexpr unsigned SPHERE_SEGMENTS = 50;

// The normal of a closed outline by Newell's method (zero for a degenerate one).
BaVec3d<double> outlineNormal(const std::vector<BaVec3d<double>> &outline)
{
    BaVec3d<double> n;
    for (std::size_t i = 0; i < outline.size(); ++i) {
        const BaVec3d<double> &p = outline[i], &q = outline[(i + 1) % outline.size()];
        n += BaVec3d<double>((p.y - q.y) * (p.z + q.z), (p.z - q.z) * (p.x + q.x), (p.x - q.x) * (p.y + q.y));
    }
    return n.normalized();
}

} // namespace

GpsRenderer::GpsRenderer(RenderCallback *callback)
    : CADGLRenderer(callback)
{
    m_supported_types = { ElementCreator::GPS_DATUM_SYSTEM, ElementCreator::GPS_ROUNDNESS,
        ElementCreator::GPS_FLATNESS, ElementCreator::GPS_CYLINDRICITY, ElementCreator::GPS_LINE_PROFILE,
        ElementCreator::GPS_SURFACE_PROFILE, ElementCreator::GPS_PARALLELISM,
        ElementCreator::GPS_PERPENDICULARITY, ElementCreator::GPS_ANGULARITY, ElementCreator::GPS_POSITION,
        ElementCreator::GPS_STRAIGHTNESS, ElementCreator::GPS_CONCENTRICITY, ElementCreator::GPS_SYMMETRY,
        ElementCreator::GPS_CIRCULAR_RUNOUT, ElementCreator::GPS_TOTAL_RUNOUT };
}

bool GpsRenderer::drawInternal()
{
    const ElementCreator::Element_t type = m_current_element->getType();
    if (type != ElementCreator::GPS_DATUM_SYSTEM && type != ElementCreator::GPS_FLATNESS
        && type != ElementCreator::GPS_STRAIGHTNESS
        && !(type >= ElementCreator::GPS_ROUNDNESS && type <= ElementCreator::GPS_TOTAL_RUNOUT))
        VAQ_PROG_ERROR("Vaq::GCAD::GpsRenderer::drawInternal", "unsupported type");
    const auto *gps = elementData<CAD::GpsElement>(m_current_element, "Vaq::GCAD::GpsRenderer::drawInternal");
    if (!gps)
        return true;
    const CAD::GpsRenderData &data = gps->getRenderData();
    const Color color = initMaterial(m_current_element, false, false, false);
    const double lineWidth = m_element_properties->lineWidth;

    for (const auto &outline : data.planes)
        drawPolygon(outlineNormal(outline), outline, color, lineWidth);
    if (!data.lines.empty()) {
        std::vector<BaVec3d<double>> ends;
        for (const auto &[from, to] : data.lines)
            ends.insert(ends.end(), { from, to });
        drawLines(ends, color, SEGMENT_WIDTH);
    }
    for (const CAD::GpsRenderData::Cylinder &c : data.cylinders) {
        const double radius = c.diameter / 2.0;
        drawCylinder(c.center, c.axis, radius, c.height, color);
        const BaVec3d<double> half = c.axis.normalized() * (c.height / 2.0);
        setLineWidth(lineWidth);
        drawCircle(c.center - half, c.axis, radius, color);
        drawCircle(c.center + half, c.axis, radius, color);
        resetLineWidth();
    }
    for (const BaVec3d<double> &p : data.points)
        drawPointMarker(p, POINT_PIXELS, color, 1, false);
    for (const Sphere3d &sphere : data.spheres)
        drawSphere(sphere, SPHERE_SEGMENTS, true, color);
    return true;
}

} // namespace Vaq::GCAD
