// SnapshotData: a printable document made from a view: a figure (the framed picture of the
// view and whatever was merged on top) and a filter that says which of its elements the
// document shows. It owns everything it shows, so it outlives the figures it was made from,
// and it is painted as a picture (PNG) or as a page whose texts stay text (PDF).
#pragma once

#include "gcad/host/fig2/vaq_fig2_figure.h"

#include <QIODevice>
#include <QImage>
#include <QPointF>
#include <QString>

#include <functional>
#include <memory>

namespace Vaq::Fig2 {

// Which elements of a figure count.
using ElementFilter = std::function<bool(const Element &)>;
// The filter that takes every element.
bool allElements(const Element &element);

class SnapshotData
{
public:
    SnapshotData(std::unique_ptr<Figure> figure, ElementFilter filter);

    const Figure &getFigure() const { return *m_figure; }
    const ElementFilter &getFilter() const { return m_filter; }

    // Puts copies of the visible top-level elements of other that filter takes on top, moved
    // by offset (figure millimetres). Elements that cannot be copied are left out.
    void merge(const Figure &other, const QPointF &offset, const ElementFilter &filter);

    // Pixels per millimetre at which the sharpest picture in the document shows each of its
    // own pixels; 0 without pictures.
    double getPictureResolution() const;
    // The document at that resolution (a document without pictures at the screen's), and
    // its size in pixels.
    QImage toImage() const;
    QSize getImageSize() const;
    // Paints the document over the painter's device, scaled to fill pixels.
    void paint(QPainter &painter, const QSize &pixels) const;

    // Writes the document as a PNG picture or a PDF page of its size, whose texts stay text.
    // The file appears complete or not at all; false with the reason otherwise.
    bool writePng(const QString &path, QString *error) const;
    bool writePdf(const QString &path, QString *error) const;
    // The PDF page into an open device (a pipe, say).
    bool writePdf(QIODevice *device, QString *error) const;

private:
    void paintFiltered(QPainter &painter) const;

    std::unique_ptr<Figure> m_figure;
    ElementFilter m_filter;
};

} // namespace Vaq::Fig2
