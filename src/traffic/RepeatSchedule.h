#pragma once

// When the sends of a repeat or a sequence are due. Send k is due at
// start + k * period, counted from the start and never from the last send, so
// a late timer makes one send late without moving every later one. Pure
// arithmetic on a clock the caller reads: it is tested without waiting.

#include <cstdint>

namespace vpx {

class TRepeatSchedule {
public:
    static constexpr std::int64_t MinPeriodMs = 1;
    static constexpr std::int64_t MaxPeriodMs = 3600 * 1000;

    // `count` sends (0: until stopped), the first at `nowNs`. The period is held
    // to MinPeriodMs..MaxPeriodMs.
    void Start(std::int64_t nowNs, std::int64_t periodMs, std::int64_t count) noexcept;
    void Stop() noexcept { m_running = false; }

    bool Running() const noexcept { return m_running; }
    std::int64_t Sent() const noexcept { return m_sent; }
    std::int64_t Count() const noexcept { return m_count; }
    std::int64_t PeriodMs() const noexcept { return m_periodNs / 1000000; }

    // When the next send is due; meaningless once stopped.
    std::int64_t NextDueNs() const noexcept { return m_startNs + m_sent * m_periodNs; }
    // Whether a send is due at `nowNs`. Taking it counts it as sent, and the
    // schedule stops by itself after the last one.
    bool TakeDue(std::int64_t nowNs) noexcept;
    // The wait to set on a millisecond timer so that it fires at or after the next
    // due time (0 when that has passed).
    int WaitMs(std::int64_t nowNs) const noexcept;

private:
    std::int64_t m_startNs = 0;
    std::int64_t m_periodNs = 1000000;
    std::int64_t m_count = 0;
    std::int64_t m_sent = 0;
    bool m_running = false;
};

} // namespace vpx
