// The start-up check's decision: what changed since the stored states, and what the user is
// told about it.
#include "gcad/benchmark/gcad_board_check.h"

#include <gtest/gtest.h>

using namespace Vaq::GCAD;

namespace {

const QString DRIVER = QStringLiteral("Mesa 22.3.6");

// A hardware board with off-screen rendering, certified, on DRIVER.
BoardState hardware(bool certified = true)
{
    return BoardState { false, true, certified, DRIVER };
}

// What a check of hardware() stored.
StoredBoardState seenBefore(const QString &driver = DRIVER)
{
    return StoredBoardState { 1, 2, 1, driver };
}

} // namespace

TEST(BoardCheck, StoredStateCountsAsChangedUnlessItRecordsTheCurrentValue)
{
    EXPECT_FALSE(isBoardStateChanged(1, true));
    EXPECT_FALSE(isBoardStateChanged(2, false));
    EXPECT_TRUE(isBoardStateChanged(1, false));
    EXPECT_TRUE(isBoardStateChanged(2, true));
    // Nothing stored, or a value the check never stores.
    for (unsigned stored : { 0u, 3u, 4294967295u }) {
        EXPECT_TRUE(isBoardStateChanged(stored, true)) << stored;
        EXPECT_TRUE(isBoardStateChanged(stored, false)) << stored;
    }
}

TEST(BoardCheck, ChangeRulesDecideWhatTheUserIsTold)
{
    struct Case
    {
        const char *name;
        BoardState now;
        StoredBoardState stored;
        bool hasResult;
        BoardMessage message;
        bool driverChanged;
    };
    const StoredBoardState firstStart;
    const Case cases[] = {
        { "first start, no result", hardware(), firstStart, false, BoardMessage::CHECK_DIALOG, false },
        // The states are new, but a result exists: nothing to ask, the states are stored.
        { "first start with a result", hardware(), firstStart, true, BoardMessage::STATES_ONLY, false },
        // A result measured with another driver does not count.
        { "driver changed", hardware(), seenBefore("Mesa 21.0"), true, BoardMessage::CHECK_DIALOG, true },
        { "software rendering switched on", BoardState { true, true, true, DRIVER }, seenBefore(), true,
            BoardMessage::SOFTWARE_RENDERING, false },
        { "software rendering switched off", hardware(), StoredBoardState { 1, 1, 1, DRIVER }, true,
            BoardMessage::STATES_ONLY, false },
        { "off-screen rendering lost", BoardState { false, false, true, DRIVER }, seenBefore(), true,
            BoardMessage::OFFSCREEN_DISABLED, false },
        { "certified changed, with a result", hardware(false), seenBefore(), true, BoardMessage::STATES_ONLY,
            false },
        { "certified changed, no result", hardware(false), seenBefore(), false, BoardMessage::CHECK_DIALOG,
            false },
        { "nothing changed", hardware(), seenBefore(), true, BoardMessage::NONE, false },
        // Hardware without a result asks at every start until the benchmark has run.
        { "nothing changed, no result", hardware(), seenBefore(), false, BoardMessage::CHECK_DIALOG, false },
        // Software rendering has no benchmark to ask for, and the driver does not matter to it.
        { "software rendering unchanged, no result", BoardState { true, true, true, DRIVER },
            StoredBoardState { 1, 1, 1, "Mesa 1.0" }, false, BoardMessage::NONE, false },
        // No driver stored (after a reset of the states only) is not a change of driver.
        { "no driver stored", hardware(), seenBefore(QString()), true, BoardMessage::NONE, false },
    };
    for (const Case &c : cases) {
        const BoardCheckPlan plan = planBoardCheck(c.now, c.stored, c.hasResult);
        EXPECT_EQ(plan.message, c.message) << c.name;
        EXPECT_EQ(plan.driverChanged, c.driverChanged) << c.name;
    }
}
