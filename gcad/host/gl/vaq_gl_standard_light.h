// StandardLight: the lights a view switches on before it draws. A light is directional and
// fixed to the viewer (its direction is in eye coordinates), so the scene stays lit from
// the front whichever way the view is turned.
#pragma once

#include "gcad/host/base/vaq_color.h"
#include "gcad/host/base/vaq_vec.h"

namespace Vaq::GL {

class StandardLight
{
public:
    // Light number n is GL_LIGHT0 + n (0 to 7). Default: light grey diffuse, white specular,
    // no ambient of its own, shining from the viewer along -z. Light grey rather than white
    // so that a surface facing the viewer keeps its colour instead of washing out to full
    // intensity once the scene's ambient light is added.
    explicit StandardLight(int number = 0);

    // Direction the light shines along, in eye coordinates.
    void setDirection(const BaVec3d<double> &direction) { m_direction = direction.normalized(); }
    const BaVec3d<double> &getDirection() const { return m_direction; }
    void setColors(const Color &ambient, const Color &diffuse, const Color &specular);

    // Loads the light's parameters under an identity model-view matrix (restored after)
    // and enables it; disable switches it off.
    void enable() const;
    void disable() const;

    // The view's lights: light 0 from the viewer, a weak fill light from the lower left,
    // two-sided lighting off, local viewer off. Lights 2 to 7 are switched off.
    static void setupViewLights();

private:
    int m_number;
    BaVec3d<double> m_direction { 0.0, 0.0, -1.0 };
    Color m_ambient { 0, 0, 0, 255 };
    Color m_diffuse { 190, 190, 190, 255 };
    Color m_specular { 255, 255, 255, 255 };
};

} // namespace Vaq::GL
