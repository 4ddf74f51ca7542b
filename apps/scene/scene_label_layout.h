// LabelLayout: where a view's labels went, in pixels of the picture (origin upper left), for
// a report generator or a test: each label's box and the point its connector meets, and the
// boxes the layout kept the labels clear of.
#pragma once

#include <QJsonDocument>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QString>

#include <vector>

namespace Vaq::GCAD {
class Overlay2d;
}

namespace Gcad::Scene {

struct LabelLayout
{
    struct Label
    {
        QString element;
        QRectF box;
        QPointF point;
    };

    QSize view;
    std::vector<Label> labels;
    std::vector<QRectF> fixed;
};

// The layout of the overlay's last repaint of a view of the given size.
LabelLayout readLabelLayout(const Vaq::GCAD::Overlay2d &overlay, const QSize &view);

// {"view": [W, H], "labels": [{"element": NAME, "box": [X, Y, W, H], "point": [X, Y]}, ...],
//  "fixed": [[X, Y, W, H], ...]}
QJsonDocument toJson(const LabelLayout &layout);

} // namespace Gcad::Scene
