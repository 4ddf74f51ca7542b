#include "gcad/mesh/gcad_selection_textures.h"

#include "gcad/host/gl/vaq_gl_texture.h"

#include <QImage>

namespace Vaq::GCAD {

namespace {

GL::Texture *_textures[2] = { nullptr, nullptr };

// The texture, made again when its context has gone.
GL::Texture *texture(int i)
{
    GL::TextureManager &manager = GL::TextureManager::_manager;
    if (_textures[i] && _textures[i]->isValid())
        return _textures[i];
    manager.deleteTexture(_textures[i]);
    _textures[i] = manager.createTexture(GL_CLAMP);
    QImage grey(1, 1, QImage::Format_RGBA8888);
    grey.fill(QColor(SelectionTextures::GREY, SelectionTextures::GREY, SelectionTextures::GREY));
    manager.setTextureImage(_textures[i], grey);
    manager.setFiltering(_textures[i], GL_NEAREST, GL_NEAREST);
    return _textures[i];
}

} // namespace

void SelectionTextures::enable(GLenum unit)
{
    GL::TextureManager::_manager.enableTexture(texture(0), unit, GL_MODULATE);
    GL::TextureManager::_manager.enableTexture(texture(1), unit + 1, GL_ADD);
}

void SelectionTextures::disable(GLenum unit)
{
    GL::TextureManager::_manager.disableTexture(unit);
    GL::TextureManager::_manager.disableTexture(unit + 1);
}

} // namespace Vaq::GCAD
