// Drawing a scene into an off-screen view: the picture's size and background, and a failed
// repaint reported as the drawing cycle's error.
#include "apps/scene/scene_image.h"

#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/cad/vaq_cad_dome_mesh.h"

#include <gtest/gtest.h>

using namespace Gcad::Scene;

TEST(SceneImage, anEmptySceneIsTheBackgroundAtTheAskedSize)
{
    const Scene scene;
    const QImage image = renderSceneImage(scene, QSize(64, 48), Vaq::BaVec3d<double>(0.3, 0.2, 0.1));
    ASSERT_EQ(image.size(), QSize(64, 48));
    // The dark slate the scene's callback chooses, in every corner and the middle.
    for (const QPoint &p : { QPoint(0, 0), QPoint(63, 0), QPoint(0, 47), QPoint(63, 47), QPoint(32, 24) })
        EXPECT_EQ(image.pixel(p), qRgb(38, 42, 52)) << p.x() << "," << p.y();
}

TEST(SceneImage, anElementWithoutRendererFailsTheRepaint)
{
    // The mesh renderer is not registered yet, so a mesh cannot be drawn.
    Scene scene;
    auto mesh = Vaq::CAD::createDomeMesh(3, false);
    mesh->setFileName("dome");
    scene.addMesh(std::move(mesh));
    try {
        renderSceneImage(scene, QSize(32, 32), {});
        ADD_FAILURE() << "no error";
    } catch (const Vaq::ProgError &e) {
        EXPECT_EQ(e.message(), "No renderer for type 0 (dome)");
    }
}
