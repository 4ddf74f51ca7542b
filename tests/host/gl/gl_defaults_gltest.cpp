#include "gcad/host/gl/vaq_gl_api.h"
#include "gcad/host/gl/vaq_gl_context.h"
#include "gcad/host/gl/vaq_gl_extensions.h"
#include "gcad/host/gl/vaq_gl_tools.h"

#include <gtest/gtest.h>

#include <functional>

using Vaq::GL::GLTools;

namespace {

class GLDefaults : public testing::Test
{
protected:
    void SetUp() override { Vaq::GL::GLContext::shared(); }
};

TEST_F(GLDefaults, InitDefaultsEstablishesWhatCheckDefaultsVerifies)
{
    // Start from GL's own initial state, which differs in several defaults.
    ::glDisable(GL_LIGHTING);
    ::glDisable(GL_STENCIL_TEST);
    QString difference;
    EXPECT_FALSE(GLTools::checkDefaults(&difference));
    GLTools::initDefaults();
    EXPECT_TRUE(GLTools::checkDefaults(&difference)) << difference.toStdString();
    EXPECT_TRUE(difference.isEmpty());
    EXPECT_EQ(::glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(GLDefaults, EachChangedDefaultIsFoundAndRestoringClearsIt)
{
    struct Case
    {
        const char *difference;
        std::function<void()> change;
        std::function<void()> restore;
    };
    const Case cases[] = {
        { "GL_LINE_SMOOTH enabled", [] { ::glEnable(GL_LINE_SMOOTH); }, [] { ::glDisable(GL_LINE_SMOOTH); } },
        { "GL_LIGHTING disabled", [] { ::glDisable(GL_LIGHTING); }, [] { ::glEnable(GL_LIGHTING); } },
        { "polygon mode back not GL_FILL", [] { ::glPolygonMode(GL_BACK, GL_LINE); },
            [] { ::glPolygonMode(GL_FRONT_AND_BACK, GL_FILL); } },
        { "polygon mode front not GL_FILL", [] { ::glPolygonMode(GL_FRONT, GL_POINT); },
            [] { ::glPolygonMode(GL_FRONT_AND_BACK, GL_FILL); } },
        { "depth writes off", [] { ::glDepthMask(GL_FALSE); }, [] { ::glDepthMask(GL_TRUE); } },
        { "GL_BLEND disabled", [] { ::glDisable(GL_BLEND); }, [] { ::glEnable(GL_BLEND); } },
        { "blend function not GL_ONE, GL_ZERO", [] { ::glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA); },
            [] { ::glBlendFunc(GL_ONE, GL_ZERO); } },
        { "blend function not GL_ONE, GL_ZERO",
            [] {
                Vaq::GL::glBlendFuncSeparate(GL_ONE, GL_ZERO, GL_SRC_ALPHA_SATURATE, GL_ONE_MINUS_SRC_ALPHA);
            },
            [] { ::glBlendFunc(GL_ONE, GL_ZERO); } },
        { "GL_POLYGON_OFFSET_FILL disabled", [] { ::glDisable(GL_POLYGON_OFFSET_FILL); },
            [] { ::glEnable(GL_POLYGON_OFFSET_FILL); } },
        { "GL_CULL_FACE enabled", [] { ::glEnable(GL_CULL_FACE); }, [] { ::glDisable(GL_CULL_FACE); } },
        { "GL_COLOR_MATERIAL enabled", [] { ::glEnable(GL_COLOR_MATERIAL); },
            [] { ::glDisable(GL_COLOR_MATERIAL); } },
        { "line width not 1", [] { ::glLineWidth(2.0f); }, [] { ::glLineWidth(1.0f); } },
        { "GL_DEPTH_TEST disabled", [] { ::glDisable(GL_DEPTH_TEST); }, [] { ::glEnable(GL_DEPTH_TEST); } },
        { "GL_STENCIL_TEST disabled", [] { ::glDisable(GL_STENCIL_TEST); },
            [] { ::glEnable(GL_STENCIL_TEST); } },
        { "stencil op not GL_KEEP, GL_KEEP, GL_REPLACE", [] { ::glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP); },
            [] { ::glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE); } },
    };
    ASSERT_NE(Vaq::GL::glBlendFuncSeparate, nullptr);
    GLTools::initDefaults();
    for (const Case &c : cases) {
        c.change();
        QString difference;
        EXPECT_FALSE(GLTools::checkDefaults(&difference)) << c.difference;
        EXPECT_EQ(difference, QString::fromLatin1(c.difference));
        c.restore();
        EXPECT_TRUE(GLTools::checkDefaults(&difference)) << c.difference << ": " << difference.toStdString();
    }
}

} // namespace
