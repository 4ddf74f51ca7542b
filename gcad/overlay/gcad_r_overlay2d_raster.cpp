// The raster of an axis view (grid lines at whole multiples of a 1-2-5 step in model
// coordinates, with their values and the unit) and the text naming the view direction. Both
// are rebuilt in every repaint; the raster costs one figure line per grid line, at most a
// few dozen for a step chosen to give one line per 50 pixels or more.
#include "gcad/overlay/gcad_r_overlay2d.h"

#include "gcad/host/base/vaq_translation.h"
#include "gcad/host/base/vaq_unit.h"
#include "gcad/host/fig2/vaq_fig2_figure.h"
#include "gcad/host/fig2/vaq_fig2_label.h"
#include "gcad/host/fig2/vaq_fig2_line.h"
#include "gcad/host/fig2/vaq_fig2_text.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/host/gl/vaq_gl_view_creator.h"
#include "gcad/rcb/gcad_rcb.h"

#include <QCoreApplication>

#include <array>
#include <cmath>
#include <cstdlib>

namespace Vaq::GCAD {

namespace {

// Thousandths of the length unit.
constexpr std::array<long long, 24> RASTER_STEPS = { 1, 2, 5, 10, 20, 50, 100, 200, 500, 1000, 2000, 5000,
    10000, 20000, 50000, 100000, 200000, 500000, 1000000, 2000000, 5000000, 10000000, 20000000, 50000000 };

// Indexed by GL::ViewCreator::ViewDirection_t.
const char *const DIRECTION_TEXTS[] = { QT_TRANSLATE_NOOP("GCAD", "X+"), QT_TRANSLATE_NOOP("GCAD", "X-"),
    QT_TRANSLATE_NOOP("GCAD", "Y+"), QT_TRANSLATE_NOOP("GCAD", "Y-"), QT_TRANSLATE_NOOP("GCAD", "Z+"),
    QT_TRANSLATE_NOOP("GCAD", "Z-"), QT_TRANSLATE_NOOP("GCAD", "X+Y+Z+"), QT_TRANSLATE_NOOP("GCAD", "X-Y+Z+"),
    QT_TRANSLATE_NOOP("GCAD", "X+Y-Z+"), QT_TRANSLATE_NOOP("GCAD", "X+Y+Z-"),
    QT_TRANSLATE_NOOP("GCAD", "X-Y-Z+"), QT_TRANSLATE_NOOP("GCAD", "X-Y+Z-"),
    QT_TRANSLATE_NOOP("GCAD", "X+Y-Z-"), QT_TRANSLATE_NOOP("GCAD", "X-Y-Z-") };

// The model axis (0, 1 or 2) that runs along the window direction, of the two that are not
// the viewing axis.
int axisAlong(const Transformation &inverse, const BaVec3d<double> &windowDirection, int viewAxis)
{
    const BaVec3d<double> d = inverse.transformVector(windowDirection);
    const double c[3] = { std::fabs(d.x), std::fabs(d.y), std::fabs(d.z) };
    int best = viewAxis == 0 ? 1 : 0;
    for (int axis = 0; axis < 3; ++axis) {
        if (axis != viewAxis && c[axis] > c[best])
            best = axis;
    }
    return best;
}

double component(const BaVec3d<double> &p, int axis)
{
    return axis == 0 ? p.x : axis == 1 ? p.y : p.z;
}

} // namespace

Overlay2d::RasterSteps Overlay2d::computeRasterSteps(
    long long min1, long long max1, long long min2, long long max2, int pixels)
{
    RasterSteps r;
    if (min1 == max1 || min2 == max2 || pixels < 2)
        return r;
    if (min1 > max1)
        std::swap(min1, max1);
    if (min2 > max2)
        std::swap(min2, max2);
    const long long range = max1 - min1;
    const long long n = pixels / 50;
    r.step = RASTER_STEPS.back();
    for (long long s : RASTER_STEPS) {
        if (range / s < n) {
            r.step = s;
            break;
        }
    }
    // Truncating division: one whole step below the minimum and above the maximum.
    const auto below = [&](long long v) { return (v / r.step) * r.step - r.step; };
    const auto above = [&](long long v) { return (v / r.step) * r.step + r.step; };
    r.start1 = below(min1);
    r.end1 = above(max1);
    r.start2 = below(min2);
    r.end2 = above(max2);
    return r;
}

void Overlay2d::updateRaster()
{
    if (m_raster_group) {
        m_text_figure->getRoot().remove(m_raster_group);
        m_raster_group = nullptr;
    }
    GL::RenderObject *view = m_render_callback->getRenderObject();
    const GL::ViewCreator *creator = view ? view->getCreator() : nullptr;
    const QSize pixels = viewPixels();
    if (!creator || !m_render_callback->isCoordinateGridDrawingEnabled() || pixels.isEmpty())
        return;
    const GL::ViewCreator::ViewDirection_t direction = creator->getMainViewDirection();
    if (direction > GL::ViewCreator::VD_Z_MINUS)
        return;
    m_labels_in_use = 0;

    const Transformation toWindow = m_render_callback->get3d2dTransformation();
    const Transformation inverse = view->getInverse3d2dTransformation();
    const int viewAxis = direction / 2;
    const int horizontal = axisAlong(inverse, BaVec3d<double>(1.0, 0.0, 0.0), viewAxis);
    const int vertical = 3 - viewAxis - horizontal;
    const BaVec3d<double> corner0 = inverse.transform(BaVec3d<double>(0.0, 0.0, 0.0));
    const BaVec3d<double> corner1 = inverse.transform(BaVec3d<double>(pixels.width(), pixels.height(), 0.0));
    const auto thousandths = [](double v) { return (long long)(v * 1000.0); };
    const RasterSteps steps = computeRasterSteps(thousandths(component(corner0, horizontal)),
        thousandths(component(corner1, horizontal)), thousandths(component(corner0, vertical)),
        thousandths(component(corner1, vertical)),
        int(pixels.width() / m_render_callback->getSnapshotScaling()));

    auto group = std::make_unique<Fig2::Group>();
    Fig2::Group *raster = group.get();
    m_raster_group = raster;
    m_text_figure->getRoot().add(std::move(group));

    const int decimals = steps.step < 10 ? 3 : steps.step < 100 ? 2 : steps.step < 1000 ? 1 : 0;
    const QString style = Fig2::LabelBase::getRTFStyleAttribute(Fig2::Font::DEFAULT_FONT_SANS,
        m_render_callback->getSizeForAxisNotation(), m_render_callback->getColorForAxisNotation());
    const QSizeF viewMM = viewSizeMM();
    const double px = m_pixel_size;
    const Unit &unit = Unit::getLengthUnit();
    Fig2::Label *caption
        = createFigLabel(QPointF(2.0 * px, 0.0), QStringLiteral("[%1]").arg(unit.getName()), style);
    caption->move(0.0, viewMM.height() - 5.0 * px - caption->getCoveredRect().bottom());
    raster->add(caption);

    const auto lineCount = [&](long long start, long long end) { return (end - start) / steps.step + 1; };
    if (lineCount(steps.start1, steps.end1) >= 1000 || lineCount(steps.start2, steps.end2) >= 1000)
        return;

    // One family of lines per axis: the lines at the values of the horizontal axis run from
    // top to bottom, those of the vertical axis from left to right.
    const auto drawFamily = [&](int axis, long long start, long long end, bool verticalLines) {
        double lastLabelEnd = -1e300;
        for (long long value = start; value <= end; value += steps.step) {
            BaVec3d<double> point = corner0;
            (axis == 0 ? point.x : axis == 1 ? point.y : point.z) = value / 1000.0;
            const QPointF at = project(toWindow, point);
            Fig2::LineStyle lineStyle { Fig2::LineStyle::SOLID, RASTER_COLOR, 0.25 * px };
            if (std::llabs(value / steps.step) % 2 == 1)
                lineStyle = { Fig2::LineStyle::DASHED, RASTER_COLOR, 0.0 };
            else if (std::fabs(value / 1000.0) < 1e-6)
                lineStyle.width = 1.5 * px;
            if (verticalLines && (at.x() < 0.0 || at.x() > viewMM.width()))
                continue;
            if (!verticalLines && (at.y() < 0.0 || at.y() > viewMM.height()))
                continue;
            raster->add(verticalLines
                    ? createFigLine(QPointF(at.x(), 0.0), QPointF(at.x(), viewMM.height()), lineStyle)
                    : createFigLine(QPointF(0.0, at.y()), QPointF(viewMM.width(), at.y()), lineStyle));

            // The value beside its line: along the upper edge for vertical lines, the left
            // edge for horizontal ones, left out where it would run into the previous one.
            Fig2::Label *label = createFigLabel(
                verticalLines ? QPointF(at.x() + 2.0 * px, 2.0 * px) : QPointF(2.0 * px, at.y() + 2.0 * px),
                unit.toString(value / 1000.0, decimals), style);
            const QRectF r = label->getCoveredRect();
            const double from = verticalLines ? r.left() : r.top();
            const double to = verticalLines ? r.right() : r.bottom();
            const bool fits = verticalLines ? r.right() <= viewMM.width() : r.bottom() <= viewMM.height();
            if (fits && (from > lastLabelEnd || to < lastLabelEnd - (to - from) * 2.0)) {
                raster->add(label);
                lastLabelEnd = verticalLines ? r.right() : r.bottom();
            } else {
                --m_labels_in_use; // the pool takes it back
            }
        }
    };
    drawFamily(horizontal, steps.start1, steps.end1, true);
    drawFamily(vertical, steps.start2, steps.end2, false);
}

void Overlay2d::updateViewDirection()
{
    if (m_view_direction_group) {
        m_text_figure->getRoot().remove(m_view_direction_group);
        m_view_direction_group = nullptr;
    }
    const GL::RenderObject *view = m_render_callback->getRenderObject();
    const GL::ViewCreator *creator = view ? view->getCreator() : nullptr;
    if (!m_render_callback->isWriteViewDirectionEnabled() || !creator)
        return;
    const int direction = creator->getMainViewDirection();
    if (direction < 0 || direction > GL::ViewCreator::VD_XM_YM_ZM)
        return;

    auto label = std::make_unique<Fig2::Label>();
    label->setBackground(Fig2::FillStyle::null);
    label->setBorder(Fig2::LineStyle::null);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setPosition(QPointF(viewPixels().width() * m_pixel_size * 0.5, 8.0 * m_pixel_size));
    label->setText(getRichText(QCoreApplication::translate("GCAD", DIRECTION_TEXTS[direction]),
        Fig2::LabelBase::getRTFStyleAttribute(Fig2::Font::DEFAULT_FONT_SANS, 18.0, RASTER_COLOR)));
    label->update();
    m_view_direction_group = label.get();
    Fig2::Group &root = m_text_figure->getRoot();
    root.add(std::move(label));
    if (root.canLayerUp(m_view_direction_group))
        root.layerTop(m_view_direction_group);
}

} // namespace Vaq::GCAD
