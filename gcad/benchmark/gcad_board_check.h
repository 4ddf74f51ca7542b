// The graphics board check at application start-up: it compares the graphics configuration
// (software rendering, off-screen rendering, certification, driver version) with what the
// last start saw, and when something relevant changed it tells the user and offers software
// rendering or the benchmark. The states it saw are kept in the "Gcad/Info..." entries.
#pragma once

#include <QString>

namespace Vaq::GCAD {

// Runs the check once after start-up; does nothing in a batch or scripted start (callback
// registration disabled). The states are stored only when the user was told something.
void checkGraphicBoardConfiguration();

// The graphics configuration as the check sees it.
struct BoardState
{
    bool softwareRendering = false;
    bool offscreenAvailable = false;
    bool certified = false;
    QString driverVersion;
};

// What the last check stored: per state 0 = nothing stored, 1 = was true, 2 = was false.
struct StoredBoardState
{
    unsigned certified = 0;
    unsigned softwareRendering = 0;
    unsigned offscreenAvailable = 0;
    QString driverVersion;
};

// What the check tells the user, in order of precedence.
enum class BoardMessage {
    NONE, // nothing changed: nothing shown, nothing stored
    SOFTWARE_RENDERING, // an OK message on software rendering
    OFFSCREEN_DISABLED, // an OK message on disabled off-screen rendering
    CHECK_DIALOG, // CheckBoardDialog: software rendering or the benchmark
    STATES_ONLY // a state changed but there is nothing to ask: only the states are stored
};

struct BoardCheckPlan
{
    BoardMessage message = BoardMessage::NONE;
    bool driverChanged = false;
};

// Whether a stored state differs from now: nothing (or an unknown value) stored, 1 with now
// false, or 2 with now true.
bool isBoardStateChanged(unsigned stored, bool now);

// The decision of the check. hasResult: the result store holds a benchmark result for the
// current configuration; one measured with another driver does not count.
BoardCheckPlan planBoardCheck(const BoardState &now, const StoredBoardState &stored, bool hasResult);

} // namespace Vaq::GCAD
