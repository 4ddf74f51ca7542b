// SnapshotTarget: what a view draws into while a high-resolution snapshot is taken: a frame
// buffer of one horizontal band of the snapshot (the whole of it for a single band), the
// picture the bands are read into, and a stencil handler, so that the view's own frame
// buffer, element ids and texts come out of the snapshot as they went in.
#pragma once

#include "gcad/host/gl/vaq_gl_frame_buffer.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/host/gl/vaq_gl_stencil_handler.h"

#include <QImage>

#include <vector>

namespace Vaq::GL {

// The stencil handler of a snapshot's picture. Nothing picks from that picture, so it hands
// out no element ids and keeps no id image (eight bytes a pixel, twice the picture itself);
// the stencil buffer keeps the defaults' value, and there is nothing to highlight or to find.
class SnapshotStencilHandler : public StencilHandlerBase
{
public:
    SnapshotStencilHandler()
        : StencilHandlerBase(nullptr)
    {
    }

    void reset(int, int) override { }
    void finish() override { }
    void setElement(const CAD::Element *, const QRect &) override { }
    void disable() override { }
    const CAD::Element *getNearestRenderedElement(const BaVec2d<double> &, bool, int) override
    {
        return nullptr;
    }
    bool getRenderedElements(const BaVec2d<double> &, const BaVec2d<double> &, bool, unsigned[4],
        std::vector<const CAD::Element *> *elements) override
    {
        elements->clear();
        return false;
    }
    void highlightElement(const CAD::Element *, const Color &) override { }
};

struct SnapshotTarget
{
    // The snapshot's width and bandRows rows; the last band may use fewer of them.
    FrameBuffer frameBuffer;
    int bands = 1;
    int bandRows = 0;
    // The whole picture, made by the repaint and handed over once by getRenderedImage.
    QImage picture;
    SnapshotStencilHandler stencilHandler;
    // The view's own picture's texts, whether it has a picture, and the options it was drawn
    // with: theirs again when the snapshot ends.
    std::vector<RenderObject::TextItem> viewTexts;
    bool viewHasImage = false;
    UpdateOptions viewOptions;
};

} // namespace Vaq::GL
