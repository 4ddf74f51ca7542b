// Figure: a 2-D drawing of a given size in millimetres with a background and one root group
// that holds its elements.
#pragma once

#include "gcad/host/fig2/vaq_fig2_group.h"
#include "gcad/host/fig2/vaq_fig2_style.h"

#include <QSizeF>

namespace Vaq::Fig2 {

class Figure
{
public:
    Group &getRoot() { return m_root; }
    const Group &getRoot() const { return m_root; }

    const QSizeF &getSize() const { return m_size; }
    void setSize(const QSizeF &size) { m_size = size; }
    // White unless set; FillStyle::null leaves what lies under the figure visible.
    const FillStyle &getBackground() const { return m_background; }
    void setBackground(const FillStyle &background) { m_background = background; }

    // Lets every element recompute its layout.
    void update() { m_root.update(); }
    // Paints the background over the figure's size, then the elements, in millimetres.
    void paint(QPainter &painter) const;

private:
    Group m_root;
    QSizeF m_size { 100.0, 100.0 };
    FillStyle m_background;
};

} // namespace Vaq::Fig2
