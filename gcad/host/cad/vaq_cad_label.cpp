#include "gcad/host/cad/vaq_cad_label.h"

#include "gcad/host/fig2/vaq_fig2_label.h"

namespace Vaq::CAD {

namespace {

// A highlighted label is framed and written in its highlight colour, with a frame that stands
// out from the hairline of a plain one.
const double HIGHLIGHT_BORDER_WIDTH = 0.3;

} // namespace

LabelElement::LabelElement(const QString &text)
    : m_text(text)
{
}

LabelElement::~LabelElement() = default;

void LabelElement::update(const StageIdentifier &stage)
{
    m_shown_stage = stage;
    if (m_fig_text)
        applyStyle();
}

bool LabelElement::getConnectorPoint(const StageIdentifier &stage, BaVec3d<double> *point) const
{
    const auto found = m_connector_points.find(stage);
    if (found == m_connector_points.end())
        return false;
    *point = found->second;
    return true;
}

void LabelElement::setConnectorPoint(const StageIdentifier &stage, const BaVec3d<double> &point)
{
    m_connector_points[stage] = point;
}

void LabelElement::updateFigureElements(
    const StageIdentifier &stage, int viewHeight, const Transformation &view, double pixelSize)
{
    if (!m_fig_text) {
        m_fig_text = std::make_unique<Fig2::Label>();
        m_fig_text->setAlignment(Qt::AlignCenter);
    }
    applyStyle();
    if (m_only_check_template && m_figure_stage == stage)
        return;
    Fig2::Label &label = *m_fig_text;

    // Window pixels have y upward, the figure's millimetres y downward from the top edge.
    const auto toFigure = [&](const BaVec3d<double> &model) {
        const BaVec3d<double> window = view.transform(model);
        return QPointF(window.x * pixelSize, (viewHeight - window.y) * pixelSize);
    };
    BaVec3d<double> point;
    if (getConnectorPoint(stage, &point)) {
        label.setConnectorPoint(toFigure(point));
        label.setPosition(toFigure(point + m_manual_origin_offset));
    } else {
        label.setConnectorPoint(Fig2::LabelBase::INVALID_POINT);
    }
    m_figure_stage = stage;
}

void LabelElement::applyStyle()
{
    m_fig_text->setText(m_text);
    const Color color = m_highlighted ? m_highlight_color : Color(0, 0, 0);
    m_fig_text->setTextColor(color);
    m_fig_text->setBorder({ Fig2::LineStyle::SOLID, color, m_highlighted ? HIGHLIGHT_BORDER_WIDTH : 0.0 });
}

std::vector<Fig2::Element *> LabelElement::getFigureElements(const StageIdentifier &stage) const
{
    if (!m_fig_text || m_figure_stage != stage || m_fig_text->getText().isEmpty())
        return {};
    return { m_fig_text.get() };
}

} // namespace Vaq::CAD
