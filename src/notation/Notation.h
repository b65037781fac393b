#pragma once

// The payload notation: the one language of commands, direct input, comparison
// data and replies. Text is code page 932 bytes; items are signed 32-bit values
// whose low 8 bits are the datagram's bytes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vpx {

inline constexpr std::int32_t ItemAnyByte = 0x01000000, ItemAnyRun = 0x02000000;

// Compiles `text` into `items` (emptied first). Returns the number of items, 0 for a
// blank text, -1 on the first faulty token (the list is then empty). Byte order 1 is
// big-endian, anything else little-endian. Wildcards ("?", "*") only when allowed.
// On -1, ErrorPosition (when given) receives the 1-based byte offset in `text` of
// the faulty token's first character (where an empty token begins);
// it is left alone otherwise.
std::int32_t CompileCommand(std::uint8_t DefaultByteOrder, const std::string& text,
                            std::vector<std::int32_t>& items, bool AllowWildcards,
                            std::size_t* ErrorPosition = nullptr);

// Why a token was refused, for a caller that tells the user.
enum class CompileFault {
    None,
    EmptyToken,         // "01,,02", a trailing comma
    TextAfterQuote,     // "AB"x
    UnknownKeyword,     // "%", "%FOO", a modifier or order letter where none may stand
    BadNumber,          // does not parse, or out of range for its type
    WildcardNotAllowed, // "?" or "*" where only bytes may stand
    WildcardInRange,    // "?" or "*" while a length, XOR, sum or CRC range is open
    CrcParenthesis,     // %CRCE without "(NAME)"
    UnknownCrc,         // %CRCE(NAME) with a name not in the catalogue
    // Only where captures are read (comparison data, reply templates):
    BadCaptureName,       // "?{1x}", "US{}", "US{n+2}": a name is ASCII letters, digits and "_",
                          // starting with a letter; in a reply "+1" or "-1" may follow it
    DuplicateCaptureName, // the comparison data names the same capture twice
    UnknownCaptureName,   // a reply names a capture its row's comparison data does not define
    CaptureHasNoValue,    // a typed reply token names a run ("*{x}"), which is no number
    FaultKeywordPlace,    // %DELAY, %DROP, %DUP after another token, or the same one twice
    FaultKeywordValue,    // %DELAY(MS), %DROP(P), %DUP(N) without its number or out of range
};

struct CompileError {
    std::size_t Position = 0; // 1-based byte offset in the text, as ErrorPosition
    std::size_t Length = 0;   // bytes of the faulty token (0 for an empty one)
    CompileFault Fault = CompileFault::None;
};

// What compiles but drops part of the text without a word: stored commands may
// rely on it, so the bytes stay as they are and the user is only told.
enum class CompileWarningKind {
    UnterminatedQuote, // "1, \"AB": the rest of the text from the quote is dropped
    RangeNotOpened,    // "%LENE" with no "%LENS" open: adds nothing
    RangeNotClosed,    // "%LENS" never ended: adds nothing
};

struct CompileWarning {
    std::size_t Position = 0; // 1-based byte offset of the quote or keyword, as ErrorPosition
    CompileWarningKind Kind = CompileWarningKind::UnterminatedQuote;
    friend bool operator==(const CompileWarning&, const CompileWarning&) = default;
};

// As above; on -1 `error` says where and why. It is left alone otherwise.
// `warnings`, when given, is emptied and receives the warnings of a text that
// compiles, in the order of their positions (none on -1).
std::int32_t CompileCommand(std::uint8_t DefaultByteOrder, const std::string& text,
                            std::vector<std::int32_t>& items, bool AllowWildcards, CompileError& error,
                            std::vector<CompileWarning>* warnings = nullptr);

// Rewrites every run of wildcards as its "?" items followed by at most one "*",
// which is the shape MatchPattern relies on.
void NormalisePattern(const std::vector<std::int32_t>& source, std::vector<std::int32_t>& target);

// True when the whole of `data` fits the normalised `pattern`. An empty pattern
// matches nothing. Literals compare by their low 8 bits.
bool MatchPattern(const std::vector<std::int32_t>& data, const std::vector<std::int32_t>& pattern);
// The same for `size` raw bytes.
bool MatchPattern(const std::uint8_t* data, std::size_t size, const std::vector<std::int32_t>& pattern);

} // namespace vpx
