// The vertex program works out the connector's middle line (unit normal and offset) from the
// connector handed to both of its vertices, so that the value reaching each pixel is the same;
// the fragment program covers a pixel by clamp(half width + 1/2 - distance of its centre, 0, 1),
// the share of a pixel-wide box filter that the line covers across it. Built once per context:
// a few milliseconds of the driver's compiler.
#include "gcad/host/fig2/vaq_fig2_connector_shader.h"

#include "gcad/host/gl/vaq_gl_context.h"
#include "gcad/host/gl/vaq_gl_extensions.h"

#include <cmath>

namespace Vaq::GFigure2 {

namespace {

const char *const VERTEX_PROGRAM = R"(#version 110
attribute vec4 line;
attribute float halfWidth;
varying vec3 middle;
varying float reach;
void main()
{
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;
    vec2 along = normalize(line.zw - line.xy);
    vec2 across = vec2(-along.y, along.x);
    middle = vec3(across, dot(across, line.xy));
    reach = halfWidth + 0.5;
    gl_FrontColor = gl_Color;
}
)";

const char *const FRAGMENT_PROGRAM = R"(#version 110
uniform float viewHeight;
varying vec3 middle;
varying float reach;
void main()
{
    vec2 pixel = vec2(gl_FragCoord.x, viewHeight - gl_FragCoord.y);
    float coverage = clamp(reach - abs(dot(middle.xy, pixel) - middle.z), 0.0, 1.0);
    gl_FragColor = vec4(gl_Color.rgb, 1.0) * (gl_Color.a * coverage);
}
)";

// The program of the context with the serial; 0 when it could not be built there.
struct Program
{
    unsigned serial = 0;
    GLuint program = 0;
    GLint viewHeight = -1;
};

Program build()
{
    Program built;
    built.serial = GL::GLContext::getSerial();
    if (!GL::GLExtensions::getCapabilities().shaders)
        return built;
    const GLuint vertex = GL::glCreateShader(GL_VERTEX_SHADER);
    const GLuint fragment = GL::glCreateShader(GL_FRAGMENT_SHADER);
    GL::glShaderSource(vertex, 1, &VERTEX_PROGRAM, nullptr);
    GL::glShaderSource(fragment, 1, &FRAGMENT_PROGRAM, nullptr);
    GL::glCompileShader(vertex);
    GL::glCompileShader(fragment);
    const GLuint program = GL::glCreateProgram();
    GL::glAttachShader(program, vertex);
    GL::glAttachShader(program, fragment);
    GL::glBindAttribLocation(program, ConnectorShader::LINE_ATTRIBUTE, "line");
    GL::glBindAttribLocation(program, ConnectorShader::HALF_WIDTH_ATTRIBUTE, "halfWidth");
    GL::glLinkProgram(program);
    // The program keeps its shaders; they go with it.
    GL::glDeleteShader(vertex);
    GL::glDeleteShader(fragment);
    GLint linked = GL_FALSE;
    GL::glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        GL::glDeleteProgram(program);
        return built;
    }
    built.program = program;
    built.viewHeight = GL::glGetUniformLocation(program, "viewHeight");
    return built;
}

} // namespace

bool ConnectorShader::use(int viewHeight)
{
    static Program program;
    if (program.serial != GL::GLContext::getSerial())
        program = build(); // the one before went with its context
    if (program.program == 0)
        return false;
    GL::glUseProgram(program.program);
    GL::glUniform1f(program.viewHeight, float(viewHeight));
    return true;
}

void ConnectorShader::release()
{
    GL::glUseProgram(0);
}

float ConnectorShader::lineWidth(double width)
{
    return float(std::ceil((width + 1.0) * M_SQRT2));
}

} // namespace Vaq::GFigure2
