// The overlay's frame procedure: the clipping heading, the parts of its own figure, and the
// gathering of the label figure (each shown element's labels and legends, filtered to the
// view, kept inside it and laid out).
#include "gcad/overlay/gcad_r_overlay2d.h"

#include "gcad/clipping/gcad_clipping_interface.h"
#include "gcad/gcad_config.h"
#include "gcad/host/base/vaq_translation.h"
#include "gcad/host/cfg/vaq_cfg_root.h"
#include "gcad/host/fig2/vaq_fig2_box_distributor.h"
#include "gcad/host/fig2/vaq_fig2_calculator.h"
#include "gcad/host/fig2/vaq_fig2_figure.h"
#include "gcad/host/fig2/vaq_fig2_global_legend.h"
#include "gcad/host/fig2/vaq_fig2_label.h"
#include "gcad/host/fig2/vaq_fig2_line.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/host/gl/vaq_gl_view_creator.h"
#include "gcad/rcb/gcad_rcb.h"

#include <cmath>

namespace Vaq::GCAD {

const Color Overlay2d::DEFAULT_MARK_COLOR(56, 180, 56);
const Color Overlay2d::RASTER_COLOR(49, 49, 49);

namespace {

// Whether a label's connector point is the figure library's "points nowhere" marker, within
// the rounding a point picks up on its way through the layout.
bool isInvalidPoint(const QPointF &p)
{
    const auto same = [](double a, double b) {
        return b == 0.0 ? std::fabs(a) <= 1e-50 : std::fabs(a - b) <= 1e-12 * std::fabs(b);
    };
    const QPointF &invalid = Fig2::LabelBase::INVALID_POINT;
    return same(p.x(), invalid.x()) && same(p.y(), invalid.y());
}

bool isFinite(const QRectF &r)
{
    return std::isfinite(r.x()) && std::isfinite(r.y()) && std::isfinite(r.width())
        && std::isfinite(r.height());
}

template<typename T> T configValue(const char *key, T fallback, T (Cfg::CfgNode::*get)(const QString &) const)
{
    const Cfg::CfgNode &root = Cfg::getRoot();
    return root.exists(QLatin1String(key)) ? (root.*get)(QLatin1String(key)) : fallback;
}

} // namespace

Overlay2d::Overlay2d(RenderCallback *renderCallback)
    : m_render_callback(renderCallback)
    , m_text_figure(std::make_unique<Fig2::Figure>())
{
    m_text_figure->setBackground(Fig2::FillStyle::null);
    updatePixelSize();
}

Overlay2d::~Overlay2d() = default;

void Overlay2d::updatePixelSize()
{
    m_pixel_size
        = Fig2::Calculator::getInstance()->getScreenPixelSizeMM() / m_render_callback->getSnapshotScaling();
}

QSize Overlay2d::viewPixels() const
{
    const GL::RenderObject *view = m_render_callback->getRenderObject();
    return view ? QSize(view->width(), view->height()) : QSize(0, 0);
}

QSizeF Overlay2d::viewSizeMM() const
{
    const QSize pixels = viewPixels();
    return QSizeF(pixels.width() * m_pixel_size, pixels.height() * m_pixel_size);
}

QPointF Overlay2d::project(const Transformation &view, const BaVec3d<double> &point) const
{
    const BaVec3d<double> window = view.transform(point);
    return QPointF(window.x * m_pixel_size, (viewPixels().height() - window.y) * m_pixel_size);
}

void Overlay2d::repaintOverlay()
{
    if (GL::RenderObject *view = m_render_callback->getRenderObject())
        view->repaintWidget(GL::UpdateOptions(GL::UpdateOptions::US_OVERLAY, GL::UpdateOptions::UT_DEFAULT));
}

bool Overlay2d::draw()
{
    GL::RenderObject *view = m_render_callback->getRenderObject();

    // The heading says that the view is clipped, unless someone else has put one there.
    if (GL::ViewCreator *creator = m_render_callback->getViewCreator()) {
        const QString clipped = translate("GCAD", "clipped");
        if (creator->getHeading().isEmpty() || creator->getHeading() == clipped) {
            const ClippingInterface *clipping = m_render_callback->getClippingInterface();
            Plane3d plane;
            if (clipping && clipping->isClippingActive() && clipping->getClippingPlane(&plane))
                creator->setHeading(clipped, GL::ViewCreator::HEADING_SIZE_3D, Color(255, 255, 255));
            else
                creator->setHeading(QString(), GL::ViewCreator::HEADING_SIZE_3D, Color(255, 255, 255));
        }
    }

    // The parts of the own figure take their labels from the pool afresh.
    m_labels_in_use = 0;
    updateRaster();
    if (view)
        view->insertDetailedTimingStep(QStringLiteral("update raster"));
    updateViewDirection();
    if (view)
        view->insertDetailedTimingStep(QStringLiteral("update view dir"));
    updateMarks();
    initFigure();
    if (!m_render_callback->getUpdateOptions().snapshotRendering)
        drawInternalFigure();
    return true;
}

Fig2::Label *Overlay2d::createFigLabel(const QPointF &position, const QString &text, const QString &style)
{
    if (m_labels_in_use == m_label_pool.size())
        m_label_pool.push_back(std::make_unique<Fig2::Label>());
    Fig2::Label *label = m_label_pool[m_labels_in_use++].get();
    label->setText(getRichText(text, style));
    label->setBackground(Fig2::FillStyle::null);
    label->setBorder(Fig2::LineStyle::null);
    label->setConnectorPoint(Fig2::LabelBase::INVALID_POINT);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setMargin(0.0);
    label->setTemporarilyInvisible(false);
    label->setExternallyManaged(true);
    label->setPosition(position);
    return label;
}

std::unique_ptr<Fig2::Line> Overlay2d::createFigLine(
    const QPointF &p1, const QPointF &p2, const Fig2::LineStyle &style) const
{
    return std::make_unique<Fig2::Line>(p1, p2, style);
}

QString Overlay2d::getRichText(const QString &text, const QString &style)
{
    return QStringLiteral("<html><span %1>").arg(style) + text + QStringLiteral("</span></html>");
}

// ---- gathering the label figure ---------------------------------------------------------

void Overlay2d::initFigure()
{
    const GL::UpdateOptions &options = m_render_callback->getUpdateOptions();
    m_show_labels = configValue<bool>(CFG_GCAD_SHOW_LABELS, false, &Cfg::CfgNode::getBool);
    m_box_mode = configValue<unsigned>(CFG_GCAD_BOX_MODE, 0, &Cfg::CfgNode::getUInt);

    // Which elements are visible at all: a label of a covered element is hidden.
    if (!options.snapshotRendering) {
        m_rendered_elements.clear();
        const QSize pixels = viewPixels();
        if (!options.interactiveUpdate && m_show_labels && !pixels.isEmpty()) {
            for (const CAD::Element *element :
                m_render_callback->getRenderedElements(BaVec2d<double>(0.0, 0.0),
                    BaVec2d<double>(pixels.width() - 1, pixels.height() - 1), false, false))
                m_rendered_elements.insert(element);
        }
    }

    m_label_figure = m_render_callback->getFigure();
    if (!m_label_figure)
        return;

    const QSize pixels = viewPixels();
    const QSizeF viewMM = viewSizeMM();
    m_label_figure->setSize(viewMM);
    m_figure_elements.clear();
    m_figure_element_owners.clear();
    if (m_render_callback->showCADLabels()) {
        const Transformation toWindow = m_render_callback->get3d2dTransformation();
        for (const auto &[key, entry] : m_render_callback->getDrawOrder())
            initFigureElement(entry, toWindow);
    }
    if (GL::RenderObject *view = m_render_callback->getRenderObject())
        view->insertDetailedTimingStep(QStringLiteral("init figure"));

    Fig2::Group &root = m_label_figure->getRoot();
    m_legend = nullptr;
    m_legend_at_border = false;
    for (Fig2::Element *child : root.getChildren()) {
        if (child->getType() != Fig2::Element::T_LEGEND)
            continue;
        if (auto *legend = dynamic_cast<GLegend2::GlobalLegend *>(child))
            m_legend = legend;
    }
    if (pixels.width() > 2.2 && pixels.height() > 2.2 && pixels != m_last_view_size
        && !options.snapshotRendering)
        doResize();

    // Items no element provides any more leave the figure; what the application put there
    // itself (not externally managed) and the legend stay.
    for (bool removed = true; removed;) {
        removed = false;
        for (Fig2::Element *child : root.getChildren()) {
            if (child->getType() != Fig2::Element::T_LEGEND && child->isExternallyManaged()
                && std::find(m_figure_elements.begin(), m_figure_elements.end(), child)
                    == m_figure_elements.end()) {
                root.remove(child);
                removed = true;
                break;
            }
        }
    }

    // The legend takes its size and place; everything else is pushed back inside the view.
    if (m_legend) {
        setLegendSize(viewMM);
        checkLegendPosition(viewMM);
        Fig2::BoxDistributor::Side_t side = Fig2::BoxDistributor::SIDE_NONE;
        m_legend_at_border = Fig2::BoxDistributor::legendAtBorder(viewMM, *m_legend, m_legend->isHorizontal(),
            m_legend->isMaximized(), 1.1, &side, &m_legend_distance);
        m_legend_side = side;
    }
    for (Fig2::Element *child : root.getChildren()) {
        if (child->getType() == Fig2::Element::T_LEGEND)
            continue;
        if (child->getType() == Fig2::Element::T_TEXT && child->isExternallyManaged())
            continue;
        const QRectF r = child->getCoveredRect();
        double dx = 0.0, dy = 0.0;
        if (viewMM.width() + 1e-12 < r.x() + r.width())
            dx = viewMM.width() - r.x() - r.width();
        if (r.x() < 0.0)
            dx = -r.x();
        if (viewMM.height() + 1e-12 < r.y() + r.height())
            dy = viewMM.height() - r.y() - r.height();
        if (r.y() < 0.0)
            dy = -r.y();
        if (std::fabs(dx) > 1e-6 || std::fabs(dy) > 1e-6) {
            child->move(dx, dy);
            child->update();
        }
    }

    layoutLabels();
}

void Overlay2d::initFigureElement(const CAD::ElementAndStageImp &entry, const Transformation &toWindow)
{
    CAD::Element *element = entry.element;
    const CAD::StageIdentifier &stage = entry.stage;
    if (!element->mustLabelBeRendered(stage))
        return;
    CAD::LabelElement *label = element->getLabel();
    const GL::UpdateOptions &options = m_render_callback->getUpdateOptions();
    if (label) {
        label->setOnlyCheckTemplate(options.getStage() == GL::UpdateOptions::US_OVERLAY
            && !m_render_callback->isNewLabelLayoutForced());
    }
    if (element->getNumberOfPoints(stage) > 0 && element->getNumberOfVisiblePoints(stage) == 0)
        return;

    const QSize pixels = viewPixels();
    const Transformation view = viewTransformation(toWindow, element, stage);
    element->updateFigureElements(stage, pixels.height(), view, m_pixel_size);

    // Whether the label shows: hidden with the labels switched off, and in a full repaint
    // when its element is covered; a moving view keeps what the last full repaint decided.
    BaVec3d<double> connector;
    const bool hasConnector = label && label->getConnectorPoint(stage, &connector);
    if (Fig2::Label *text = label ? label->getLabelFigText() : nullptr) {
        if (!m_show_labels) {
            text->setTemporarilyInvisible(true);
        } else if (!label->getText().isEmpty() && hasConnector) {
            if (!options.interactiveUpdate) {
                text->setTemporarilyInvisible(
                    !element->existsElementTemporarily() && !m_rendered_elements.count(element));
            } else if (text->isTemporarilyInvisible()) {
                return;
            }
            // The label of a point cut away by the clipping plane (behind it: the plane keeps
            // the side its normal points to) goes with it.
            const ClippingInterface *clipping = m_render_callback->getClippingInterface();
            Plane3d plane;
            if (element->isClippingAllowed() && clipping && clipping->isClippingActive()
                && clipping->getClippingPlane(&plane)) {
                Transformation toView;
                const BaVec3d<double> point = element->getRenderTransformation(stage, &toView)
                    ? toView.transform(connector)
                    : connector;
                if (-plane.distance(point) > 0.5 * m_render_callback->getPixelSize())
                    return;
            }
        }
    }

    const QSizeF viewMM = viewSizeMM();
    Fig2::Group &root = m_label_figure->getRoot();
    for (Fig2::Element *figureElement : element->getFigureElements(stage)) {
        if (figureElement->getType() == Fig2::Element::T_LABEL) {
            auto *figureLabel = static_cast<Fig2::LabelBase *>(figureElement);
            const QPointF p = figureLabel->getConnectorPoint();
            const bool valid = !isInvalidPoint(p);
            const bool inView
                = p.x() >= 0.0 && p.y() >= 0.0 && p.x() < viewMM.width() && p.y() < viewMM.height();
            if (valid && !inView) // a point at infinity or NaN is in no view either
                continue;
            // With labels placed at their elements, a label the user did not hand to the
            // layout sits at its point plus the offset the user gave it.
            if (!element->isAutoLabelPlacement() && hasConnector && m_box_mode == 1) {
                const QRectF r = figureElement->getCoveredRect();
                const QPointF target = project(view, connector + label->getManualOriginOffset());
                figureElement->move(target.x() - r.center().x(), target.y() - r.center().y());
                figureElement->update();
            }
        }
        if (!isFinite(figureElement->getCoveredRect()))
            continue;
        m_figure_elements.push_back(figureElement);
        m_figure_element_owners[figureElement] = entry;
        if (figureElement->getParent() != &root)
            root.add(figureElement);
        figureElement->setExternallyManaged(true);
        figureElement->setAutoPlacement(element->isAutoLabelPlacement());
    }
}

Transformation Overlay2d::viewTransformation(
    const Transformation &toWindow, const CAD::Element *element, const CAD::StageIdentifier &stage) const
{
    Transformation toView;
    return element->getRenderTransformation(stage, &toView) ? toWindow * toView : toWindow;
}

} // namespace Vaq::GCAD
