// LabelScene: one random scene of the label layout benchmark. A view of 1920 x 1080 pixels whose
// reserved lower-left corner and a legend at the right edge are fixed boxes, and figure labels
// of inspection texts (one to three lines) whose points spread uniformly or in clusters. One
// font size for all labels, chosen so that their boxes together cover the asked share of the
// view. The same spec gives the same scene. Lengths are figure millimetres, as the labels use.
#pragma once

#include "gcad/host/fig2/vaq_fig2_label.h"

#include <QPointF>
#include <QRectF>

#include <cstdint>
#include <memory>
#include <vector>

namespace Vaq::Bench {

// A pixel of an off-screen view (96 dpi) in millimetres.
constexpr double PIXEL_MM = 25.4 / 96.0;

struct SceneSpec
{
    int labels = 0;
    // The share of the view the label boxes cover together, (0, 1).
    double coverage = 0.0;
    bool clustered = false;
    uint64_t seed = 0;
};

struct LabelScene
{
    QRectF view;
    std::vector<QRectF> fixed;
    // Each with its connector point set.
    std::vector<std::unique_ptr<Fig2::Label>> labels;
    double pointSize = 0.0;

    // The share of the view the label boxes cover together (overlaps counted twice).
    double coverage() const;
    // Every label's box centred on its point: where a layout of a fresh scene starts.
    void centreLabelsOnPoints();
};

LabelScene makeScene(const SceneSpec &spec);

// Moves the label so that its box's centre lies at centre.
void moveBoxCentre(Fig2::LabelBase &label, const QPointF &centre);

} // namespace Vaq::Bench
