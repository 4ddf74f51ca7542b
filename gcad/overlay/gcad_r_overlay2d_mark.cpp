// Marks of model positions in the overlay: a crosshair through one point and numbered small
// crosses with an optional text. They are kept as model points and projected anew in every
// repaint, so they follow the view.
#include "gcad/overlay/gcad_r_overlay2d.h"

#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/fig2/vaq_fig2_figure.h"
#include "gcad/host/fig2/vaq_fig2_label.h"
#include "gcad/host/fig2/vaq_fig2_line.h"
#include "gcad/host/fig2/vaq_fig2_text.h"
#include "gcad/rcb/gcad_rcb.h"

namespace Vaq::GCAD {

void Overlay2d::markCross(const BaVec3d<double> &point, const Color &color)
{
    m_cross_active = true;
    m_cross_point = point;
    m_cross_color = color;
    repaintOverlay();
}

void Overlay2d::unmarkCross()
{
    m_cross_active = false;
    repaintOverlay();
}

unsigned Overlay2d::markPoint(const BaVec3d<double> &point, const QString &text, const Color &color)
{
    unsigned id = 0;
    while (m_marked_points.count(id))
        ++id;
    m_marked_points[id] = { point, text, color };
    repaintOverlay();
    return id;
}

void Overlay2d::unmarkPoint(unsigned id)
{
    if (!m_marked_points.erase(id))
        VAQ_PROG_ERROR("Vaq::GCAD::Overlay2d::unmarkPoint", QStringLiteral("the point is not marked"));
    repaintOverlay();
}

void Overlay2d::updateMarks()
{
    if (!m_render_callback->getRenderObject())
        return;
    if (m_marks_group) {
        m_text_figure->getRoot().remove(m_marks_group);
        m_marks_group = nullptr;
    }
    if (!m_cross_active && m_marked_points.empty())
        return;

    auto group = std::make_unique<Fig2::Group>();
    Fig2::Group *marks = group.get();
    m_marks_group = marks;
    m_text_figure->getRoot().add(std::move(group));

    const QSizeF viewMM = viewSizeMM();
    const Transformation view = m_render_callback->get3d2dTransformation();
    Fig2::LineStyle style { Fig2::LineStyle::SOLID, m_cross_color, m_pixel_size };
    if (m_cross_active) {
        const QPointF at = project(view, m_cross_point);
        marks->add(createFigLine(QPointF(0.0, at.y()), QPointF(viewMM.width(), at.y()), style));
        marks->add(createFigLine(QPointF(at.x(), 0.0), QPointF(at.x(), viewMM.height()), style));
    }

    const double arm = 10.0 * m_pixel_size;
    for (const auto &[id, mark] : m_marked_points) {
        const QPointF at = project(view, mark.point);
        style.color = mark.color;
        marks->add(createFigLine(at - QPointF(arm, 0.0), at + QPointF(arm, 0.0), style));
        marks->add(createFigLine(at - QPointF(0.0, arm), at + QPointF(0.0, arm), style));
        if (!mark.text.simplified().isEmpty()) {
            // Beside the cross's upper right arm.
            marks->add(
                createFigLabel(at + QPointF(0.5 * arm, -arm - 2.0 * m_pixel_size), mark.text.toHtmlEscaped(),
                    Fig2::LabelBase::getRTFStyleAttribute(Fig2::Font::DEFAULT_FONT_SANS, 15.0, mark.color)));
        }
    }
    m_text_figure->update();
}

} // namespace Vaq::GCAD
