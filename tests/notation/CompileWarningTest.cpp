#include "notation/Notation.h"
#include "notation/NotationTestUtil.h"

#include <gtest/gtest.h>

namespace vpx {
namespace {

using K = CompileWarningKind;

// What a text left silently unsaid: the bytes stay what they always were, and
// each warning names the quote or keyword the user should look at.
TEST(CompileWarnings, NameWhatTheBytesLeaveOutWithoutChangingThem)
{
    const struct {
        const char* text;
        const char* bytes; // nullptr: the text is refused
        std::vector<CompileWarning> warnings;
    } cases[] = {
        {"1, \"HELLO", "01", {{4, K::UnterminatedQuote}}},
        {"\"HELLO", "", {{1, K::UnterminatedQuote}}},
        {"  1, 2 \"A, 3", "01", {{8, K::UnterminatedQuote}}},   // the whole token goes, its number too
        {"\"AB\"\"C", "", {{1, K::UnterminatedQuote}}},          // a doubled quote closes nothing
        {"\"\x82\"\", 1", "82 22 01", {}},                        // a trail byte '"' is no quote
        {"\"\x82\", 1", "", {{1, K::UnterminatedQuote}}},
        {"%LENE, 1", "01", {{1, K::RangeNotOpened}}},
        {"1, %!XORE", "01", {{4, K::RangeNotOpened}}},
        {"%CRCE(CRC-8)", "", {{1, K::RangeNotOpened}}},
        {"%LENS, 1", "01", {{1, K::RangeNotClosed}}},
        {"%XORS, %CRCS, 1, %CRCE(CRC-8)", "01 07", {{1, K::RangeNotClosed}}},
        {"%LENS, 1, %LENS, 2, %LENE", "01 02 01", {}},            // started again: the second start counts
        {"%LENS, 1, \"AB, %LENE", "01", {{1, K::RangeNotClosed}, {11, K::UnterminatedQuote}}},
        {"%ADDS, %LENE, %CRCS", "", {{1, K::RangeNotClosed}, {8, K::RangeNotOpened}, {15, K::RangeNotClosed}}},
        {"%LENS, 1, %LENE", "01 01", {}},
        {"%LENE, zz", nullptr, {}},                               // refused: nothing to warn about
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::vector<std::int32_t> items;
        std::vector<CompileWarning> warnings{{99, K::RangeNotOpened}};
        CompileError error;
        const std::int32_t result = CompileCommand(0, c.text, items, false, error, &warnings);
        if (!c.bytes) {
            EXPECT_EQ(result, -1);
        } else {
            EXPECT_EQ(result, static_cast<std::int32_t>(items.size()));
            EXPECT_EQ(test::WireHex(items), c.bytes);
        }
        EXPECT_EQ(warnings, c.warnings);
    }
}

} // namespace
} // namespace vpx
