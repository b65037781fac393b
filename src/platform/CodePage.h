#pragma once

// Code page 932 (Shift_JIS) byte classification. Every scan of user text steps
// over double-byte characters with this test; a trail byte can be any value,
// including '"', ',', '\\' or '|', so scanning byte by byte would split them.

#include <cstdint>

namespace vpx {

inline constexpr bool IsLeadByte(std::uint8_t c) noexcept
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

inline constexpr bool IsLeadByte(char c) noexcept
{
    return IsLeadByte(static_cast<std::uint8_t>(c));
}

} // namespace vpx
