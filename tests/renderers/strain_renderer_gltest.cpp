// The strain renderer on a real view: facets in the colours of the colour mapping, holes left
// to the background, five rows per step, plain and tessellated facets, the column step of a
// moving view, coloured points, vectors, isolines and sections; and the texture units and
// client arrays left off after every render type.
#include "gcad/host/gl/vaq_gl_api.h"
#include "gcad/host/gl/vaq_gl_extensions.h"
#include "gcad/renderers/gcad_r_strain.h"
#include "tests/support/gcad_driver_guard.h"
#include "tests/support/gcad_gl_test.h"
#include "tests/support/prog_error_message.h"

#include <QImage>

#include <memory>

using namespace Vaq;
using CAD::Strain;
using GCAD::StrainRenderer;

namespace {

const CAD::StageIdentifier STAGE = CAD::StageIdentifier::DEFAULT_DATASET;
const Color RED(255, 0, 0), GREEN(0, 255, 0), BLUE(0, 0, 255), YELLOW(255, 255, 0);

class StrainRendering : public Vaq::Test::GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        scene.getRendererContainer().registerRenderer(new StrainRenderer(&scene));
    }

    // A grid from (0, 0) to (10, 10), flat at z = 0 or rising by tilt along y, with width x
    // height points and the values value(column, row); only the facets are switched on.
    template<typename F> Strain *grid(unsigned width, unsigned height, F value)
    {
        auto strain = std::make_unique<Strain>();
        std::vector<BaVec3d<double>> positions;
        std::vector<float> values;
        for (unsigned r = 0; r < height; ++r) {
            for (unsigned c = 0; c < width; ++c) {
                const double y = 10.0 * r / (height - 1);
                positions.emplace_back(10.0 * c / (width - 1), y, tilt * y);
                values.push_back(value(c, r));
            }
        }
        strain->setGrid(width, height, positions, values);
        strain->setColorMapping({ RED, GREEN, BLUE, YELLOW });
        scene.show(strain.get(), STAGE);
        grids.push_back(std::move(strain));
        return grids.back().get();
    }
    QImage paint(const GL::UpdateOptions &options = GL::UpdateOptions())
    {
        view->repaintWidget(options);
        image = view->getRenderedImage();
        return image;
    }
    QColor at(double x, double y) const
    {
        const BaVec2d<double> pixel = pixelOf({ x, y, tilt * y });
        return image.pixelColor(int(pixel.x), H - 1 - int(pixel.y));
    }
    // Drives the renderer through the given render types outside a repaint, as the callback
    // does; returns the number of steps each took.
    std::vector<int> stepsOf(StrainRenderer &renderer, CAD::Element *element, std::vector<unsigned> types)
    {
        view->makeCurrent();
        std::vector<int> steps;
        for (unsigned type : types) {
            renderer.setup({ element, STAGE }, { type }, 1);
            int count = 1;
            while (!renderer.draw())
                ++count;
            renderer.finish();
            steps.push_back(count);
        }
        return steps;
    }
    // The colour's channels that are 255 are bright, those that are 0 dark, in the pixel.
    static void expectHue(const QColor &pixel, const Color &color, const char *what)
    {
        const int channels[3] = { pixel.red(), pixel.green(), pixel.blue() };
        const int wanted[3] = { color.r, color.g, color.b };
        for (int i = 0; i < 3; ++i) {
            if (wanted[i] == 255)
                EXPECT_GT(channels[i], 150) << what << " channel " << i;
            else
                EXPECT_LT(channels[i], 60) << what << " channel " << i;
        }
    }

    double tilt = 0.0;
    std::vector<std::unique_ptr<Strain>> grids;
    QImage image;
};

} // namespace

TEST_F(StrainRendering, facetsTakeTheColourOfTheirValueAndHolesShowTheBackground)
{
    // Pairs of columns with equal values make facets of one value each: 0.1, 0.35, 0.6, 0.85
    // (and 1.7, clamped to the last colour) fall in the four colours of the scale; the point
    // in the middle of the last rows is a hole. The grid is tilted away from the light, so that
    // the highlight cannot make up for a material that is not white.
    tilt = 0.3;
    const float values[10] = { 0.1f, 0.1f, 0.35f, 0.35f, 0.6f, 0.6f, 0.85f, 0.85f, 1.7f, 1.7f };
    grid(10, 4, [&](unsigned c, unsigned r) { return r == 3 && c == 4 ? CAD::NO_VALUE : values[c]; });
    paint();
    const double dx = 10.0 / 9, dy = 10.0 / 3;
    const auto facetCentre = [&](int column, int row) { return at((column + 0.5) * dx, (row + 0.5) * dy); };
    expectHue(facetCentre(0, 0), RED, "0.1");
    expectHue(facetCentre(2, 0), GREEN, "0.35");
    expectHue(facetCentre(4, 0), BLUE, "0.6");
    expectHue(facetCentre(6, 0), YELLOW, "0.85");
    expectHue(facetCentre(8, 0), YELLOW, "1.7");
    // The facets round the hole are missing; their neighbours are there.
    EXPECT_EQ(facetCentre(3, 2), QColor(Qt::black));
    EXPECT_EQ(facetCentre(4, 2), QColor(Qt::black));
    expectHue(facetCentre(4, 1), BLUE, "below the hole");
    expectHue(facetCentre(6, 2), YELLOW, "beside the hole");
}

TEST_F(StrainRendering, twelveRowsTakeThreeStepsAndMixedFlagsTessellateTheirFacet)
{
    Strain *strain = grid(10, 12, [](unsigned c, unsigned) { return 0.1f * c; });
    StrainRenderer renderer(&scene);
    // Rows 0-4, 5-9 and 10-11; the last row starts no facets. A step of n rows of 9 facets
    // shares the corners (n + 1 lines of 10) and edge midpoints (n + 1 lines of 9 along the
    // rows, n of 10 across) between its facets; each facet adds its centre: 38 n + 19 vertices.
    EXPECT_EQ(stepsOf(renderer, strain, { StrainRenderer::SRT_FACETS }), std::vector<int>({ 3 }));
    const unsigned shared = 2 * (38 * 5 + 19) + (38 * 1 + 19);
    EXPECT_EQ(renderer.getFacetVertexCount(), shared);

    // One flagged point: the four facets round it have mixed flags and are tessellated, with
    // 16 vertices of their own each beyond those they share.
    strain->setPointFlag({ strain->getPointIndex(4, 4) }, CAD::StrainPointFlags::FLAGGED, true);
    stepsOf(renderer, strain, { StrainRenderer::SRT_FACETS });
    EXPECT_EQ(renderer.getFacetVertexCount(), shared + 4 * 16);
    // A facet flagged at every corner is plain again.
    strain->setPointFlag(
        { strain->getPointIndex(5, 4), strain->getPointIndex(4, 5), strain->getPointIndex(5, 5) },
        CAD::StrainPointFlags::FLAGGED, true);
    stepsOf(renderer, strain, { StrainRenderer::SRT_FACETS });
    EXPECT_EQ(renderer.getFacetVertexCount(), shared + 8 * 16);
}

TEST_F(StrainRendering, aStepBeyondSixteenBitIndicesStartsItsSharedVerticesAfresh)
{
    // 3000 columns: five rows would need 65989 vertices, more than 16-bit indices address.
    // Rows 0-3 take 2 x 3000 + 2 x 2999 + 3000 + 2999 and 3 x (3000 + 2999 + 3000 + 2999) =
    // 53991; the last row 6 for its first facet and 4 for each further one, until at facet
    // 2880 another 25 would not fit: what is batched is drawn, that facet starts anew with 9
    // vertices and its 118 neighbours to the right share only their left edges (6 each).
    Strain *strain = grid(3000, 6, [](unsigned, unsigned) { return 0.1f; });
    StrainRenderer renderer(&scene);
    stepsOf(renderer, strain, { StrainRenderer::SRT_FACETS });
    EXPECT_EQ(renderer.getFacetVertexCount(), 53991u + 6 + 4 * 2879 + 9 + 118 * 6);
    // The facets on both sides of the new start are there, in their colour.
    paint();
    for (double x : { 5.0, 9.5, 9.9 })
        expectHue(at(x, 9.0), RED, "last row");
}

TEST_F(StrainRendering, driversWithoutMultitexturingDrawTheSameFacets)
{
    grid(30, 20, [](unsigned c, unsigned r) { return 0.03f * c + 0.01f * r; });
    const QImage full = paint();
    {
        Vaq::Test::DriverGuard driver;
        driver.disableExtensions("GL_ARB_multitexture");
        EXPECT_EQ(paint(), full);
    }
    // The flagged overlay darkens a flagged point's surroundings with one texture unit or two.
    Strain *flagged = grids.back().get();
    flagged->getElemProperties()->colorMapEnabled = true;
    flagged->setPointFlag({ flagged->getPointIndex(15, 10) }, CAD::StrainPointFlags::FLAGGED, true);
    const BaVec3d<double> point(15 * 10.0 / 29, 10 * 10.0 / 19, 0);
    paint();
    const QColor two = at(point.x, point.y);
    Vaq::Test::DriverGuard driver;
    driver.disableExtensions("GL_ARB_multitexture");
    paint();
    const QColor one = at(point.x, point.y);
    const QColor unflagged = full.pixelColor(int(pixelOf(point).x), H - 1 - int(pixelOf(point).y));
    EXPECT_LT(two.lightness(), unflagged.lightness() * 3 / 4);
    EXPECT_NEAR(one.lightness(), two.lightness(), 8);
}

TEST_F(StrainRendering, aMovingViewDrawsEveryKthColumnByThePointCountHint)
{
    Strain *strain = grid(10, 2, [](unsigned c, unsigned) { return 0.1f * c; });
    StrainRenderer renderer(&scene);
    paint(GL::UpdateOptions(GL::UpdateOptions::US_VIEW, GL::UpdateOptions::UT_INTERACTIVE));
    // Every third column: 0, 3, 6, facets apart that share nothing (9 vertices each); every
    // column: one row of 9 facets sharing 20 corners and 18 + 10 midpoints, and 9 centres.
    renderer.setNumPoints(300000);
    stepsOf(renderer, strain, { StrainRenderer::SRT_FACETS });
    EXPECT_EQ(renderer.getFacetVertexCount(), 3u * 9);
    renderer.setNumPoints(149999);
    stepsOf(renderer, strain, { StrainRenderer::SRT_FACETS });
    EXPECT_EQ(renderer.getFacetVertexCount(), 20u + 18 + 10 + 9);
    // A still view draws every column whatever the hint.
    paint();
    renderer.setNumPoints(300000);
    stepsOf(renderer, strain, { StrainRenderer::SRT_FACETS });
    EXPECT_EQ(renderer.getFacetVertexCount(), 20u + 18 + 10 + 9);
}

TEST_F(StrainRendering, pointsAreColouredByValueOrFlagAndTheBackSideHasItsOwnColour)
{
    // Points only, 9 pixels wide, unlit: with the colour map the value 1.7 takes the last
    // colour, a flagged point half of its colour; without it the point colour, flagged red.
    Strain *strain = grid(3, 3, [](unsigned c, unsigned r) { return r == 1 && c == 1 ? 1.7f : 0.0f; });
    CAD::ElemProp &p = *strain->getElemProperties();
    p.showTriangles = false;
    p.showPoints = true;
    p.pointSize = 9.0;
    p.colorMapEnabled = true;
    paint();
    EXPECT_EQ(at(5, 5), QColor(255, 255, 0));
    EXPECT_EQ(at(5, 0), QColor(255, 0, 0));
    strain->setPointFlag({ 4 }, CAD::StrainPointFlags::FLAGGED, true);
    paint();
    EXPECT_EQ(at(5, 5), QColor(128, 128, 0));
    p.colorMapEnabled = false;
    p.pointColor = Color(0, 0, 255);
    paint();
    EXPECT_EQ(at(5, 5), QColor(255, 0, 0));
    EXPECT_EQ(at(5, 0), QColor(0, 0, 255));

    // Facets seen from behind: culled, and the reversed quads show the back colour.
    p.showPoints = false;
    p.showTriangles = true;
    p.showMaterialSide = true;
    p.meshBackColor = Color(0, 255, 0);
    strain->setRenderTransformation(
        STAGE, Transformation::rotation(BaVec3d<double>(0, 1, 0), 3.14159265358979));
    paint();
    const QColor back = at(-5, 5);
    EXPECT_GT(back.green(), 100);
    EXPECT_LT(back.red(), 60);
}

TEST_F(StrainRendering, vectorsIsolinesAndSectionsAreDrawnWhereTheElementSays)
{
    // A grid rising along x: its isoline at 0.5 is the line x = 5, drawn in magenta over the
    // facets (blue there); the major directions point half a unit up from every point in blue.
    Strain *strain = grid(11, 11, [](unsigned c, unsigned) { return 0.1f * c; });
    CAD::ElemProp &p = *strain->getElemProperties();
    p.strain.isolines = true;
    p.strain.isolineColor = Color(255, 0, 255);
    p.strain.isolineWidth = 3.0;
    strain->setIsolineValues({ 0.5f });
    paint();
    EXPECT_GT(at(5, 5).red(), 200);
    EXPECT_LT(at(6, 5).red(), 60);
    p.showTriangles = false;
    p.strain.isolines = false;
    p.strain.majorDirections = true;
    p.strain.vectorColor = BLUE;
    p.lineWidth = 3.0;
    strain->setMajorDirections(std::vector<BaVec3d<float>>(121, { 0, 0.5f, 0 }));
    paint();
    EXPECT_EQ(at(3, 0.25).blue(), 255);
    EXPECT_EQ(at(3.5, 0.25), QColor(Qt::black)); // between two columns

    // A section along the diagonal in red, with markers at its points.
    p.strain.majorDirections = false;
    CAD::StrainSection section;
    section.setPoints({ { 1, 1, 0 }, { 9, 9, 0 } });
    section.setDrawColor(RED);
    section.getElemProperties()->lineWidth = 3.0;
    section.getElemProperties()->strain.sectionSpheres = true;
    scene.show(&section, STAGE);
    paint();
    EXPECT_GT(at(5, 5).red(), 200);
    EXPECT_GT(at(1, 1).red(), 100);
    EXPECT_EQ(at(5, 7), QColor(Qt::black));
    scene.entries.pop_back();
}

TEST_F(StrainRendering, everyRenderTypeLeavesTexturesAndClientArraysOff)
{
    Strain *strain = grid(6, 6, [](unsigned c, unsigned r) { return 0.2f * c - 0.1f * r; });
    strain->setPointFlag({ 7, 8 }, CAD::StrainPointFlags::FLAGGED, true);
    strain->setIsolineValues({ 0.3f });
    strain->setMajorDirections(std::vector<BaVec3d<float>>(36, { 0, 1, 0 }));
    strain->setMinorDirections(std::vector<BaVec3d<float>>(36, { 1, 0, 0 }));
    strain->setDisplacements(std::vector<BaVec3d<float>>(36, { 0, 0, 1 }));
    CAD::StrainSection section;
    section.setPoints({ { 1, 1, 0 }, { 9, 9, 0 } });
    CAD::StrainStagePoint point({ 5, 5, 0 });
    strain->getElemProperties()->showMaterialSide = true;
    strain->getElemProperties()->strain.vectorsThroughSurface = true;

    StrainRenderer renderer(&scene);
    const auto check = [&](CAD::Element *element, unsigned type) {
        stepsOf(renderer, element, { type });
        const GLenum arrays[] = { GL_VERTEX_ARRAY, GL_NORMAL_ARRAY, GL_COLOR_ARRAY, GL_TEXTURE_COORD_ARRAY };
        for (GLenum array : arrays)
            EXPECT_FALSE(::glIsEnabled(array)) << "type " << type << " array " << array;
        for (GLenum unit : { GL_TEXTURE0, GL_TEXTURE1 }) {
            if (GL::glActiveTexture) {
                GL::glActiveTexture(unit);
                GL::glClientActiveTexture(unit);
            }
            EXPECT_FALSE(::glIsEnabled(GL_TEXTURE_2D)) << "type " << type << " unit " << unit;
            EXPECT_FALSE(::glIsEnabled(GL_TEXTURE_COORD_ARRAY)) << "type " << type << " unit " << unit;
        }
        if (GL::glActiveTexture) {
            GL::glActiveTexture(GL_TEXTURE0);
            GL::glClientActiveTexture(GL_TEXTURE0);
        }
        GLint depthFunc = 0;
        ::glGetIntegerv(GL_DEPTH_FUNC, &depthFunc);
        EXPECT_EQ(depthFunc, GL_LEQUAL) << "type " << type;
        EXPECT_TRUE(::glIsEnabled(GL_DEPTH_TEST)) << "type " << type;
        GLfloat pointSize = 0;
        ::glGetFloatv(GL_POINT_SIZE, &pointSize);
        EXPECT_EQ(pointSize, 1.0f) << "type " << type;
    };
    for (unsigned type = 0; type <= 14; ++type) {
        if (type >= StrainRenderer::SRT_STAGE_POINT && type <= StrainRenderer::SRT_SECTION_SPHERES)
            continue;
        check(strain, type);
    }
    check(&point, StrainRenderer::SRT_STAGE_POINT);
    for (unsigned type : { 5, 6, 7 })
        check(&section, type);
    // The same without multitexturing, where the flagged overlay takes a second pass.
    Vaq::Test::DriverGuard driver;
    driver.disableExtensions("GL_ARB_multitexture");
    check(strain, StrainRenderer::SRT_FACETS);
    // The callback's own check of the defaults found nothing either.
    EXPECT_EQ(takeTraces().find("GL-Default error"), std::string::npos);
}

TEST_F(StrainRendering, elementsOfOtherKindsAreRefused)
{
    StrainRenderer renderer(&scene);
    CAD::Element notAStrain(CAD::ElementCreator::STRAIN_GRID);
    EXPECT_EQ(
        Vaq::Test::progErrorMessage([&] { stepsOf(renderer, &notAStrain, { 1 }); }), "wrong element type");
    renderer.finish();
    CAD::StrainStagePoint point({ 1, 1, 1 });
    EXPECT_EQ(Vaq::Test::progErrorMessage([&] { stepsOf(renderer, &point, { StrainRenderer::SRT_FACETS }); }),
        "wrong element type");
    renderer.finish();
    view->makeCurrent();
    renderer.initDefaults();
}
