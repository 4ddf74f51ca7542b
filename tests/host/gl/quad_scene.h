// A render callback for the GL tests: it draws flat, unlit axis-aligned quads (textured
// where a quad has a texture) in a scene box that maps one model unit to one pixel (scale =
// view height), one quad per draw step in render stage 1 (and of its overlay quads in render
// stage 3), each under its own stencil element (with the area it declares, if any), and logs
// the calls it gets.
#pragma once

#include "gcad/host/gl/vaq_gl_api.h"
#include "gcad/host/gl/vaq_gl_render_callback.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/host/gl/vaq_gl_stencil_handler.h"
#include "gcad/host/gl/vaq_gl_texture.h"

#include <QRect>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace Vaq::Test {

struct Quad
{
    double x0, y0, x1, y1; // model = window pixels when the scene fills the view
    Color color;
    const CAD::Element *element;
    double z = 0.0; // towards the viewer is +z
    bool disabled = false; // drawn with the stencil handler disabled
    GL::Texture *texture = nullptr; // replaces the colour, its image upright on the quad
    QRect area = {}; // what the quad tells the stencil it may touch; null: anything
};

class QuadScene : public GL::RenderCallback
{
public:
    // The scene box is (0, 0, -1) to (width, height, 1).
    QuadScene(int width, int height)
        : m_width(width)
        , m_height(height)
    {
    }

    std::vector<Quad> quads;
    std::vector<Quad> overlayQuads;
    QStringList log;
    bool textureEnabled = false; // what enableTexture last returned

    void initAllElementsForDrawing() override
    {
        log << QStringLiteral("init");
        m_next = 0;
    }
    void preDraw() override
    {
        log << QStringLiteral("pre%1").arg(getRenderStage());
        m_next = 0;
    }
    bool draw() override
    {
        log << QStringLiteral("draw%1").arg(getRenderStage());
        const std::vector<Quad> &drawn
            = getRenderStage() == GL::RenderObject::RS_OVERLAY3D ? overlayQuads : quads;
        const bool drawsQuads = getRenderStage() == GL::RenderObject::RS_LEVEL0
            || getRenderStage() == GL::RenderObject::RS_OVERLAY3D;
        if (!drawsQuads || m_next >= drawn.size())
            return true;
        const Quad &q = drawn[m_next++];
        if (q.area.isNull())
            getRenderObject()->getStencilHandler()->setElement(q.element);
        else
            getRenderObject()->getStencilHandler()->setElement(q.element, q.area);
        if (q.disabled)
            getRenderObject()->getStencilHandler()->disable();
        ::glDisable(GL_LIGHTING);
        ::glColor4ub(q.color.r, q.color.g, q.color.b, q.color.a);
        if (q.texture)
            textureEnabled = GL::TextureManager::_manager.enableTexture(q.texture, GL_TEXTURE0, GL_REPLACE);
        ::glBegin(GL_QUADS);
        for (const auto &[s, t] : { std::pair(0, 0), std::pair(1, 0), std::pair(1, 1), std::pair(0, 1) }) {
            ::glTexCoord2d(s, t);
            ::glVertex3d(s ? q.x1 : q.x0, t ? q.y1 : q.y0, q.z);
        }
        ::glEnd();
        if (q.texture)
            GL::TextureManager::_manager.disableTexture(GL_TEXTURE0);
        ::glEnable(GL_LIGHTING);
        return false;
    }
    void postDraw() override { log << QStringLiteral("post%1").arg(getRenderStage()); }
    bool getBoundingBox(BaVec3d<double> *min, BaVec3d<double> *max) override
    {
        *min = BaVec3d<double>(0.0, 0.0, -1.0);
        *max = BaVec3d<double>(m_width, m_height, 1.0);
        return true;
    }

private:
    int m_width, m_height;
    size_t m_next = 0;
};

} // namespace Vaq::Test
