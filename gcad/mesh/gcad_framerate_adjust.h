// FramerateAdjust: keeps moving views fluid. Before an interactive repaint of the master view
// it plans, for every element of that view and of the views linked to it, which render types
// and which stepping to draw with: it estimates each element's render time with its renderer
// and lowers detail at the currently most expensive element, one step at a time, until the
// frame is estimated at 8 frames per second or nothing can be reduced any more. Each view's
// estimates are corrected by how long its last interactive frames really took.
#pragma once

#include "gcad/host/cad/vaq_cad_element.h"
#include "gcad/mesh/gcad_frame_time_correction.h"

#include <QDateTime>

#include <map>
#include <utility>
#include <vector>

namespace Vaq::GCAD {

class RenderCallback;

class FramerateAdjust
{
public:
    // The frame rate the plan aims at.
    static constexpr double TARGET_FRAME_RATE = 8.0;
    // Elements of views other than the master count this much more, so that reductions fall
    // on them first.
    static constexpr double LINKED_VIEW_WEIGHT = 3.0;

    // Throws ProgError "only one instance allowed" while another exists.
    FramerateAdjust();
    ~FramerateAdjust();

    FramerateAdjust(const FramerateAdjust &) = delete;
    FramerateAdjust &operator=(const FramerateAdjust &) = delete;

    // The instance, null when none exists.
    static FramerateAdjust *getInstance() { return _instance; }

    // Fixed mode (the benchmarks): no estimates; every element keeps its own render types
    // and gets the fixed stepping.
    void setFixed(bool fixed) { m_fixed = fixed; }
    void setFixedStepping(unsigned stepping) { m_fixed_stepping = stepping; }

    // Replaces all plans by new ones for the master view and its linked views; does nothing
    // for any other view. Uses the draw order of each view's last collection.
    void plan(RenderCallback *callback);
    // Forgets the plans of one view (it repaints without adjustment).
    void dropPlans(const RenderCallback *callback);
    // Forgets everything about a view that goes away, its measured frames included, so that
    // a later view at the same address starts afresh.
    void forgetView(const RenderCallback *callback);
    // The repaint of callback's view is complete. An interactive frame drawn with this view's
    // plans is timed, the GPU's work included, and the view's later estimates are corrected
    // by how far the frame strayed from them. The corrections are forgotten when the stored
    // benchmark result the estimates come from changes.
    void frameDrawn(RenderCallback *callback);
    // The planned render types and stepping of element in the view; false without a plan.
    bool getPlan(const RenderCallback *callback, const CAD::Element *element,
        std::vector<unsigned> *renderTypes, unsigned *stepping) const;

private:
    struct Plan
    {
        RenderCallback *renderCallback = nullptr;
        CAD::ElementAndStageImp element;
        std::vector<unsigned> renderTypes;
        unsigned stepping = 1;
        double cost = 0.0; // estimated seconds, corrected and weighted for linked views
        double scale = 1.0; // the view's correction of its renderers' estimates
        bool reduced = false;

        double weight() const;
        double time() const { return cost / weight(); }
    };
    // What a view has learnt about its frames, and the estimate (before correction) of the
    // frame it draws next with the current plans; 0 when there is nothing to time.
    struct ViewTiming
    {
        FrameTimeCorrection correction;
        double plannedSeconds = 0.0;
    };
    using Key = std::pair<const RenderCallback *, const CAD::Element *>;
    // Highest cost first; equal costs in insertion order.
    using WorkList = std::multimap<double, Plan, std::greater<double>>;

    void collectPlans(RenderCallback *callback, WorkList *work, double *frameTime) const;
    // frameTime: the estimated seconds of all plans in work.
    void reduceUntilFluid(WorkList *work, double frameTime, std::vector<Plan> *result) const;
    // Forgets all corrections when the benchmark result the estimates come from changed.
    void checkRates();

    std::map<Key, Plan> m_plans;
    std::map<const RenderCallback *, ViewTiming> m_timings;
    // The date of the stored benchmark result the corrections were learnt with (null: the
    // default rates) and the performance index of the rates.
    std::pair<QDateTime, double> m_rates;
    bool m_fixed = false;
    unsigned m_fixed_stepping = 1;

    static FramerateAdjust *_instance;
};

} // namespace Vaq::GCAD
