#pragma once

// The one reader of IPv4 address text, whoever wrote it: the user in a dialog or
// on the command line, a settings file, the socket layer. Four decimal numbers
// 0-255 joined by dots, each of one to three digits without a leading zero ("0"
// itself is fine), and nothing else: no blanks, no sign, none of the short,
// octal or hexadecimal forms the platform's classic parser also takes. That
// parser reads "010" as 8, so text that might mean either is refused rather
// than guessed. Plain C++.

#include <cstdint>
#include <optional>
#include <string_view>

namespace vpx {

// The address with its first number in the top eight bits; nothing for any other text.
std::optional<std::uint32_t> ParseDottedAddress(std::string_view text) noexcept;

inline bool IsDottedAddress(std::string_view text) noexcept
{
    return ParseDottedAddress(text).has_value();
}

} // namespace vpx
