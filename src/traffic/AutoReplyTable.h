#pragma once

// The auto-reply table as plain data: one row per accepted line of an auto-reply
// file, in file order, each with its compiled comparison pattern and its own
// enabled flag. The file reader and the matcher work on this alone; a small
// model shows it in the window.

#include "notation/CheckedPattern.h"
#include "notation/ReplyTemplate.h"
#include "platform/CodePage.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
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
    // Comparison data that CompileCommand takes, compiled with wildcards and
    // normalised; empty exactly when Checked holds the comparison data instead.
    std::vector<std::int32_t> Pattern;
    // Comparison data with checked fields or captures, which only a checked
    // pattern reads. Shared, never changed: captures name its text.
    std::shared_ptr<const TCheckedPattern> Checked;
    AnsiString CompareData;            // field 2 as written in the file, for display
    AnsiString ReceiveComment;
    AnsiString SendComment;            // rtLookup: the command's name; rtDirect: the reply's comment
    AnsiString SendData;               // rtDirect: the reply's notation; empty for rtLookup
    bool Enabled = true;               // the list item's check box
    // rtDirect: SendData compiled as a template against the row's captures,
    // little-endian as a direct reply is sent. ReplyCompiled is false when
    // SendData does not compile for a reason it never did (a typing slip):
    // such a row is kept and its reply refused when sent, as it always was.
    TReplyTemplate Reply;
    bool ReplyCompiled = false;
    // The row's answers so far (the next answer's {#}) and its %DROP dice;
    // TAutoReplyTable::NextAnswer moves both on.
    std::uint64_t Answers = 0;
    TFaultRandom Dice;

    // What the comparison data captures; none for a row without a checked pattern.
    std::span<const TCaptureDef> Captures() const noexcept
    {
        return Checked ? Checked->Captures() : std::span<const TCaptureDef>();
    }
};

// Why a line made no row, for a reader that tells the user.
struct TAutoReplyLineFault {
    enum class Part {
        None,
        Fields,      // fewer than two tab-separated fields, or fewer than five for row type 1
        RowType,     // not 0 or 1
        CompareData, // its notation is refused (Error) or yields no bytes (Error.Fault None)
        Reply,       // the reply names a capture the row does not define, or misplaces a fault keyword (Error)
    };
    Part Where = Part::None;
    CompileError Error; // CompareData, Reply: the faulty token, positions in that field
    AnsiString Field;   // CompareData, Reply: that field as written
};

// Where a datagram led, for the receive path and the log.
struct TAutoReplyHit {
    const TAutoReplyRow* Row = nullptr; // the first enabled row the datagram fits
    int Index = -1;
    // When no row fits: the nearest row, the first enabled one the datagram
    // fits in everything but a checked field.
    const TAutoReplyRow* NearRow = nullptr;
    int NearIndex = -1;
    // Row: Matched, with its captures (none for a row without). NearRow:
    // CheckFailed, with the note. Neither: NoMatch. Keep one hit for every
    // datagram: it keeps its room between them.
    TPatternMatch Match;
};

// One answer a row makes.
struct TAutoReplyAnswer {
    std::uint64_t Counter = 0; // {#} for this answer
    bool Dropped = false;      // %DROP decided against sending it
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


class TAutoReplyTable {
public:
    // Appends the row a line describes; returns false (and appends nothing) for a
    // line that does not make a row, and then says why in `why` when given.
    bool ParseAutoReplyLine(std::string_view line, TAutoReplyLineFault* why = nullptr);
    void Clear() noexcept { m_rows.clear(); }

    int Count() const noexcept { return static_cast<int>(m_rows.size()); }
    bool Empty() const noexcept { return m_rows.empty(); }
    const TAutoReplyRow& Row(int index) const { return m_rows.at(static_cast<std::size_t>(index)); }
    const std::vector<TAutoReplyRow>& Rows() const noexcept { return m_rows; }
    void SetEnabled(int index, bool enabled) { m_rows.at(static_cast<std::size_t>(index)).Enabled = enabled; }

    // The first enabled row, in table order, whose pattern the data fits; nullptr for none.
    const TAutoReplyRow* FindMatchingRow(const std::vector<std::int32_t>& data) const;
    // The same for a datagram's `size` bytes as they were read.
    const TAutoReplyRow* FindMatchingRow(const std::uint8_t* data, std::size_t size) const;
    // The same with what a log and a reply need: the row's captures, or when no
    // row fits, the nearest row and its note. Returns whether a row fits.
    bool FindMatch(const std::uint8_t* data, std::size_t size, TAutoReplyHit& hit) const;

    // The seed of every row's %DROP dice (1 unless set; the command line's --seed).
    // Setting it starts each row's dice afresh from (seed, row index).
    void SetFaultSeed(std::uint64_t seed);
    std::uint64_t FaultSeed() const noexcept { return m_seed; }
    // Row `index` answers: the answer's counter, then the counter moves on, and
    // when `faults` has %DROP, one draw of the row's dice. A dropped answer
    // counts, as a device's reply lost on the wire does; %DUP copies are one answer.
    TAutoReplyAnswer NextAnswer(int index, const TReplyFaults& faults);

private:
    std::vector<TAutoReplyRow> m_rows;
    std::uint64_t m_seed = 1;
    // Scratch lists reused by every line of a load; m_fields is empty between calls.
    std::vector<std::string_view> m_fields;
    std::vector<std::int32_t> m_items;
    // Scratch of the matching calls that return only a row (the table is used
    // by one thread, the one that receives).
    mutable TPatternMatch m_match;
    mutable std::vector<std::uint8_t> m_bytes;
};

} // namespace vpx
