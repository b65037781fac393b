#include "platform/HexText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace vpx {
namespace {

// The cells come out as "%02X " would write them, whichever way they are made:
// lengths around the sixteen- and thirty-two-byte blocks, every byte value in
// every place of a block, and a tail that must stop at its own end.
TEST(HexText, CellsMatchPrintfAcrossBlockEdges)
{
    std::vector<std::uint8_t> bytes(600);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 256); // every value, shifted through the block positions
    const std::size_t lengths[] = {0,  1,  2,  15, 16,  17,  31,  32,  33,  47,  48,  49,
                                   63, 64, 65, 95, 96, 97, 255, 256, 511, 512, 513, 600};
    for (const std::size_t length : lengths) {
        for (const std::size_t start : {std::size_t{0}, std::size_t{5}}) {
            const std::size_t n = std::min(length, bytes.size() - start);
            std::string expected;
            char cell[8];
            for (std::size_t i = 0; i < n; ++i) {
                std::snprintf(cell, sizeof cell, "%02X ", bytes[start + i]);
                expected += cell;
            }
            std::string out(n * 3 + 2, '#');
            WriteHexCells(out.data(), bytes.data() + start, n);
            EXPECT_EQ(out.substr(0, n * 3), expected) << n << " bytes from " << start;
            EXPECT_EQ(out.back(), '#') << "wrote past the spare byte: " << n << " bytes from " << start;
        }
    }
}

} // namespace
} // namespace vpx
