#include "apps/gcad/gcad_view_section_preview.h"

#include "gcad/clipping/gcad_clipping_interface.h"
#include "gcad/host/gl/vaq_gl_render_object.h"

#include <QPainter>
#include <QPolygonF>

namespace Gcad {

namespace {

const QColor PREVIEW_COLOR(255, 200, 0);

} // namespace

SectionPreview::SectionPreview(const Vaq::GL::RenderObject &view, QWidget *parent)
    : QWidget(parent)
    , m_view(view)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
}

bool SectionPreview::show(const std::vector<Vaq::CAD::Element *> &elements, int axis)
{
    std::vector<Vaq::CAD::ElementAndStageImp> entries;
    Vaq::Box3d joined;
    for (Vaq::CAD::Element *element : elements) {
        entries.emplace_back(element, Vaq::CAD::StageIdentifier::NO_STAGE);
        Vaq::Box3d box;
        if (element->getBoundingBox(
                Vaq::CAD::StageIdentifier::NO_STAGE, Vaq::CAD::BBT_GEOMETRY, Vaq::CAD::CCS_WORLD, box))
            joined.extend(box);
    }
    if (entries.empty() || joined.isEmpty()) {
        clear();
        return false;
    }
    Vaq::BaVec3d<double> normal;
    normal[axis] = 1.0;
    Vaq::LimitedPlane3d rectangle;
    Vaq::GCAD::ClippingInterface::calcPreviewPlaneForSectionCreation(
        entries, Vaq::Plane3d(joined.getCenter(), normal), &rectangle, Vaq::CAD::BBT_GEOMETRY);
    m_rectangle = rectangle;
    update();
    return true;
}

void SectionPreview::clear()
{
    m_rectangle.reset();
    update();
}

void SectionPreview::paintEvent(QPaintEvent *)
{
    if (!m_rectangle)
        return;
    const Vaq::Transformation toWindow = m_view.get3d2dTransformation();
    QPolygonF outline;
    for (const Vaq::BaVec3d<double> &corner : m_rectangle->getCorners()) {
        const Vaq::BaVec3d<double> p = toWindow.transform(corner);
        outline << QPointF(p.x, m_view.height() - p.y);
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor fill = PREVIEW_COLOR;
    fill.setAlpha(60);
    painter.setBrush(fill);
    painter.setPen(QPen(PREVIEW_COLOR, 2.0));
    painter.drawPolygon(outline);
}

} // namespace Gcad
