// The tolerance band of a 2-D section inspection (render type 11), in two passes: first the
// band round the nominal figure (lines, and arcs in one-degree steps) between its lower and
// upper offsets, then the band along the section points between each point moved by the lower
// and by the upper limit along its tolerance vector. Each pass fills its band translucent and
// outlines both edges opaque. The band is no part of the element for picking: the stencil
// handler is off while it is drawn. Cost: linear in the points and the arc steps.
#include "gcad/host/cad/vaq_cad_section_insp2d.h"
#include "gcad/host/gl/vaq_gl_api.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/host/gl/vaq_gl_stencil_handler.h"
#include "gcad/rcb/gcad_rcb.h"
#include "gcad/renderers/gcad_r_section.h"

namespace Vaq::GCAD {

namespace {

using Strip = std::vector<BaVec3d<double>>;

void vertex(const BaVec3d<double> &p)
{
    ::glVertex3d(p.x, p.y, p.z);
}

// The bands between the lower and upper edges, pairwise.
struct Band
{
    std::vector<std::pair<Strip, Strip>> strips;
};

Band figureBand(const CAD::ToleranceGeometry &geometry, const CAD::Tolerance &tolerance)
{
    Band band;
    for (const CAD::ToleranceCurve &curve : geometry.curves)
        band.strips.emplace_back(CAD::tessellateToleranceCurve(curve, geometry.normal, tolerance.lower),
            CAD::tessellateToleranceCurve(curve, geometry.normal, tolerance.upper));
    return band;
}

// Along each run of shown points; a hidden point or one without a tolerance vector ends a strip.
Band pointBand(
    const CAD::SectionInsp2d &section, const CAD::StageIdentifier &stage, const CAD::Tolerance &tolerance)
{
    Band band;
    const auto &runs = section.getSections(stage);
    const auto &vectors = section.getPointToleranceVector(stage);
    const auto &flags = section.getFlags(stage);
    for (std::size_t r = 0; r < runs.size() && r < vectors.size(); ++r) {
        const std::size_t n = runs[r].size();
        const std::size_t end = section.isClosed(stage, unsigned(r)) ? n + 1 : n;
        Strip lower, upper;
        const auto flush = [&] {
            if (lower.size() > 1)
                band.strips.emplace_back(std::move(lower), std::move(upper));
            lower.clear();
            upper.clear();
        };
        for (std::size_t k = 0; k < end; ++k) {
            const std::size_t i = k % n;
            const BaVec3d<float> &f = vectors[r][i];
            const BaVec3d<double> v(f.x, f.y, f.z);
            if (!flags[r][i].isVisibleAndNotPreview() || v.length() == 0.0) {
                flush();
                continue;
            }
            lower.push_back(runs[r][i] + v * tolerance.lower);
            upper.push_back(runs[r][i] + v * tolerance.upper);
        }
        flush();
    }
    return band;
}

} // namespace

bool SectionRenderer::drawTolerance()
{
    const auto *section = dynamic_cast<const CAD::SectionInsp2d *>(m_section);
    if (!section || !section->isToleranceGeometryValid(m_stage))
        return true;
    GL::RenderObject *view = m_render_callback->getRenderObject();
    GL::StencilHandlerBase *stencil = view ? view->getStencilHandler() : nullptr;
    if (stencil)
        stencil->disable();

    const CAD::Tolerance &tolerance = section->getToleranceCache(m_stage);
    const Color color = display().toleranceColor;
    m_front_color = m_back_color = color;
    const Band passes[2] = { figureBand(section->getToleranceGeometry(m_stage), tolerance),
        pointBand(*section, m_stage, tolerance) };
    for (const Band &band : passes) {
        enableRenderMode(RM_TRANSPARENT);
        ::glDisable(GL_LIGHTING);
        ::glEnable(GL_COLOR_MATERIAL);
        ::glColor4ub(color.r, color.g, color.b, color.a);
        for (const auto &[lower, upper] : band.strips) {
            ::glBegin(GL_QUAD_STRIP);
            for (std::size_t i = 0; i < lower.size() && i < upper.size(); ++i) {
                vertex(lower[i]);
                vertex(upper[i]);
            }
            ::glEnd();
        }
        ::glDisable(GL_COLOR_MATERIAL);
        ::glEnable(GL_LIGHTING);
        disableRenderMode(RM_TRANSPARENT);

        enableRenderMode(RM_LINES);
        setLineWidth(display().lineWidth);
        ::glColor3ub(color.r, color.g, color.b);
        for (const auto &[lower, upper] : band.strips) {
            for (const Strip *edge : { &lower, &upper }) {
                ::glBegin(GL_LINE_STRIP);
                for (const BaVec3d<double> &p : *edge)
                    vertex(p);
                ::glEnd();
            }
        }
        resetLineWidth();
        disableRenderMode(RM_LINES);
    }
    if (stencil)
        stencil->setElement(m_current_element);
    return true;
}

} // namespace Vaq::GCAD
