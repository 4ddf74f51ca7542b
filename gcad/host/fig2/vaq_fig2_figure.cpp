#include "gcad/host/fig2/vaq_fig2_figure.h"

#include <QPainter>

namespace Vaq::Fig2 {

void Figure::paint(QPainter &painter) const
{
    if (m_background.isVisible())
        painter.fillRect(QRectF(QPointF(0.0, 0.0), m_size), m_background.toBrush());
    m_root.paint(painter);
}

} // namespace Vaq::Fig2
