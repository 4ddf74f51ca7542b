// GLTest: the fixture of the library's GL tests. Each test gets a real off-screen view of
// W x H pixels on the shared EGL context, drawn by a TestScene. Standard output is captured
// so that a test can read the traces it caused, and every test fails when a renderer left
// the GL state changed ("GL-Default error on element") unless the test expects exactly that.
#pragma once

#include "gcad/host/gl/vaq_gl_render_object.h"
#include "tests/support/gcad_test_scene.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

namespace Vaq::Test {

class GLTest : public testing::Test
{
protected:
    static constexpr int W = 200, H = 200;

    void SetUp() override
    {
        testing::internal::CaptureStdout();
        view.reset(GL::RenderObject::createRenderObject(&scene, W, H));
    }

    void TearDown() override
    {
        view.reset();
        takeTraces();
        // Gives back what was captured, failure messages of the test included.
        std::fputs(m_all_traces.c_str(), stdout);
        if (!expectDefaultError) {
            EXPECT_EQ(m_all_traces.find("GL-Default error on element"), std::string::npos) << m_all_traces;
        }
    }

    // The traces written since the test started or since the last call; capturing goes on.
    std::string takeTraces()
    {
        const std::string traces = testing::internal::GetCapturedStdout();
        m_all_traces += traces;
        if (view)
            testing::internal::CaptureStdout();
        return traces;
    }

    // The window pixel (origin lower left) at which the model point appears.
    BaVec2d<double> pixelOf(const BaVec3d<double> &point) const
    {
        const BaVec3d<double> p = view->get3d2dTransformation().transform(point);
        return { p.x, p.y };
    }

    TestScene scene;
    std::unique_ptr<GL::RenderObject> view;
    bool expectDefaultError = false;

private:
    std::string m_all_traces;
};

} // namespace Vaq::Test
