#include "gcad/mesh/gcad_framerate_adjust.h"

#include "gcad/benchmark/gcad_benchmark_result_container.h"
#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/gl/vaq_gl_api.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/host/gl/vaq_gl_widget_options.h"
#include "gcad/rcb/gcad_rcb.h"
#include "gcad/renderers/gcad_renderer.h"

#include <QWidget>

#include <cmath>
#include <utility>

namespace Vaq::GCAD {

FramerateAdjust *FramerateAdjust::_instance = nullptr;

namespace {

// Estimates this small mean there is nothing to draw.
constexpr double NO_TIME = 1e-50;

// Whether a linked view is on screen. Off-screen views have no widget: they are shown
// whenever they are drawn.
bool isShown(const GL::RenderCallback *callback)
{
    if (!callback->getRenderObject())
        return false;
    const QWidget *widget = callback->getViewWidget();
    return !widget || widget->isVisible();
}

// The rates the renderers estimate with: the date of the stored benchmark result of the
// current configuration (null when there is none and the defaults stand in) and their
// performance index.
std::pair<QDateTime, double> currentRates()
{
    BenchmarkResult rates;
    QDateTime date;
    BenchmarkResultContainer *store = BenchmarkResultContainer::getInstance();
    if (store && store->getResult(GL::WidgetOptions::getInstance()->getCurrentWidgetOptions(), &rates))
        date = rates.getDate();
    return { date, rates.calculatePerformanceIndex() };
}

} // namespace

double FramerateAdjust::Plan::weight() const
{
    return renderCallback == GL::RenderCallback::getMasterRenderCallback() ? 1.0 : LINKED_VIEW_WEIGHT;
}

FramerateAdjust::FramerateAdjust()
{
    if (_instance)
        VAQ_PROG_ERROR("Vaq::GCAD::FramerateAdjust::FramerateAdjust", "only one instance allowed");
    _instance = this;
}

FramerateAdjust::~FramerateAdjust()
{
    _instance = nullptr;
}

void FramerateAdjust::plan(RenderCallback *callback)
{
    if (!callback || callback != GL::RenderCallback::getMasterRenderCallback())
        return;
    m_plans.clear();
    checkRates();

    WorkList work;
    double frameTime = 0.0;
    collectPlans(callback, &work, &frameTime);
    for (const GL::RenderCallback::LinkedRenderCallback &link : callback->getLinkedRenderCallbacks()) {
        auto *linked = dynamic_cast<RenderCallback *>(link.callback);
        if (linked && link.linkMode != GL::RenderCallback::LM_NONE
            && link.linkMode != GL::RenderCallback::LM_SELECTION && isShown(linked))
            collectPlans(linked, &work, &frameTime);
    }

    std::vector<Plan> result;
    if (m_fixed) {
        for (auto &[cost, plan] : work) {
            plan.stepping = m_fixed_stepping;
            plan.reduced = true;
            result.push_back(std::move(plan));
        }
    } else {
        reduceUntilFluid(&work, frameTime, &result);
    }
    // The frames about to be drawn with these plans are timed against their estimates;
    // fixed plans estimate nothing.
    for (auto &[view, timing] : m_timings)
        timing.plannedSeconds = 0.0;
    for (Plan &plan : result) {
        if (!m_fixed)
            m_timings[plan.renderCallback].plannedSeconds += plan.time() / plan.scale;
        m_plans[Key(plan.renderCallback, plan.element.element)] = std::move(plan);
    }
}

void FramerateAdjust::checkRates()
{
    const std::pair<QDateTime, double> rates = currentRates();
    if (rates == m_rates)
        return;
    m_rates = rates;
    m_timings.clear();
}

void FramerateAdjust::collectPlans(RenderCallback *callback, WorkList *work, double *frameTime) const
{
    const auto timing = m_timings.find(callback);
    const double scale = timing == m_timings.end() ? 1.0 : timing->second.correction.getScale();
    for (const auto &[key, entry] : callback->getDrawOrder()) {
        CADRenderer *renderer = callback->findRenderer(entry.element->getType());
        if (!renderer)
            continue;
        Plan plan;
        plan.renderCallback = callback;
        plan.element = entry;
        plan.scale = scale;
        plan.renderTypes = renderer->setup(entry, {}, 1);
        const double time = m_fixed ? 1.0 : scale * renderer->estimateRenderTime(plan.renderTypes, 1);
        // Set up only to be asked: the view draws it later with a setup of its own.
        renderer->finish();
        if (std::abs(time) <= NO_TIME)
            continue;
        *frameTime += time;
        plan.cost = time * plan.weight();
        work->emplace(plan.cost, std::move(plan));
    }
}

void FramerateAdjust::reduceUntilFluid(WorkList *work, double frameTime, std::vector<Plan> *result) const
{
    const RenderCallback *lastCallback = nullptr;
    const CAD::Element *lastElement = nullptr;
    CADRenderer *renderer = nullptr;
    while (!work->empty() && 1.0 / frameTime < TARGET_FRAME_RATE) {
        auto top = work->begin();
        Plan plan = std::move(top->second);
        work->erase(top);
        // A renderer's state belongs to the element it was set up for last.
        if (plan.element.element != lastElement || plan.renderCallback != lastCallback) {
            if (renderer)
                renderer->finish();
            renderer = plan.renderCallback->findRenderer(plan.element.element->getType());
            renderer->setup(plan.element, {}, 1);
            lastElement = plan.element.element;
            lastCallback = plan.renderCallback;
        }
        if (!renderer->reduceRenderTime(&plan.renderTypes, &plan.stepping)) {
            result->push_back(std::move(plan));
            continue;
        }
        frameTime -= plan.time();
        plan.cost
            = plan.scale * renderer->estimateRenderTime(plan.renderTypes, plan.stepping) * plan.weight();
        frameTime += plan.time();
        plan.reduced = true;
        work->emplace(plan.cost, std::move(plan));
    }
    if (renderer)
        renderer->finish();
    for (auto &[cost, plan] : *work)
        result->push_back(std::move(plan));
    work->clear();
}

void FramerateAdjust::dropPlans(const RenderCallback *callback)
{
    std::erase_if(m_plans, [callback](const auto &entry) { return entry.first.first == callback; });
    if (const auto timing = m_timings.find(callback); timing != m_timings.end())
        timing->second.plannedSeconds = 0.0;
}

void FramerateAdjust::forgetView(const RenderCallback *callback)
{
    dropPlans(callback);
    m_timings.erase(callback);
}

void FramerateAdjust::frameDrawn(RenderCallback *callback)
{
    const auto timing = m_timings.find(callback);
    if (timing == m_timings.end() || timing->second.plannedSeconds <= 0.0)
        return;
    // One frame per plan: a repaint without a new plan is not the frame it was made for.
    const double estimated = std::exchange(timing->second.plannedSeconds, 0.0);
    GL::RenderObject *view = callback->getRenderObject();
    if (!view || !callback->getUpdateOptions().interactiveUpdate)
        return;
    // The frame is done when the GPU is. A view waits for it anyway before it shows the picture.
    ::glFinish();
    view->insertDetailedTimingStep(QStringLiteral("frame drawn"));
    timing->second.correction.addFrame(estimated, view->getDetailedTimingSteps().back().second / 1000.0);
}

bool FramerateAdjust::getPlan(const RenderCallback *callback, const CAD::Element *element,
    std::vector<unsigned> *renderTypes, unsigned *stepping) const
{
    const auto found = m_plans.find(Key(callback, element));
    if (found == m_plans.end())
        return false;
    *renderTypes = found->second.renderTypes;
    *stepping = found->second.stepping;
    return true;
}

} // namespace Vaq::GCAD
