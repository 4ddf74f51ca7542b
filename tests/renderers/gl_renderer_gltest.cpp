// The GL layer of the renderers on a real context: render modes switch their state on and
// back to the defaults, transparency is refused where it would break the depth order,
// materials and line widths reach GL as they should, and stepping follows the repaint kind.
#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/gl/vaq_gl_extensions.h"
#include "gcad/host/gl/vaq_gl_stencil_handler.h"
#include "gcad/host/gl/vaq_gl_tools.h"
#include "tests/support/gcad_gl_test.h"

#include <array>
#include <memory>

using namespace Vaq;
using CAD::Element;
using CAD::ElementCreator;
using GCAD::CADGLRenderer;
using Test::makeElement;
using Test::QuadRenderer;

namespace {

// Exposes what the tests set and read directly.
class ProbeRenderer : public QuadRenderer
{
public:
    using QuadRenderer::applyMaterial;
    using QuadRenderer::calculateStepping;
    using QuadRenderer::QuadRenderer;

    void setColors(const Color &front, const Color &back, bool twoSided, bool specular)
    {
        m_front_color = front;
        m_back_color = back;
        m_two_sided = twoSided;
        m_specular = specular;
    }
};

GLint integer(GLenum name)
{
    GLint value = 0;
    ::glGetIntegerv(name, &value);
    return value;
}

bool depthWrites()
{
    GLboolean mask = GL_FALSE;
    ::glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    return mask == GL_TRUE;
}

std::array<float, 4> material(GLenum face, GLenum name)
{
    std::array<float, 4> v {};
    ::glGetMaterialfv(face, name, v.data());
    return v;
}

void expectMaterial(GLenum face, GLenum name, std::array<float, 4> expected)
{
    const std::array<float, 4> actual = material(face, name);
    for (int i = 0; i < 4; ++i)
        EXPECT_FLOAT_EQ(actual[size_t(i)], expected[size_t(i)]) << "component " << i;
}

class RenderModes : public Vaq::Test::GLTest
{
protected:
    // A renderer for the types the tests draw, registered with the scene.
    ProbeRenderer &addRenderer()
    {
        auto *renderer
            = new ProbeRenderer(&scene, { ElementCreator::LABEL, ElementCreator::SECTION_INSPECTION_2D });
        scene.getRendererContainer().registerRenderer(renderer);
        return *renderer;
    }
    Element *add(ElementCreator::Element_t type, const QString &name)
    {
        elements.emplace_back(makeElement(type, name, 0, 0, 10, 10));
        scene.show(elements.back().get());
        return elements.back().get();
    }

    std::vector<std::unique_ptr<Element>> elements;
};

TEST_F(RenderModes, EachModeSetsItsStateAndItsDisableRestoresTheDefaults)
{
    ProbeRenderer renderer(&scene, {});
    view->makeCurrent();
    GL::GLTools::initDefaults();
    const bool separate = GL::glBlendFuncSeparate != nullptr;

    renderer.enableRenderMode(CADGLRenderer::RM_POINTS);
    EXPECT_FALSE(::glIsEnabled(GL_LIGHTING));
    EXPECT_EQ(integer(GL_POLYGON_MODE), GL_POINT);
    renderer.disableRenderMode(CADGLRenderer::RM_POINTS);
    EXPECT_TRUE(GL::GLTools::checkDefaults());

    renderer.enableRenderMode(CADGLRenderer::RM_WIREFRAME);
    EXPECT_EQ(integer(GL_POLYGON_MODE), GL_LINE);
    renderer.disableRenderMode(CADGLRenderer::RM_WIREFRAME);
    EXPECT_TRUE(GL::GLTools::checkDefaults());

    for (unsigned mode : { CADGLRenderer::RM_LINES_NO_DEPTH_WRITE, CADGLRenderer::RM_LINES }) {
        renderer.enableRenderMode(mode);
        EXPECT_FALSE(::glIsEnabled(GL_LIGHTING));
        EXPECT_TRUE(::glIsEnabled(GL_LINE_SMOOTH));
        EXPECT_EQ(integer(GL_LINE_SMOOTH_HINT), GL_NICEST);
        EXPECT_EQ(integer(GL_BLEND_SRC_RGB), GL_SRC_ALPHA);
        EXPECT_EQ(integer(GL_BLEND_DST_RGB), GL_ONE_MINUS_SRC_ALPHA);
        EXPECT_EQ(depthWrites(), mode == CADGLRenderer::RM_LINES) << mode;
        renderer.disableRenderMode(mode);
        EXPECT_TRUE(GL::GLTools::checkDefaults()) << mode;
    }

    renderer.enableRenderMode(CADGLRenderer::RM_TRANSPARENT);
    EXPECT_FALSE(depthWrites());
    EXPECT_TRUE(::glIsEnabled(GL_LIGHTING));
    EXPECT_EQ(integer(GL_BLEND_SRC_RGB), GL_SRC_ALPHA);
    EXPECT_EQ(integer(GL_BLEND_SRC_ALPHA), separate ? GL_SRC_ALPHA_SATURATE : GL_SRC_ALPHA);
    renderer.disableRenderMode(CADGLRenderer::RM_TRANSPARENT);
    EXPECT_TRUE(GL::GLTools::checkDefaults());

    // Values outside the five modes change nothing.
    renderer.enableRenderMode(7);
    EXPECT_TRUE(GL::GLTools::checkDefaults());
    renderer.disableRenderMode(7);
    EXPECT_TRUE(GL::GLTools::checkDefaults());
}

TEST_F(RenderModes, LinesAreNotSmoothedForSectionsNorForMeshesInSnapshots)
{
    ProbeRenderer renderer(&scene, {});
    Element section(ElementCreator::SECTION, "section");
    Element mesh(ElementCreator::MESH_INSPECTION, "mesh");
    Element label(ElementCreator::LABEL, "label");
    // The renderer takes the repaint kind from the view's last repaint.
    auto smoothed = [&](Element &element) {
        renderer.setup({ &element, CAD::StageIdentifier::DEFAULT_DATASET }, {}, 1);
        view->makeCurrent();
        renderer.enableRenderMode(CADGLRenderer::RM_LINES);
        const bool smooth = ::glIsEnabled(GL_LINE_SMOOTH);
        // Without smoothing only lighting and polygon mode change.
        if (!smooth) {
            EXPECT_EQ(integer(GL_BLEND_SRC_RGB), GL_ONE);
        }
        renderer.disableRenderMode(CADGLRenderer::RM_LINES);
        EXPECT_TRUE(GL::GLTools::checkDefaults());
        return smooth;
    };
    view->repaintWidget(GL::UpdateOptions(0, GL::UpdateOptions::UT_SNAPSHOT));
    EXPECT_FALSE(smoothed(section));
    EXPECT_FALSE(smoothed(mesh));
    EXPECT_TRUE(smoothed(label));
    view->repaintWidget();
    EXPECT_FALSE(smoothed(section));
    EXPECT_TRUE(smoothed(mesh));
}

TEST_F(RenderModes, TransparencyIsRefusedInRenderStage1SaveFor2dInspections)
{
    ProbeRenderer &renderer = addRenderer();
    add(ElementCreator::LABEL, "label");
    add(ElementCreator::SECTION_INSPECTION_2D, "2d");
    add(ElementCreator::LABEL, "foreground")->setRenderLevel(CAD::RL_FOREGROUND);
    QStringList refused;
    renderer.onStep = [&](QuadRenderer &r) {
        auto &probe = static_cast<ProbeRenderer &>(r);
        try {
            probe.enableRenderMode(CADGLRenderer::RM_TRANSPARENT);
        } catch (const ProgError &e) {
            EXPECT_EQ(e.message(), "transparency not allowed in this render stage");
            EXPECT_EQ(e.function(), "Vaq::GCAD::CADGLRenderer::enableRenderMode");
            EXPECT_EQ(e.file(), "gcad_gl_renderer");
            EXPECT_TRUE(depthWrites()) << "state changed before the refusal";
            EXPECT_THROW(probe.disableRenderMode(CADGLRenderer::RM_TRANSPARENT), ProgError);
            refused << r.getCurrentElement()->getFileName();
            return;
        }
        probe.disableRenderMode(CADGLRenderer::RM_TRANSPARENT);
    };
    view->repaintWidget();
    EXPECT_EQ(refused, QStringList({ "label" }));
}

TEST_F(RenderModes, MaterialCarriesTheFrontAlphaOnlyWhenNotOpaque)
{
    ProbeRenderer renderer(&scene, {});
    view->makeCurrent();
    const float sentinel[4] = { 0.1f, 0.2f, 0.3f, 0.4f };
    ::glMaterialfv(GL_BACK, GL_DIFFUSE, sentinel);

    renderer.setColors(Color(255, 0, 51, 100), Color(0, 255, 0), false, true);
    renderer.applyMaterial(1);
    expectMaterial(GL_FRONT, GL_DIFFUSE, { 1.0f, 0.0f, 0.2f, 1.0f });
    // The specular colour is the complement of the diffuse one.
    expectMaterial(GL_FRONT, GL_SPECULAR, { 0.0f, 1.0f, 0.8f, 1.0f });
    EXPECT_EQ(material(GL_FRONT, GL_SHININESS)[0], 128.0f);
    EXPECT_EQ(integer(GL_COLOR_MATERIAL_FACE), GL_FRONT);
    EXPECT_EQ(integer(GL_LIGHT_MODEL_TWO_SIDE), 0);
    // One-sided: the back material is left alone.
    expectMaterial(GL_BACK, GL_DIFFUSE, { 0.1f, 0.2f, 0.3f, 0.4f });

    renderer.setColors(Color(255, 0, 51, 100), Color(0, 255, 0), true, false);
    renderer.applyMaterial(0);
    expectMaterial(GL_FRONT, GL_DIFFUSE, { 1.0f, 0.0f, 0.2f, 100.0f / 255.0f });
    expectMaterial(GL_FRONT, GL_SPECULAR, { 0.0f, 0.0f, 0.0f, 100.0f / 255.0f });
    EXPECT_EQ(integer(GL_LIGHT_MODEL_TWO_SIDE), 1);
    EXPECT_EQ(integer(GL_COLOR_MATERIAL_FACE), GL_FRONT_AND_BACK);
    // The back takes the front's alpha.
    expectMaterial(GL_BACK, GL_DIFFUSE, { 0.0f, 1.0f, 0.0f, 100.0f / 255.0f });
    ::glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0);
}

TEST_F(RenderModes, LineWidthsGoThroughSetLineWidthOnly)
{
    ProbeRenderer renderer(&scene, {});
    view->makeCurrent();
    GLfloat width = 0.0f;
    renderer.setLineWidth(3.0);
    ::glGetFloatv(GL_LINE_WIDTH, &width);
    EXPECT_EQ(width, 3.0f);
    renderer.resetLineWidth();
    takeTraces();

    renderer.glLineWidth(5.0);
    ::glGetFloatv(GL_LINE_WIDTH, &width);
    EXPECT_EQ(width, 1.0f);
    const std::string traces = takeTraces();
    EXPECT_EQ(traces.rfind("Vaq::GCAD::CADGLRenderer::glLineWidth(", 0), 0u) << traces;
    EXPECT_NE(traces.find("): do not use glLineWidth. use setLineWidth/resetLineWidth instead\n"),
        std::string::npos)
        << traces;
}

TEST_F(RenderModes, StepsThinOnlyWhileTheViewMovesAndNeverFor2dInspections)
{
    ProbeRenderer &renderer = addRenderer();
    add(ElementCreator::LABEL, "label");
    add(ElementCreator::SECTION_INSPECTION_2D, "2d");
    // (stepping, end) of the first step of 1000000 items, of the last, and of 50000 items.
    using Slices = std::vector<std::pair<unsigned, unsigned>>;
    std::map<QString, Slices> slices;
    renderer.onStep = [&](QuadRenderer &r) {
        Slices &s = slices[r.getCurrentElement()->getFileName()];
        for (const auto &[total, start] :
            { std::pair(1000000u, 0u), std::pair(1000000u, 950000u), std::pair(50000u, 0u) }) {
            unsigned stepping = 0, end = 0;
            static_cast<ProbeRenderer &>(r).calculateStepping(total, start, &stepping, &end);
            s.emplace_back(stepping, end);
        }
    };
    view->repaintWidget(GL::UpdateOptions(1, GL::UpdateOptions::UT_INTERACTIVE));
    EXPECT_EQ(slices["label"], Slices({ { 4, 1000000 }, { 4, 1000000 }, { 1, 50000 } }));
    EXPECT_EQ(slices["2d"], Slices({ { 1, 100000 }, { 1, 1000000 }, { 1, 50000 } }));
    slices.clear();
    view->repaintWidget();
    EXPECT_EQ(slices["label"], Slices({ { 1, 100000 }, { 1, 1000000 }, { 1, 50000 } }));
    EXPECT_EQ(slices["2d"], slices["label"]);
}

TEST_F(RenderModes, GivenRenderTypesAreIgnoredInRenderStage2)
{
    ProbeRenderer &renderer = addRenderer();
    add(ElementCreator::LABEL, "scene");
    add(ElementCreator::LABEL, "foreground")->setRenderLevel(CAD::RL_FOREGROUND);
    QuadRenderer other(&scene, { ElementCreator::LABEL }, { 0, 1 });
    std::map<int, std::vector<unsigned>> chosen;
    renderer.onStep = [&](QuadRenderer &r) {
        chosen[scene.getRenderStage()]
            = other.setup({ r.getCurrentElement(), CAD::StageIdentifier::NO_STAGE }, { 5 }, 2);
        other.finish();
    };
    view->repaintWidget();
    EXPECT_EQ(chosen[1], std::vector<unsigned>({ 5 }));
    EXPECT_EQ(chosen[2], std::vector<unsigned>({ 0, 1 }));
}

} // namespace
