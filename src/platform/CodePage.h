#pragma once

// Code page 932 (Shift_JIS) byte classification and conversion. Every scan of
// user text steps over double-byte characters with this test; a trail byte can
// be any value, including '"', ',', '\\' or '|', so scanning byte by byte would
// split characters.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Declared only, so that plain C++ code can use the byte tests without Qt.
class QString;

namespace vpx {

// User data is held as code page 932 bytes; the alias says so where it matters.
using AnsiString = std::string;

inline constexpr bool IsLeadByte(std::uint8_t c) noexcept
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

inline constexpr bool IsLeadByte(char c) noexcept
{
    return IsLeadByte(static_cast<std::uint8_t>(c));
}

// The 1-based character position of the 1-based byte position in code page 932
// text: a double-byte character counts once.
std::size_t CharacterPositionOfByte(std::string_view ansi, std::size_t bytePosition);

enum class ByteKind : std::uint8_t { Single, Lead, Trail };

// Classifies every byte of a buffer from its start. A lead byte as the last byte
// of the buffer has no trail and counts as a single byte.
std::vector<ByteKind> ClassifyBytes(std::string_view text);

// First position of `needle` in `haystack` that starts on a character boundary,
// or npos. An empty needle is found at 0.
std::size_t FindOnCharBoundary(std::string_view haystack, std::string_view needle) noexcept;

// Conversions at the GUI's edge, after the Windows table for code page 932.
//
// FromAnsi never loses a byte: every single byte and every pair with a character
// in the table becomes that character; the single bytes without one become the
// code points Windows gives them (0x80 U+0080, 0xA0 U+F8F0, 0xFD-0xFF
// U+F8F1-U+F8F3); a lead byte that starts no character (alone, last in the text,
// or before a byte that makes no pair with it) becomes U+F700 + the byte, and the
// byte after it is read on its own.
//
// ToAnsi writes each character as Windows does. Where several pairs show one
// character, that is the pair Windows picks: JIS X 0208 before NEC row 13 (87xx)
// before the IBM extensions (FA-FC) before the NEC-selected IBM extensions
// (ED, EE). So ToAnsi(FromAnsi(bytes)) == bytes for every byte sequence except
// those holding one of the pairs Windows does not pick. A character code page
// 932 cannot hold becomes one "?".
AnsiString ToAnsi(const QString& text);
QString FromAnsi(std::string_view bytes);
// FromAnsi as UTF-8, for the texts written out of the program (a comment on a
// line of vorpex-cli, in an export).
std::string AnsiToUtf8(std::string_view bytes);

// The bytes of a widget's text that was filled from `original`: the characters
// at the start and at the end that still read as FromAnsi(original) keep their
// bytes from `original`, and only what was changed between them is ToAnsi. Every
// place where widget text becomes bytes goes through this, so that text the user
// did not edit keeps the pair it was written with, even beside an edit.
AnsiString ToAnsiKeeping(const QString& text, std::string_view original);

} // namespace vpx
