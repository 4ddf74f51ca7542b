#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/base/vaq_trace.h"

#include <gtest/gtest.h>

using namespace Vaq;

TEST(ProgError, macroFillsFileAndLineAndWhatNamesAll)
{
    int line = 0;
    try {
        line = __LINE__ + 1;
        VAQ_PROG_ERROR("Vaq::GCAD::RenderCallback::getRenderer", "No renderer for type 5 (a.stl)");
    } catch (const ProgError &e) {
        EXPECT_EQ(e.function(), "Vaq::GCAD::RenderCallback::getRenderer");
        EXPECT_EQ(e.file(), "prog_error_test");
        EXPECT_EQ(e.line(), line);
        EXPECT_EQ(e.message(), "No renderer for type 5 (a.stl)");
        EXPECT_EQ(std::string(e.what()),
            "prog_error_test(" + std::to_string(line)
                + "): Vaq::GCAD::RenderCallback::getRenderer: No renderer for type 5 (a.stl)");
        return;
    }
    FAIL() << "VAQ_PROG_ERROR did not throw";
}

TEST(Trace, writesFunctionLineAndMessageThenNewline)
{
    testing::internal::CaptureStdout();
    trace("Vaq::GCAD::RenderCallback::getNextElement", 42, "wrong signal handling");
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
        "Vaq::GCAD::RenderCallback::getNextElement(42): wrong signal handling\n");
}
