#include "tests/host/gl/quad_scene.h"

#include "gcad/host/gl/vaq_gl_texture.h"

#include <gtest/gtest.h>

#include <memory>

namespace GL = Vaq::GL;

namespace {

TEST(TextureManager, AnUploadedImageIsDrawnWithItsColoursAndBadImagesKeepIt)
{
    constexpr int S = 40;
    GL::TextureManager &manager = GL::TextureManager::_manager;
    Vaq::Test::QuadScene scene(S, S);
    std::unique_ptr<GL::RenderObject> view(GL::RenderObject::createRenderObject(&scene, S, S));
    view->setScale(S);
    const size_t before = manager.getTextureCount();
    GL::Texture *texture = manager.createTexture(GL_CLAMP_TO_EDGE);
    ASSERT_NE(texture, nullptr);
    EXPECT_FALSE(manager.setTextureImage(texture, QImage()));

    QImage image(2, 2, QImage::Format_RGB32);
    image.setPixelColor(0, 0, QColor(255, 0, 0));
    image.setPixelColor(1, 0, QColor(0, 255, 0));
    image.setPixelColor(0, 1, QColor(0, 0, 255));
    image.setPixelColor(1, 1, QColor(255, 255, 0));
    ASSERT_TRUE(manager.setTextureImage(texture, image));
    EXPECT_FALSE(
        manager.setTextureImage(texture, QImage(manager.getMaxTextureSize() + 1, 1, QImage::Format_RGB32)));
    manager.setFiltering(texture, GL_NEAREST, GL_NEAREST);

    scene.quads = { { 0, 0, S, S, Vaq::Color(0, 0, 0), nullptr, 0.0, false, texture } };
    view->repaintWidget();
    EXPECT_TRUE(scene.textureEnabled);
    // The read-back image and the texture image are both top-down.
    const QImage drawn = view->getRenderedImage();
    EXPECT_EQ(drawn.pixelColor(10, 10), QColor(255, 0, 0));
    EXPECT_EQ(drawn.pixelColor(30, 10), QColor(0, 255, 0));
    EXPECT_EQ(drawn.pixelColor(10, 30), QColor(0, 0, 255));
    EXPECT_FALSE(::glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(manager.enableTexture(texture, GL_TEXTURE0 + 1000));
    manager.deleteTexture(texture);
    EXPECT_EQ(manager.getTextureCount(), before);
}

} // namespace
