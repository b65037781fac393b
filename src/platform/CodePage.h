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

enum class ByteKind : std::uint8_t { Single, Lead, Trail };

// Classifies every byte of a buffer from its start. A lead byte as the last byte
// of the buffer has no trail and counts as a single byte.
std::vector<ByteKind> ClassifyBytes(std::string_view text);

// First position of `needle` in `haystack` that starts on a character boundary,
// or npos. An empty needle is found at 0.
std::size_t FindOnCharBoundary(std::string_view haystack, std::string_view needle) noexcept;

// Conversions at the GUI's edge. Characters code page 932 cannot hold become "?";
// byte sequences that are not valid code page 932 become U+FFFD.
AnsiString ToAnsi(const QString& text);
QString FromAnsi(std::string_view bytes);

} // namespace vpx
