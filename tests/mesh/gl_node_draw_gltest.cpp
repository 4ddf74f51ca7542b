// GPU mesh nodes drawn into a real frame buffer, one pixel test per drawing branch.
#include "gcad/host/cad/vaq_cad_dome_mesh.h"
#include "gcad/host/fig2/vaq_fig2_legend_handler.h"
#include "gcad/host/gl/vaq_gl_texture.h"
#include "gcad/host/gl/vaq_gl_tools.h"
#include "gcad/mesh/gcad_buffer_name_pool.h"
#include "gcad/mesh/gcad_color_map_texture.h"
#include "tests/mesh/mesh_draw_scene.h"
#include "tests/support/gcad_driver_guard.h"

#include <gtest/gtest.h>

#include <cmath>
#include <regex>

using namespace Vaq;
using namespace Vaq::GCAD;
using namespace Vaq::Test;
using CAD::ElementCreator;

namespace {

// Surfaces are turned 35 degrees away from the viewer, so that the head light's highlight
// (at 128 shininess) does not wash their colour out to white.
const double TILT_COS = std::cos(35.0 * M_PI / 180.0);
const double TILT_SIN = std::sin(35.0 * M_PI / 180.0);

BaVec3d<double> onTiltedPlane(double x, double v)
{
    return { x, v * TILT_COS, v * TILT_SIN };
}

std::unique_ptr<CAD::PolyBase> makeMesh(std::vector<BaVec3d<double>> vertices,
    std::vector<CAD::Triangle> triangles, ElementCreator::Element_t type = ElementCreator::MESH_INSPECTION)
{
    auto mesh = std::make_unique<CAD::PolyBase>(type);
    mesh->setMesh(std::move(vertices), std::move(triangles));
    mesh->computeNormals();
    return mesh;
}

// Unit squares side by side along x on the tilted plane, with vertices of their own:
// square i has vertices 4i to 4i + 3 and triangles 2i, 2i + 1. A square facing away is
// wound the other way round.
std::unique_ptr<CAD::PolyBase> squares(ElementCreator::Element_t type, const std::vector<bool> &facingAway)
{
    std::vector<BaVec3d<double>> vertices;
    std::vector<CAD::Triangle> triangles;
    for (uint32_t i = 0; i < facingAway.size(); ++i) {
        for (const auto &[u, v] : { std::pair { 0, 0 }, { 1, 0 }, { 1, 1 }, { 0, 1 } })
            vertices.push_back(onTiltedPlane(1.5 * i + u, v));
        const uint32_t k = 4 * i, turn = facingAway[i] ? 1 : 0;
        triangles.push_back({ k, k + 1 + turn, k + 2 - turn });
        triangles.push_back({ k, k + 2 + turn, k + 3 - turn });
    }
    return makeMesh(std::move(vertices), std::move(triangles), type);
}

BaVec3d<double> squareCentre(int i)
{
    return onTiltedPlane(1.5 * i + 0.5, 0.5);
}

// A colour dark enough that no light saturates it, so that shading differences show.
const Color DARK(110, 90, 70);

// The selection tint: c x 85/255 + 85/255.
Color tinted(const Color &c)
{
    auto channel = [](uint8_t v) { return uint8_t(std::min(255L, std::lround(v * 85.0 / 255.0) + 85)); };
    return Color(channel(c.r), channel(c.g), channel(c.b));
}

const Color BACKGROUND(0, 0, 0);

class NodeDrawing : public MeshDrawTest
{
protected:
    // Paints with types and reads for each triangle of mesh the colours at its centroid and
    // half way from there to each corner.
    std::vector<std::vector<Color>> facetColours(std::vector<unsigned> types, const CAD::PolyBase &mesh)
    {
        renderer->renderTypes = std::move(types);
        const QImage image = paint();
        const CAD::PolyBaseData &data = *mesh.getData(STAGE);
        std::vector<std::vector<Color>> colours;
        for (const CAD::Triangle &t : data.triangles) {
            const BaVec3d<double> m = (data.vertices[t[0]] + data.vertices[t[1]] + data.vertices[t[2]]) / 3.0;
            colours.push_back({ colorAt(image, m) });
            for (uint32_t corner : t)
                colours.back().push_back(colorAt(image, m + (data.vertices[corner] - m) * 0.5));
        }
        return colours;
    }
    // Paints with types and reads the colour at the centre of each of the first n squares.
    std::vector<Color> squareColours(std::vector<unsigned> types, int n)
    {
        renderer->renderTypes = std::move(types);
        const QImage image = paint();
        std::vector<Color> colours;
        for (int i = 0; i < n; ++i)
            colours.push_back(colorAt(image, squareCentre(i)));
        return colours;
    }
    static bool uniform(const std::vector<Color> &colours, int tolerance)
    {
        return std::all_of(colours.begin(), colours.end(),
            [&](const Color &c) { return closeTo(c, colours[0], tolerance); });
    }
};

} // namespace

TEST_F(NodeDrawing, flatShadingShowsOneColourPerFacet)
{
    // The apex is off centre, so that the four faces all turn differently towards the light.
    auto pyramid = makeMesh({ { -1, -1, 0 }, { 1, -1, 0 }, { 1, 1, 0 }, { -1, 1, 0 }, { 0.4, 0.2, 1.2 } },
        { { 0, 1, 4 }, { 1, 2, 4 }, { 2, 3, 4 }, { 3, 0, 4 } });
    pyramid->getElemProperties()->meshFrontColor = DARK;
    const CAD::PolyBase &mesh = *show(std::move(pyramid));
    const std::vector<std::vector<Color>> flat = facetColours({ RT_TRIANGLES }, mesh);
    for (std::size_t i = 0; i < flat.size(); ++i) {
        EXPECT_TRUE(uniform(flat[i], 1)) << "facet " << i << ": " << testing::PrintToString(flat[i]);
        for (std::size_t j = 0; j < i; ++j)
            EXPECT_FALSE(closeTo(flat[i][0], flat[j][0], 2)) << "facets " << j << " and " << i;
    }
}

TEST_F(NodeDrawing, flatLeftoversAreDrawnWithTheirOwnFacetNormal)
{
    // Six flat helpers use a, b and c twice each as their last corner, so the big triangle
    // (a, b, c) is left over. Those at a face down, the others up: smooth normals differ widely.
    const BaVec3d<double> a(0, 0, 0), b(2, 0, 0.8), c(1, 2, 1.6);
    std::vector<BaVec3d<double>> vertices { a, b, c };
    std::vector<CAD::Triangle> triangles;
    auto helper = [&](const BaVec3d<double> &p, const BaVec3d<double> &q, uint32_t corner) {
        vertices.push_back(p);
        vertices.push_back(q);
        triangles.push_back({ uint32_t(vertices.size() - 2), uint32_t(vertices.size() - 1), corner });
    };
    for (double y : { -1.0, -2.2 }) {
        helper({ 0.5, y, 0 }, { -1, y, 0 }, 0);
        helper({ 1.5, y, 0.8 }, { 3, y, 0.8 }, 1);
    }
    for (double y : { 3.0, 4.2 })
        helper({ 2, y, 1.6 }, { 0, y, 1.6 }, 2);
    triangles.push_back({ 0, 1, 2 });
    auto owned = makeMesh(std::move(vertices), std::move(triangles));
    owned->getElemProperties()->meshFrontColor = DARK;
    MeshOrderGuard meshOrder;
    const CAD::PolyBase &mesh = *show(std::move(owned));

    const std::vector<Color> flat = facetColours({ RT_TRIANGLES }, mesh).back();
    ASSERT_EQ(NodeRenderer::nodeOf(mesh)->getLeftovers(false).size(), 1u);
    EXPECT_TRUE(uniform(flat, 1)) << testing::PrintToString(flat);
    EXPECT_NE(flat[0], BACKGROUND);

    // Smooth shading shows the gradient the leftover's own normal avoids.
    const std::vector<Color> smooth = facetColours({ RT_TRIANGLES | RT_SMOOTH }, mesh).back();
    EXPECT_FALSE(uniform(smooth, 6)) << testing::PrintToString(smooth);
}

TEST_F(NodeDrawing, selectedTrianglesShowTheSelectionColourOrTintAndEdgesTheEdgeColour)
{
    CAD::PolyBase &mesh = *show(squares(ElementCreator::MESH_INSPECTION, { false, false }));
    mesh.setTriangleFlag({ 0, 1 }, CAD::PointFlags::SELECTED, true);
    mesh.updateVisualization(STAGE, false, false);

    // Plain: the selected square in the selection colour, the other in the mesh colour.
    for (unsigned shading : { unsigned(RT_SMOOTH), 0u }) {
        const std::vector<Color> c = squareColours({ RT_TRIANGLES | shading }, 2);
        EXPECT_TRUE(c[0].r > 150 && c[0].g < 60 && c[1].g > 120) << shading << c[0] << c[1];
    }

    // Edges in the edge colour: the diagonal through the plain square's centre is one, a point
    // beside it is not.
    mesh.getElemProperties()->edgeColor = Color(255, 0, 255);
    const Color edge = squareColours({ RT_EDGES }, 2)[1];
    EXPECT_TRUE(edge.r > 40 && edge.r == edge.b && edge.g < 10) << edge;
    EXPECT_EQ(colorAt(view->getRenderedImage(), onTiltedPlane(1.5 + 0.75, 0.3)), BACKGROUND);

    // Coloured: the vertex colour, tinted where selected.
    mesh.setDrawColors(std::vector<Color>(8, Color(200, 100, 50)));
    mesh.updateVisualization(STAGE, false, false);
    const std::vector<Color> c = squareColours({ RT_TRIANGLES | RT_VERTEX_COLORS }, 2);
    EXPECT_TRUE(closeTo(c[1], Color(200, 100, 50), 60)) << c[1];
    EXPECT_TRUE(closeTo(c[0], tinted(c[1]))) << c[0] << " for " << c[1];
}

TEST_F(NodeDrawing, theBackSideShowsTheBackMaterialOrTheSelectionBackColour)
{
    // Square 0 faces the viewer, squares 1 and 2 turn their backs to it; square 2 is selected.
    CAD::PolyBase &mesh = *show(squares(ElementCreator::MESH_INSPECTION, { false, true, true }));
    mesh.setDrawColors(std::vector<Color>(12, Color(0, 200, 0)));
    mesh.setTriangleFlag({ 4, 5 }, CAD::PointFlags::SELECTED, true);
    mesh.updateVisualization(STAGE, false, false);

    // Without the back side flag the back shows the front colour (240, 210, 0) in ambient
    // light, with it the back colour (120, 120, 200).
    Color back = squareColours({ RT_TRIANGLES | RT_SMOOTH }, 2)[1];
    EXPECT_GT(back.r, back.b + 40) << back;
    back = squareColours({ RT_TRIANGLES | RT_SMOOTH | RT_BACK_SIDE }, 2)[1];
    EXPECT_TRUE(back.b > back.r + 40 && back.b > 150) << back;

    // With vertex colours the front keeps them, the back still shows the material and the
    // selected back the selection's back colour (160, 0, 0).
    const std::vector<Color> c = squareColours({ RT_TRIANGLES | RT_VERTEX_COLORS | RT_BACK_SIDE }, 3);
    EXPECT_GT(c[0].g, c[0].r + 60) << c[0];
    EXPECT_GT(c[1].b, c[1].g + 40) << c[1];
    EXPECT_TRUE(c[2].r > c[2].g + 60 && c[2].r > c[2].b + 60) << c[2];

    // A mesh that only faces the viewer, or only turns its back to it, is drawn by the one
    // pass that shows that side.
    for (const bool away : { false, true }) {
        scene.entries.clear();
        CAD::PolyBase &oneSided = *show(squares(ElementCreator::MESH_INSPECTION, { away, away }));
        oneSided.setDrawColors(std::vector<Color>(8, Color(0, 200, 0)));
        oneSided.updateVisualization(STAGE, false, false);
        const Color s = squareColours({ RT_TRIANGLES | RT_VERTEX_COLORS | RT_BACK_SIDE }, 2)[1];
        EXPECT_TRUE(away ? s.b > s.g + 40 : s.g > s.r + 60) << away << s;
    }
    scene.entries.clear();
    scene.show(&mesh);

    // An element offset of 0.0 draws the back side instead, and drops the edges for that draw.
    mesh.setElementMaterialOffset(0.0);
    back = squareColours({ RT_TRIANGLES | RT_SMOOTH | RT_MATERIAL_OFFSET | RT_EDGES }, 2)[1];
    EXPECT_GT(back.b, back.r + 40) << back;
    EXPECT_EQ(NodeRenderer::nodeOf(mesh)->getDrawFlags(), RT_TRIANGLES | RT_SMOOTH | RT_BACK_SIDE);

    // A sheet exported double-sided: each face twice, wound both ways, the copy facing away
    // first. The back side takes a pass of its own after the front, so where both sides lie
    // at the same depth the back material shows, in whichever order the faces come.
    scene.entries.clear();
    std::vector<BaVec3d<double>> vertices;
    for (int copy = 0; copy < 2; ++copy) {
        for (const auto &[u, v] : { std::pair { 0, 0 }, { 1, 0 }, { 1, 1 }, { 0, 1 } })
            vertices.push_back(onTiltedPlane(u, v));
    }
    MeshOrderGuard meshOrder;
    CAD::PolyBase &sheet
        = *show(makeMesh(std::move(vertices), { { 0, 2, 1 }, { 0, 3, 2 }, { 4, 5, 6 }, { 4, 6, 7 } }));
    sheet.setDrawColors(std::vector<Color>(8, Color(0, 200, 0)));
    sheet.updateVisualization(STAGE, false, false);
    for (unsigned shading : { unsigned(RT_SMOOTH), 0u }) {
        back = squareColours({ RT_TRIANGLES | RT_VERTEX_COLORS | RT_BACK_SIDE | shading }, 1)[0];
        EXPECT_GT(back.b, back.g + 40) << shading << back;
    }
}

TEST_F(NodeDrawing, colourMappedVerticesTakeTheirLegendColourAndMissingValuesTheSpecialRow)
{
    Legend2::LegendHandler &legend = *Legend2::LegendHandler::getInstance();
    const Legend2::LegendHandler saved = legend;
    legend.getColorMap().setDataRange(-1.0, 1.0);
    legend.getColorMap().setUncomputedColor(Color(0, 255, 255));
    // Square 0 at 0.9, square 1 without values, square 2 at -0.9 and selected.
    CAD::PolyBase &mesh = *show(squares(ElementCreator::MESH_COLOR_MAPPED, { false, false, false }));
    const float none = CAD::NO_VALUE;
    mesh.setDeviations({ 0.9f, 0.9f, 0.9f, 0.9f, none, none, none, none, -0.9f, -0.9f, -0.9f, -0.9f });
    mesh.setTriangleFlag({ 4, 5 }, CAD::PointFlags::SELECTED, true);
    mesh.updateVisualization(STAGE, false, false);

    view->makeCurrent();
    ASSERT_TRUE(ColorMapTexture::build(&mesh, false, false));
    const unsigned n = legend.getNumberOfRenderColors();
    EXPECT_EQ(int(n), GL::TextureManager::_manager.getMaxTextureSize());
    const std::vector<Color> scale = legend.getIndexedColors();
    const Color high = scale[unsigned(std::floor(0.95 * n))];
    const Color low = scale[unsigned(std::floor(0.05 * n))];

    const std::vector<Color> c = squareColours({ RT_TRIANGLES | RT_COLOR_MAP }, 3);
    EXPECT_EQ(c[0], high);
    EXPECT_EQ(c[1], Color(0, 255, 255));
    EXPECT_TRUE(closeTo(c[2], tinted(low))) << c[2];

    // Without multitexturing a dimmed copy of the texture marks the selection.
    {
        DriverGuard driver;
        driver.disableExtensions("GL_ARB_multitexture");
        view->makeCurrent();
        ASSERT_TRUE(ColorMapTexture::build(&mesh, false, false));
        const Color selected = squareColours({ RT_TRIANGLES | RT_COLOR_MAP | RT_SMOOTH }, 3)[2];
        EXPECT_TRUE(closeTo(selected, ColorMapTexture::dim({ low }).front())) << selected;
    }
    ColorMapTexture::remove(&mesh);
    legend = saved;
}

TEST_F(NodeDrawing, pointSteppingDrawsEveryKthVertexCountedInSteps)
{
    // Twelve vertices, four of them selected.
    auto owned = squares(ElementCreator::MESH_INSPECTION, { false, false, false });
    owned->setPointFlag({ 0, 2, 5, 9 }, CAD::PointFlags::SELECTED, true);
    const CAD::PolyBase &mesh = *show(std::move(owned));
    const CAD::BspNode &leaf = *leavesOf(mesh).at(0);
    const std::vector<BaVec3d<double>> &vertices = mesh.getData(STAGE)->vertices;

    renderer->renderTypes = { RT_POINTS };
    renderer->pointStepping = 3;
    const QImage image = paint();
    // Selected: first 0, count 4 / 3 = 1. Unselected: first 4 / 3 = 1, count 8 / 3 = 2, in
    // steps of three vertices: the leaf's vertices 0, then 3 and 6.
    for (unsigned k = 0; k < 12; ++k) {
        const Color c = colorAt(image, vertices[leaf.getVertices()[k]]);
        if (k == 0)
            EXPECT_GT(c.r, c.b + 60) << k << ": " << c;
        else if (k == 3 || k == 6)
            EXPECT_GT(c.b, c.r + 60) << k << ": " << c;
        else
            EXPECT_EQ(c, BACKGROUND) << k;
    }
}

TEST_F(NodeDrawing, scansShowVertexColoursOnTheSurfaceOtherMeshesOnThePoints)
{
    for (ElementCreator::Element_t type : { ElementCreator::MESH_INSPECTION, ElementCreator::MESH_SCAN }) {
        CAD::PolyBase &mesh = *show(squares(type, { false }));
        mesh.setDrawColors(std::vector<Color>(4, Color(0, 200, 0)));
        mesh.getElemProperties()->pointSize = 9.0;
        mesh.updateVisualization(STAGE, false, false);
        const Color surface
            = squareColours({ RT_POINTS | RT_TRIANGLES | RT_SMOOTH | RT_VERTEX_COLORS }, 1)[0];
        // Just inside the first corner the point covers the surface.
        const Color point = colorAt(view->getRenderedImage(), onTiltedPlane(0.02, 0.02));
        if (type == ElementCreator::MESH_SCAN)
            EXPECT_TRUE(point.b > point.g + 60 && surface.g > surface.r + 60) << point << surface;
        else
            EXPECT_TRUE(point.g > point.r + 60 && surface.r > surface.b + 60) << point << surface;
        scene.entries.clear();
    }
}

TEST_F(NodeDrawing, clientArraysDrawTheSamePixelsAsBufferObjects)
{
    GCAD_SKIP_WITHOUT(bufferObjects);
    const CAD::PolyBase &mesh = *show(CAD::createDomeMesh(9, true));
    renderer->renderTypes = { RT_TRIANGLES | RT_VERTEX_COLORS, RT_EDGES, RT_POINTS };
    const QImage withBuffers = paint();
    ASSERT_TRUE(NodeRenderer::nodeOf(mesh)->isOnGPU());

    nodes.deleteAllNodes();
    BufferNamePool::deleteAll();
    DriverGuard driver;
    driver.disableExtensions("GL_ARB_vertex_buffer_object");
    const QImage withoutBuffers = paint();
    EXPECT_TRUE(withoutBuffers == withBuffers);
    EXPECT_FALSE(withBuffers.isNull());
    // Asked to upload anyway: one failure for the vertex array and one for the indices, and
    // the data stays in client memory.
    takeTraces();
    EXPECT_FALSE(nodes.ensureOnGPU(NodeRenderer::nodeOf(mesh)));
    EXPECT_TRUE(std::regex_match(
        takeTraces(), std::regex(R"((Vaq::GCAD::GLNode::restoreVBO\(\d+\): VBO creation failed\n){2})")));
    EXPECT_NE(NodeRenderer::nodeOf(mesh)->getVertexData(0), nullptr);
    EXPECT_EQ(nodes.getUsedBytes(), 0u);
}

TEST_F(NodeDrawing, missingDataIsAProgrammingError)
{
    const auto mesh = grid(3, 64);
    GLNode *node = new GLNode(STAGE, leavesOf(*mesh)[0]);
    view->makeCurrent();
    EXPECT_EQ(progErrorMessage([&] { node->draw(renderer, RT_POINTS, false); }), "invalid vertex array");
    node->prepare(RT_POINTS, 0);
    for (unsigned flags : { RT_TRIANGLES | RT_SMOOTH, unsigned(RT_TRIANGLES), unsigned(RT_EDGES) })
        EXPECT_EQ(progErrorMessage([&] { node->draw(renderer, flags, false); }), "triangle data not valid")
            << flags;
    GL::GLTools::initDefaults();
}
