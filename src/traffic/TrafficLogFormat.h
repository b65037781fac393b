#pragma once

// The texts of a traffic log row: the port, the payload cells of the
// hexadecimal and decimal views, the two-letter names of control bytes.
// Plain C++ so the rules are checked without painting.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vpx {

// View types of the log's data column.
inline constexpr int ViewHex = 0;
inline constexpr int ViewDecimal = 1;
inline constexpr int ViewAscii = 2;

// Offsets run 0..MaxLogOffset (the position of the offset bar).
inline constexpr int MaxLogOffset = 10000;

// "%5d" of the port.
std::string FormatPort(std::uint16_t port);

// "[%5d]" of the offset bar's position.
std::string FormatOffsetCaption(int offset);

// Up to `maxCells` cells of the bytes from `offset` on: "%2.2X " each in the
// hexadecimal view, "%3d " each in the decimal view; empty for another view or
// an offset at or past the end.
std::string FormatCells(int viewType, const std::uint8_t* bytes, std::size_t size, int offset,
                        std::size_t maxCells);

// Number of cells a data column of `columnWidth` pixels shows with cells
// `cellWidth` wide: the whole ones and the one cut at the right edge.
std::size_t VisibleCells(int columnWidth, int cellWidth);

// How the hexadecimal or decimal data column ends: the whole cells it shows and
// whether an ellipsis follows them because more bytes are left than fit. A cell
// is cellWidth wide with its trailing blank of blankWidth, which the last cell of
// the datagram does not need; `remaining` counts the cells from the offset on.
struct CellFit {
    std::size_t cells = 0;
    bool ellipsis = false;
    friend bool operator==(const CellFit&, const CellFit&) = default;
};
CellFit FitCells(int columnWidth, int cellWidth, int blankWidth, int ellipsisWidth, std::size_t remaining);

// Whether the ASCII view draws the byte as a two-letter name (below 0x20, and 0x7F).
inline constexpr bool IsControlByte(std::uint8_t byte) noexcept
{
    return byte < 0x20 || byte == 0x7F;
}

// The two letters of a control byte ("CR" for 0x0D, "DT" for 0x7F); empty for other bytes.
std::string_view ControlMnemonic(std::uint8_t byte) noexcept;

// The ASCII view's text from `offset` on, as code page 932 bytes, for reading
// aloud and copying: control bytes become their two letters, a double-byte
// character cut by the offset is left out, and nothing is shown past the end.
std::string AsciiViewText(const std::uint8_t* bytes, std::size_t size, int offset);

} // namespace vpx
