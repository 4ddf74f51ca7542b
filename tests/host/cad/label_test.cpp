#include "gcad/host/cad/vaq_cad_element.h"
#include "gcad/host/cad/vaq_cad_poly_base.h"
#include "gcad/host/fig2/vaq_fig2_global_legend.h"
#include "gcad/host/fig2/vaq_fig2_label.h"
#include "gcad/host/fig2/vaq_fig2_legend_handler.h"

#include <gtest/gtest.h>

#include <memory>
#include <numbers>

using namespace Vaq;
using namespace Vaq::CAD;

namespace {

const StageIdentifier STAGE_1 { 1 };
const StageIdentifier STAGE_2 { 2 };

// Model units to window pixels at 2 pixels per unit, in a view 100 pixels high of 0.5 mm
// pixels: model (x, y) lands at figure (x, 50 - y) millimetres.
const Transformation VIEW = Transformation::scaling(2.0, 2.0, 1.0);
const int VIEW_HEIGHT = 100;
const double PIXEL_SIZE = 0.5;

Fig2::Label *figureLabel(Element &element, const StageIdentifier &stage)
{
    const std::vector<Fig2::Element *> figure = element.getFigureElements(stage);
    if (figure.size() != 1 || figure[0]->getType() != Fig2::Element::T_LABEL)
        return nullptr;
    return static_cast<Fig2::Label *>(figure[0]);
}

} // namespace

TEST(LabelFigure, followsTheTextAndTheConnectorPointOfTheStage)
{
    Element element(ElementCreator::MESH);
    EXPECT_TRUE(element.getFigureElements(STAGE_1).empty());
    LabelElement *label = element.setLabel(QStringLiteral("Hole 1"));
    label->setConnectorPoint(STAGE_1, { 4.0, 10.0, 7.0 });
    label->setConnectorPoint(STAGE_2, { 20.0, 30.0, 0.0 });

    EXPECT_TRUE(element.getFigureElements(STAGE_1).empty()); // nothing built yet
    element.updateFigureElements(STAGE_1, VIEW_HEIGHT, VIEW, PIXEL_SIZE);
    Fig2::Label *fig = figureLabel(element, STAGE_1);
    ASSERT_NE(fig, nullptr);
    EXPECT_EQ(fig->getText(), QStringLiteral("Hole 1"));
    EXPECT_EQ(fig->getConnectorPoint(), QPointF(4.0, 40.0));
    EXPECT_EQ(fig->getBoxRect().center(), QPointF(4.0, 40.0));
    EXPECT_TRUE(element.getFigureElements(STAGE_2).empty()); // built for another stage

    label->setText(QStringLiteral("Hole 2"));
    element.updateFigureElements(STAGE_2, VIEW_HEIGHT, VIEW, PIXEL_SIZE);
    ASSERT_EQ(figureLabel(element, STAGE_2), fig);
    EXPECT_EQ(fig->getText(), QStringLiteral("Hole 2"));
    EXPECT_EQ(fig->getConnectorPoint(), QPointF(20.0, 20.0));

    // Without a point for the stage the connector points nowhere and the box stays put.
    label->clearConnectorPoint(STAGE_2);
    element.updateFigureElements(STAGE_2, VIEW_HEIGHT, VIEW, PIXEL_SIZE);
    EXPECT_EQ(fig->getConnectorPoint(), Fig2::LabelBase::INVALID_POINT);
    EXPECT_EQ(fig->getBoxRect().center(), QPointF(20.0, 20.0));

    label->setText(QString());
    element.updateFigureElements(STAGE_1, VIEW_HEIGHT, VIEW, PIXEL_SIZE);
    EXPECT_TRUE(element.getFigureElements(STAGE_1).empty());
}

TEST(LabelFigure, manualOriginOffsetMovesTheBoxAndNotThePoint)
{
    Element element(ElementCreator::MESH);
    LabelElement *label = element.setLabel(QStringLiteral("Edge"));
    label->setConnectorPoint(STAGE_1, { 4.0, 10.0, 0.0 });
    label->setManualOriginOffset({ 3.0, -5.0, 2.0 });

    element.updateFigureElements(STAGE_1, VIEW_HEIGHT, VIEW, PIXEL_SIZE);
    Fig2::Label *fig = figureLabel(element, STAGE_1);
    ASSERT_NE(fig, nullptr);
    EXPECT_EQ(fig->getConnectorPoint(), QPointF(4.0, 40.0));
    EXPECT_EQ(fig->getBoxRect().center(), QPointF(7.0, 45.0));

    // The offset is in the model: a turned view turns it with the label.
    const Transformation turned = Transformation::rotation({ 0.0, 0.0, 1.0 }, std::numbers::pi) * VIEW;
    element.updateFigureElements(STAGE_1, VIEW_HEIGHT, turned, PIXEL_SIZE);
    EXPECT_NEAR(fig->getConnectorPoint().x(), -4.0, 1e-9);
    EXPECT_NEAR(fig->getConnectorPoint().y(), 60.0, 1e-9);
    EXPECT_NEAR(fig->getBoxRect().center().x(), -7.0, 1e-9);
    EXPECT_NEAR(fig->getBoxRect().center().y(), 55.0, 1e-9);
}

TEST(LabelRendering, followsVisibilityTemporaryVisibilityTextAndStage)
{
    Element element(ElementCreator::MESH);
    EXPECT_FALSE(element.mustLabelBeRendered(STAGE_1));
    LabelElement *label = element.setLabel(QStringLiteral("Hole"));
    EXPECT_TRUE(element.mustLabelBeRendered(STAGE_1));

    label->setLabelVisible(false);
    EXPECT_FALSE(element.mustLabelBeRendered(STAGE_1));
    label->setTemporarilyVisible(true);
    EXPECT_TRUE(element.mustLabelBeRendered(STAGE_1));
    label->setTemporarilyVisible(false);
    EXPECT_FALSE(element.mustLabelBeRendered(STAGE_1));
    label->setLabelVisible(true);

    element.setStageValid(STAGE_2, false);
    EXPECT_FALSE(element.mustLabelBeRendered(STAGE_2));
    EXPECT_TRUE(element.mustLabelBeRendered(STAGE_1));
    element.setVisible(false);
    EXPECT_FALSE(element.mustLabelBeRendered(STAGE_1));
    element.setVisible(true);
    label->setText(QString());
    EXPECT_FALSE(element.mustLabelBeRendered(STAGE_1));
}

TEST(LabelFigure, highlightFramesTheBoxInTheHighlightColour)
{
    Element element(ElementCreator::MESH);
    LabelElement *label = element.setLabel(QStringLiteral("Hole"));
    element.updateFigureElements(STAGE_1, VIEW_HEIGHT, VIEW, PIXEL_SIZE);
    Fig2::Label *fig = figureLabel(element, STAGE_1);
    ASSERT_NE(fig, nullptr);
    const Fig2::LineStyle plain = fig->getBorder();

    // Marking highlights the label and updates it, without a new view.
    label->setHighlightColor(Color(0, 0, 255));
    label->highlightLabel(true);
    label->update(STAGE_1);
    EXPECT_EQ(fig->getBorder().color, Color(0, 0, 255));
    EXPECT_GT(fig->getBorder().width, plain.width);

    label->highlightLabel(false);
    element.updateFigureElements(STAGE_1, VIEW_HEIGHT, VIEW, PIXEL_SIZE);
    EXPECT_EQ(fig->getBorder().color, plain.color);
    EXPECT_EQ(fig->getBorder().width, plain.width);
}

// A mesh coloured by its deviations hands out the views' legend, scaled as the legend handler
// says, and is drawn in the overlay for it even without a label text; other meshes are not.
TEST(LabelFigure, aColourMappedMeshHandsOutTheLegendAfterItsLabel)
{
    const auto triangle = [](ElementCreator::Element_t type, bool deviations) {
        auto mesh = std::make_unique<PolyBase>(type);
        mesh->setMesh({ { 0, 0, 0 }, { 1, 0, 0 }, { 0, 1, 0 } }, { { 0, 1, 2 } });
        if (deviations)
            mesh->setDeviations({ -0.2f, 0.0f, 0.4f });
        return mesh;
    };
    Legend2::LegendHandler::getInstance()->getColorMap().setDataRange(-0.25, 0.75);
    GLegend2::GlobalLegend *legend = GLegend2::GlobalLegend::getInstance();

    const auto mapped = triangle(ElementCreator::MESH_COLOR_MAPPED, true);
    EXPECT_TRUE(mapped->mustLabelBeRendered(STAGE_1));
    mapped->updateFigureElements(STAGE_1, VIEW_HEIGHT, VIEW, PIXEL_SIZE);
    EXPECT_EQ(mapped->getFigureElements(STAGE_1), std::vector<Fig2::Element *> { legend });
    EXPECT_EQ(legend->getMinimum(), -0.25);
    EXPECT_EQ(legend->getMaximum(), 0.75);
    EXPECT_FALSE(legend->getTitle().getText().isEmpty());

    // The label first, then the legend; a hidden mesh draws neither.
    mapped->setLabel(QStringLiteral("Wave"))->setConnectorPoint(STAGE_1, { 0.0, 0.0, 0.0 });
    mapped->updateFigureElements(STAGE_1, VIEW_HEIGHT, VIEW, PIXEL_SIZE);
    const std::vector<Fig2::Element *> both = mapped->getFigureElements(STAGE_1);
    ASSERT_EQ(both.size(), 2u);
    EXPECT_EQ(both[0], mapped->getLabel()->getLabelFigText());
    EXPECT_EQ(both[1], legend);
    mapped->getLabel()->setText(QString());
    mapped->setVisible(false);
    EXPECT_FALSE(mapped->mustLabelBeRendered(STAGE_1));
    mapped->setVisible(true);
    mapped->setStageValid(STAGE_2, false);
    EXPECT_FALSE(mapped->mustLabelBeRendered(STAGE_2));
    EXPECT_TRUE(mapped->getFigureElements(STAGE_2).empty());

    // A plain mesh shows the map only when switched on; without deviations there is nothing to map.
    const auto plain = triangle(ElementCreator::MESH, true);
    EXPECT_FALSE(plain->mustLabelBeRendered(STAGE_1));
    plain->getElemProperties()->colorMapEnabled = true;
    EXPECT_TRUE(plain->mustLabelBeRendered(STAGE_1));
    const auto noValues = triangle(ElementCreator::MESH_COLOR_MAPPED, false);
    EXPECT_FALSE(noValues->mustLabelBeRendered(STAGE_1));
    noValues->updateFigureElements(STAGE_1, VIEW_HEIGHT, VIEW, PIXEL_SIZE);
    EXPECT_TRUE(noValues->getFigureElements(STAGE_1).empty());
    // A scan keeps its own colours whatever the switch says.
    const auto scan = triangle(ElementCreator::MESH_SCAN, true);
    scan->getElemProperties()->colorMapEnabled = true;
    EXPECT_FALSE(scan->mustLabelBeRendered(STAGE_1));
}
