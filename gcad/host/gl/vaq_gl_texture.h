// TextureManager: 2-D textures for the renderers (colour maps, selection marks). It turns
// QImages into GL textures, switches them on per texture unit together with their
// coordinate arrays, and knows when a texture belongs to a context that no longer exists.
#pragma once

#include "gcad/host/gl/vaq_gl_api.h"

#include <QImage>

#include <memory>
#include <vector>

namespace Vaq::GL {

class Texture
{
public:
    // Has a GL name on the live context and an uploaded image.
    bool isValid() const;
    GLuint getId() const { return m_id; }
    int width() const { return m_width; }
    int height() const { return m_height; }

private:
    friend class TextureManager;
    GLuint m_id = 0;
    unsigned m_serial = 0;
    GLint m_wrap = GL_REPEAT;
    int m_width = 0;
    int m_height = 0;
};

class TextureManager
{
public:
    static TextureManager _manager;

    ~TextureManager();

    // A new texture owned by the manager (null when no context can be made); wrap is
    // the wrap mode of both coordinates (GL_CLAMP, GL_CLAMP_TO_EDGE, GL_REPEAT).
    Texture *createTexture(GLint wrap = GL_REPEAT);
    // Deletes the texture and its GL name; null and unknown pointers are ignored.
    void deleteTexture(Texture *texture);
    // Uploads the image as RGBA8 (top row at t = 1). False for a null image, a size above
    // getMaxTextureSize or a stale texture; the texture then keeps its old image.
    bool setTextureImage(Texture *texture, const QImage &image);
    void setFiltering(Texture *texture, GLint minFilter, GLint magFilter);
    // Binds and enables the texture on unit (GL_TEXTURE0 + n) with the environment mode; the
    // caller sets the coordinates (an array, in client memory or a buffer, or generated).
    // False when the texture is not valid or the unit does not exist.
    bool enableTexture(Texture *texture, GLenum unit = GL_TEXTURE0, GLint envMode = GL_MODULATE);
    // Undoes enableTexture on unit and switches its coordinate array off, leaving unit 0 active.
    void disableTexture(GLenum unit = GL_TEXTURE0);
    int getMaxTextureSize() const;
    size_t getTextureCount() const { return m_textures.size(); }

private:
    bool selectUnit(GLenum unit) const;

    std::vector<std::unique_ptr<Texture>> m_textures;
};

} // namespace Vaq::GL
