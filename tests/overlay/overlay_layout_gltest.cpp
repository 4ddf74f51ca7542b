// Label layout in a real view: labels handed to the layout end up apart and keep their place
// while nothing changes, labels the user placed stay put, and edge-anchored positions
// convert both ways.
#include "gcad/host/fig2/vaq_fig2_label.h"
#include "tests/overlay/overlay_view.h"
#include "tests/support/prog_error_message.h"

using namespace Vaq;
using Vaq::Test::OverlayView;
using Vaq::Test::STAGE;

namespace {

class LabelLayout : public OverlayView
{
protected:
    // Labels on a row of points, all with their box on the point, handed to the layout.
    std::vector<CAD::PointsBase *> addCrowd(int count)
    {
        std::vector<CAD::PointsBase *> crowd;
        for (int i = 0; i < count; ++i) {
            CAD::PointsBase *set
                = addLabelled(QStringLiteral("label %1").arg(i), { 3.0 + 0.4 * i, 5.0, 0.0 }, { 0, 0, 0 });
            set->getLabel()->setAutoLabelPlacement(true);
            crowd.push_back(set);
        }
        return crowd;
    }
    static QRectF box(const CAD::PointsBase *set)
    {
        return set->getLabel()->getLabelFigText()->getCoveredRect();
    }
    void setBoxMode(unsigned mode) { Cfg::getRoot().setUInt(QLatin1String(GCAD::CFG_GCAD_BOX_MODE), mode); }
    void TearDown() override
    {
        setBoxMode(0);
        OverlayView::TearDown();
    }
};

TEST_F(LabelLayout, labelsHandedToTheLayoutEndUpApartAndStayWhileNothingChanges)
{
    const std::vector<CAD::PointsBase *> crowd = addCrowd(6);
    paint();
    for (std::size_t i = 0; i < crowd.size(); ++i) {
        EXPECT_TRUE(QRectF(QPointF(0, 0), scene.figure.getSize())
                        .adjusted(-1e-9, -1e-9, 1e-9, 1e-9)
                        .contains(box(crowd[i])));
        for (std::size_t j = i + 1; j < crowd.size(); ++j)
            EXPECT_FALSE(box(crowd[i]).intersects(box(crowd[j]))) << i << " and " << j;
    }
    // The place is stored in the model: the next repaint draws each box where it was.
    std::vector<QRectF> placed;
    for (const CAD::PointsBase *set : crowd)
        placed.push_back(box(set));
    paint();
    for (std::size_t i = 0; i < crowd.size(); ++i) {
        EXPECT_NEAR(box(crowd[i]).x(), placed[i].x(), 1e-6);
        EXPECT_NEAR(box(crowd[i]).y(), placed[i].y(), 1e-6);
    }

    // An unchanged view lays nothing out: a place set in between stands.
    crowd[0]->getLabel()->setManualOriginOffset({ 0, 0, 0 });
    paint();
    EXPECT_EQ(crowd[0]->getLabel()->getManualOriginOffset(), BaVec3d<double>(0, 0, 0));
    // A turned view does, once.
    view->setRotation(BaVec3d<double>(0, 0, 0.05));
    paint();
    EXPECT_NE(crowd[0]->getLabel()->getManualOriginOffset(), BaVec3d<double>(0, 0, 0));
}

TEST_F(LabelLayout, aLabelTheUserPlacedStaysAndOtherModesLeaveLabelsAlone)
{
    CAD::PointsBase *placed = addLabelled(QStringLiteral("placed"), { 5, 5, 0 }, { 1, 1, 0 });
    const std::vector<CAD::PointsBase *> crowd = addCrowd(3);
    paint();
    const QRectF before = box(placed);
    EXPECT_EQ(placed->getLabel()->getManualOriginOffset(), BaVec3d<double>(1, 1, 0));
    for (const CAD::PointsBase *set : crowd)
        EXPECT_FALSE(box(set).intersects(before));

    // Box mode 2 gathers the labels but moves none of them.
    setBoxMode(2);
    for (CAD::PointsBase *set : crowd)
        set->getLabel()->setManualOriginOffset({ 0, 0, 0 });
    overlay().repositionLabels();
    paint();
    for (CAD::PointsBase *set : crowd) {
        EXPECT_EQ(set->getLabel()->getManualOriginOffset(), BaVec3d<double>(0, 0, 0));
        const QPoint p = pixelOf(set->getLabel()->getLabelFigText()->getConnectorPoint());
        EXPECT_LE((pixelOf(box(set).center()) - p).manhattanLength(), 2);
    }
}

TEST_F(LabelLayout, edgeAnchoredPositionsConvertBothWays)
{
    CAD::PointsBase *set = addLabelled(QStringLiteral("edge"), { 5, 5, 0 }, { 0, 0, 0 });
    paint();
    Fig2::Label *text = set->getLabel()->getLabelFigText();
    const QSizeF viewMM = scene.figure.getSize();
    const QRectF r = text->getCoveredRect();

    EXPECT_EQ(overlay().computeLabelPosition(text, QPointF(3, 4)), QPointF(3, 4));
    // Flush with the right edge reads -0.001 and goes back flush.
    overlay().placeElement(text, QPointF(viewMM.width() - r.width(), 2.0));
    EXPECT_NEAR(text->getCoveredRect().right(), viewMM.width(), 1e-9);
    const QPointF anchored = overlay().getLabelPosition(text);
    EXPECT_DOUBLE_EQ(anchored.x(), -0.001);
    EXPECT_DOUBLE_EQ(anchored.y(), 2.0);
    EXPECT_NEAR(overlay().computeLabelPosition(text, anchored).x() + r.width(), viewMM.width(), 0.001 + 1e-9);
    // Nearer the lower edge: counted from there.
    overlay().placeElement(text, QPointF(1.0, -5.0));
    EXPECT_NEAR(text->getCoveredRect().bottom(), viewMM.height() - 5.0, 1e-9);
    EXPECT_NEAR(overlay().getLabelPosition(set).y(), -5.0, 1e-9);

    // The place is stored in the model and survives the next repaint.
    paint();
    EXPECT_NEAR(text->getCoveredRect().bottom(), viewMM.height() - 5.0, 1e-6);

    CAD::PointsBase *bare = addPoints({ { 1, 1, 0 } });
    EXPECT_EQ(Vaq::Test::progErrorMessage([&] { overlay().computeLabelPosition(bare, QPointF()); }),
        "The CAD::Element does not have a Fig2::Text-Element!");
    EXPECT_EQ(overlay().getLabelPosition(bare), QPointF(0, 0));
}

} // namespace
