// SectionPreview: the rectangle a section through the selected elements would start from,
// shown over the viewer's picture as a translucent quadrilateral with its outline. It lies on
// a plane across the x, y or z axis through the centre of the elements' boxes.
#pragma once

#include "gcad/host/base/vaq_limited_plane.h"
#include "gcad/host/cad/vaq_cad_element.h"

#include <QWidget>

#include <optional>
#include <vector>

namespace Vaq::GL {
class RenderObject;
}

namespace Gcad {

class SectionPreview : public QWidget
{
public:
    // Lies over view (which it does not own), passing the mouse through.
    SectionPreview(const Vaq::GL::RenderObject &view, QWidget *parent);

    // Shows the preview across axis (0 x, 1 y, 2 z) through elements; false (nothing shown)
    // for no elements.
    bool show(const std::vector<Vaq::CAD::Element *> &elements, int axis);
    void clear();
    const std::optional<Vaq::LimitedPlane3d> &getRectangle() const { return m_rectangle; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const Vaq::GL::RenderObject &m_view;
    std::optional<Vaq::LimitedPlane3d> m_rectangle;
};

} // namespace Gcad
