#include "traffic/RepeatSchedule.h"

#include <algorithm>

namespace vpx {

void TRepeatSchedule::Start(std::int64_t nowNs, std::int64_t periodMs, std::int64_t count) noexcept
{
    m_startNs = nowNs;
    m_periodNs = std::clamp(periodMs, MinPeriodMs, MaxPeriodMs) * 1000000;
    m_count = std::max<std::int64_t>(count, 0);
    m_sent = 0;
    m_running = true;
}

bool TRepeatSchedule::TakeDue(std::int64_t nowNs) noexcept
{
    if (!m_running || nowNs < NextDueNs())
        return false;
    ++m_sent;
    if (m_count > 0 && m_sent >= m_count)
        m_running = false;
    return true;
}

int TRepeatSchedule::WaitMs(std::int64_t nowNs) const noexcept
{
    const std::int64_t waitNs = NextDueNs() - nowNs;
    if (waitNs <= 0)
        return 0;
    return static_cast<int>((waitNs + 999999) / 1000000); // rounded up: never early
}

} // namespace vpx
