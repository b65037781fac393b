#pragma once

// Which traffic records the log shows: by direction, peer address and port,
// comment text and a byte pattern in the auto-reply table's notation, compiled
// and matched exactly as the auto-reply rows are. And the index of the records
// that pass, kept up to date one append at a time: a log at its cap under a
// flood never filters all its records again.

#include "traffic/TrafficLog.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace vpx {

enum class TrafficDirection {
    All,
    Received,  // received, matched or not
    Sent,      // sent by the user
    AutoReply, // sent automatically
};

struct TrafficFilterCriteria {
    TrafficDirection Direction = TrafficDirection::All;
    std::string Address;                // part of the peer's dotted address; empty: any
    std::optional<std::uint16_t> Port;  // the peer's port; none: any
    AnsiString Comment;                 // part of the comment (code page 932); empty: any
    AnsiString Pattern;                 // the payload's pattern ("0x02, ?, *"); blank: any
};

class TTrafficFilter {
public:
    // Takes the criteria. A pattern that does not compile leaves the filter as it
    // was and gives the 1-based character position (a double-byte character
    // counts once) where it fails.
    std::optional<std::size_t> SetCriteria(const TrafficFilterCriteria& criteria);
    // Lets every record through.
    void Reset();

    // Whether anything is asked for; an inactive filter passes every record.
    bool Active() const noexcept { return m_active; }
    bool Accepts(const TTrafficRecord& record) const;

private:
    TrafficFilterCriteria m_criteria;
    std::vector<std::int32_t> m_pattern; // normalised; empty: no pattern
    bool m_active = false;
    mutable std::vector<std::int32_t> m_data; // the payload widened for matching, reused
};

// The log rows a filter passes, oldest first. Records are numbered in the order
// they were appended, so a row keeps its number while older ones drop out.
class TTrafficFilterIndex {
public:
    // Tests every record of the log again.
    void Rebuild(const TTrafficLog& log, const TTrafficFilter& filter);
    void Clear() noexcept;

    struct Change {
        bool droppedFirst = false; // the first shown row went with the log's oldest record
        bool appended = false;     // the new record is shown, in the last row
    };
    // After the log appended one record; `dropped` says the oldest went.
    Change Appended(const TTrafficLog& log, bool dropped, const TTrafficFilter& filter);

    // The same in steps, for a model that announces each change before it makes
    // it. The log dropped its oldest record: the rows are numbered anew at once
    // (so every other shown row maps to its log row again); returns whether the
    // first shown row was that record, which stays until RemoveFirst.
    bool OldestDropped() noexcept;
    void RemoveFirst() noexcept;
    // Whether the log's newest record passes; AddNewest then shows it.
    bool NewestPasses(const TTrafficLog& log, const TTrafficFilter& filter) const;
    void AddNewest(const TTrafficLog& log) { m_numbers.push_back(m_first + log.Count() - 1); }

    int Count() const noexcept { return static_cast<int>(m_numbers.size()); }
    // The log row of a shown row; -1 for a row that does not exist.
    int LogRow(int shownRow) const noexcept;
    // The shown row of a log row; -1 when it is hidden.
    int ShownRow(int logRow) const noexcept;

private:
    std::deque<std::int64_t> m_numbers; // of the shown records
    std::int64_t m_first = 0;           // number of the log's row 0
};

} // namespace vpx
