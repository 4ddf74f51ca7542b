// Shared pieces of the GL tests of GPU mesh nodes: NodeRenderer, the smallest mesh renderer
// (a node per leaf, prepared and uploaded at each render type, all drawn in one step), and
// MeshDrawTest, a small view that draws meshes with it.
#pragma once

#include "gcad/host/gl/vaq_gl_extensions.h"
#include "gcad/host/gl/vaq_gl_widget_options.h"
#include "gcad/mesh/gcad_gl_node_container.h"
#include "gcad/mesh/gcad_mesh_render_types.h"
#include "tests/mesh/mesh_node_fixture.h"
#include "tests/support/gcad_driver_guard.h"
#include "tests/support/gcad_gl_test.h"

#include <QImage>

#include <cstdlib>
#include <memory>
#include <ostream>
#include <vector>

namespace Vaq::Test {

class NodeRenderer : public GCAD::CADGLRenderer
{
public:
    explicit NodeRenderer(GCAD::RenderCallback *callback)
        : GCAD::CADGLRenderer(callback)
    {
        using CAD::ElementCreator;
        m_supported_types = { ElementCreator::MESH, ElementCreator::MESH_INSPECTION,
            ElementCreator::MESH_COLOR_MAPPED, ElementCreator::MESH_SCAN, ElementCreator::MESH_CLOSED };
    }

    std::vector<unsigned> renderTypes { GCAD::RT_TRIANGLES | GCAD::RT_SMOOTH };
    unsigned pointStepping = 1;

    // The node of the first leaf of mesh, null when none was made.
    static GCAD::GLNode *nodeOf(const CAD::PolyBase &mesh)
    {
        return static_cast<GCAD::GLNode *>(leavesOf(mesh).at(0)->getNodeRenderData());
    }

protected:
    std::vector<unsigned> getRenderTypes() const override { return renderTypes; }
    void preDrawInternal(unsigned renderType, int) override
    {
        m_type = renderType;
        m_stepping = pointStepping;
        auto &mesh = static_cast<CAD::PolyBase &>(*m_current_element);
        const int renderMode = GL::WidgetOptions::getInstance()->getCurrentWidgetOptions().renderMode;
        for (CAD::BspNode *leaf : mesh.getPolyBaseRenderData(m_stage)->getAllLeaves()) {
            // New nodes belong to the node container.
            auto *node = static_cast<GCAD::GLNode *>(leaf->getNodeRenderData());
            if (!node)
                node = new GCAD::GLNode(m_stage, leaf);
            if (node->updateOrNeedsRebuild(m_stage, renderType)) {
                node->clear();
                node->prepare(renderType, renderMode);
            }
            if (m_render_callback->getRenderObject()->allowGPURessources())
                GCAD::GLNodeContainer::getInstance()->ensureOnGPU(node);
        }
    }
    bool drawInternal() override
    {
        auto &mesh = static_cast<CAD::PolyBase &>(*m_current_element);
        for (CAD::BspNode *leaf : mesh.getPolyBaseRenderData(m_stage)->getAllLeaves())
            static_cast<GCAD::GLNode *>(leaf->getNodeRenderData())->draw(this, m_type, false);
        return true;
    }
    void postDrawInternal(int) override { }

private:
    unsigned m_type = 0;
};

// A 64 x 64 view drawing with a NodeRenderer, and a node container for the test.
class MeshDrawTest : public GLTest
{
protected:
    static constexpr int SIZE = 64;

    void SetUp() override
    {
        GLTest::SetUp();
        view->resize(SIZE, SIZE);
        // Meshes are drawn by the test's node renderer instead of the library's.
        scene.getRendererContainer().freeAll();
        renderer = new NodeRenderer(&scene);
        scene.getRendererContainer().registerRenderer(renderer);
    }
    void TearDown() override
    {
        nodes.deleteAllNodes();
        GLTest::TearDown();
    }

    // mesh with its tree, shown by the scene (which does not own it).
    CAD::PolyBase *show(std::unique_ptr<CAD::PolyBase> mesh)
    {
        mesh->updateVisualization(STAGE, false, false);
        meshes.push_back(std::move(mesh));
        scene.show(meshes.back().get());
        return meshes.back().get();
    }
    QImage paint(const GL::UpdateOptions &options = GL::UpdateOptions())
    {
        view->repaintWidget(options);
        return view->getRenderedImage();
    }
    // The colour of image where the model point appears.
    Color colorAt(const QImage &image, const BaVec3d<double> &point) const
    {
        const BaVec2d<double> p = pixelOf(point);
        const QRgb rgb = image.pixel(int(p.x), SIZE - 1 - int(p.y));
        return Color(uint8_t(qRed(rgb)), uint8_t(qGreen(rgb)), uint8_t(qBlue(rgb)));
    }

    GCAD::GLNodeContainer nodes;
    std::vector<std::unique_ptr<CAD::PolyBase>> meshes;
    NodeRenderer *renderer = nullptr;
};

// Whether two colours differ by at most tolerance in every channel.
inline bool closeTo(const Color &a, const Color &b, int tolerance = 2)
{
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance
        && std::abs(a.b - b.b) <= tolerance;
}

} // namespace Vaq::Test

namespace Vaq {
// How test failures show a colour.
inline std::ostream &operator<<(std::ostream &out, const Color &c)
{
    return out << "(" << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ", " << int(c.a) << ")";
}
} // namespace Vaq
