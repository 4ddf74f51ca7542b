// The renderer base without GL: the render-type stepping loop, the choice of material
// colours, the quad tessellation tables and the renderer registry.
#include "gcad/host/cad/vaq_cad_poly_base.h"
#include "gcad/renderers/gcad_renderer.h"
#include "gcad/renderers/gcad_renderer_container.h"
#include "tests/support/gcad_test_scene.h"
#include "tests/support/prog_error_message.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <map>

using namespace Vaq;
using CAD::Element;
using CAD::ElementCreator;

namespace {

// Logs the hooks; render type t takes steps[t] steps. Its GL hooks only log.
class LogRenderer : public GCAD::CADRenderer
{
public:
    explicit LogRenderer(GCAD::RenderCallback *callback, std::vector<unsigned> renderTypes = {},
        std::vector<ElementCreator::Element_t> types = {})
        : GCAD::CADRenderer(callback)
        , m_types(std::move(renderTypes))
    {
        m_supported_types = std::move(types);
    }

    QStringList log;
    std::vector<unsigned> steps = std::vector<unsigned>(8, 1);
    Color front, back;
    bool twoSided = false, specular = false;

    void initDefaults() override { log << "init"; }
    bool checkDefaults() override
    {
        log << "check";
        return true;
    }

    using GCAD::CADRenderer::addQuadFan;
    using GCAD::CADRenderer::addQuadFanIndices;
    using GCAD::CADRenderer::addTesselatedQuad;
    using GCAD::CADRenderer::addTesselatedQuadIndices;

protected:
    std::vector<unsigned> getRenderTypes() const override { return m_types; }
    void preDrawInternal(unsigned renderType, int mode) override
    {
        m_type = renderType;
        m_done = 0;
        log << QStringLiteral("pre%1(%2)").arg(renderType).arg(mode);
    }
    bool drawInternal() override
    {
        log << QStringLiteral("draw%1").arg(m_type);
        return ++m_done >= steps[m_type];
    }
    void postDrawInternal(int mode) override { log << QStringLiteral("post%1(%2)").arg(m_type).arg(mode); }
    void applyMaterial(int opaque) override
    {
        front = m_front_color;
        back = m_back_color;
        twoSided = m_two_sided;
        specular = m_specular;
        log << QStringLiteral("material%1").arg(opaque);
    }

private:
    std::vector<unsigned> m_types;
    unsigned m_type = 0;
    unsigned m_done = 0;
};

// Marks the elements a test enters.
class MarkingScene : public Vaq::Test::TestScene
{
public:
    bool isElementMarked(const Element *element, Color *color) const override
    {
        const auto found = marks.find(element);
        if (found == marks.end())
            return false;
        *color = found->second;
        return true;
    }

    std::map<const Element *, Color> marks;
};

class Renderer : public testing::Test
{
protected:
    std::vector<bool> drawAll(LogRenderer &renderer)
    {
        std::vector<bool> results;
        do
            results.push_back(renderer.draw());
        while (!results.back() && results.size() < 100);
        return results;
    }

    MarkingScene scene;
    Element element { ElementCreator::LABEL, "e" };
    CAD::ElementAndStageImp entry { &element, CAD::StageIdentifier::DEFAULT_DATASET };
};

TEST_F(Renderer, StepsThroughEveryRenderTypeOwnOrGivenAndClosesWhatWasBegunOnce)
{
    LogRenderer renderer(&scene, { 0, 1, 2 });
    renderer.steps[1] = 2;
    EXPECT_EQ(renderer.setup(entry, {}, 1), std::vector<unsigned>({ 0, 1, 2 }));
    EXPECT_EQ(drawAll(renderer), std::vector<bool>({ false, false, false, true }));
    renderer.finish(); // the last render type has been closed already
    EXPECT_EQ(renderer.log.join(' '),
        "init pre0(3) draw0 post0(3) check init pre1(3) draw1 draw1 post1(3) check init pre2(3) draw2 "
        "post2(3) check");

    // Given render types and stepping replace the renderer's own; without them it decides,
    // at full density.
    EXPECT_EQ(renderer.setup(entry, { 2 }, 4), std::vector<unsigned>({ 2 }));
    EXPECT_EQ(renderer.getStepping(), 4u);
    renderer.log.clear();
    drawAll(renderer);
    EXPECT_EQ(renderer.log.filter("pre").join(' '), "pre2(3)");
    EXPECT_EQ(renderer.setup(entry, {}, 4), std::vector<unsigned>({ 0, 1, 2 }));
    EXPECT_EQ(renderer.getStepping(), 1u);

    // Finishing closes only the render type begun, and only once.
    renderer.steps[0] = 5;
    renderer.log.clear();
    EXPECT_FALSE(renderer.draw());
    renderer.finish();
    renderer.finish();
    EXPECT_EQ(renderer.log.filter("post").join(' '), "post0(3)");
    EXPECT_EQ(renderer.getCurrentElement(), nullptr);

    // Without render types the first draw finishes without touching GL state.
    LogRenderer empty(&scene, {});
    EXPECT_TRUE(empty.setup(entry, {}, 1).empty());
    EXPECT_TRUE(empty.draw());
    empty.finish();
    EXPECT_TRUE(empty.log.isEmpty()) << empty.log.join(' ').toStdString();
}

TEST_F(Renderer, MaterialColoursFollowTheElementKindAndState)
{
    LogRenderer renderer(&scene);
    const CAD::DefaultProperties &defaults = *scene.getDefaultProperties();
    auto material = [&](Element &e, bool selection = false, bool swap = false) {
        renderer.setup({ &e, CAD::StageIdentifier::DEFAULT_DATASET }, {}, 1);
        const Color front = renderer.initMaterial(&e, selection, true, swap);
        EXPECT_EQ(front, renderer.front);
        return std::pair(renderer.front, renderer.back);
    };

    Element mesh(ElementCreator::MESH, "mesh");
    const CAD::ElemProp &p = *mesh.getElemProperties();
    EXPECT_EQ(material(mesh), std::pair(p.meshFrontColor, p.meshBackColor));
    EXPECT_TRUE(renderer.twoSided);
    EXPECT_TRUE(renderer.specular);
    EXPECT_EQ(renderer.log.last(), "material1");
    EXPECT_EQ(material(mesh, false, true), std::pair(p.meshBackColor, p.meshFrontColor));
    EXPECT_EQ(material(mesh, true), std::pair(defaults.highlightColor, defaults.highlightBackColor));
    mesh.setElementTemporarily(true);
    EXPECT_EQ(material(mesh, true), std::pair(p.temporaryColor, p.temporaryColor));

    // A point takes its point colour, unless its stage lacks data.
    Element point(ElementCreator::POINT, "point");
    EXPECT_EQ(material(point),
        std::pair(point.getElemProperties()->pointColor, point.getElemProperties()->pointColor));
    point.setMissingData(CAD::StageIdentifier::DEFAULT_DATASET, true);
    EXPECT_EQ(material(point).first, defaults.missingDataColor);

    // Measuring-plan elements grey out where they are inactive.
    Element change(ElementCreator::PMP_POINT_CHANGE, "change");
    change.setActiveStatus(CAD::StageIdentifier::DEFAULT_DATASET, false);
    EXPECT_EQ(material(change), std::pair(defaults.inactiveColor, defaults.inactiveColor));

    Element strain(ElementCreator::STRAIN_GRID, "strain");
    strain.getElemProperties()->uncolored = true;
    EXPECT_EQ(material(strain).first, Color(191, 191, 191));
    EXPECT_FALSE(renderer.specular);

    // Meshes that show colour data but have none are grey in front.
    const Color GREY(191, 191, 191);
    CAD::PolyBase scan(ElementCreator::MESH_SCAN, "scan");
    scan.setMesh({ { 0, 0, 0 }, { 1, 0, 0 }, { 0, 1, 0 } }, { { 0, 1, 2 } });
    const CAD::ElemProp &q = *scan.getElemProperties();
    EXPECT_EQ(material(scan), std::pair(GREY, q.meshBackColor));
    scan.setDrawColors(std::vector<Color>(3, Color(1, 2, 3)));
    EXPECT_EQ(material(scan), std::pair(q.meshFrontColor, q.meshBackColor));
    CAD::PolyBase mapped(ElementCreator::MESH, "mapped");
    mapped.setMesh({ { 0, 0, 0 }, { 1, 0, 0 }, { 0, 1, 0 } }, { { 0, 1, 2 } });
    mapped.setDrawColors(std::vector<Color>(3, Color(1, 2, 3))); // a plain mesh does not show them
    EXPECT_EQ(material(mapped).first, q.meshFrontColor);
    mapped.getElemProperties()->colorMapEnabled = true;
    EXPECT_EQ(material(mapped).first, GREY);
    mapped.setDeviations({ 0.1f, 0.2f, 0.3f });
    EXPECT_EQ(material(mapped).first, q.meshFrontColor);

    // Marked elements take the marking colour, save meshes whose boundary shows it.
    const Color mark(0, 255, 255);
    scene.marks = { { &scan, mark }, { &point, mark } };
    EXPECT_EQ(material(scan), std::pair(mark, mark));
    scan.getElemProperties()->showBoundary = true;
    EXPECT_EQ(material(scan), std::pair(q.meshFrontColor, q.meshBackColor));
    point.getElemProperties()->showBoundary = true;
    EXPECT_EQ(material(point), std::pair(mark, mark));

    Element cloud(ElementCreator::POINT_CLOUD, "cloud");
    cloud.getElemProperties()->transparency = 0.5;
    const Color dataset = cloud.getElemProperties()->datasetColor;
    EXPECT_EQ(material(cloud), std::pair(Color(dataset.r, dataset.g, dataset.b, 127), dataset));
}

TEST(RendererQuads, TessellationAveragesTheCornersPicksTheTextureRowAndFansAroundTheCentres)
{
    constexpr uint16_t NEW = LogRenderer::NEW_VERTEX;
    CAD::Strain::MappedPoint corners[4];
    const float xs[4] = { 0, 4, 4, 0 }, ys[4] = { 0, 0, 4, 4 };
    for (int i = 0; i < 4; ++i) {
        corners[i].position = { xs[i], ys[i], 0 };
        corners[i].normal = { 0, 0, 1 };
        corners[i].value = float(i);
    }
    corners[1].flag = 1;

    BaVec3d<float> positions[40], normals[40];
    float tex[80], weights[40];
    uint16_t ids[25];
    std::fill(std::begin(ids), std::end(ids), NEW);
    unsigned counter = 0;
    LogRenderer::addTesselatedQuad(corners, positions, normals, tex, weights, &counter, ids);
    ASSERT_EQ(counter, 25u);
    for (uint16_t i = 0; i < 25; ++i)
        EXPECT_EQ(ids[i], i); // written in slot order
    EXPECT_EQ(positions[4], BaVec3d<float>(2, 2, 0)); // centre
    EXPECT_EQ(positions[5], BaVec3d<float>(0, 2, 0)); // midpoint of corners 0 and 3
    EXPECT_EQ(positions[9], BaVec3d<float>(1, 1, 0)); // centre of the sub-quad at corner 0
    EXPECT_EQ(positions[24], BaVec3d<float>(2, 3, 0)); // midpoint of 4 and 8
    EXPECT_FLOAT_EQ(tex[2 * 4], 1.5f); // mean value
    EXPECT_FLOAT_EQ(tex[2 * 4 + 1], 0.25f);
    EXPECT_FLOAT_EQ(weights[1], 0.5f);
    EXPECT_FLOAT_EQ(weights[6], 0.75f);

    // The fan round the centre 4 through 5, 0, 6, 1, 7, 2, 8, 3 and back to 5, as triangles
    // over whatever vertices the ids name.
    uint16_t indices[96];
    counter = 0;
    const uint16_t fanIds[9] = { 100, 101, 102, 103, 104, 105, 106, 107, 108 };
    LogRenderer::addQuadFanIndices(indices, &counter, fanIds);
    EXPECT_EQ(std::vector<uint16_t>(indices, indices + counter),
        std::vector<uint16_t>({ 104, 105, 100, 104, 100, 106, 104, 106, 101, 104, 101, 107, 104, 107, 102,
            104, 102, 108, 104, 108, 103, 104, 103, 105 }));
    counter = 0;
    LogRenderer::addTesselatedQuadIndices(indices, &counter, ids);
    ASSERT_EQ(counter, 96u);
    // Every fan runs round its sub-quad centre, within a sub-quad's diagonal, counter-clockwise
    // as the quad is.
    for (int fan = 0; fan < 4; ++fan) {
        for (int t = 0; t < 8; ++t) {
            const uint16_t *tri = indices + fan * 24 + t * 3;
            EXPECT_EQ(tri[0], 9 + fan);
            for (int i = 1; i < 3; ++i)
                EXPECT_LE((positions[tri[i]] - positions[tri[0]]).length(), 1.5f) << fan << ' ' << t;
            const BaVec3d<float> a = positions[tri[1]] - positions[tri[0]],
                                 b = positions[tri[2]] - positions[tri[0]];
            EXPECT_GT(a.x * b.y - a.y * b.x, 0.0f) << fan << ' ' << t;
        }
    }

    // The quad to the right shares corners 1 and 2 and the midpoint between them: only its
    // centre, two corners and three midpoints are new, written after the first quad's.
    CAD::Strain::MappedPoint right[4] = { corners[1], corners[1], corners[2], corners[2] };
    right[1].position = { 8, 0, 0 };
    right[2].position = { 8, 4, 0 };
    uint16_t shared[9] = { ids[1], NEW, NEW, ids[2], NEW, ids[7], NEW, NEW, NEW };
    counter = 25;
    LogRenderer::addQuadFan(right, positions, normals, tex, weights, &counter, shared);
    EXPECT_EQ(counter, 31u);
    EXPECT_EQ(std::vector<uint16_t>(shared, shared + 9),
        std::vector<uint16_t>({ 1, 25, 26, 2, 27, 7, 28, 29, 30 }));
    EXPECT_EQ(positions[shared[4]], BaVec3d<float>(6, 2, 0));
    EXPECT_EQ(positions[shared[7]], BaVec3d<float>(8, 2, 0));
    EXPECT_EQ(positions[1], BaVec3d<float>(4, 0, 0)); // the shared corner is left as it was

    // Any corner without a value moves the whole quad to the no-value row.
    corners[2].value = std::numeric_limits<float>::max();
    std::fill(std::begin(ids), std::end(ids), NEW);
    counter = 0;
    LogRenderer::addQuadFan(corners, positions, normals, tex, nullptr, &counter, ids);
    EXPECT_EQ(counter, 9u);
    for (int i = 0; i < 9; ++i)
        EXPECT_FLOAT_EQ(tex[2 * i + 1], 0.75f);
}

TEST(RendererContainer, RefusesASecondRendererForAType)
{
    Vaq::Test::TestScene scene;
    GCAD::RendererContainer container;
    auto *labels = new LogRenderer(&scene, {}, { ElementCreator::POINT_CLOUD, ElementCreator::LABEL });
    container.registerRenderer(labels);
    EXPECT_EQ(Vaq::Test::progErrorMessage([&] {
        container.registerRenderer(new LogRenderer(&scene, {}, { ElementCreator::LABEL }));
    }),
        "cad renderer for this type has already been registered");
    EXPECT_EQ(container.getRenderer(ElementCreator::LABEL), labels);
}

} // namespace
