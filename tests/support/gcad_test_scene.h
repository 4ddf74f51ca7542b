// The scene the library's tests draw: TestScene, the element list callback that also logs
// what each draw() returned, and QuadRenderer, a renderer that draws every element as a flat
// quad over its geometry box and logs each call it gets, so that tests can check the order
// in which elements reach their renderer and which pixels carry which element.
#pragma once

#include "apps/scene/scene_element_list_callback.h"
#include "gcad/host/cad/vaq_cad_element.h"
#include "gcad/host/gl/vaq_gl_api.h"
#include "gcad/rcb/gcad_rcb.h"
#include "gcad/renderers/gcad_gl_renderer.h"
#include "gcad/renderers/gcad_r_mesh.h"
#include "gcad/renderers/gcad_r_points.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <utility>
#include <vector>

namespace Vaq::Test {

class TestScene : public Gcad::Scene::ElementListCallback
{
public:
    // Only the mesh and points renderers of the library draw here, so that a test can put
    // stand-in renderers in place for the other types (the registry refuses a second renderer
    // for a type); tests of the other renderers register them.
    TestScene()
    {
        getRendererContainer().freeAll();
        getRendererContainer().registerRenderer(new GCAD::MeshRenderer(this));
        getRendererContainer().registerRenderer(new GCAD::PointsRenderer(this));
    }

    // What getClippingInterface hands out (not owned).
    GCAD::ClippingInterface *clipping = nullptr;
    // Every draw() result, with the render stage it was returned in.
    std::vector<std::pair<int, bool>> drawResults;

    bool draw() override
    {
        const bool done = ElementListCallback::draw();
        drawResults.emplace_back(getRenderStage(), done);
        return done;
    }
    GCAD::ClippingInterface *getClippingInterface() const override { return clipping; }
};

class QuadRenderer : public GCAD::CADGLRenderer
{
public:
    QuadRenderer(GCAD::RenderCallback *callback, std::vector<CAD::ElementCreator::Element_t> types,
        std::vector<unsigned> renderTypes = { 0 }, unsigned stepsPerType = 1)
        : GCAD::CADGLRenderer(callback)
        , m_types_to_draw(std::move(renderTypes))
        , m_steps_per_type(stepsPerType)
    {
        m_supported_types = std::move(types);
    }

    // "pre:<name>:<type>", "step:<name>:<type>", "post:<name>:<type>", "remove:<name>".
    QStringList log;
    // Called at every step, before the quad is drawn (tests use it to act mid-repaint).
    std::function<void(QuadRenderer &)> onStep;
    // Leaves GL_LINE_SMOOTH on after render type 1.
    bool leakLineSmooth = false;

    unsigned currentType() const { return m_type; }
    unsigned pointCountHint() const { return m_num_points; }
    using GCAD::CADGLRenderer::disableRenderMode;
    using GCAD::CADGLRenderer::enableRenderMode;

    void removeElement(CAD::Element *element) override
    {
        log << QStringLiteral("remove:%1").arg(m_names.value(element));
    }

protected:
    std::vector<unsigned> getRenderTypes() const override { return m_types_to_draw; }
    void preDrawInternal(unsigned renderType, int) override
    {
        m_type = renderType;
        m_step = 0;
        m_names.insert(m_current_element, m_current_element->getFileName());
        log << QStringLiteral("pre:%1:%2").arg(m_current_element->getFileName()).arg(renderType);
    }
    bool drawInternal() override
    {
        log << QStringLiteral("step:%1:%2").arg(m_current_element->getFileName()).arg(m_type);
        if (onStep)
            onStep(*this);
        Box3d box;
        if (m_current_element
            && m_current_element->getBoundingBox(m_stage, CAD::BBT_GEOMETRY, CAD::CCS_ELEMENT, box)) {
            const Color &c = m_current_element->getElemProperties()->color;
            ::glDisable(GL_LIGHTING);
            ::glColor4ub(c.r, c.g, c.b, 255);
            ::glBegin(GL_QUADS);
            ::glVertex3d(box.getMin().x, box.getMin().y, box.getMax().z);
            ::glVertex3d(box.getMax().x, box.getMin().y, box.getMax().z);
            ::glVertex3d(box.getMax().x, box.getMax().y, box.getMax().z);
            ::glVertex3d(box.getMin().x, box.getMax().y, box.getMax().z);
            ::glEnd();
            ::glEnable(GL_LIGHTING);
        }
        return ++m_step >= m_steps_per_type;
    }
    void postDrawInternal(int) override
    {
        log << QStringLiteral("post:%1:%2").arg(m_current_element->getFileName()).arg(m_type);
        if (leakLineSmooth && m_type == 1)
            ::glEnable(GL_LINE_SMOOTH);
    }

private:
    std::vector<unsigned> m_types_to_draw;
    unsigned m_steps_per_type;
    unsigned m_type = 0;
    unsigned m_step = 0;
    // Names by element, so that removeElement can log an element that is being destroyed.
    QHash<const CAD::Element *, QString> m_names;
};

// An element named name of the given type whose geometry box is the square (x0, y0) to
// (x1, y1) at height z, drawn in colour.
inline CAD::Element *makeElement(CAD::ElementCreator::Element_t type, const QString &name, double x0,
    double y0, double x1, double y1, double z = 0.0, const Color &color = Color(255, 255, 255))
{
    auto *element = new CAD::Element(type, name);
    element->setBoundingBox(CAD::StageIdentifier::NO_STAGE, CAD::BBT_GEOMETRY,
        Box3d(BaVec3d<double>(x0, y0, z), BaVec3d<double>(x1, y1, z)));
    element->getElemProperties()->color = color;
    return element;
}

} // namespace Vaq::Test
