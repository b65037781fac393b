#pragma once

// The traffic log: the newest MaxLogRecords traffic records, oldest first.
// Plain C++; a model listens to its changes to show them.

#include "traffic/TrafficRecord.h"

#include <cstdint>
#include <deque>

namespace vpx {

inline constexpr int MaxLogRecords = 1000;

// Told about every change, before and after, so a model can bracket it.
class TTrafficLogListener {
public:
    virtual ~TTrafficLogListener() = default;
    virtual void BeforeAppend(int row) = 0;
    virtual void AfterAppend() = 0;
    // The log was full: the oldest record went and every row moved up by one, the
    // newest now in the last row. The rows themselves stay, which is what keeps a
    // full log cheap under a flood: no row is inserted or removed.
    virtual void Shifted() = 0;
    virtual void BeforeClear(int count) = 0;
    virtual void AfterClear() = 0;
};

class TTrafficLog {
public:
    TTrafficLog() = default;
    TTrafficLog(const TTrafficLog&) = delete;
    TTrafficLog& operator=(const TTrafficLog&) = delete;

    // Appends the record; past the cap the oldest record is released. A missing
    // record is ignored. Returns whether the oldest was dropped.
    bool AddTrafficRecord(TrafficRecordPtr record);
    // Releases every record, oldest first. Clearing an empty log does nothing.
    void ClearTrafficLog();

    int Count() const noexcept { return static_cast<int>(m_records.size()); }
    // Every record ever appended has a serial number, 0 for the first: the
    // record in row r is FirstSerial() + r. It names a record for as long as it
    // lives, whatever rows it moves through.
    std::uint64_t FirstSerial() const noexcept { return m_appended - m_records.size(); }
    // How many times the full log has shifted up by one since it was made.
    std::uint64_t Shifts() const noexcept { return m_shifts; }
    // The record of a row, or nullptr for a row that does not exist.
    const TTrafficRecord* Record(int row) const noexcept;

    void SetListener(TTrafficLogListener* listener) noexcept { m_listener = listener; }

private:
    std::deque<TrafficRecordPtr> m_records;
    TTrafficLogListener* m_listener = nullptr;
    std::uint64_t m_appended = 0;
    std::uint64_t m_shifts = 0;
};

} // namespace vpx
