// Time: a point on a monotonic clock with sub-microsecond resolution, for measuring how
// long drawing takes. Differences are in seconds.
#pragma once

#include <chrono>

namespace Vaq {

class Time
{
public:
    // The current time.
    Time();

    void restart() { m_point = Clock::now(); }
    // Seconds elapsed since this time was taken.
    double elapsed() const;
    // Seconds from `earlier` to this time.
    double secondsSince(const Time &earlier) const;

private:
    using Clock = std::chrono::steady_clock;
    Clock::time_point m_point;
};

} // namespace Vaq
