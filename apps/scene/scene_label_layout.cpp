#include "apps/scene/scene_label_layout.h"

#include "gcad/host/cad/vaq_cad_element.h"
#include "gcad/host/fig2/vaq_fig2_label.h"
#include "gcad/overlay/gcad_r_overlay2d.h"

#include <QJsonArray>
#include <QJsonObject>

namespace Gcad::Scene {

namespace {

QJsonArray toArray(const QRectF &r)
{
    return { r.x(), r.y(), r.width(), r.height() };
}

} // namespace

LabelLayout readLabelLayout(const Vaq::GCAD::Overlay2d &overlay, const QSize &view)
{
    const double px = overlay.getPixelSize();
    const auto toPixels = [px](const QRectF &r) { return QRectF(r.topLeft() / px, r.size() / px); };
    LabelLayout layout;
    layout.view = view;
    for (const Vaq::Fig2::Element *element : overlay.getGatheredElements()) {
        if (element->getType() != Vaq::Fig2::Element::T_LABEL || element->isTemporarilyInvisible())
            continue;
        const auto *label = static_cast<const Vaq::Fig2::LabelBase *>(element);
        const Vaq::CAD::Element *owner = overlay.getOwner(element);
        if (!owner || !label->hasConnectorPoint())
            continue;
        layout.labels.push_back(
            { owner->getFileName(), toPixels(label->getCoveredRect()), label->getConnectorPoint() / px });
    }
    for (const QRectF &box : overlay.getLayoutObstacles())
        layout.fixed.push_back(toPixels(box));
    return layout;
}

QJsonDocument toJson(const LabelLayout &layout)
{
    QJsonArray labels;
    for (const LabelLayout::Label &label : layout.labels) {
        labels.append(QJsonObject { { "element", label.element }, { "box", toArray(label.box) },
            { "point", QJsonArray { label.point.x(), label.point.y() } } });
    }
    QJsonArray fixed;
    for (const QRectF &box : layout.fixed)
        fixed.append(toArray(box));
    return QJsonDocument(QJsonObject { { "view", QJsonArray { layout.view.width(), layout.view.height() } },
        { "labels", labels }, { "fixed", fixed } });
}

} // namespace Gcad::Scene
