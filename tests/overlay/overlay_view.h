// OverlayView: the fixture of the overlay's GL tests: a real off-screen view with a view
// creator, whose callback owns the label figure and may clip; the labels are shown. Two
// hidden points fix the view on the square 0..10 of the xy plane.
#pragma once

#include "apps/scene/scene_element_list_callback.h"
#include "gcad/gcad_config.h"
#include "gcad/host/cad/vaq_cad_points_base.h"
#include "gcad/host/cfg/vaq_cfg_root.h"
#include "gcad/host/fig2/vaq_fig2_figure.h"
#include "gcad/host/gl/vaq_gl_render_object.h"
#include "gcad/host/gl/vaq_gl_view_creator.h"
#include "gcad/overlay/gcad_r_overlay2d.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cmath>
#include <memory>
#include <vector>

namespace Vaq::Test {

const CAD::StageIdentifier STAGE = CAD::StageIdentifier::DEFAULT_DATASET;
const QColor BACKGROUND(40, 60, 200);

// A view whose callback owns the label figure and counts the draw steps of the element stages.
class FigureScene : public Gcad::Scene::ElementListCallback
{
public:
    FigureScene() { figure.setBackground(Fig2::FillStyle::null); }
    Fig2::Figure *getFigure() override { return &figure; }
    GCAD::ClippingInterface *getClippingInterface() const override { return clipping; }
    bool draw() override
    {
        const int stage = getRenderStage();
        elementSteps += stage == GL::RenderObject::RS_LEVEL0 || stage == GL::RenderObject::RS_LEVEL1;
        return ElementListCallback::draw();
    }
    Fig2::Figure figure;
    GCAD::ClippingInterface *clipping = nullptr;
    int elementSteps = 0;
};

class OverlayView : public testing::Test
{
protected:
    static constexpr int W = 240, H = 160;

    void SetUp() override
    {
        Cfg::CfgNode &root = Cfg::getRoot();
        if (!root.exists(QLatin1String(GCAD::CFG_GCAD_SHOW_LABELS)))
            GCAD::registerConfigEntries(root);
        root.setBool(QLatin1String(GCAD::CFG_GCAD_SHOW_LABELS), true);
        scene.global.setBackgroundColor(Color(BACKGROUND.red(), BACKGROUND.green(), BACKGROUND.blue()));
        creator = std::make_unique<GL::ViewCreator>(&scene);
        view.reset(GL::RenderObject::createRenderObject(&scene, W, H, creator.get()));
        // Two hidden corner points fix the view on the square 0..10 of the xy plane.
        cloud = addPoints({ { 0, 0, 0 }, { 10, 10, 0 } });
        cloud->setPointFlag({ 0, 1 }, CAD::PointFlags::HIDDEN, true);
    }
    void TearDown() override
    {
        GCAD::RenderCallback::setCoordinateGridDrawingEnabled(false);
        GCAD::RenderCallback::setWriteViewDirectionEnabled(false);
    }

    CAD::PointsBase *addPoints(std::vector<BaVec3d<double>> points)
    {
        auto set = std::make_unique<CAD::PointsBase>(CAD::ElementCreator::POINT_CLOUD);
        set->setPoints(std::move(points));
        scene.show(set.get(), STAGE);
        sets.push_back(std::move(set));
        return sets.back().get();
    }
    // A labelled element whose label box is centred offset away from its connector point.
    CAD::PointsBase *addLabelled(
        const QString &text, const BaVec3d<double> &point, const BaVec3d<double> &offset)
    {
        CAD::PointsBase *set = addPoints({ point });
        CAD::LabelElement *label = set->setLabel(text);
        label->setConnectorPoint(STAGE, point);
        label->setManualOriginOffset(offset);
        return set;
    }
    void lookFrom(GL::ViewCreator::ViewDirection_t direction)
    {
        BaVec3d<double> rotation;
        ASSERT_TRUE(GL::ViewCreator::getRotationForView(direction, &rotation));
        view->setRotation(rotation);
    }
    void paint()
    {
        view->repaintWidget();
        image = view->getRenderedImage();
    }
    GCAD::Overlay2d &overlay() { return *scene.getOverlay2d(); }
    // The image pixel (origin top left) of a model point.
    QPoint pixelOf(const BaVec3d<double> &point) const
    {
        const BaVec3d<double> p = view->get3d2dTransformation().transform(point);
        return QPoint(int(p.x), H - 1 - int(p.y));
    }
    QPoint pixelOf(const QPointF &figureMM) const
    {
        const double px = scene.getOverlay2d()->getPixelSize();
        return QPoint(int(figureMM.x() / px), int(figureMM.y() / px));
    }
    // How many pixels within radius of p have at least half of colour c over the background
    // (antialiased lines spread over two pixels).
    int countNear(const QPoint &p, const QColor &c, int radius = 1) const
    {
        const double cr = c.red() - BACKGROUND.red(), cg = c.green() - BACKGROUND.green(),
                     cb = c.blue() - BACKGROUND.blue();
        int count = 0;
        for (int y = p.y() - radius; y <= p.y() + radius; ++y) {
            for (int x = p.x() - radius; x <= p.x() + radius; ++x) {
                if (!image.rect().contains(x, y))
                    continue;
                const QColor q = image.pixelColor(x, y);
                const double t = (q.red() - BACKGROUND.red()) * cr + (q.green() - BACKGROUND.green()) * cg
                    + (q.blue() - BACKGROUND.blue()) * cb;
                count += t >= 0.5 * (cr * cr + cg * cg + cb * cb);
            }
        }
        return count;
    }

    FigureScene scene;
    std::unique_ptr<GL::ViewCreator> creator;
    std::unique_ptr<GL::RenderObject> view;
    std::vector<std::unique_ptr<CAD::PointsBase>> sets;
    CAD::PointsBase *cloud = nullptr;
    QImage image;
};

} // namespace Vaq::Test
