#include "gcad/host/gl/vaq_gl_saved_frame.h"

#include "gcad/host/gl/vaq_gl_stencil_handler.h"

#include <QString>

#include <algorithm>
#include <iterator>

namespace Vaq::GL {

bool SavedFrame::ViewState::operator==(const ViewState &o) const
{
    // Matrices computed from the same camera are equal to the bit: exact comparison is right.
    return width == o.width && height == o.height && background == o.background && clipping == o.clipping
        && std::equal(std::begin(modelView), std::end(modelView), std::begin(o.modelView))
        && std::equal(std::begin(projection), std::end(projection), std::begin(o.projection))
        && (!clipping
            || std::equal(std::begin(clippingPlane), std::end(clippingPlane), std::begin(o.clippingPlane)));
}

SavedFrame::SavedFrame() = default;
SavedFrame::~SavedFrame() = default;

bool SavedFrame::save(const FrameBuffer &source, const StencilHandlerBase &stencil, const ViewState &state)
{
    m_valid = false;
    QString error;
    const bool sized = (m_buffer.width() == source.width() && m_buffer.height() == source.height())
        || m_buffer.create(source.width(), source.height(), &error);
    const bool copied = sized && source.copyTo(m_buffer);
    source.bind(); // creating and copying leave other frame buffers bound
    if (!copied)
        return false;
    // The ids of the stencil's current round are in the copied stencil; the handler's copy
    // knows which element each stands for.
    if (m_stencil)
        *m_stencil = stencil;
    else
        m_stencil = std::make_unique<StencilHandlerBase>(stencil);
    m_state = state;
    m_valid = true;
    return true;
}

bool SavedFrame::restore(const ViewState &state, const FrameBuffer &target, StencilHandlerBase *stencil) const
{
    if (!m_valid || !(state == m_state) || !m_buffer.copyTo(target))
        return false;
    *stencil = *m_stencil;
    return true;
}

} // namespace Vaq::GL
