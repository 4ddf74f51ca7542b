// Painting the overlay's figures over the view, and the label image that picking reads:
// one 32-bit id per pixel naming the element whose label was painted there last. Filling it
// costs one pass over the view's pixels plus the labels' areas; a query reads one pixel.
#include "gcad/overlay/gcad_r_overlay2d.h"

#include "gcad/host/fig2/vaq_fig2_cached_painter.h"
#include "gcad/host/fig2/vaq_fig2_figure.h"
#include "gcad/host/fig2/vaq_fig2_label.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/host/gl/vaq_gl_tools.h"
#include "gcad/rcb/gcad_rcb.h"

#include <algorithm>
#include <cmath>

namespace Vaq::GCAD {

void Overlay2d::drawInternalFigure()
{
    GL::RenderObject *view = m_render_callback->getRenderObject();
    const QSize pixels = viewPixels();
    if (!view || pixels.isEmpty())
        return;
    const QSizeF viewMM = viewSizeMM();

    // While the view moves, connectors are plain lines: the still picture after the motion
    // draws them antialiased again.
    const bool moving = m_render_callback->getUpdateOptions().interactiveUpdate;
    GFigure2::CachedFigurePainter painter;
    using Connectors = GFigure2::CachedFigurePainter::Connectors;
    if (painter.begin(
            view, QRectF(QPointF(0.0, 0.0), viewMM), moving ? Connectors::PLAIN : Connectors::ANTIALIASED)) {
        if (m_raster_group || m_view_direction_group || m_marks_group) {
            m_text_figure->setSize(viewMM);
            painter.drawFigure(*m_text_figure, QPointF(0.0, 0.0), 1.0);
            view->insertDetailedTimingStep(QStringLiteral("draw int figure"));
        }
        if (m_label_figure && !m_label_figure->getSize().isEmpty()) {
            const QSizeF size = m_label_figure->getSize();
            painter.drawFigure(*m_label_figure, QPointF(0.0, 0.0),
                std::min(viewMM.width() / size.width(), viewMM.height() / size.height()));
            view->insertDetailedTimingStep(QStringLiteral("draw labels"));
        }
        painter.end();
    }

    if (moving)
        return;
    fillElementIdImage(pixels);
    view->insertDetailedTimingStep(QStringLiteral("fill id image"));
}

void Overlay2d::fillElementIdImage(const QSize &pixels)
{
    m_label_hit_elements.clear();
    if (m_element_id_image.width() != pixels.width() || m_element_id_image.height() != pixels.height()) {
        if (!m_element_id_image.resize(pixels.width(), pixels.height())) {
            GL::GLTools::showMemoryWarning(QStringLiteral("label picking image"));
            return;
        }
    }
    m_element_id_image.fill(0);
    if (!m_label_figure)
        return;

    const auto toPixel = [this](double mm) { return int(std::floor(mm / m_pixel_size + 0.5)); };
    for (const Fig2::Element *child : m_label_figure->getRoot().getChildren()) {
        const auto owner = m_figure_element_owners.find(child);
        if (owner == m_figure_element_owners.end())
            continue;
        QRectF area;
        if (child->getType() == Fig2::Element::T_LEGEND) {
            area = child->getCoveredRect();
        } else {
            const CAD::LabelElement *label = owner->second.element->getLabel();
            const Fig2::Label *text = label ? label->getLabelFigText() : nullptr;
            if (!text || text->isTemporarilyInvisible() || !label->mustBeRendered())
                continue;
            area = text->getCoveredRect();
        }
        const int x0 = std::max(0, toPixel(area.left()));
        const int y0 = std::max(0, toPixel(area.top()));
        const int x1 = std::min(pixels.width() - 1, toPixel(area.right()));
        const int y1 = std::min(pixels.height() - 1, toPixel(area.bottom()));
        m_label_hit_elements.push_back(owner->second.element);
        if (x0 <= x1 && y0 <= y1)
            m_element_id_image.fillRect(x0, y0, x1, y1, std::uint32_t(m_label_hit_elements.size()));
    }
}

CAD::Element *Overlay2d::elementOfId(std::uint32_t id) const
{
    return id > 0 && id <= m_label_hit_elements.size() ? m_label_hit_elements[id - 1] : nullptr;
}

CAD::Element *Overlay2d::getElementAtPosition(const QPoint &position) const
{
    if (!m_element_id_image.contains(position.x(), position.y()))
        return nullptr;
    return elementOfId(m_element_id_image.pixel(position.x(), position.y()));
}

std::vector<CAD::Element *> Overlay2d::getRenderedElements(
    unsigned x0, unsigned y0, unsigned x1, unsigned y1) const
{
    const long long h = m_element_id_image.height();
    const long long left = std::min(x0, x1), right = std::max(x0, x1);
    const long long bottom = std::min(y0, y1), top = std::max(y0, y1);
    // GL rows count upward from the lower edge, the image's downward from the upper one.
    if (right >= m_element_id_image.width() || top >= h)
        return {};
    std::vector<CAD::Element *> elements;
    elements.reserve(std::size_t((right - left + 1) * (top - bottom + 1)));
    for (long long row = bottom; row <= top; ++row) {
        const int y = int(h - row - 1);
        for (long long column = left; column <= right; ++column)
            elements.push_back(elementOfId(m_element_id_image.pixel(int(column), y)));
    }
    return elements;
}

} // namespace Vaq::GCAD
