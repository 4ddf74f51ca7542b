#include "gcad/host/base/vaq_prog_error.h"
#include "gcad/host/gl/vaq_gl_update_options.h"

#include <gtest/gtest.h>

using Vaq::GL::UpdateOptions;

namespace {

TEST(UpdateOptions, TemplatesSetTheDocumentedFlags)
{
    struct Row
    {
        int templ;
        bool snapshot, interactive, keepGpu;
    };
    // The header's table: only the snapshot template renders a snapshot, only the
    // interactive one thins out, and all but the default keep GPU data.
    const Row rows[] = {
        { 0, false, false, false },
        { 1, false, true, true },
        { 2, false, false, true },
        { 3, true, false, true },
        { 4, false, false, true },
    };
    for (const Row &row : rows) {
        const UpdateOptions options(0, row.templ);
        EXPECT_EQ(options.snapshotRendering, row.snapshot) << "template " << row.templ;
        EXPECT_EQ(options.interactiveUpdate, row.interactive) << "template " << row.templ;
        EXPECT_EQ(options.keepGpuData, row.keepGpu) << "template " << row.templ;
        EXPECT_EQ(options.getTemplate(), row.templ);
    }
}

TEST(UpdateOptions, StageIsKeptAndDoesNotChangeTheFlags)
{
    const UpdateOptions overlay(2, 0);
    EXPECT_EQ(overlay.getStage(), UpdateOptions::US_OVERLAY);
    EXPECT_FALSE(overlay.snapshotRendering || overlay.interactiveUpdate || overlay.keepGpuData);
    EXPECT_EQ(UpdateOptions(), UpdateOptions(0, 0));
    EXPECT_FALSE(UpdateOptions(1, 3) == UpdateOptions(0, 3));
}

TEST(UpdateOptions, RejectsValuesOutOfRangeWithTheirMessage)
{
    try {
        UpdateOptions(3, 0);
        FAIL() << "stage 3 accepted";
    } catch (const Vaq::ProgError &error) {
        EXPECT_EQ(error.message(), QStringLiteral("update stage out of range"));
        EXPECT_EQ(error.function(), QStringLiteral("Vaq::GL::UpdateOptions::UpdateOptions"));
    }
    try {
        UpdateOptions(0, -1);
        FAIL() << "template -1 accepted";
    } catch (const Vaq::ProgError &error) {
        EXPECT_EQ(error.message(), QStringLiteral("update template out of range"));
    }
}

} // namespace
