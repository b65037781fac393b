#pragma once

// The record a command node owns, the images of the tree and the mode code that
// packs a command's send mode and byte order into one digit of the command file.

#include "platform/CodePage.h"

#include <cstdint>
#include <optional>

namespace vpx {

struct TCommandInfo {
    AnsiString Command;          // payload notation or plain text, by Mode
    std::uint8_t Mode = 0;       // 0 mixed, 1 text
    std::int32_t ByteOrder = -1; // -1 the tool bar's default, 0 little-endian, 1 big-endian

    friend bool operator==(const TCommandInfo&, const TCommandInfo&) = default;
};

// Indexes into the shared image list.
namespace image {
inline constexpr int GroupCollapsed = 0;
inline constexpr int GroupExpanded = 1;
inline constexpr int CommandText = 7;
inline constexpr int CommandMixedDefault = 8;
inline constexpr int CommandMixedLittle = 9;
inline constexpr int CommandMixedBig = 10;
inline constexpr int CommandEmpty = 11;
} // namespace image

inline constexpr int CommandImageIndex(const TCommandInfo& info) noexcept
{
    if (info.Command.empty())
        return image::CommandEmpty;
    if (info.Mode == 1)
        return image::CommandText;
    if (info.ByteOrder == -1)
        return image::CommandMixedDefault;
    return info.ByteOrder == 0 ? image::CommandMixedLittle : image::CommandMixedBig;
}

// Mode first: a text command carries no byte order through the file.
inline constexpr int ModeCode(const TCommandInfo& info) noexcept
{
    if (info.Mode == 1)
        return 1;
    if (info.ByteOrder == -1)
        return 0;
    return info.ByteOrder == 0 ? 2 : 3;
}

// The record a mode code stands for; nullopt for a code the file may not hold.
inline std::optional<TCommandInfo> InfoFromModeCode(int code, AnsiString command)
{
    switch (code) {
    case 0: return TCommandInfo{std::move(command), 0, -1};
    case 1: return TCommandInfo{std::move(command), 1, -1};
    case 2: return TCommandInfo{std::move(command), 0, 0};
    case 3: return TCommandInfo{std::move(command), 0, 1};
    default: return std::nullopt;
    }
}

} // namespace vpx
