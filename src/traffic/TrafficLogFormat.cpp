#include "traffic/TrafficLogFormat.h"

#include "platform/CodePage.h"
#include "platform/HexText.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace vpx {

std::string FormatPort(std::uint16_t port)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%5d", static_cast<int>(port));
    return buffer;
}

std::string FormatOffsetCaption(int offset)
{
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "[%5d]", offset);
    return buffer;
}

std::string FormatCells(int viewType, const std::uint8_t* bytes, std::size_t size, int offset,
                        std::size_t maxCells)
{
    std::string text;
    if ((viewType != ViewHex && viewType != ViewDecimal) || !bytes || offset < 0 ||
        static_cast<std::size_t>(offset) >= size)
        return text;
    const std::size_t start = static_cast<std::size_t>(offset);
    const std::size_t count = std::min(maxCells, size - start);
    if (viewType == ViewHex)
        return count ? HexBytes(bytes + start, count) + ' ' : text;
    text.reserve(count * 4);
    char cell[8];
    for (std::size_t i = start; i < start + count; ++i) {
        std::snprintf(cell, sizeof cell, "%3d ", bytes[i]);
        text += cell;
    }
    return text;
}

std::size_t VisibleCells(int columnWidth, int cellWidth)
{
    if (columnWidth < 0 || cellWidth <= 0)
        return 0;
    return static_cast<std::size_t>(columnWidth / cellWidth) + 1;
}

CellFit FitCells(int columnWidth, int cellWidth, int blankWidth, int ellipsisWidth, std::size_t remaining)
{
    if (remaining == 0 || columnWidth <= 0 || cellWidth <= 0)
        return {};
    if (static_cast<long long>(remaining) * cellWidth - blankWidth <= columnWidth)
        return {remaining, false};
    const int room = columnWidth - ellipsisWidth;
    const std::size_t cells = room > 0 ? std::min(static_cast<std::size_t>(room / cellWidth), remaining) : 0;
    return {cells, true};
}

std::string_view ControlMnemonic(std::uint8_t byte) noexcept
{
    static constexpr std::array<std::string_view, 33> names{
        "NU", "SH", "SX", "EX", "ET", "EQ", "AK", "BL", "BS", "HT", "LF", "VT", "FF", "CR", "SO", "SI",
        "DL", "D1", "D2", "D3", "D4", "NK", "SY", "EB", "CN", "EM", "SB", "EC", "FS", "GS", "RS", "US",
        "DT"};
    if (byte < 0x20)
        return names[byte];
    if (byte == 0x7F)
        return names[32];
    return {};
}

std::string AsciiViewText(const std::uint8_t* bytes, std::size_t size, int offset)
{
    std::string text;
    if (!bytes || offset < 0 || static_cast<std::size_t>(offset) >= size)
        return text;
    const std::size_t start = static_cast<std::size_t>(offset);
    // Characters are paired from the first byte, as the view draws them.
    for (std::size_t i = 0; i < size;) {
        const bool pair = IsLeadByte(bytes[i]) && i + 1 < size;
        const std::size_t width = pair ? 2 : 1;
        if (i >= start) {
            if (pair)
                text.append(reinterpret_cast<const char*>(bytes + i), 2);
            else if (IsControlByte(bytes[i]))
                text += ControlMnemonic(bytes[i]);
            else
                text += static_cast<char>(bytes[i]);
        }
        i += width;
    }
    return text;
}

} // namespace vpx
