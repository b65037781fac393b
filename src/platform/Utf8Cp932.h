#pragma once

// Byte-level checks and conversion between UTF-8 and code page 932, for files
// written by another editor: telling a UTF-8 file from a code page 932 one, and
// turning its text into the bytes the program holds. Plain C++ (iconv), no Qt.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vpx {

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Whether every byte sequence is a well-formed UTF-8 character (shortest form,
// no surrogates, at most U+10FFFF).
bool IsValidUtf8(std::string_view bytes) noexcept;

// Whether every byte sequence is a character of code page 932.
bool IsValidCp932(std::string_view bytes);

// How many bytes from the start read as whole characters: the offset of the
// first that does not, or the size when all do.
std::size_t ValidUtf8Length(std::string_view bytes) noexcept;
std::size_t ValidCp932Length(std::string_view bytes);

// Whether a file's bytes are UTF-8 text rather than code page 932: a UTF-8
// byte-order mark, or valid UTF-8 holding non-ASCII text that is not plausible
// as code page 932 (not valid there, or Japanese script when read as UTF-8; code
// page 932 text almost never forms such sequences by chance).
bool LooksLikeUtf8(std::string_view bytes);

struct Utf8Conversion {
    std::string bytes;                // code page 932, without the byte-order mark
    std::vector<std::size_t> missing; // offsets in `bytes` of the "?" put for characters
                                      // code page 932 has no form for, in order
};

// UTF-8 (a leading byte-order mark is dropped) to code page 932. Characters code
// page 932 cannot hold become "?", as in every other conversion of the program;
// so do bytes that are not UTF-8, one "?" per byte.
Utf8Conversion ConvertUtf8ToCp932(std::string_view utf8);

} // namespace vpx
