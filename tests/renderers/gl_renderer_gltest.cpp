// The GL layer of the renderers on a real context: render modes and their defaults, where
// transparency is refused, materials, the line-width trap, and stepping by repaint kind.
#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/gl/vaq_gl_extensions.h"
#include "gcad/host/gl/vaq_gl_tools.h"
#include "tests/support/gcad_gl_test.h"

#include <array>
#include <memory>
#include <regex>

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
    GLint value[4] = {}; // GL_POLYGON_MODE gives front and back
    ::glGetIntegerv(name, value);
    return value[0];
}

bool depthWrites()
{
    GLboolean mask = GL_FALSE;
    ::glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    return mask == GL_TRUE;
}

void expectMaterial(GLenum face, GLenum name, std::array<float, 4> expected)
{
    std::array<float, 4> actual {};
    ::glGetMaterialfv(face, name, actual.data());
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_FLOAT_EQ(actual[i], expected[i]) << "component " << i;
}

using RenderModes = Vaq::Test::GLTest;

TEST_F(RenderModes, ModesSetTheirStateAndRestoreTheDefaultsAndLinesAreSmoothedWhereAllowed)
{
    ProbeRenderer renderer(&scene, {});
    view->makeCurrent();
    GL::GLTools::initDefaults();
    const GLint alphaSource = GL::glBlendFuncSeparate ? GL_SRC_ALPHA_SATURATE : GL_SRC_ALPHA;
    struct Mode
    {
        unsigned mode;
        GLint polygon;
        bool lighting, depthWrites, smooth, blended;
    };
    for (const Mode &m : std::initializer_list<Mode> {
             { CADGLRenderer::RM_POINTS, GL_POINT, false, true, false, false },
             { CADGLRenderer::RM_WIREFRAME, GL_LINE, false, true, false, false },
             { CADGLRenderer::RM_LINES_NO_DEPTH_WRITE, GL_LINE, false, false, true, true },
             { CADGLRenderer::RM_LINES, GL_LINE, false, true, true, true },
             { CADGLRenderer::RM_TRANSPARENT, GL_FILL, true, false, false, true },
             { 7, GL_FILL, true, true, false, false }, // no mode: nothing changes
         }) {
        renderer.enableRenderMode(m.mode);
        EXPECT_EQ(integer(GL_POLYGON_MODE), m.polygon) << m.mode;
        EXPECT_EQ(bool(::glIsEnabled(GL_LIGHTING)), m.lighting) << m.mode;
        EXPECT_EQ(depthWrites(), m.depthWrites) << m.mode;
        EXPECT_EQ(bool(::glIsEnabled(GL_LINE_SMOOTH)), m.smooth) << m.mode;
        if (m.smooth) {
            EXPECT_EQ(integer(GL_LINE_SMOOTH_HINT), GL_NICEST);
        }
        EXPECT_EQ(integer(GL_BLEND_SRC_RGB), m.blended ? GL_SRC_ALPHA : GL_ONE) << m.mode;
        EXPECT_EQ(integer(GL_BLEND_DST_RGB), m.blended ? GL_ONE_MINUS_SRC_ALPHA : GL_ZERO) << m.mode;
        EXPECT_EQ(integer(GL_BLEND_SRC_ALPHA), m.blended ? alphaSource : GL_ONE) << m.mode;
        renderer.disableRenderMode(m.mode);
        EXPECT_TRUE(GL::GLTools::checkDefaults()) << m.mode;
    }

    // Lines are not smoothed for sections, nor for meshes in snapshots; the renderer takes the
    // repaint kind from the view's last repaint.
    Element section(ElementCreator::SECTION, "s"), mesh(ElementCreator::MESH_INSPECTION, "m"),
        label(ElementCreator::LABEL, "l");
    auto smoothed = [&](Element &element) {
        renderer.setup({ &element, CAD::StageIdentifier::DEFAULT_DATASET }, {}, 1);
        view->makeCurrent();
        renderer.enableRenderMode(CADGLRenderer::RM_LINES);
        const bool smooth = ::glIsEnabled(GL_LINE_SMOOTH);
        renderer.disableRenderMode(CADGLRenderer::RM_LINES);
        return smooth;
    };
    view->repaintWidget(GL::UpdateOptions(0, GL::UpdateOptions::UT_SNAPSHOT));
    EXPECT_FALSE(smoothed(mesh));
    EXPECT_TRUE(smoothed(label));
    view->repaintWidget();
    EXPECT_FALSE(smoothed(section));
    EXPECT_TRUE(smoothed(mesh));
}

TEST_F(RenderModes, MaterialCarriesTheFrontAlphaOnlyWhenNotOpaqueAndRawLineWidthsAreRefused)
{
    ProbeRenderer renderer(&scene, {});
    view->makeCurrent();
    const std::array<float, 4> untouched = { 0.1f, 0.2f, 0.3f, 0.4f };
    ::glMaterialfv(GL_BACK, GL_DIFFUSE, untouched.data());

    renderer.setColors(Color(255, 0, 51, 100), Color(0, 255, 0), false, true);
    renderer.applyMaterial(1);
    expectMaterial(GL_FRONT, GL_DIFFUSE, { 1.0f, 0.0f, 0.2f, 1.0f });
    expectMaterial(GL_FRONT, GL_SPECULAR, { 0.0f, 1.0f, 0.8f, 1.0f }); // the diffuse colour's complement
    EXPECT_EQ(integer(GL_COLOR_MATERIAL_FACE), GL_FRONT);
    EXPECT_EQ(integer(GL_LIGHT_MODEL_TWO_SIDE), 0);
    expectMaterial(GL_BACK, GL_DIFFUSE, untouched);

    renderer.setColors(Color(255, 0, 51, 100), Color(0, 255, 0), true, false);
    renderer.applyMaterial(0);
    expectMaterial(GL_FRONT, GL_DIFFUSE, { 1.0f, 0.0f, 0.2f, 100.0f / 255.0f });
    expectMaterial(GL_FRONT, GL_SPECULAR, { 0.0f, 0.0f, 0.0f, 100.0f / 255.0f });
    EXPECT_EQ(integer(GL_LIGHT_MODEL_TWO_SIDE), 1);
    EXPECT_EQ(integer(GL_COLOR_MATERIAL_FACE), GL_FRONT_AND_BACK);
    expectMaterial(GL_BACK, GL_DIFFUSE, { 0.0f, 1.0f, 0.0f, 100.0f / 255.0f }); // the front's alpha
    ::glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0);

    // The raw line-width call is a trap.
    takeTraces();
    renderer.glLineWidth(5.0);
    GLfloat width = 0.0f;
    ::glGetFloatv(GL_LINE_WIDTH, &width);
    EXPECT_EQ(width, 1.0f);
    const std::string traces = takeTraces();
    EXPECT_TRUE(std::regex_match(traces,
        std::regex(R"(Vaq::GCAD::CADGLRenderer::glLineWidth\(\d+\): do not use glLineWidth\. use )"
                   R"(setLineWidth/resetLineWidth instead\n)")))
        << traces;
}

// Stage 1 refuses transparency save for 2-D inspections; stage 2 ignores given render types.
// Steps thin out only while the view moves, and never for 2-D inspections.
TEST_F(RenderModes, TheRenderStageAndTheRepaintKindLimitEachStep)
{
    // The probe takes the place of the library's renderers (the section renderer draws 2-D
    // inspections).
    scene.getRendererContainer().freeAll();
    auto &renderer
        = *new ProbeRenderer(&scene, { ElementCreator::LABEL, ElementCreator::SECTION_INSPECTION_2D });
    scene.getRendererContainer().registerRenderer(&renderer);
    std::vector<std::unique_ptr<Element>> elements;
    for (const auto &[type, name] :
        { std::pair(ElementCreator::LABEL, "label"), std::pair(ElementCreator::SECTION_INSPECTION_2D, "2d"),
            std::pair(ElementCreator::LABEL, "foreground") }) {
        elements.emplace_back(makeElement(type, name, 0, 0, 10, 10));
        scene.show(elements.back().get());
    }
    elements[2]->setRenderLevel(CAD::RL_FOREGROUND);
    QuadRenderer other(&scene, { ElementCreator::LABEL }, { 0, 1 });
    QStringList refused;
    std::map<int, std::vector<unsigned>> chosen;
    unsigned start = 0;
    std::map<QString, std::pair<unsigned, unsigned>> slices; // (stepping, end) of 1000000 items
    renderer.onStep = [&](QuadRenderer &r) {
        auto &probe = static_cast<ProbeRenderer &>(r);
        auto &[stepping, end] = slices[r.getCurrentElement()->getFileName()];
        probe.calculateStepping(1000000, start, &stepping, &end);
        chosen[scene.getRenderStage()]
            = other.setup({ r.getCurrentElement(), CAD::StageIdentifier::NO_STAGE }, { 5 }, 2);
        other.finish();
        try {
            probe.enableRenderMode(CADGLRenderer::RM_TRANSPARENT);
        } catch (const ProgError &e) {
            EXPECT_EQ(e.message(), "transparency not allowed in this render stage");
            EXPECT_TRUE(depthWrites()) << "state changed before the refusal";
            EXPECT_THROW(probe.disableRenderMode(CADGLRenderer::RM_TRANSPARENT), ProgError);
            refused << r.getCurrentElement()->getFileName();
            return;
        }
        probe.disableRenderMode(CADGLRenderer::RM_TRANSPARENT);
    };
    view->repaintWidget(GL::UpdateOptions(1, GL::UpdateOptions::UT_INTERACTIVE));
    EXPECT_EQ(slices["label"], std::pair(4u, 1000000u));
    EXPECT_EQ(slices["2d"], std::pair(1u, 100000u));

    refused.clear();
    chosen.clear();
    start = 950000; // the last slice ends at the total
    view->repaintWidget();
    EXPECT_EQ(slices["label"], std::pair(1u, 1000000u));
    EXPECT_EQ(refused, QStringList({ "label" }));
    EXPECT_EQ(chosen[1], std::vector<unsigned>({ 5 }));
    EXPECT_EQ(chosen[2], std::vector<unsigned>({ 0, 1 }));
}

} // namespace
