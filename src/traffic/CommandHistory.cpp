#include "traffic/CommandHistory.h"

#include <algorithm>

namespace vpx {

namespace {

char FoldAscii(char c) noexcept
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace

bool TCommandHistory::EqualIgnoringCase(std::string_view a, std::string_view b) noexcept
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (IsLeadByte(a[i]) && i + 1 < a.size()) {
            // A trail byte may lie in the letter range; it is no letter.
            if (a[i] != b[i] || a[i + 1] != b[i + 1])
                return false;
            ++i;
            continue;
        }
        if (FoldAscii(a[i]) != FoldAscii(b[i]))
            return false;
    }
    return true;
}

int TCommandHistory::Find(std::string_view text) const noexcept
{
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (EqualIgnoringCase(m_entries[i], text))
            return static_cast<int>(i);
    }
    return -1;
}

std::size_t TCommandHistory::Bytes() const noexcept
{
    std::size_t total = 0;
    for (const AnsiString& e : m_entries)
        total += e.size() + 1;
    return total;
}

TCommandHistory::AddResult TCommandHistory::Add(const AnsiString& text)
{
    AddResult result;
    const int found = Find(text);
    if (found >= 0) {
        std::rotate(m_entries.begin(), m_entries.begin() + found, m_entries.begin() + found + 1);
        result = AddResult::Moved;
    } else {
        const std::size_t need = text.size() + 1;
        if (need > MaxBytes)
            return AddResult::Rejected;
        std::size_t total = Bytes();
        while (total + need > MaxBytes && !m_entries.empty()) {
            total -= m_entries.back().size() + 1;
            m_entries.pop_back();
        }
        m_entries.insert(m_entries.begin(), text);
        result = AddResult::Inserted;
    }
    while (m_entries.size() > MaxEntries)
        m_entries.pop_back();
    return result;
}

void TCommandHistory::Assign(const std::vector<AnsiString>& entries)
{
    m_entries.clear();
    // Most recent first: the newer of two entries equal apart from case is kept,
    // and the budget drops the oldest ones, as adding them one by one would.
    std::size_t total = 0;
    for (const AnsiString& entry : entries) {
        if (m_entries.size() == MaxEntries)
            break;
        if (entry.empty() || Find(entry) >= 0)
            continue;
        if (total + entry.size() + 1 > MaxBytes)
            break;
        total += entry.size() + 1;
        m_entries.push_back(entry);
    }
}

} // namespace vpx
