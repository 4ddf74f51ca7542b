// Overlay3d and GLOverlay3d: what a view draws into its scene besides the model: the
// highlight of the element under the mouse, the coordinate system (axes at the origin or an
// axis cross in the lower left corner) and the outline of another view's visible box. Each
// pass of the drawing cycle asks for a short list of numbered items and draws them in order.
#pragma once

#include "gcad/host/base/vaq_color.h"

#include <vector>

namespace Vaq::CAD {
class Element;
}

namespace Vaq::GCAD {

class CADGLRenderer;
class RenderCallback;

class Overlay3d
{
public:
    explicit Overlay3d(RenderCallback *renderCallback);
    virtual ~Overlay3d();
    Overlay3d(const Overlay3d &) = delete;
    Overlay3d &operator=(const Overlay3d &) = delete;

    // Draws the items of a pass: true in render stage 2 (the scene part), false in stage 3.
    // Returns true.
    bool draw(bool pass);
    virtual std::vector<unsigned> getItems(bool pass) = 0;
    virtual void drawItem(unsigned item) = 0;

    // The element whose highlight this overlay set last, or null.
    const CAD::Element *getHighlightedElement() const { return highlightedElement; }

    // The colour the element under the mouse is shown in when it is not marked.
    static constexpr Color HIGHLIGHT_GREY { 180, 180, 180 };
    // A marked element under the mouse is shown brighter by this factor.
    static constexpr double MARKED_BRIGHTENING = 1.2;

protected:
    RenderCallback *renderCallback;
    CAD::Element *elementUnderMouse = nullptr;
    CAD::Element *highlightedElement = nullptr;
    Color highlightColour { 240, 210, 0 };
    bool highlightWasMarked = false;
};

class GLOverlay3d : public Overlay3d
{
public:
    enum Item : unsigned {
        ITEM_HIGHLIGHT = 0,
        ITEM_AXES_AT_ORIGIN = 1,
        ITEM_CORNER_CROSS = 2,
        ITEM_VIEW_VOLUME = 3,
    };

    explicit GLOverlay3d(RenderCallback *renderCallback);

    std::vector<unsigned> getItems(bool pass) override;
    void drawItem(unsigned item) override;

    // The element under the mouse lost its highlight before it was destroyed: forget it.
    void forgetElement(const CAD::Element *element);

private:
    void drawHighlighting();
    void drawViewVolume();
    // Variant 0: the axes at the origin; variant 1: the cross in the corner.
    void drawCoordinateSystem(int variant);
    // The library's shared drawing routines, borrowed from the mesh renderer.
    CADGLRenderer *getDrawingRoutines() const;
};

} // namespace Vaq::GCAD
