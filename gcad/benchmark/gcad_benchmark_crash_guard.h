// BenchmarkCrashGuard: while the mesh benchmark runs, the saved configuration switches software
// rendering on, so that a graphics driver that crashes during the run leaves the next start on
// software rendering. The user's own setting waits in the file "gcad_benchmark.guard" beside
// the configuration until the run ends, so that a run after an interrupted one restores it.
#pragma once

namespace Vaq::GCAD {

class BenchmarkCrashGuard
{
public:
    // Switches software rendering on and saves the configuration. Left on by an earlier run,
    // the setting the user had before that run is the one kept.
    BenchmarkCrashGuard();
    BenchmarkCrashGuard(const BenchmarkCrashGuard &) = delete;
    BenchmarkCrashGuard &operator=(const BenchmarkCrashGuard &) = delete;

    // Puts the user's setting back and saves the configuration, at the end of a run that
    // completed. A guard that is never released stays on, as after a crash.
    void release();

    // Whether an interrupted run left software rendering switched on.
    static bool isLeftOn();

private:
    unsigned m_user_setting = 0;
};

} // namespace Vaq::GCAD
