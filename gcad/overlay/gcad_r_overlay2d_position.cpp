// Label layout: whenever the view changes, the labels handed to the layout are placed by the
// figure library's box distributor around everything that must stay visible (labels the
// user placed, the legend, the overlay's own figure, the lower-left corner), and each new
// place is stored in the model as an offset from the label's connector point, so that the
// label keeps it while the view turns. Also the conversions between edge-anchored and
// absolute label positions. A layout costs what the distributor costs for the gathered
// labels; an unchanged view costs one comparison of the view parameters.
#include "gcad/overlay/gcad_r_overlay2d.h"

#include "gcad/clipping/gcad_clipping_interface.h"
#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/cad/vaq_cad_strain_free_point.h"
#include "gcad/host/fig2/vaq_fig2_box_distributor.h"
#include "gcad/host/fig2/vaq_fig2_figure.h"
#include "gcad/host/fig2/vaq_fig2_global_legend.h"
#include "gcad/host/fig2/vaq_fig2_label.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/rcb/gcad_rcb.h"

#include <algorithm>
#include <limits>

namespace Vaq::GCAD {

namespace {

// The lower-left corner kept free of labels, in pixels.
constexpr double FREE_CORNER_PIXELS = 120.0;
// How far outside the view labels whose point left it are parked, in millimetres.
constexpr double PARKING_DISTANCE = 10.0;

const Fig2::LabelBase *asLabel(const Fig2::Element *element)
{
    return element->getType() == Fig2::Element::T_LABEL ? static_cast<const Fig2::LabelBase *>(element)
                                                        : nullptr;
}

} // namespace

void Overlay2d::moveTopLeftTo(Fig2::Element *element, const QPointF &position)
{
    const QRectF r = element->getCoveredRect();
    element->move(position.x() - r.x(), position.y() - r.y());
    element->update();
}

bool Overlay2d::viewChangedSinceLayout()
{
    const GL::RenderObject *view = m_render_callback->getRenderObject();
    const ClippingInterface *clipping = m_render_callback->getClippingInterface();
    const QString clippingKey = clipping ? clipping->getDescription() : QString();
    const bool changed = view->getRotation() != m_last_rotation
        || view->getTranslation() != m_last_translation || view->getAxisScale() != m_last_axis_scale
        || view->getScale() != m_last_scale || clippingKey != m_last_clipping_key
        || (m_show_labels && m_last_label_flag) || m_render_callback->isNewLabelLayoutForced();
    if (changed) {
        m_last_rotation = view->getRotation();
        m_last_translation = view->getTranslation();
        m_last_axis_scale = view->getAxisScale();
        m_last_scale = view->getScale();
        m_last_label_flag = false;
        m_last_clipping_key = clippingKey;
    }
    return changed;
}

std::unique_ptr<Fig2::BoxDistributor> Overlay2d::createDistributor(const QSizeF &viewSize)
{
    m_layout_obstacles.clear();
    auto distributor = std::make_unique<Fig2::BoxDistributor>(
        QSizeF(std::max(viewSize.width(), 1.0), std::max(viewSize.height(), 1.0)), 1.1, 0.7);
    Fig2::BoxDistributor::Side_t side = Fig2::BoxDistributor::SIDE_NONE;
    double distance = 0.0;
    if (m_legend
        && Fig2::BoxDistributor::legendAtBorder(
            viewSize, *m_legend, m_legend->isHorizontal(), m_legend->isMaximized(), 1.1, &side, &distance))
        distributor->moveSide(side, distance);
    if (!m_render_callback->getUpdateOptions().snapshotRendering) {
        const double d = FREE_CORNER_PIXELS * m_pixel_size;
        addObstacle(*distributor, QRectF(0.0, viewSize.height() - d, d, d));
    }
    for (const Fig2::Element *child : m_text_figure->getRoot().getChildren())
        addObstacle(*distributor, child);
    return distributor;
}

void Overlay2d::addObstacle(Fig2::BoxDistributor &distributor, const QRectF &box)
{
    distributor.addFixedBox(box);
    m_layout_obstacles.push_back(box);
}

void Overlay2d::addObstacle(Fig2::BoxDistributor &distributor, const Fig2::Element *element)
{
    // A label that stays keeps its point and its leader clear as well.
    const Fig2::LabelBase *label = asLabel(element);
    if (label && label->hasConnectorPoint())
        distributor.addFixedTextBox(label);
    else
        distributor.addFixedBox(element);
    if (!element->isTemporarilyInvisible())
        m_layout_obstacles.push_back(element->getCoveredRect());
}

void Overlay2d::layoutLabels()
{
    if (!m_render_callback->getRenderObject())
        return;
    // While the view moves the labels ride along with their points; the first full repaint
    // after the motion lays them out.
    if (m_render_callback->getUpdateOptions().interactiveUpdate) {
        m_last_label_flag = true;
        return;
    }
    if (!viewChangedSinceLayout())
        return;
    const QSizeF viewMM = viewSizeMM();
    const double W = viewMM.width(), H = viewMM.height();
    const std::unique_ptr<Fig2::BoxDistributor> distributor = createDistributor(viewMM);

    // Obstacles: labels the user placed (while their point is in view), everything that is no
    // label with a point, and what the application put into the figure itself.
    QPointF connectorSum;
    int connectors = 0;
    std::vector<Fig2::LabelBase *> toPlace;
    for (Fig2::Element *element : m_figure_elements) {
        const Fig2::LabelBase *label = asLabel(element);
        if (!label || !label->hasConnectorPoint()) {
            addObstacle(*distributor, element);
            continue;
        }
        const QPointF p = label->getConnectorPoint();
        connectorSum += p;
        ++connectors;
        const bool inView = p.x() >= 0.0 && p.y() >= 0.0 && p.x() < W && p.y() < H;
        if (!element->isAutoPlacement()) {
            if (inView)
                addObstacle(*distributor, label);
            continue;
        }
        // Labels whose point left the view wait outside it, taking no room from the others.
        const QRectF r = element->getCoveredRect();
        if (p.x() < 0.0 || p.y() < 0.0)
            moveTopLeftTo(element, QPointF(-PARKING_DISTANCE - r.width(), -PARKING_DISTANCE));
        else if (!inView)
            moveTopLeftTo(element, QPointF(W + PARKING_DISTANCE, H + PARKING_DISTANCE + r.height()));
        else
            toPlace.push_back(static_cast<Fig2::LabelBase *>(element));
    }
    for (const Fig2::Element *child : m_label_figure->getRoot().getChildren()) {
        if (child->getType() == Fig2::Element::T_LEGEND || !child->isExternallyManaged())
            addObstacle(*distributor, child);
    }
    for (Fig2::LabelBase *label : toPlace)
        distributor->addTextBox(label);

    if (m_box_mode == 0)
        distributor->distribute(connectors ? connectorSum / connectors : QPointF());
    else if (m_box_mode == 1)
        distributor->placeAtElement();
    else
        return;

    const Transformation toWindow = m_render_callback->get3d2dTransformation();
    for (Fig2::LabelBase *label : toPlace) {
        const CAD::ElementAndStageImp &owner = m_figure_element_owners[label];
        storeLabelPlace(toWindow, owner.element, owner.stage, label);
    }
}

void Overlay2d::storeLabelPlace(const Transformation &toWindow, CAD::Element *element,
    const CAD::StageIdentifier &stage, const Fig2::Element *box)
{
    CAD::LabelElement *label = element ? element->getLabel() : nullptr;
    BaVec3d<double> connector;
    if (!label || !label->getConnectorPoint(stage, &connector))
        return;
    const Transformation view = viewTransformation(toWindow, element, stage);
    Transformation inverse;
    if (!view.getInverse(&inverse))
        return;
    // Both points back into the model at the same depth: their difference lies in the
    // screen plane and moves the box with the point as the view turns.
    const double H = viewSizeMM().height();
    const auto backProject = [&](const QPointF &mm) {
        return inverse.transform(BaVec3d<double>(mm.x() / m_pixel_size, (H - mm.y()) / m_pixel_size, 0.0));
    };
    const QPointF connectorMM = project(view, connector);
    label->setManualOriginOffset(backProject(box->getCoveredRect().center()) - backProject(connectorMM));
    // Reference, fixture and target points share the offset with their strain stage points.
    CAD::StrainTools::FreePoint::propagateLabelPosition(element);
}

void Overlay2d::estimateLabelPositions(const std::vector<CAD::ElementAndStageImp> &elements)
{
    m_label_figure = m_render_callback->getFigure();
    if (!m_label_figure || !m_render_callback->getRenderObject() || !m_render_callback->showCADLabels())
        return;
    const QSizeF viewMM = viewSizeMM();
    std::vector<Fig2::LabelBase *> toPlace;
    const Transformation toWindow = m_render_callback->get3d2dTransformation();
    for (const CAD::ElementAndStageImp &entry : elements) {
        CAD::LabelElement *label = entry.element ? entry.element->getLabel() : nullptr;
        if (!label)
            continue;
        const Transformation view = viewTransformation(toWindow, entry.element, entry.stage);
        label->updateFigureElements(entry.stage, viewPixels().height(), view, m_pixel_size);
        BaVec3d<double> connector;
        Fig2::Label *text = label->getLabelFigText();
        if (!text || text->getText().isEmpty() || !label->getConnectorPoint(entry.stage, &connector))
            continue;
        // The box starts out with its top left at the connector point.
        const QPointF at = project(view, connector);
        text->setConnectorPoint(at);
        moveTopLeftTo(text, at);
        toPlace.push_back(text);
    }

    const std::unique_ptr<Fig2::BoxDistributor> distributor = createDistributor(viewMM);
    for (const Fig2::Element *child : m_label_figure->getRoot().getChildren()) {
        if (std::find(toPlace.begin(), toPlace.end(), child) != toPlace.end())
            continue;
        addObstacle(*distributor, child);
    }
    for (Fig2::LabelBase *label : toPlace)
        distributor->addTextBox(label);
    if (m_box_mode == 0)
        distributor->distribute();
    else if (m_box_mode == 1)
        distributor->placeAtElement();
}

QPointF Overlay2d::computeLabelPosition(Fig2::Element *element, const QPointF &position) const
{
    const QSize pixels = m_render_callback->getRenderObject() ? viewPixels() : QSize(600, 400);
    element->update();
    const QRectF r = element->getCoveredRect();
    QPointF result = position;
    if (position.x() < 0.0)
        result.setX(position.x() + pixels.width() * m_pixel_size - r.width());
    if (position.y() < 0.0)
        result.setY(position.y() + pixels.height() * m_pixel_size - r.height());
    return result;
}

QPointF Overlay2d::computeLabelPosition(const CAD::Element *element, const QPointF &position) const
{
    const CAD::LabelElement *label = element ? element->getLabel() : nullptr;
    if (!label || !label->getLabelFigText())
        VAQ_PROG_ERROR("Vaq::GCAD::Overlay2d::computeLabelPosition",
            QStringLiteral("The CAD::Element does not have a Fig2::Text-Element!"));
    return computeLabelPosition(label->getLabelFigText(), position);
}

QPointF Overlay2d::getLabelPosition(Fig2::Element *element) const
{
    const QSizeF size = m_label_figure ? m_label_figure->getSize() : QSizeF(10.0, 5.0);
    element->update();
    const QRectF r = element->getCoveredRect();
    QPointF result = r.topLeft();
    if (size.width() - r.right() <= r.x())
        result.setX(std::min(r.right() - size.width(), -0.001));
    if (size.height() - r.bottom() <= r.y())
        result.setY(std::min(r.bottom() - size.height(), -0.001));
    return result;
}

QPointF Overlay2d::getLabelPosition(const CAD::Element *element) const
{
    const CAD::LabelElement *label = element ? element->getLabel() : nullptr;
    return label && label->getLabelFigText() ? getLabelPosition(label->getLabelFigText()) : QPointF();
}

void Overlay2d::placeElement(
    CAD::LabelElement *label, const CAD::StageIdentifier &stage, const QPointF &position)
{
    Fig2::Label *text = label ? label->getLabelFigText() : nullptr;
    if (!text)
        return;
    moveTopLeftTo(text, computeLabelPosition(text, position));
    const auto owner = m_figure_element_owners.find(text);
    if (owner != m_figure_element_owners.end() && m_render_callback->getRenderObject())
        storeLabelPlace(m_render_callback->get3d2dTransformation(), owner->second.element, stage, text);
}

void Overlay2d::placeElement(Fig2::Element *element, const QPointF &position)
{
    const auto owner = m_figure_element_owners.find(element);
    if (owner != m_figure_element_owners.end() && owner->second.element->getLabel())
        placeElement(owner->second.element->getLabel(), owner->second.stage, position);
    else
        moveTopLeftTo(element, computeLabelPosition(element, position));
}

void Overlay2d::setAutoLabelPlacement(Fig2::Element *element, bool on)
{
    if (std::find(m_figure_elements.begin(), m_figure_elements.end(), element) != m_figure_elements.end())
        element->setAutoPlacement(on);
}

const CAD::Element *Overlay2d::getOwner(const Fig2::Element *element) const
{
    const auto owner = m_figure_element_owners.find(element);
    return owner != m_figure_element_owners.end() ? owner->second.element : nullptr;
}

CAD::LabelElement *Overlay2d::getLabelElementForFigElement(const Fig2::Element *element) const
{
    const auto owner = m_figure_element_owners.find(element);
    return owner != m_figure_element_owners.end() ? owner->second.element->getLabel() : nullptr;
}

bool Overlay2d::getAllCoveredTextAreas(std::vector<QRectF> *areas)
{
    if (GL::RenderObject *view = m_render_callback->getRenderObject())
        view->waitForRendering();
    areas->clear();
    if (m_figure_elements.empty())
        return false;
    for (const Fig2::Element *element : m_figure_elements) {
        if (asLabel(element))
            areas->push_back(element->getCoveredRect());
    }
    return true;
}

void Overlay2d::repositionLabels()
{
    m_last_scale = std::numeric_limits<double>::max();
}

} // namespace Vaq::GCAD
