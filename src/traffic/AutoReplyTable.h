#pragma once

// The auto-reply table as plain data: one row per accepted line of an auto-reply
// file, in file order, each with its compiled comparison pattern and its own
// enabled flag. The file reader and the matcher work on this alone; a small
// model shows it in the window.

#include "notation/Notation.h"
#include "platform/CodePage.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vpx {

enum TAutoReplyRowType : std::int32_t {
    rtLookup = 0, // reply with the first command of the tree whose name contains SendComment
    rtDirect = 1, // reply with SendData
};

struct TAutoReplyRow {
    std::int32_t RowType = rtLookup;
    std::vector<std::int32_t> Pattern; // compiled with wildcards and normalised; never empty
    AnsiString CompareData;            // field 2 as written in the file, for display
    AnsiString ReceiveComment;
    AnsiString SendComment;            // rtLookup: the command's name; rtDirect: the reply's comment
    AnsiString SendData;               // rtDirect: the reply's notation; empty for rtLookup
    bool Enabled = true;               // the list item's check box
};

// Cuts a line at every tab as if one tab were appended: "a" gives one field,
// "a\t" two (the second empty). An empty line gives no fields. Fields are not trimmed.
void SplitTabFields(std::string_view line, std::vector<std::string_view>& fields);

// Cuts file contents into lines at CR LF, CR or LF, as views into `contents`
// (which must outlive them). A NUL is an ordinary byte of its line. A last line
// without a line end counts; nothing follows a final line end.
std::vector<std::string_view> SplitLineViews(std::string_view contents);

// The row type field: blanks, an optional sign, decimal digits and nothing else.
std::optional<std::int32_t> ParseRowType(std::string_view field);

// Why a line made no row because its comparison data does not compile; a line
// that is no row for another reason (no row type 0 or 1, too few fields, blank
// comparison data) leaves it without a fault.
struct TAutoReplyLineFault {
    bool CompareDataRefused = false;
    AnsiString CompareData; // the field as written
    CompileError Error;     // where in the field (its bytes counted from 1) and why
};

class TAutoReplyTable {
public:
    // Appends the row a line describes; returns false (and appends nothing) for a
    // line that does not make a row, saying in `fault`, when given, whether its
    // notation was why. A direct row's reply is compiled only when it is sent.
    bool ParseAutoReplyLine(std::string_view line, TAutoReplyLineFault* fault = nullptr);
    void Clear() noexcept { m_rows.clear(); }

    int Count() const noexcept { return static_cast<int>(m_rows.size()); }
    bool Empty() const noexcept { return m_rows.empty(); }
    const TAutoReplyRow& Row(int index) const { return m_rows.at(static_cast<std::size_t>(index)); }
    const std::vector<TAutoReplyRow>& Rows() const noexcept { return m_rows; }
    void SetEnabled(int index, bool enabled) { m_rows.at(static_cast<std::size_t>(index)).Enabled = enabled; }

    // The first enabled row, in table order, whose pattern the data fits; nullptr for none.
    const TAutoReplyRow* FindMatchingRow(const std::vector<std::int32_t>& data) const noexcept;
    // The same for a datagram's `size` bytes as they were read.
    const TAutoReplyRow* FindMatchingRow(const std::uint8_t* data, std::size_t size) const noexcept;

private:
    std::vector<TAutoReplyRow> m_rows;
    // Scratch lists reused by every line of a load; m_fields is empty between calls.
    std::vector<std::string_view> m_fields;
    std::vector<std::int32_t> m_items;
};

} // namespace vpx
