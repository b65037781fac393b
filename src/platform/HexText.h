#pragma once

// Bytes as hexadecimal text, the one way every part of the program writes
// them: upper-case, two digits a byte. Plain C++; the cells are written with
// vector instructions where the processor has them, because a responder under a
// flood writes two lines of them per datagram.

#include <cstddef>
#include <cstdint>
#include <string>

namespace vpx {

inline constexpr char HexDigits[] = "0123456789ABCDEF";

// Writes "HH " (upper-case hex and a blank) for each of the `size` bytes: 3 x size
// characters at `out`, which must have room for one more that may be overwritten.
void WriteHexCells(char* out, const std::uint8_t* bytes, std::size_t size);

// "HH HH HH": the bytes as hex separated by single blanks, appended to `out`
// without a blank before the first or after the last.
void AppendHexBytes(std::string& out, const std::uint8_t* bytes, std::size_t size);
std::string HexBytes(const std::uint8_t* bytes, std::size_t size);

} // namespace vpx
