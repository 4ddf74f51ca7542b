// SavedFrame: a view's finished 3-D picture, kept after a full repaint so that a repaint of
// the overlays alone can start from it instead of drawing the scene again. It holds colour,
// depth and stencil in a frame buffer of its own (a GPU-side copy, no read-back), the stencil
// handler's element ids as they stood, and the view state the picture was drawn for.
#pragma once

#include "gcad/host/base/vaq_color.h"
#include "gcad/host/gl/vaq_gl_frame_buffer.h"

#include <memory>

namespace Vaq::GL {

class StencilHandlerBase;

class SavedFrame
{
public:
    // What decides a picture's pixels besides the scene: a picture drawn for another state
    // is never restored.
    struct ViewState
    {
        int width = 0;
        int height = 0;
        double modelView[16] = {};
        double projection[16] = {};
        Color background;
        bool clipping = false;
        double clippingPlane[4] = {};

        bool operator==(const ViewState &o) const;
    };

    SavedFrame();
    ~SavedFrame();
    SavedFrame(const SavedFrame &) = delete;
    SavedFrame &operator=(const SavedFrame &) = delete;

    // Copies the picture of source and the state of stencil (both of the view drawn for
    // state) on the current context. Leaves source bound. False, and nothing kept, when the
    // driver cannot copy between frame buffers.
    bool save(const FrameBuffer &source, const StencilHandlerBase &stencil, const ViewState &state);
    // Copies the kept picture into target and the kept ids into stencil when it was drawn
    // for state; leaves target bound. False (nothing changed) otherwise.
    bool restore(const ViewState &state, const FrameBuffer &target, StencilHandlerBase *stencil) const;
    // The scene changed: the kept picture shows what is no longer there.
    void invalidate() { m_valid = false; }
    bool isValid() const { return m_valid; }

private:
    FrameBuffer m_buffer;
    std::unique_ptr<StencilHandlerBase> m_stencil;
    ViewState m_state;
    bool m_valid = false;
};

} // namespace Vaq::GL
