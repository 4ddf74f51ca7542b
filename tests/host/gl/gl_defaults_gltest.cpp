#include "gcad/host/gl/vaq_gl_api.h"
#include "gcad/host/gl/vaq_gl_context.h"
#include "gcad/host/gl/vaq_gl_extensions.h"
#include "gcad/host/gl/vaq_gl_tools.h"

#include <gtest/gtest.h>

#include <functional>

using Vaq::GL::GLTools;

namespace {

TEST(GLDefaults, EachChangedDefaultIsNamedAndInitDefaultsRestoresIt)
{
    Vaq::GL::GLContext::getInstance();
    ASSERT_NE(Vaq::GL::glBlendFuncSeparate, nullptr);
    const std::pair<const char *, std::function<void()>> cases[] = {
        { "GL_LINE_SMOOTH enabled", [] { ::glEnable(GL_LINE_SMOOTH); } },
        { "GL_LIGHTING disabled", [] { ::glDisable(GL_LIGHTING); } },
        { "polygon mode back not GL_FILL", [] { ::glPolygonMode(GL_BACK, GL_LINE); } },
        { "polygon mode front not GL_FILL", [] { ::glPolygonMode(GL_FRONT, GL_POINT); } },
        { "depth writes off", [] { ::glDepthMask(GL_FALSE); } },
        { "GL_BLEND disabled", [] { ::glDisable(GL_BLEND); } },
        { "blend function not GL_ONE, GL_ZERO", [] { ::glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA); } },
        // A separate alpha factor alone is a difference too.
        { "blend function not GL_ONE, GL_ZERO",
            [] {
                Vaq::GL::glBlendFuncSeparate(GL_ONE, GL_ZERO, GL_SRC_ALPHA_SATURATE, GL_ONE_MINUS_SRC_ALPHA);
            } },
        { "GL_POLYGON_OFFSET_FILL disabled", [] { ::glDisable(GL_POLYGON_OFFSET_FILL); } },
        { "GL_CULL_FACE enabled", [] { ::glEnable(GL_CULL_FACE); } },
        { "GL_COLOR_MATERIAL enabled", [] { ::glEnable(GL_COLOR_MATERIAL); } },
        { "line width not 1", [] { ::glLineWidth(2.0f); } },
        { "GL_DEPTH_TEST disabled", [] { ::glDisable(GL_DEPTH_TEST); } },
        { "GL_STENCIL_TEST disabled", [] { ::glDisable(GL_STENCIL_TEST); } },
        { "stencil op not GL_KEEP, GL_KEEP, GL_REPLACE", [] { ::glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP); } },
    };
    GLTools::initDefaults();
    for (const auto &[expected, change] : cases) {
        change();
        QString difference;
        EXPECT_FALSE(GLTools::checkDefaults(&difference)) << expected;
        EXPECT_EQ(difference, QString::fromLatin1(expected));
        GLTools::initDefaults();
        EXPECT_TRUE(GLTools::checkDefaults(&difference)) << expected << ": " << difference.toStdString();
        EXPECT_TRUE(difference.isEmpty());
    }
    EXPECT_EQ(::glGetError(), GLenum(GL_NO_ERROR));
}

} // namespace
