#include "gcad/host/gl/vaq_gl_standard_light.h"

#include "gcad/host/gl/vaq_gl_api.h"

#include <algorithm>

namespace Vaq::GL {

namespace {
void toFloats(const Color &c, GLfloat out[4])
{
    out[0] = c.r / 255.0f;
    out[1] = c.g / 255.0f;
    out[2] = c.b / 255.0f;
    out[3] = c.a / 255.0f;
}
} // namespace

StandardLight::StandardLight(int number)
    : m_number(std::clamp(number, 0, 7))
{
}

void StandardLight::setColors(const Color &ambient, const Color &diffuse, const Color &specular)
{
    m_ambient = ambient;
    m_diffuse = diffuse;
    m_specular = specular;
}

void StandardLight::enable() const
{
    const GLenum light = GLenum(GL_LIGHT0 + m_number);
    GLfloat value[4];
    toFloats(m_ambient, value);
    ::glLightfv(light, GL_AMBIENT, value);
    toFloats(m_diffuse, value);
    ::glLightfv(light, GL_DIFFUSE, value);
    toFloats(m_specular, value);
    ::glLightfv(light, GL_SPECULAR, value);
    // A directional light's position is the direction towards the light (w = 0).
    const GLfloat position[4]
        = { GLfloat(-m_direction.x), GLfloat(-m_direction.y), GLfloat(-m_direction.z), 0.0f };
    GLint mode = GL_MODELVIEW;
    ::glGetIntegerv(GL_MATRIX_MODE, &mode);
    ::glMatrixMode(GL_MODELVIEW);
    ::glPushMatrix();
    ::glLoadIdentity();
    ::glLightfv(light, GL_POSITION, position);
    ::glPopMatrix();
    ::glMatrixMode(GLenum(mode));
    ::glEnable(light);
}

void StandardLight::disable() const
{
    ::glDisable(GLenum(GL_LIGHT0 + m_number));
}

void StandardLight::setupViewLights()
{
    StandardLight head(0);
    head.enable();
    StandardLight fill(1);
    fill.setDirection(BaVec3d<double>(0.5, 0.5, -1.0));
    fill.setColors(Color(0, 0, 0, 255), Color(60, 60, 60, 255), Color(0, 0, 0, 255));
    fill.enable();
    for (int i = 2; i < 8; ++i)
        StandardLight(i).disable();
    const GLfloat ambient[4] = { 0.2f, 0.2f, 0.2f, 1.0f };
    ::glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    ::glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0);
    ::glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 0);
}

} // namespace Vaq::GL
