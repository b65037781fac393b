#pragma once

// The history of the direct-input box: most recent first, no two entries equal
// apart from letter case, at most 20 entries, and the entries with one byte
// each for their terminator never above 32768 bytes. Plain C++; the box only
// shows it.

#include "platform/CodePage.h"

#include <cstddef>
#include <string_view>
#include <vector>

namespace vpx {

class TCommandHistory {
public:
    static constexpr std::size_t MaxEntries = 20;
    static constexpr std::size_t MaxBytes = 0x8000;

    enum class AddResult {
        Moved,    // an entry equal apart from case went to the top, as it was written
        Inserted, // the text is the new top entry
        Rejected, // the text alone is over the byte budget; nothing changed
    };

    AddResult Add(const AnsiString& text);
    // Replaces the history with stored entries, most recent first, under the same rules.
    void Assign(const std::vector<AnsiString>& entries);
    void Clear() noexcept { m_entries.clear(); }

    // Index of the entry equal to text apart from letter case, or -1.
    int Find(std::string_view text) const noexcept;

    const std::vector<AnsiString>& Entries() const noexcept { return m_entries; }
    int Count() const noexcept { return static_cast<int>(m_entries.size()); }
    // Sum over the entries of their length + 1.
    std::size_t Bytes() const noexcept;

    // Whole-string comparison folding ASCII letters; the second byte of a
    // double-byte character is compared as it is.
    static bool EqualIgnoringCase(std::string_view a, std::string_view b) noexcept;

private:
    std::vector<AnsiString> m_entries;
};

} // namespace vpx
