// Drawing a scene into an off-screen view: the picture's size and its background (gcad
// render's test shows a mesh drawn over it).
#include "apps/scene/scene_image.h"

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
