// The points renderer on a real view, checked by its pixels: points lit by their normals
// (a null normal faces the viewer) whether drawn from a buffer object or client memory, hidden
// and preview points left out, slices of 100000 points, crosses, normals, needles,
// displacement components and identifier labels.
#include "gcad/host/base/vaq_init.h"
#include "gcad/host/cad/vaq_cad_displacement_field.h"
#include "gcad/host/cad/vaq_cad_points_base.h"
#include "gcad/host/fig2/vaq_fig2_snapshot_data.h"
#include "gcad/host/gl/vaq_gl_widget_options.h"
#include "gcad/renderers/gcad_r_points.h"
#include "tests/support/gcad_gl_test.h"
#include "tests/support/prog_error_message.h"

#include <QImage>

#include <memory>

using namespace Vaq;
using CAD::ElementCreator;
using CAD::PointsBase;

namespace {

const CAD::StageIdentifier STAGE = CAD::StageIdentifier::DEFAULT_DATASET;
const Color RED(255, 0, 0), GREEN(0, 255, 0), BLUE(0, 0, 255), WHITE(255, 255, 255);
// The corners of the scene: the view fits them, whatever a test draws in between.
const BaVec3d<double> LOW(0, 0, 0), HIGH(10, 10, 0);

class PointsRendering : public Vaq::Test::GLTest
{
protected:
    // A point set of type showing the points, with LOW and HIGH as its last two (hidden)
    // points, so that every test has the same view.
    PointsBase *show(ElementCreator::Element_t type, std::vector<BaVec3d<double>> points)
    {
        auto cloud = std::make_unique<PointsBase>(type);
        const auto count = uint32_t(points.size());
        points.push_back(LOW);
        points.push_back(HIGH);
        cloud->setPoints(std::move(points));
        cloud->setPointFlag({ count, count + 1 }, CAD::PointFlags::HIDDEN, true);
        cloud->getElemProperties()->displayMode = 3; // no points, only what a test switches on
        scene.show(cloud.get(), STAGE);
        clouds.push_back(std::move(cloud));
        return clouds.back().get();
    }
    QImage paint(const GL::UpdateOptions &options = GL::UpdateOptions())
    {
        view->repaintWidget(options);
        image = view->getRenderedImage();
        return image;
    }
    // The colour at the model point, moved by (dx, dy) pixels.
    QColor at(const BaVec3d<double> &point, int dx = 0, int dy = 0) const
    {
        const BaVec2d<double> pixel = pixelOf(point);
        return image.pixelColor(int(pixel.x) + dx, H - 1 - (int(pixel.y) + dy));
    }
    bool drawn(const BaVec3d<double> &point, int dx = 0, int dy = 0) const
    {
        return at(point, dx, dy) != QColor(Qt::black);
    }
    // Each record of a point set, one per point including the two corners.
    template<typename T> static std::vector<T> perPoint(std::vector<T> records)
    {
        records.resize(records.size() + 2);
        return records;
    }

    std::vector<std::unique_ptr<PointsBase>> clouds;
    QImage image;
};

TEST_F(PointsRendering, pointsAreLitByTheirNormalANullNormalFacesTheViewerAndBufferAndClientMemoryDrawAlike)
{
    const BaVec3d<double> facing(2, 2, 0), nullNormal(8, 2, 0), away(2, 8, 0), hidden(8, 8, 0),
        preview(5, 5, 0);
    PointsBase *cloud = show(ElementCreator::POINT_CLOUD, { facing, nullNormal, away, hidden, preview });
    cloud->getElemProperties()->displayMode = 0;
    cloud->getElemProperties()->pointSize = 5.0;
    cloud->setColors(perPoint<Color>({ RED, RED, RED, GREEN, GREEN }));
    cloud->setNormals(perPoint<BaVec3d<float>>({ { 0, 0, 1 }, { 0, 0, 0 }, { 0, 0, -1 }, {}, {} }));
    cloud->setPointFlag({ 3 }, CAD::PointFlags::HIDDEN, true);
    cloud->setPointFlag({ 4 }, CAD::PointFlags::PREVIEW, true);

    // Lit red with the complementary highlight (the light shines from the viewer): the more a
    // point faces the viewer, the brighter.
    const QImage buffered = paint();
    const QColor lit = at(facing);
    EXPECT_GT(lit.red(), 200);
    EXPECT_EQ(at(facing, 2, 2), lit); // 5 pixels wide
    EXPECT_FALSE(drawn(facing, 3, 3));
    EXPECT_EQ(at(nullNormal), lit);
    EXPECT_LT(at(away).red(), lit.red() / 2);
    EXPECT_EQ(at(away).blue(), 0);
    EXPECT_FALSE(drawn(hidden));
    EXPECT_FALSE(drawn(preview));

    view->setAllowGPURessources(false);
    EXPECT_EQ(paint(), buffered);
    view->setAllowGPURessources(true);

    // A change of the data reaches the picture: nothing stale is drawn from the buffer.
    cloud->setColors(perPoint<Color>({ BLUE, BLUE, BLUE, BLUE, BLUE }));
    cloud->setPointFlag({ 4 }, CAD::PointFlags::PREVIEW, false);
    paint();
    // (Away from the light the highlight does not hide the colour.)
    EXPECT_GT(at(away).blue(), 0);
    EXPECT_EQ(at(away).red(), 0);
    EXPECT_TRUE(drawn(preview));
    EXPECT_FALSE(drawn(hidden));
}

TEST_F(PointsRendering, aMovingViewThinsOutTheSamePointsWhetherAllOrOnlySomeAreShown)
{
    // 600000 points in rows of 1000, coloured by their number, and the two corners: every
    // third point is drawn while the view moves. Hiding point 1, which is not among them,
    // must not change which points are drawn or their colours.
    std::vector<BaVec3d<double>> points;
    std::vector<Color> colors;
    for (unsigned i = 0; i < 600000; ++i) {
        points.emplace_back(0.5 + (i % 1000) * 0.009, 0.5 + (i / 1000) * 0.015, 0.0);
        colors.emplace_back(uint8_t(i), uint8_t(i >> 8), uint8_t(255 - (i >> 12)));
    }
    PointsBase *cloud = show(ElementCreator::POINT_CLOUD, points);
    cloud->getElemProperties()->displayMode = 0;
    cloud->getElemProperties()->pointSize = 1.0;
    cloud->setColors(perPoint(colors));
    cloud->setPointFlag({ 600000, 600001 }, CAD::PointFlags::HIDDEN, false);
    const GL::UpdateOptions moving(GL::UpdateOptions::US_VIEW, GL::UpdateOptions::UT_INTERACTIVE);
    const QImage all = paint(moving);
    cloud->setPointFlag({ 1 }, CAD::PointFlags::HIDDEN, true);
    EXPECT_EQ(paint(moving), all);
    // A still view draws every point: more than the moving one.
    const QImage still = paint();
    EXPECT_NE(still, all);
}

TEST_F(PointsRendering, aStillViewDrawsSlicesOf100000PointsAndASliceEndingAtTheLastPointFinishes)
{
    for (const auto &[count, steps] : { std::pair(199998u, 2u), std::pair(249998u, 3u) }) {
        scene.entries.clear();
        clouds.clear();
        scene.drawResults.clear();
        // With the two corners, 200000 and 250000 points.
        PointsBase *cloud
            = show(ElementCreator::POINT_CLOUD, std::vector<BaVec3d<double>>(count, { 5, 5, 0 }));
        cloud->getElemProperties()->displayMode = 0;
        paint();
        std::vector<bool> level0;
        for (const auto &[stage, done] : scene.drawResults)
            if (stage == GL::RenderObject::RS_LEVEL0)
                level0.push_back(done);
        std::vector<bool> expected(steps, false);
        expected.back() = true;
        EXPECT_EQ(level0, expected) << count;
        EXPECT_TRUE(drawn({ 5, 5, 0 }));
    }
}

TEST_F(PointsRendering, markersAreDrawnAroundEachPointUntilAMovingViewHasTooManyOfThem)
{
    const BaVec3d<double> a(3, 3, 0), crowd(8, 8, 0);
    const GL::UpdateOptions moving(GL::UpdateOptions::US_VIEW, GL::UpdateOptions::UT_INTERACTIVE);
    // a and 1999 more points: no more than 2000 visible points keep their markers even while
    // the view moves.
    std::vector<BaVec3d<double>> points(2000, crowd);
    points[0] = a;
    PointsBase *cloud = show(ElementCreator::POINT_CLOUD, points);
    cloud->getElemProperties()->displayMode = 1;
    cloud->getElemProperties()->markerSize = 5.0;
    cloud->setColors(std::vector<Color>(2002, RED));
    // The marker's square reaches 5 pixels from the point, its icosahedron further; a plain
    // point (3 pixels) only 1.
    for (const GL::UpdateOptions &options : { GL::UpdateOptions(), moving }) {
        paint(options);
        EXPECT_GT(at(a, 4, 0).red(), 100);
        EXPECT_GT(at(a, 0, -4).red(), 100);
        EXPECT_FALSE(drawn(a, 14, 0));
    }

    points.push_back(crowd);
    clouds.clear();
    scene.entries.clear();
    cloud = show(ElementCreator::POINT_CLOUD, points);
    cloud->getElemProperties()->displayMode = 1;
    paint(moving);
    EXPECT_TRUE(drawn(a));
    EXPECT_FALSE(drawn(a, 4, 0));
    paint();
    EXPECT_TRUE(drawn(a, 4, 0));
}

TEST_F(PointsRendering, crossesNormalsAndNeedlesRunFromEachPointAsFarAsTheirSizesSay)
{
    const BaVec3d<double> a(3, 3, 0), b(7, 7, 0);
    PointsBase *cloud = show(ElementCreator::POINTS_SCAN, { a, b });
    CAD::ElemProp &p = *cloud->getElemProperties();
    cloud->setColors(perPoint<Color>({ RED, RED }));

    // Crosses, 20 pixels wide, unlit in the point's own colour.
    p.displayMode = 2;
    p.crossSize = 20.0;
    paint();
    EXPECT_EQ(at(a, 8, 0), QColor(Qt::red));
    EXPECT_EQ(at(a, 0, -8), QColor(Qt::red));
    EXPECT_FALSE(drawn(a, 13, 0));
    EXPECT_FALSE(drawn(a, 6, 6));

    // Normals of 30 pixels, whatever the length of the normal vector.
    p.displayMode = 3;
    p.showNormals = true;
    p.normalLength = 30.0;
    cloud->setNormals(perPoint<BaVec3d<float>>({ { 3, 0, 0 }, { 0, 0.5f, 0 } }));
    paint();
    EXPECT_TRUE(drawn(a, 25, 0));
    EXPECT_FALSE(drawn(a, 35, 0));
    EXPECT_TRUE(drawn(b, 0, 25));
    EXPECT_FALSE(drawn(b, 0, 35));

    // Deviation needles: the distance vector times the needle scale, only for points with a
    // value.
    p.showNormals = false;
    p.deviationNeedles = true;
    p.needleScale = 1.5;
    cloud->setDistances(perPoint<BaVec3d<float>>({ { 2, 0, 0 }, { 2, 0, 0 } }));
    cloud->setValues(perPoint<float>({ 1.0f, CAD::NO_VALUE }));
    paint();
    EXPECT_TRUE(drawn(a + BaVec3d<double>(2.5, 0, 0)));
    EXPECT_FALSE(drawn(a + BaVec3d<double>(3.5, 0, 0)));
    EXPECT_FALSE(drawn(b + BaVec3d<double>(1.5, 0, 0)));
    // ...and only while the points are shown.
    p.pointsShown = false;
    paint();
    EXPECT_FALSE(drawn(a + BaVec3d<double>(1.5, 0, 0)));
}

TEST_F(PointsRendering, springbackNeedlesTakeTheirOwnColoursAndTheColourSourceColoursTheDeviation)
{
    const BaVec3d<double> a(5, 5, 0);
    PointsBase *springback = show(ElementCreator::POINTS_SPRINGBACK, { a });
    springback->setValues(perPoint<float>({ 2.0f }));
    springback->setDistances(perPoint<BaVec3d<float>>({ { 2, 0, 0 } }));
    springback->setCutoffDirections(perPoint<BaVec3d<float>>({ { 0, 4, 0 } }));
    springback->setSpringDirections(perPoint<BaVec3d<float>>({ { 0, -1, 0 } }));
    springback->setColors(perPoint<Color>({ WHITE }));
    springback->setCutoffColors(perPoint<Color>({ GREEN }));
    springback->setSpringColors(perPoint<Color>({ BLUE }));
    const BaVec3d<double> cutoff = a + BaVec3d<double>(0, 1, 0), spring = a - BaVec3d<double>(0, 1, 0),
                          deviation = a + BaVec3d<double>(1, 0, 0);

    // Always drawn for a springback result, but with every needle switched off nothing shows.
    paint();
    EXPECT_FALSE(drawn(cutoff) || drawn(spring) || drawn(deviation));

    CAD::ElemProp &p = *springback->getElemProperties();
    p.cutoffNeedles = p.springNeedles = p.deviationNeedles = true;
    paint();
    EXPECT_GT(at(cutoff).green(), 100);
    EXPECT_EQ(at(cutoff).blue(), 0);
    EXPECT_GT(at(spring).blue(), 100);
    EXPECT_EQ(at(spring).green(), 0);
    EXPECT_GT(at(deviation).red(), 100);
    // The value decides the length of the cutoff and spring needles.
    EXPECT_FALSE(drawn(a + BaVec3d<double>(0, 2.5, 0)));
    EXPECT_FALSE(drawn(a - BaVec3d<double>(0, 2.5, 0)));

    p.colorSource = 1;
    paint();
    EXPECT_EQ(at(deviation).red(), 0);
    EXPECT_GT(at(deviation).blue(), 100);
}

TEST_F(PointsRendering, displacementsShowTheSelectedComponentsAndTheirResultant)
{
    const BaVec3d<double> a(3, 3, 0);
    PointsBase *field = show(ElementCreator::POINTS_DISPLACEMENT, { a });
    field->setDistances(perPoint<BaVec3d<float>>({ { 2, 1.5f, 0 } }));
    CAD::ElemProp &p = *field->getElemProperties();
    p.displacementScale = 2.0;
    const auto colors = CAD::DisplacementFieldMeasurement::getComponentsColor();
    const BaVec3d<double> alongX = a + BaVec3d<double>(2, 0, 0), alongY = a + BaVec3d<double>(0, 1.5, 0),
                          resultant = a + BaVec3d<double>(2, 1.5, 0);

    // x alone: a single component is its own resultant.
    p.displacementComponents = 1;
    paint();
    EXPECT_GT(at(alongX).red(), 100);
    EXPECT_FALSE(drawn(alongY));
    EXPECT_FALSE(drawn(resultant));

    p.displacementComponents = 0;
    paint();
    EXPECT_GT(at(alongY).green(), 100);
    EXPECT_LT(at(alongY).red(), 50);
    // The resultant is white: no component line has all three channels.
    ASSERT_EQ(colors.resultant, WHITE);
    EXPECT_GT(std::min({ at(resultant).red(), at(resultant).green(), at(resultant).blue() }), 60);

    p.displacementResultant = false;
    p.displacementComponents = 6; // y and z
    paint();
    EXPECT_FALSE(drawn(alongX));
    EXPECT_FALSE(drawn(resultant));
    EXPECT_TRUE(drawn(alongY));
}

TEST_F(PointsRendering, anElementOfAPointsTypeWithoutPointsIsAProgrammingError)
{
    CAD::Element notPoints(ElementCreator::POINT_CLOUD, "cloud.xyz");
    scene.show(&notPoints, STAGE);
    EXPECT_EQ(Vaq::Test::progErrorMessage([&] { view->repaintWidget(); }), "wrong element type");
    scene.entries.clear();
}

// A view that also keeps every text placed in it.
class TextLogView : public GL::RenderObject
{
public:
    TextLogView(GL::RenderCallback *callback, int width, int height)
        : GL::RenderObject(callback, nullptr, width, height)
    {
    }
    void renderText(
        const BaVec3d<double> &position, const QString &text, const QFont &font, const Color &color) override
    {
        texts << text;
        fontSizes.push_back(font.pointSize());
        GL::RenderObject::renderText(position, text, font, color);
    }
    QStringList texts;
    std::vector<int> fontSizes;
};

TEST_F(PointsRendering, labelsShowTheIdentifiersExceptNoneAndOutOfRangeAsOut)
{
    VaqInit::_app = 10;
    Vaq::Test::TestScene labelled;
    TextLogView textView(&labelled, W, H);
    auto cloud = std::make_unique<PointsBase>(ElementCreator::POINT_CLOUD);
    cloud->setPoints({ { 1, 1, 0 }, { 5, 5, 0 }, { 9, 9, 0 } });
    cloud->setIds({ 5, PointsBase::NO_ID, PointsBase::OUT_ID });
    cloud->getElemProperties()->showIdentifiers = true;
    cloud->getElemProperties()->labelFontSize = 1.0;
    labelled.show(cloud.get(), STAGE);
    textView.repaintWidget();
    EXPECT_EQ(textView.texts, QStringList({ "  5", "  (out)" }));
    EXPECT_EQ(textView.fontSizes, std::vector<int>({ 2, 2 }));

    cloud->getElemProperties()->labelFontSize = 2.6;
    textView.texts.clear();
    textView.fontSizes.clear();
    textView.repaintWidget();
    EXPECT_EQ(textView.fontSizes, std::vector<int>({ 3, 3 }));

    // A snapshot twice the view's size draws them twice as large (in each of its bands),
    // then the view as it was before its picture is read.
    GL::WidgetOptions::getInstance()->setSnapshotSizeSetting(2 * W);
    textView.fontSizes.clear();
    bool ok = false;
    labelled.createSnapshot(&ok);
    GL::WidgetOptions::getInstance()->setSnapshotSizeSetting(0);
    std::vector<int> sizes(2 * GCAD::RenderCallback::SNAPSHOT_BANDS, 6);
    EXPECT_EQ(textView.fontSizes, sizes);
    textView.getRenderedImage();
    sizes.insert(sizes.end(), { 3, 3 });
    EXPECT_EQ(textView.fontSizes, sizes);
    VaqInit::_app = 0;
}

} // namespace
