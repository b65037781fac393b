#include "traffic/TrafficFilter.h"

#include "notation/Notation.h"
#include "platform/CodePage.h"

#include <algorithm>

namespace vpx {

std::optional<std::size_t> TTrafficFilter::SetCriteria(const TrafficFilterCriteria& criteria)
{
    std::vector<std::int32_t> items;
    std::size_t errorAt = 0;
    // The auto-reply rows' own compilation: wildcards allowed, little-endian default.
    const std::int32_t count = CompileCommand(0, criteria.Pattern, items, true, &errorAt);
    if (count < 0)
        return CharacterPositionOfByte(criteria.Pattern, errorAt);
    m_pattern.clear();
    if (count > 0)
        NormalisePattern(items, m_pattern);
    m_criteria = criteria;
    m_active = m_criteria.Direction != TrafficDirection::All || !m_criteria.Address.empty() ||
               m_criteria.Port.has_value() || !m_criteria.Comment.empty() || !m_pattern.empty();
    return std::nullopt;
}

void TTrafficFilter::Reset()
{
    m_criteria = {};
    m_pattern.clear();
    m_active = false;
}

bool TTrafficFilter::Accepts(const TTrafficRecord& record) const
{
    if (!m_active)
        return true;
    switch (m_criteria.Direction) {
    case TrafficDirection::All: break;
    case TrafficDirection::Received:
        if (record.Kind != tkReceived && record.Kind != tkReceivedMatched)
            return false;
        break;
    case TrafficDirection::Sent:
        if (record.Kind != tkSent)
            return false;
        break;
    case TrafficDirection::AutoReply:
        if (record.Kind != tkAutoReplySent)
            return false;
        break;
    }
    if (m_criteria.Port && record.PeerPort != *m_criteria.Port)
        return false;
    if (!m_criteria.Address.empty() && record.PeerAddress.find(m_criteria.Address) == std::string::npos)
        return false;
    if (!m_criteria.Comment.empty() &&
        FindOnCharBoundary(record.Comment, m_criteria.Comment) == std::string_view::npos)
        return false;
    if (!m_pattern.empty()) {
        const std::size_t size = PayloadSize(record);
        m_data.resize(size);
        std::copy_n(record.Data.data(), size, m_data.data());
        if (!MatchPattern(m_data, m_pattern))
            return false;
    }
    return true;
}

void TTrafficFilterIndex::Rebuild(const TTrafficLog& log, const TTrafficFilter& filter)
{
    m_numbers.clear();
    for (int row = 0; row < log.Count(); ++row)
        if (filter.Accepts(*log.Record(row)))
            m_numbers.push_back(m_first + row);
}

void TTrafficFilterIndex::Clear() noexcept
{
    m_numbers.clear();
    m_first = 0;
}

TTrafficFilterIndex::Change TTrafficFilterIndex::Appended(const TTrafficLog& log, bool dropped,
                                                          const TTrafficFilter& filter)
{
    Change change;
    if (dropped && OldestDropped()) {
        RemoveFirst();
        change.droppedFirst = true;
    }
    if (NewestPasses(log, filter)) {
        AddNewest(log);
        change.appended = true;
    }
    return change;
}

bool TTrafficFilterIndex::OldestDropped() noexcept
{
    ++m_first;
    return !m_numbers.empty() && m_numbers.front() < m_first;
}

void TTrafficFilterIndex::RemoveFirst() noexcept
{
    if (!m_numbers.empty())
        m_numbers.pop_front();
}

bool TTrafficFilterIndex::NewestPasses(const TTrafficLog& log, const TTrafficFilter& filter) const
{
    const TTrafficRecord* record = log.Record(log.Count() - 1);
    return record && filter.Accepts(*record);
}

int TTrafficFilterIndex::LogRow(int shownRow) const noexcept
{
    if (shownRow < 0 || shownRow >= Count())
        return -1;
    return static_cast<int>(m_numbers[static_cast<std::size_t>(shownRow)] - m_first);
}

int TTrafficFilterIndex::ShownRow(int logRow) const noexcept
{
    const std::int64_t number = m_first + logRow;
    const auto found = std::lower_bound(m_numbers.begin(), m_numbers.end(), number);
    if (found == m_numbers.end() || *found != number)
        return -1;
    return static_cast<int>(found - m_numbers.begin());
}

} // namespace vpx
