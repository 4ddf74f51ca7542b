// NullRenderer: a renderer that draws nothing, for the baselines that measure what the drawing
// cycle itself costs per element. It counts the steps it is asked to draw.
#pragma once

#include "gcad/renderers/gcad_gl_renderer.h"

#include <utility>
#include <vector>

namespace Vaq::Bench {

class NullRenderer : public GCAD::CADGLRenderer
{
public:
    NullRenderer(GCAD::RenderCallback *callback, std::vector<CAD::ElementCreator::Element_t> types)
        : GCAD::CADGLRenderer(callback)
    {
        m_supported_types = std::move(types);
    }
    unsigned drawn = 0;
    // Drawing nothing, it touches no pixel beyond the elements' boxes.
    double getPixelReach(CAD::Element &, Box3d *) const override { return 0.0; }

protected:
    void preDrawInternal(unsigned, int) override { }
    bool drawInternal() override
    {
        ++drawn;
        return true;
    }
    void postDrawInternal(int) override { }
};

} // namespace Vaq::Bench
