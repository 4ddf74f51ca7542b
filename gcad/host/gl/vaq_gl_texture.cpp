#include "gcad/host/gl/vaq_gl_texture.h"

#include "gcad/host/gl/vaq_gl_context.h"
#include "gcad/host/gl/vaq_gl_extensions.h"

#include <algorithm>

namespace Vaq::GL {

TextureManager TextureManager::_manager;

bool Texture::isValid() const
{
    return m_id != 0 && m_serial == GLContext::getSerial() && m_width > 0 && m_height > 0;
}

TextureManager::~TextureManager()
{
    // At process exit the context may be gone; its names go with it.
    m_textures.clear();
}

Texture *TextureManager::createTexture(GLint wrap)
{
    if (!GLContext::tryGetInstance(nullptr))
        return nullptr;
    auto texture = std::make_unique<Texture>();
    ::glGenTextures(1, &texture->m_id);
    texture->m_serial = GLContext::getSerial();
    texture->m_wrap = wrap;
    GLint previous = 0;
    ::glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    ::glBindTexture(GL_TEXTURE_2D, texture->m_id);
    ::glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    ::glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    ::glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    ::glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    ::glBindTexture(GL_TEXTURE_2D, GLuint(previous));
    m_textures.push_back(std::move(texture));
    return m_textures.back().get();
}

void TextureManager::deleteTexture(Texture *texture)
{
    auto it = std::find_if(m_textures.begin(), m_textures.end(),
        [texture](const std::unique_ptr<Texture> &t) { return t.get() == texture; });
    if (it == m_textures.end())
        return;
    if ((*it)->m_serial == GLContext::getSerial() && GLContext::tryGetInstance(nullptr))
        ::glDeleteTextures(1, &(*it)->m_id);
    m_textures.erase(it);
}

bool TextureManager::setTextureImage(Texture *texture, const QImage &image)
{
    if (!texture || image.isNull() || texture->m_id == 0 || texture->m_serial != GLContext::getSerial())
        return false;
    if (image.width() > getMaxTextureSize() || image.height() > getMaxTextureSize())
        return false;
    if (!GLContext::tryGetInstance(nullptr))
        return false;
    // GL's first row is t = 0, the image's bottom.
    const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888).mirrored(false, true);
    GLint previous = 0;
    ::glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    ::glBindTexture(GL_TEXTURE_2D, texture->m_id);
    ::glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    ::glPixelStorei(GL_UNPACK_ROW_LENGTH, GLint(rgba.bytesPerLine() / 4));
    ::glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, rgba.width(), rgba.height(), 0, GL_RGBA, GL_UNSIGNED_BYTE,
        rgba.constBits());
    ::glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    ::glBindTexture(GL_TEXTURE_2D, GLuint(previous));
    const bool ok = ::glGetError() == GL_NO_ERROR;
    if (ok) {
        texture->m_width = rgba.width();
        texture->m_height = rgba.height();
    }
    return ok;
}

void TextureManager::setFiltering(Texture *texture, GLint minFilter, GLint magFilter)
{
    if (!texture || texture->m_id == 0 || texture->m_serial != GLContext::getSerial())
        return;
    GLint previous = 0;
    ::glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    ::glBindTexture(GL_TEXTURE_2D, texture->m_id);
    ::glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    ::glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);
    ::glBindTexture(GL_TEXTURE_2D, GLuint(previous));
}

bool TextureManager::selectUnit(GLenum unit) const
{
    const Capabilities &caps = GLExtensions::getCapabilities();
    if (unit < GL_TEXTURE0 || unit >= GL_TEXTURE0 + GLenum(caps.textureUnits))
        return false;
    if (glActiveTexture) {
        glActiveTexture(unit);
        glClientActiveTexture(unit);
    }
    return true;
}

bool TextureManager::enableTexture(Texture *texture, GLenum unit, GLint envMode)
{
    if (!texture || !texture->isValid() || !selectUnit(unit))
        return false;
    ::glBindTexture(GL_TEXTURE_2D, texture->m_id);
    ::glEnable(GL_TEXTURE_2D);
    ::glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, envMode);
    selectUnit(GL_TEXTURE0);
    return true;
}

void TextureManager::disableTexture(GLenum unit)
{
    if (!selectUnit(unit))
        return;
    ::glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    ::glDisable(GL_TEXTURE_2D);
    ::glBindTexture(GL_TEXTURE_2D, 0);
    selectUnit(GL_TEXTURE0);
}

int TextureManager::getMaxTextureSize() const
{
    return GLExtensions::getCapabilities().maxTextureSize;
}

} // namespace Vaq::GL
