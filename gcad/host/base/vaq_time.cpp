#include "gcad/host/base/vaq_time.h"

namespace Vaq {

Time::Time()
    : m_point(Clock::now())
{
}

double Time::elapsed() const
{
    return Time().secondsSince(*this);
}

double Time::secondsSince(const Time &earlier) const
{
    return std::chrono::duration<double>(m_point - earlier.m_point).count();
}

} // namespace Vaq
