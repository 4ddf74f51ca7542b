// SelectionTextures: the tint of selected triangles and points on coloured meshes. Two grey
// 1 x 1 textures on consecutive texture units turn a colour c into c x 85/255 + 85/255 (the
// first modulates, the second adds), so a selection stays visible whatever the vertex or
// colour-map colours are. Library-wide, made on first use; GUI thread, context current.
#pragma once

#include "gcad/host/gl/vaq_gl_api.h"

namespace Vaq::GCAD {

class SelectionTextures
{
public:
    // The grey of both texels.
    static constexpr int GREY = 85;

    // Switches the pair on from unit (GL_TEXTURE0 + n) and unit + 1. The caller checks that
    // multitexturing is possible.
    static void enable(GLenum unit);
    static void disable(GLenum unit);
};

} // namespace Vaq::GCAD
