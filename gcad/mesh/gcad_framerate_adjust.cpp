#include "gcad/mesh/gcad_framerate_adjust.h"

#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/rcb/gcad_rcb.h"
#include "gcad/renderers/gcad_renderer.h"

#include <QWidget>

#include <cmath>

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
    for (Plan &plan : result)
        m_plans[Key(plan.renderCallback, plan.element.element)] = std::move(plan);
}

void FramerateAdjust::collectPlans(RenderCallback *callback, WorkList *work, double *frameTime) const
{
    for (const auto &[key, entry] : callback->getDrawOrder()) {
        CADRenderer *renderer = callback->findRenderer(entry.element->getType());
        if (!renderer)
            continue;
        Plan plan;
        plan.renderCallback = callback;
        plan.element = entry;
        plan.renderTypes = renderer->setup(entry, {}, 1);
        const double time = m_fixed ? 1.0 : renderer->estimateRenderTime(plan.renderTypes, 1);
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
        plan.cost = renderer->estimateRenderTime(plan.renderTypes, plan.stepping) * plan.weight();
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
