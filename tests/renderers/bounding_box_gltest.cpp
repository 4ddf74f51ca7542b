// VAQ_GL_BOUNDING_BOX: with it set before the first renderer exists, every element also gets
// its bounding box drawn. The switch is read once per process, so this test has a binary of
// its own.
#include "gcad/host/gl/vaq_gl_stencil_handler.h"
#include "tests/support/gcad_gl_test.h"

#include <cstdlib>
#include <memory>

using namespace Vaq;

namespace {

class BoundingBoxSwitch : public Vaq::Test::GLTest
{
protected:
    // Before the fixture's scene makes the first renderers.
    static void SetUpTestSuite() { setenv("VAQ_GL_BOUNDING_BOX", "", 1); }
};

TEST_F(BoundingBoxSwitch, EveryElementGetsItsBoxDrawnInGrey)
{
    scene.getRendererContainer().registerRenderer(
        new Vaq::Test::QuadRenderer(&scene, { CAD::ElementCreator::LABEL }));
    // The renderer draws the top face of the element's box; seen at an angle, the box's
    // edges reach beyond that face.
    std::unique_ptr<CAD::Element> element(
        Vaq::Test::makeElement(CAD::ElementCreator::LABEL, "e", 0, 0, 10, 10, 0.0, Color(0, 0, 255)));
    element->setBoundingBox(CAD::StageIdentifier::NO_STAGE, CAD::BBT_GEOMETRY,
        Box3d(BaVec3d<double>(0, 0, 0), BaVec3d<double>(10, 10, 10)));
    scene.show(element.get());
    view->setRotation({ 0.6, 0.4, 0.0 });
    view->repaintWidget();

    const QImage image = view->getRenderedImage();
    // The box is a debugging aid: its pixels do not make the element pickable.
    int grey = 0, pickable = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == QColor(180, 180, 180)) {
                ++grey;
                pickable
                    += view->getStencilHandler()->getNearestRenderedElement({ double(x), double(H - 1 - y) })
                    != nullptr;
            }
    EXPECT_GT(grey, 0);
    EXPECT_EQ(pickable, 0);
    // The quad itself still shows inside the outline.
    const BaVec2d<double> centre = pixelOf({ 5, 5, 10 });
    EXPECT_EQ(image.pixelColor(int(centre.x), H - 1 - int(centre.y)), QColor(0, 0, 255));
}

} // namespace
