#include "gcad/host/gl/vaq_gl_update_options.h"

#include "tests/support/prog_error_message.h"

#include <gtest/gtest.h>

using Vaq::GL::UpdateOptions;
using Vaq::Test::progErrorMessage;

namespace {

TEST(UpdateOptions, TemplateAloneSetsTheFlags)
{
    // Only the snapshot template renders a snapshot, only the interactive one thins out,
    // and all but the default keep GPU data.
    for (int templ = 0; templ <= 4; ++templ) {
        const UpdateOptions options(2, templ);
        EXPECT_EQ(options.snapshotRendering, templ == 3) << templ;
        EXPECT_EQ(options.interactiveUpdate, templ == 1) << templ;
        EXPECT_EQ(options.keepGpuData, templ != 0) << templ;
    }
    EXPECT_FALSE(UpdateOptions(1, 3) == UpdateOptions(0, 3));
}

TEST(UpdateOptions, RejectsValuesOutOfRangeWithTheirMessage)
{
    EXPECT_EQ(progErrorMessage([] { UpdateOptions(3, 0); }), "update stage out of range");
    EXPECT_EQ(progErrorMessage([] { UpdateOptions(-1, 0); }), "update stage out of range");
    EXPECT_EQ(progErrorMessage([] { UpdateOptions(0, 5); }), "update template out of range");
}

} // namespace
