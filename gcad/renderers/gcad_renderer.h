// CADRenderer: the base of every element renderer. A renderer draws one element at a time as
// a sequence of render types (passes such as points, surface, edges; each renderer numbers
// its own), each in one or more steps, so that the render callback can let the host handle
// events between two steps of a large element. Subclasses supply the passes through the
// *Internal hooks; CADGLRenderer adds the GL state handling they all share.
#pragma once

#include "gcad/host/base/vaq_box.h"
#include "gcad/host/base/vaq_color.h"
#include "gcad/host/base/vaq_vec.h"
#include "gcad/host/cad/vaq_cad_element.h"
#include "gcad/host/cad/vaq_cad_strain.h"

#include <cstdint>
#include <vector>

namespace Vaq::GCAD {

class RenderCallback;

class CADRenderer
{
public:
    // The vertex id of the quad tessellation that asks for a new vertex.
    static constexpr uint16_t NEW_VERTEX = 0xffff;

    explicit CADRenderer(RenderCallback *callback);
    virtual ~CADRenderer();

    CADRenderer(const CADRenderer &) = delete;
    CADRenderer &operator=(const CADRenderer &) = delete;

    // Starts drawing entry's element. A non-empty renderTypes list (with its stepping) replaces
    // the renderer's own choice except in render stage 2, where the renderer always decides.
    // Returns the render types that will be drawn.
    std::vector<unsigned> setup(
        const CAD::ElementAndStageImp &entry, const std::vector<unsigned> &renderTypes, unsigned stepping);
    // Draws one step; true once the last render type is complete.
    virtual bool draw();
    // Ends the element, closing a render type left half-drawn (an abandoned stage).
    void finish();

    virtual void updateStatistics() { }
    // Resets and verifies the GL state every render type starts from and must leave behind.
    virtual void initDefaults() = 0;
    virtual bool checkDefaults() = 0;
    // Drop whatever is kept for an element (it is being destroyed) or for all of them.
    virtual void removeElement(CAD::Element *) { }
    virtual void removeAllElements() { }
    // Expected drawing time (seconds) of the current element for the given passes and
    // stepping, and a cheaper choice of them; the frame-rate adjustment uses both.
    virtual double estimateRenderTime(const std::vector<unsigned> &renderTypes, unsigned stepping) const;
    virtual bool reduceRenderTime(std::vector<unsigned> *renderTypes, unsigned *stepping) const;
    virtual void drawSpotlight(
        const BaVec3d<double> &position, const BaVec3d<double> &direction, double radius, const Color &color);
    virtual void drawBoundingBox(const Box3d &box);
    // How far, in pixels, what the renderer draws for element may reach beyond box, the
    // element's display box in element coordinates, after widening box by what it draws in
    // model units beyond it (pulled-out lines, discs, arcs); negative when it cannot say, and
    // the element may touch any pixel. The stencil reads back only what the elements touched.
    virtual double getPixelReach(CAD::Element &, Box3d *) const { return -1.0; }

    // The point-count hint of the render callback, given before every element.
    void setNumPoints(unsigned count) { m_num_points = count; }
    unsigned getStepping() const { return m_stepping; }
    CAD::Element *getCurrentElement() const { return m_current_element; }
    const std::vector<CAD::ElementCreator::Element_t> &getSupportedTypes() const { return m_supported_types; }
    RenderCallback *getRenderCallback() const { return m_render_callback; }

    // Chooses the element's front and back colours (selection, inactive, marked, kind),
    // loads them with applyMaterial(1) and returns the front colour.
    Color initMaterial(CAD::Element *element, bool useSelectionColors, bool twoSided, bool swapSides);

protected:
    // The passes for the current element; called after setupInternal.
    virtual std::vector<unsigned> getRenderTypes() const { return {}; }
    // Looks at the current element before the render types are chosen.
    virtual void setupInternal() { }
    // One render type: prepare it, draw one step of it (true when complete), undo the
    // preparation. The int arguments are always 3.
    virtual void preDrawInternal(unsigned renderType, int) = 0;
    virtual bool drawInternal() = 0;
    virtual void postDrawInternal(int) = 0;
    // Loads the front and back colours as GL material; opaque 1 forces alpha 255.
    virtual void applyMaterial(int opaque) = 0;

    // The slice of total items starting at start that one step draws: while the view moves,
    // every stepping-th item of all of them (at most about 300000); otherwise the next
    // 100000 at full density.
    void calculateStepping(unsigned total, unsigned start, unsigned *stepping, unsigned *end) const;
    // A size in pixels in model units; snapshotSquared also scales it by the square of the
    // snapshot scaling.
    double calculateDrawSize(bool snapshotSquared, double size) const;

    // Tessellation of colour-mapped quads: a fan of eight triangles round the quad's centre
    // through its corners and edge midpoints (9 vertices), or four such fans round the centres
    // of its quarters (25 vertices). ids says where each vertex is in the arrays: 0-3 the
    // corners, 4 the centre, 5-8 the midpoints of the edges 0-3, 0-1, 1-2, 2-3, 9-24 those of
    // the quarters. A vertex whose id is NEW_VERTEX is written at *counter, which advances, and
    // its id set to it; any other id names a vertex already there, shared with a neighbouring
    // quad, which is left alone. weights may be null.
    static void addQuadFan(const CAD::Strain::MappedPoint corners[4], BaVec3d<float> *positions,
        BaVec3d<float> *normals, float *texCoords, float *weights, unsigned *counter, uint16_t ids[9]);
    static void addTesselatedQuad(const CAD::Strain::MappedPoint corners[4], BaVec3d<float> *positions,
        BaVec3d<float> *normals, float *texCoords, float *weights, unsigned *counter, uint16_t ids[25]);
    // The fans' triangles over the vertex ids, three indices each, in fan order (the centre first):
    // 24 indices for the fan quad, 96 for the tessellated one; *counter advances by as many.
    static void addQuadFanIndices(uint16_t *indices, unsigned *counter, const uint16_t ids[9]);
    static void addTesselatedQuadIndices(uint16_t *indices, unsigned *counter, const uint16_t ids[25]);

    RenderCallback *m_render_callback;
    double m_snapshot_scaling = 1.0;
    std::vector<CAD::ElementCreator::Element_t> m_supported_types;
    std::vector<unsigned> m_render_types;
    bool m_render_types_given = false;
    unsigned m_stepping = 1;
    unsigned m_render_type_index = 0;
    bool m_started = false;
    bool m_ended = false;
    CAD::Element *m_current_element = nullptr;
    CAD::StageIdentifier m_stage = CAD::StageIdentifier::NO_STAGE;
    CAD::ElemProp *m_element_properties = nullptr;
    unsigned m_num_points = 0;
    bool m_two_sided = false;
    bool m_specular = false;
    Color m_front_color { 240, 210, 0 };
    Color m_back_color { 240, 210, 0 };

private:
    // VAQ_GL_BOUNDING_BOX exists: every element also gets its bounding box drawn.
    static bool _draw_bounding_boxes;
};

} // namespace Vaq::GCAD
