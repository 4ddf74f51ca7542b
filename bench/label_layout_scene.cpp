#include "bench/label_layout_scene.h"

#include "bench/split_mix_random.h"
#include "gcad/host/fig2/vaq_fig2_text.h"

#include <QString>

#include <cmath>

namespace Vaq::Bench {

namespace {

constexpr double VIEW_WIDTH_PX = 1920.0, VIEW_HEIGHT_PX = 1080.0;
// Points keep this far from the view's edges, so that a turn of the view by a few degrees
// about its centre keeps them in it (2 degrees move a corner by 38 pixels).
constexpr double POINT_INSET_PX = 40.0;
// Points per cluster, and the spread of a cluster (standard deviation).
constexpr int CLUSTER_POINTS = 40;
constexpr double CLUSTER_SIGMA_PX = 70.0;
// The font size is refined this many times towards the asked coverage; the boxes' margins make
// their area grow a little slower than the square of the font size.
constexpr int FONT_FITS = 4;

QString deviation(SplitMixRandom &random)
{
    return QString::number(random.uniform(-0.2, 0.2), 'f', 3);
}

// An inspection label: a feature name and one to three lines of values.
QString labelText(SplitMixRandom &random)
{
    const int n = 1 + random.index(400);
    const QString size = QString::number(random.uniform(2.0, 40.0), 'f', 3);
    switch (random.index(9)) {
    case 0:
        return QStringLiteral("Ø %1").arg(size);
    case 1:
        return QStringLiteral("P%1 %2").arg(n).arg(deviation(random));
    case 2:
        return QStringLiteral("Flatness %1").arg(QString::number(random.uniform(0.0, 0.05), 'f', 3));
    case 3:
        return QStringLiteral("Bore %1\nDev %2").arg(n).arg(deviation(random));
    case 4:
        return QStringLiteral("Hole %1\nØ %2").arg(n).arg(size);
    case 5:
        return QStringLiteral("Point %1\nd %2").arg(n).arg(deviation(random));
    case 6:
        return QStringLiteral("Pin %1\nØ %2\nPos %3").arg(n).arg(size).arg(deviation(random));
    case 7:
        return QStringLiteral("P%1\ndx %2\ndy %3").arg(n).arg(deviation(random)).arg(deviation(random));
    default:
        return QStringLiteral("Slot %1\nW %2\nL %3").arg(n).arg(size).arg(deviation(random));
    }
}

bool hidden(const QPointF &p, const std::vector<QRectF> &fixed)
{
    for (const QRectF &r : fixed) {
        if (r.contains(p))
            return true;
    }
    return false;
}

// Uniform over the inset view, or around cluster centres spread uniformly; never under a fixed
// box, where no label could point.
std::vector<QPointF> makePoints(
    const SceneSpec &spec, const QRectF &view, const std::vector<QRectF> &fixed, SplitMixRandom &random)
{
    const double inset = POINT_INSET_PX * PIXEL_MM;
    const QRectF area = view.adjusted(inset, inset, -inset, -inset);
    const auto uniformPoint = [&] {
        return QPointF(random.uniform(area.left(), area.right()), random.uniform(area.top(), area.bottom()));
    };
    std::vector<QPointF> centres;
    if (spec.clustered) {
        for (int k = 0; k < std::max(2, spec.labels / CLUSTER_POINTS); ++k) {
            QPointF c;
            do
                c = uniformPoint();
            while (hidden(c, fixed));
            centres.push_back(c);
        }
    }
    const double sigma = CLUSTER_SIGMA_PX * PIXEL_MM;
    std::vector<QPointF> points;
    while (int(points.size()) < spec.labels) {
        const QPointF &c = spec.clustered ? centres[points.size() % centres.size()] : QPointF();
        const QPointF p = spec.clustered
            ? QPointF(c.x() + sigma * random.normal(), c.y() + sigma * random.normal())
            : uniformPoint();
        if (area.contains(p) && !hidden(p, fixed))
            points.push_back(p);
    }
    return points;
}

} // namespace

double LabelScene::coverage() const
{
    double area = 0.0;
    for (const auto &label : labels)
        area += label->getBoxRect().width() * label->getBoxRect().height();
    return area / (view.width() * view.height());
}

void LabelScene::centreLabelsOnPoints()
{
    for (const auto &label : labels)
        moveBoxCentre(*label, label->getConnectorPoint());
}

LabelScene makeScene(const SceneSpec &spec)
{
    SplitMixRandom random(spec.seed);
    LabelScene scene;
    scene.view = QRectF(0.0, 0.0, VIEW_WIDTH_PX * PIXEL_MM, VIEW_HEIGHT_PX * PIXEL_MM);
    const double corner = 120.0 * PIXEL_MM;
    scene.fixed.push_back(QRectF(0.0, scene.view.height() - corner, corner, corner));
    scene.fixed.push_back(
        QRectF((VIEW_WIDTH_PX - 110.0) * PIXEL_MM, 330.0 * PIXEL_MM, 100.0 * PIXEL_MM, 420.0 * PIXEL_MM));

    for (const QPointF &p : makePoints(spec, scene.view, scene.fixed, random)) {
        auto label = std::make_unique<Fig2::Label>();
        label->setText(labelText(random));
        label->setConnectorPoint(p);
        scene.labels.push_back(std::move(label));
    }
    scene.pointSize = 10.0;
    for (int fit = 0; fit < FONT_FITS && !scene.labels.empty(); ++fit) {
        scene.pointSize *= std::sqrt(spec.coverage / scene.coverage());
        for (const auto &label : scene.labels)
            label->setFont(Fig2::Font::sans(scene.pointSize));
    }
    scene.centreLabelsOnPoints();
    return scene;
}

void moveBoxCentre(Fig2::LabelBase &label, const QPointF &centre)
{
    const QPointF shift = centre - label.getBoxRect().center();
    label.move(shift.x(), shift.y());
    label.update();
}

} // namespace Vaq::Bench
