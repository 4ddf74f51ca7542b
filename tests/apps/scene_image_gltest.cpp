// Drawing a scene into an off-screen view: the picture's size, its background, and a mesh
// drawn over it.
#include "apps/scene/scene_image.h"

#include "gcad/host/cad/vaq_cad_dome_mesh.h"
#include "gcad/mesh/gcad_gl_node_container.h"

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

TEST(SceneImage, aMeshIsDrawnOverTheBackground)
{
    const Vaq::GCAD::GLNodeContainer nodes; // what library start-up makes
    Scene scene;
    auto mesh = Vaq::CAD::createDomeMesh(9, false);
    mesh->setFileName("dome");
    scene.addMesh(std::move(mesh));
    const QImage image = renderSceneImage(scene, QSize(32, 32), {});
    // Seen from above the dome fills the middle; the corners stay background.
    EXPECT_NE(image.pixel(16, 16), qRgb(38, 42, 52));
    EXPECT_EQ(image.pixel(0, 0), qRgb(38, 42, 52));
}
