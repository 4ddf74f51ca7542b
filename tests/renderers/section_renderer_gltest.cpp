// The section renderer on a real view, checked by its pixels: polylines with and without their
// closing segment, points in colour-mapped colours, faded selected points, needles of the
// right direction and scaled length, the actual line, slices across runs, the tolerance band
// of a 2-D inspection and the marker of a section point. The fixture fails every test whose
// render types leave the GL state changed.
#include "gcad/host/cad/vaq_cad_points_base.h"
#include "gcad/host/cad/vaq_cad_section_edge.h"
#include "gcad/host/cad/vaq_cad_section_insp2d.h"
#include "gcad/host/gl/vaq_gl_stencil_handler.h"
#include "gcad/renderers/gcad_r_section.h"
#include "tests/support/gcad_gl_test.h"
#include "tests/support/prog_error_message.h"

#include <QImage>

#include <memory>

using namespace Vaq;
using CAD::ElementCreator;
using CAD::SectionBase;
using V = BaVec3d<double>;
using F = BaVec3d<float>;

namespace {

const CAD::StageIdentifier STAGE = CAD::StageIdentifier::DEFAULT_DATASET;
const Color RED(255, 0, 0), GREEN(0, 255, 0), BLUE(0, 0, 255), WHITE(255, 255, 255);

class SectionRendering : public Vaq::Test::GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        scene.getRendererContainer().registerRenderer(new GCAD::SectionRenderer(&scene));
        // Two hidden points fix the view on (0, 0) to (10, 10), whatever a test draws.
        corners.setPoints({ { 0, 0, 0 }, { 10, 10, 0 } });
        corners.setPointFlag({ 0, 1 }, CAD::PointFlags::HIDDEN, true);
        corners.getElemProperties()->displayMode = 3;
        scene.show(&corners, STAGE);
    }
    template<typename T = SectionBase>
    T *show(ElementCreator::Element_t type, CAD::SectionRecords<V> runs, std::vector<bool> closed = {})
    {
        auto section = std::make_unique<T>(type);
        section->setSections(std::move(runs), std::move(closed));
        section->getElemProperties()->datasetColor = WHITE;
        T *shown = section.get();
        scene.show(shown, STAGE);
        sections.push_back(std::move(section));
        return shown;
    }
    void paint()
    {
        view->repaintWidget();
        image = view->getRenderedImage();
    }
    QColor at(const V &point, int dx = 0, int dy = 0) const
    {
        const BaVec2d<double> pixel = pixelOf(point);
        return image.pixelColor(int(pixel.x) + dx, H - 1 - (int(pixel.y) + dy));
    }
    bool drawn(const V &point, int dx = 0, int dy = 0) const
    {
        return at(point, dx, dy) != QColor(Qt::black);
    }
    // The colour of a one-pixel line through point, which may fall on either side of a pixel
    // border: the first pixel drawn around it, else black.
    QColor lineAt(const V &point) const
    {
        for (int dx = -1; dx <= 1; ++dx) {
            for (int dy = -1; dy <= 1; ++dy) {
                if (drawn(point, dx, dy))
                    return at(point, dx, dy);
            }
        }
        return QColor(Qt::black);
    }
    bool lineDrawn(const V &point) const { return lineAt(point) != QColor(Qt::black); }

    CAD::PointsBase corners;
    std::vector<std::unique_ptr<SectionBase>> sections;
    QImage image;
};

TEST_F(SectionRendering, aClosedRunDrawsItsClosingSegmentAndAnOpenOneDoesNot)
{
    const CAD::SectionRecords<V> square = { { { 2, 2, 0 }, { 8, 2, 0 }, { 8, 8, 0 }, { 2, 8, 0 } } };
    SectionBase *open = show(ElementCreator::SECTION, square);
    open->getDisplay().lineWidth = 3.0;
    paint();
    EXPECT_EQ(at({ 5, 2, 0 }), QColor(Qt::white));
    EXPECT_EQ(at({ 8, 5, 0 }), QColor(Qt::white));
    EXPECT_FALSE(drawn({ 2, 5, 0 }));

    open->setSections(square, { true });
    paint();
    EXPECT_EQ(at({ 2, 5, 0 }), QColor(Qt::white));

    // A hidden point breaks the line on both of its sides.
    open->setPointFlag(0, 2, CAD::PointFlags::HIDDEN, true);
    paint();
    EXPECT_FALSE(drawn({ 8, 5, 0 }));
    EXPECT_FALSE(drawn({ 5, 8, 0 }));
    EXPECT_TRUE(drawn({ 5, 2, 0 }));
}

TEST_F(SectionRendering, pointsTakeTheColourMapsColoursAndSelectedOnesAreFadedWithoutInspectionColours)
{
    const V a(2, 5, 0), b(5, 5, 0), c(8, 5, 0);
    SectionBase *section = show(ElementCreator::SECTION, { { a, b, c } });
    CAD::SectionDisplay &d = section->getDisplay();
    d.points = true;
    d.polyline = false;
    d.pointSize = 5.0;
    Legend2::ColorMap map;
    map.setColors({ BLUE, GREEN, RED });
    map.setDataRange(-3.0, 3.0);
    section->setColorMap(map);
    section->setDeviations({ { -2.0f, 0.0f, 2.5f } }, { { {}, {}, {} } });
    paint();
    EXPECT_EQ(at(a), QColor(Qt::blue));
    EXPECT_EQ(at(b, 2, 2), QColor(Qt::green)); // 5 pixels wide
    EXPECT_FALSE(drawn(b, 3, 3));
    EXPECT_EQ(at(c), QColor(Qt::red));

    section->setPointFlag(0, 2, CAD::PointFlags::SELECTED, true);
    paint();
    EXPECT_EQ(at(c), QColor(255, 127, 127));
    // With the deviation display on, a plain section shows inspection colours: never faded.
    d.deviationDisplay = true;
    paint();
    EXPECT_EQ(at(c), QColor(Qt::red));

    // A vector section takes the colours its colour source names.
    const V e(5, 8, 0);
    SectionBase *vectors = show(ElementCreator::SECTION_VECTORS, { { e, { 6, 8, 0 } } });
    vectors->getDisplay().points = true;
    vectors->getDisplay().polyline = false;
    vectors->setColors({ { RED, RED } });
    vectors->setSpringColors({ { GREEN, GREEN } });
    vectors->setCutoffColors({ { BLUE, BLUE } });
    paint();
    EXPECT_EQ(at(e), QColor(Qt::red));
    vectors->getDisplay().colorSource = 2;
    paint();
    EXPECT_EQ(at(e), QColor(Qt::blue));
}

TEST_F(SectionRendering, needlesPointAlongTheirVectorsScaledTwiceAndPointsWithoutValueHaveNone)
{
    const V a(2, 5, 0), b(5, 5, 0), c(8, 5, 0);
    SectionBase *section = show(ElementCreator::SECTION_DEVIATION, { { a, b, c } });
    CAD::SectionDisplay &d = section->getDisplay();
    d.polyline = false;
    d.deviationNeedles = true;
    d.needleScale = 1.5;
    section->getElemProperties()->needleScale = 2.0;
    // Needles of 3 times the vector: up from a, down from b; c has no value.
    section->setDeviations(
        { { 0.5f, -0.25f, CAD::NO_VALUE } }, { { { 0, 1, 0 }, { 0, -0.5f, 0 }, { 0, 1, 0 } } });
    paint();
    EXPECT_EQ(lineAt(a + V(0, 2.7, 0)), QColor(Qt::white));
    EXPECT_FALSE(lineDrawn(a + V(0, 3.3, 0)));
    EXPECT_FALSE(lineDrawn(a - V(0, 0.3, 0)));
    EXPECT_EQ(lineAt(b - V(0, 1.3, 0)), QColor(Qt::white));
    EXPECT_FALSE(lineDrawn(b - V(0, 1.7, 0)));
    EXPECT_FALSE(lineDrawn(b + V(0, 0.3, 0)));
    EXPECT_FALSE(lineDrawn(c + V(0, 0.5, 0)));

    // The actual line joins the points moved by the element's vector scale (2) alone, and
    // stops at the point without a value.
    d.deviationNeedles = false;
    d.actualLine = true;
    paint();
    // a moves to (2, 7), b to (5, 4).
    EXPECT_TRUE(lineDrawn({ 3.5, 5.5, 0 }));
    EXPECT_FALSE(lineDrawn({ 6.5, 4.5, 0 }));
    EXPECT_FALSE(lineDrawn(a + V(0, 2.7, 0)));
}

TEST_F(SectionRendering, inspectionFlagsAndSectionEdgesChooseTheirNeedles)
{
    const V a(2, 3, 0), b(5, 3, 0), c(8, 3, 0);
    SectionBase *inspection = show(ElementCreator::SECTION_INSPECTION_2D, { { a, b, c } });
    CAD::SectionDisplay &d = inspection->getInsp2dDisplay();
    d.polyline = false;
    d.inspectionNeedles = true;
    inspection->setDeviations({ { 1, 1, 1 } }, { { { 0, 2, 0 }, { 0, 2, 0 }, { 0, 2, 0 } } });
    using Flags = CAD::Insp2dFlags;
    inspection->setInsp2dFlags(
        { { Flags(Flags::DIST_VECTOR_ALLOWED), Flags(Flags::DIST_VECTOR_ALLOWED | Flags::DIST_VECTOR_DESIRED),
            Flags(Flags::DIST_VECTOR_DESIRED) } });
    inspection->setInsp2dCadColors({ { RED, GREEN, BLUE } });
    paint();
    EXPECT_EQ(lineAt(a + V(0, 1, 0)), QColor(Qt::red));
    EXPECT_EQ(lineAt(b + V(0, 1, 0)), QColor(Qt::green));
    EXPECT_FALSE(lineDrawn(c + V(0, 1, 0)));
    d.inspectionNeedles = false;
    d.deviationNeedles = true;
    paint();
    EXPECT_FALSE(lineDrawn(a + V(0, 1, 0)));
    EXPECT_TRUE(lineDrawn(b + V(0, 1, 0)));
    EXPECT_FALSE(lineDrawn(c + V(0, 1, 0)));

    auto *edge = show<CAD::SectionEdge>(ElementCreator::SECTION_SPRINGBACK, { { { 2, 7, 0 }, { 8, 7, 0 } } });
    edge->getDisplay().polyline = false;
    edge->getDisplay().springNeedles = edge->getDisplay().cutoffNeedles = true;
    edge->setSpringVectors({ { { 0, 2, 0 }, { 0, 2, 0 } } });
    edge->setCutoffVectors({ { { 0, -2, 0 }, { 0, -2, 0 } } });
    edge->setSpringColors({ { GREEN, GREEN } });
    edge->setCutoffColors({ { BLUE, BLUE } });
    paint();
    EXPECT_EQ(lineAt({ 2, 8, 0 }), QColor(Qt::green));
    EXPECT_EQ(lineAt({ 8, 6, 0 }), QColor(Qt::blue));
}

TEST_F(SectionRendering, aStillViewDrawsSlicesOf100000PointsAcrossRuns)
{
    // 60000 points on a closed run and 90000 on an open one: two steps.
    CAD::SectionRecords<V> runs(2);
    for (unsigned i = 0; i < 60000; ++i)
        runs[0].push_back(
            i < 30000 ? V(2 + 6.0 * i / 30000, 2, 0) : V(8 - 6.0 * (i - 30000) / 30000, 2.5, 0));
    for (unsigned i = 0; i < 90000; ++i)
        runs[1].push_back(V(2 + 6.0 * i / 90000, 8, 0));
    SectionBase *section = show(ElementCreator::SECTION, runs, { true, false });
    paint();
    std::vector<bool> level0;
    for (const auto &[stage, done] : scene.drawResults)
        if (stage == GL::RenderObject::RS_LEVEL0)
            level0.push_back(done);
    // The section's two steps, then the corners' one ends the stage.
    EXPECT_EQ(level0, std::vector<bool>({ false, false, true }));
    EXPECT_TRUE(drawn({ 5, 8, 0 }));
    EXPECT_TRUE(drawn({ 5, 2, 0 }));
    // The closed run goes out along y = 2 and back along y = 2.5; its closing segment joins
    // the two at x = 2.
    EXPECT_TRUE(lineDrawn({ 2, 2.25, 0 }));
    section->setSections(runs);
    paint();
    EXPECT_FALSE(lineDrawn({ 2, 2.25, 0 }));
}

TEST_F(SectionRendering, theToleranceBandOfAnInspectionIsTranslucentAndNotPickable)
{
    auto *inspection
        = show<CAD::SectionInsp2d>(ElementCreator::SECTION_INSPECTION_2D, { { { 2, 5, 0 }, { 8, 5, 0 } } });
    CAD::SectionDisplay &d = inspection->getInsp2dDisplay();
    d.polyline = false;
    d.tolerance = true;
    d.toleranceColor = Color(0, 255, 0, 100);
    // The figure is the section's own line; both passes cover the band from -1 to +2.
    inspection->setTolerance({ -1.0, 2.0 }, { { 0, 0, 1 }, { { { 2, 5, 0 }, { 8, 5, 0 }, {}, 0.0 } } });
    paint();
    const QColor inside = at({ 5, 6, 0 });
    EXPECT_GT(inside.green(), 40);
    EXPECT_LT(inside.green(), 230);
    EXPECT_EQ(inside.red(), 0);
    EXPECT_EQ(at({ 5, 4.5, 0 }), inside);
    EXPECT_FALSE(drawn({ 5, 7.5, 0 }));
    EXPECT_FALSE(drawn({ 5, 3.5, 0 }));
    // The outline is opaque (on one of the rows next to the edge).
    EXPECT_EQ(
        std::max({ at({ 5, 7, 0 }, 0, -1).green(), at({ 5, 7, 0 }).green(), at({ 5, 7, 0 }, 0, 1).green() }),
        255);
    // Picking finds nothing on the band.
    EXPECT_EQ(view->getStencilHandler()->getNearestRenderedElement(pixelOf({ 5, 6, 0 })), nullptr);

    // An invalid band draws nothing.
    inspection->setTolerance({ 2.0, -1.0 }, { { 0, 0, 1 }, { { { 2, 5, 0 }, { 8, 5, 0 }, {}, 0.0 } } });
    paint();
    EXPECT_FALSE(drawn({ 5, 6, 0 }));
}

TEST_F(SectionRendering, aSectionPointHasItsMarkerAndFourArrowheadsPointingAtIt)
{
    const V p(5, 5, 0);
    SectionBase *point = show(ElementCreator::SECTION_POINT, { { p, { 6, 5, 0 } } });
    point->getDisplay().polyline = false;
    paint();
    EXPECT_TRUE(drawn(p));
    // The arrowheads (outlines) run from 6 to 41 pixels away, along the run and square to it.
    const auto drawnAcross = [&](int along, bool horizontal) {
        for (int across = -5; across <= 5; ++across) {
            if (horizontal ? drawn(p, along, across) : drawn(p, across, along))
                return true;
        }
        return false;
    };
    for (int along : { 20, -20 }) {
        EXPECT_TRUE(drawnAcross(along, true)) << along;
        EXPECT_TRUE(drawnAcross(along, false)) << along;
    }
    EXPECT_FALSE(drawnAcross(50, true));
    EXPECT_FALSE(drawn(p, 20, 20));
}

TEST_F(SectionRendering, everyPassOfEveryKindLeavesTheDefaultStateBehindAndEmptySectionsDrawNothing)
{
    const CAD::SectionRecords<V> triangle = { { { 2, 2, 0 }, { 8, 2, 0 }, { 8, 8, 0 } } };
    for (const CAD::SectionRecords<V> &runs : { triangle, CAD::SectionRecords<V>() }) {
        for (ElementCreator::Element_t type :
            { ElementCreator::SECTION, ElementCreator::SECTION_SPRINGBACK, ElementCreator::SECTION_VECTORS,
                ElementCreator::SECTION_INSPECTION_2D, ElementCreator::SECTION_POINT }) {
            auto *section = show<CAD::SectionInsp2d>(type, runs, std::vector<bool>(runs.size(), true));
            for (CAD::SectionDisplay *d : { &section->getDisplay(), &section->getInsp2dDisplay() }) {
                d->points = d->polyline = d->deviationDisplay = d->vectorDisplay = d->deviationNeedles = true;
                d->actualLine = d->actualPoints = d->springNeedles = d->cutoffNeedles = true;
                d->inspectionNeedles = d->tolerance = true;
            }
            section->setTolerance({ -0.5, 0.5 }, { { 0, 0, 1 }, { { { 2, 2, 0 }, { 5, 2, 0 }, {}, 0.0 } } });
            if (runs.empty())
                continue;
            const CAD::SectionRecords<F> vectors = { { { 0, 1, 0 }, { 0, 1, 0 }, { 0, 1, 0 } } };
            section->setDeviations({ { 1, 1, 1 } }, vectors);
            section->setSpringDistances(vectors);
            section->setCutoffDistances(vectors);
        }
        paint();
        EXPECT_EQ(drawn({ 5, 5, 0 }), !runs.empty()); // the closing segment
        sections.clear();
        scene.entries.resize(1); // the corners
    }
}

TEST_F(SectionRendering, anElementOfASectionTypeWithoutSectionDataIsAProgrammingError)
{
    CAD::Element notASection(ElementCreator::SECTION, "section");
    scene.show(&notASection, STAGE);
    EXPECT_EQ(Vaq::Test::progErrorMessage([&] { view->repaintWidget(); }), "wrong element type");
    scene.entries.clear();
}

} // namespace
