#include "traffic/TrafficLog.h"

namespace vpx {

bool TTrafficLog::AddTrafficRecord(TrafficRecordPtr record)
{
    if (!record)
        return false;
    ++m_appended;
    if (Count() >= MaxLogRecords) {
        FreeTrafficRecord(std::move(m_records.front()));
        m_records.pop_front();
        m_records.push_back(std::move(record));
        ++m_shifts;
        if (m_listener)
            m_listener->Shifted();
        return true;
    }
    if (m_listener)
        m_listener->BeforeAppend(Count());
    m_records.push_back(std::move(record));
    if (m_listener)
        m_listener->AfterAppend();
    return false;
}

void TTrafficLog::ClearTrafficLog()
{
    if (m_records.empty())
        return;
    if (m_listener)
        m_listener->BeforeClear(Count());
    for (auto& record : m_records)
        FreeTrafficRecord(std::move(record));
    m_records.clear();
    if (m_listener)
        m_listener->AfterClear();
}

const TTrafficRecord* TTrafficLog::Record(int row) const noexcept
{
    if (row < 0 || row >= Count())
        return nullptr;
    return m_records[static_cast<std::size_t>(row)].get();
}

} // namespace vpx
