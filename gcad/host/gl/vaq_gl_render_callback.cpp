#include "gcad/host/gl/vaq_gl_render_callback.h"

#include <algorithm>

namespace Vaq::GL {

RenderCallback *RenderCallback::_master_render_callback = nullptr;

RenderCallback::RenderCallback(QObject *parent)
    : QObject(parent)
{
}

RenderCallback::~RenderCallback()
{
    if (_master_render_callback == this)
        _master_render_callback = nullptr;
    const std::vector<RenderCallback *> owners = m_linked_by;
    for (RenderCallback *owner : owners)
        owner->unlinkRenderCallback(this);
    for (const LinkedRenderCallback &link : m_linked) {
        auto &back = link.callback->m_linked_by;
        back.erase(std::remove(back.begin(), back.end(), this), back.end());
    }
    if (m_render_object)
        m_render_object->m_callback = nullptr;
}

RenderObject::RenderStage_t RenderCallback::getRenderStage() const
{
    return m_render_object ? m_render_object->getCurrentRenderStage() : RenderObject::RS_NONE;
}

const UpdateOptions &RenderCallback::getUpdateOptions() const
{
    static const UpdateOptions none;
    return m_render_object ? m_render_object->getUpdateOptions() : none;
}

Transformation RenderCallback::get3d2dTransformation() const
{
    return m_render_object ? m_render_object->get3d2dTransformation() : Transformation();
}

void RenderCallback::linkRenderCallback(RenderCallback *other, LinkMode_t mode)
{
    if (!other || other == this)
        return;
    for (LinkedRenderCallback &link : m_linked) {
        if (link.callback == other) {
            link.linkMode = mode;
            return;
        }
    }
    m_linked.push_back({ other, mode });
    other->m_linked_by.push_back(this);
}

void RenderCallback::unlinkRenderCallback(RenderCallback *other)
{
    if (!other)
        return;
    auto &back = other->m_linked_by;
    back.erase(std::remove(back.begin(), back.end(), this), back.end());
    m_linked.erase(std::remove_if(m_linked.begin(), m_linked.end(),
                       [other](const LinkedRenderCallback &link) { return link.callback == other; }),
        m_linked.end());
}

RenderCallback *RenderCallback::getMasterRenderCallback()
{
    if (_master_render_callback)
        return _master_render_callback;
    RenderObject *main = RenderObject::getMainRenderObject();
    return main ? main->getRenderCallback() : nullptr;
}

void RenderCallback::setMasterRenderCallback(RenderCallback *callback)
{
    _master_render_callback = callback;
}

bool RenderCallback::extendViewVolume(BaVec3d<double> *, BaVec3d<double> *)
{
    return false;
}

bool RenderCallback::getBoundingBox(BaVec3d<double> *, BaVec3d<double> *)
{
    return false;
}

void RenderCallback::focusChanged(bool) { }

} // namespace Vaq::GL
