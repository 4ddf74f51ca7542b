// The baseline of gcad bench: the benchmark's meshes drawn the plainest way the driver
// offers, each from one buffer object (float positions, 16-bit normals, colours where the
// measurement has them, 32-bit indices) with one glDrawElements, points with one
// glDrawArrays at the planned stepping. It draws the picture the library draws: flat
// surfaces are lit with their triangle normals from corners that carry them (faster here
// than unindexed triangles), not with the vertex normals. The benchmark run measures it as
// its companion, frame by frame in turn with the library's view, at the same turns, in a
// view of the same size on the same context, so the ratio says what the library's node
// drawing costs or saves.
#pragma once

#include "gcad/benchmark/gcad_benchmark_rcb.h"
#include "gcad/renderers/gcad_gl_renderer.h"

#include <map>
#include <utility>

namespace Gcad {

// How flat surfaces are lit. FACET: every triangle with its own normal, the library's
// picture. VERTEX: GL_FLAT over the smooth vertex normals, which lights fewer vertices but
// shows wrong facet normals; only to show what the exact picture costs.
enum class FlatNormals { FACET, VERTEX };

// Draws the render types of the mesh renderer's frame-rate plan from plain buffers.
class PlainMeshRenderer : public Vaq::GCAD::CADGLRenderer
{
public:
    explicit PlainMeshRenderer(
        Vaq::GCAD::RenderCallback *callback, FlatNormals flatNormals = FlatNormals::FACET);
    // Deletes the buffers; the view's context must be current.
    void releaseBuffers();

protected:
    void preDrawInternal(unsigned renderType, int) override;
    bool drawInternal() override;
    void postDrawInternal(int) override;

private:
    struct Buffers
    {
        unsigned vertexBuffer = 0;
        unsigned indexBuffer = 0;
        int vertexCount = 0;
        int indexCount = 0;
        bool colors = false;
    };

    // The buffers of the current mesh, with a vertex normal per vertex or, flat, the
    // triangle normals on the corners flat shading takes them from; uploaded on first use.
    const Buffers &buffers(bool flat);
    void bind(const Buffers &buffers, bool normals, bool colors, unsigned stepping) const;
    void drawSurface(const Buffers &buffers);
    void drawEdges(const Buffers &buffers);
    void drawPoints(const Buffers &buffers);

    std::map<std::pair<const Vaq::CAD::Element *, bool>, Buffers> m_buffers;
    unsigned m_render_type = 0;
    FlatNormals m_flat_normals;
};

// The benchmark's callback, whose scene is drawn by a PlainMeshRenderer instead of the
// library's renderers. With vertex normals it is measured only in the flat surface tests,
// the only ones it draws differently.
class BaselineRCB : public Vaq::GCAD::BenchmarkRCB
{
public:
    explicit BaselineRCB(FlatNormals flatNormals = FlatNormals::FACET);

    bool measures(const Vaq::CAD::ElemProp &properties) const override;
    bool draw() override;
    void widgetAboutToBeDestroyed() override;

private:
    PlainMeshRenderer m_renderer;
    FlatNormals m_flat_normals;
};

} // namespace Gcad
