#include "gcad/host/fig2/vaq_fig2_snapshot_data.h"

#include "gcad/host/fig2/vaq_fig2_calculator.h"
#include "gcad/host/fig2/vaq_fig2_snapshot_frame.h"

#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

namespace Vaq::Fig2 {

namespace {

// A PDF page is laid out at this many dots per inch; the picture keeps its own pixels.
constexpr int PDF_DPI = 1200;

bool commit(QSaveFile &file, QString *error)
{
    if (file.commit())
        return true;
    *error = file.errorString();
    return false;
}

} // namespace

bool allElements(const Element &)
{
    return true;
}

SnapshotData::SnapshotData(std::unique_ptr<Figure> figure, ElementFilter filter)
    : m_figure(std::move(figure))
    , m_filter(std::move(filter))
{
    if (!m_figure)
        m_figure = std::make_unique<Figure>();
    if (!m_filter)
        m_filter = allElements;
}

void SnapshotData::merge(const Figure &other, const QPointF &offset, const ElementFilter &filter)
{
    for (const Element *child : other.getRoot().getChildren()) {
        if (child->isTemporarilyInvisible() || (filter && !filter(*child)))
            continue;
        if (std::unique_ptr<Element> copy = child->clone()) {
            copy->move(offset.x(), offset.y());
            m_figure->getRoot().add(std::move(copy));
        }
    }
}

double SnapshotData::getPictureResolution() const
{
    double resolution = 0.0;
    for (const Element *child : m_figure->getRoot().getChildren()) {
        if (child->getType() != SnapshotFrame::T_SNAPSHOT_FRAME)
            continue;
        const auto *frame = static_cast<const SnapshotFrame *>(child);
        if (!frame->getImage().isNull() && frame->getSize().width() > 0.0)
            resolution = std::max(resolution, frame->getImage().width() / frame->getSize().width());
    }
    return resolution;
}

void SnapshotData::paintFiltered(QPainter &painter) const
{
    const FillStyle &background = m_figure->getBackground();
    if (background.isVisible())
        painter.fillRect(QRectF(QPointF(0.0, 0.0), m_figure->getSize()), background.toBrush());
    for (const Element *child : m_figure->getRoot().getChildren()) {
        if (!child->isTemporarilyInvisible() && m_filter(*child))
            child->paint(painter);
    }
}

void SnapshotData::paint(QPainter &painter, const QSize &pixels) const
{
    painter.save();
    const QSizeF size = m_figure->getSize();
    painter.setRenderHints(
        QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    painter.scale(pixels.width() / size.width(), pixels.height() / size.height());
    paintFiltered(painter);
    painter.restore();
}

QSize SnapshotData::getImageSize() const
{
    double resolution = getPictureResolution();
    if (resolution <= 0.0)
        resolution = 1.0 / Calculator::getInstance()->getScreenPixelSizeMM();
    const QSizeF size = m_figure->getSize();
    return QSize(std::max(1, int(std::lround(size.width() * resolution))),
        std::max(1, int(std::lround(size.height() * resolution))));
}

QImage SnapshotData::toImage() const
{
    const QSize pixels = getImageSize();
    QImage image(pixels, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.fill(Qt::white);
    QPainter painter(&image);
    paint(painter, pixels);
    return image;
}

bool SnapshotData::writePng(const QString &path, QString *error) const
{
    const QImage image = toImage();
    if (image.isNull()) {
        *error = QStringLiteral("not enough memory for the picture");
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    if (!image.save(&file, "PNG")) {
        file.cancelWriting();
        *error = QStringLiteral("the picture could not be encoded");
        return false;
    }
    return commit(file, error);
}

bool SnapshotData::writePdf(const QString &path, QString *error) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    if (!writePdf(&file, error)) {
        file.cancelWriting();
        return false;
    }
    return commit(file, error);
}

bool SnapshotData::writePdf(QIODevice *device, QString *error) const
{
    QPdfWriter pdf(device);
    pdf.setResolution(PDF_DPI);
    pdf.setPageSize(QPageSize(m_figure->getSize(), QPageSize::Millimeter));
    pdf.setPageMargins(QMarginsF(0.0, 0.0, 0.0, 0.0));
    QPainter painter;
    if (!painter.begin(&pdf)) {
        *error = QStringLiteral("the PDF page could not be started");
        return false;
    }
    const double dotsPerMM = PDF_DPI / 25.4;
    const QSizeF size = m_figure->getSize();
    paint(painter,
        QSize(int(std::lround(size.width() * dotsPerMM)), int(std::lround(size.height() * dotsPerMM))));
    if (!painter.end()) {
        *error = QStringLiteral("the PDF page could not be finished");
        return false;
    }
    return true;
}

} // namespace Vaq::Fig2
