#include "LibraryTestUtil.h"

#include "library/CommandFileCheck.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vpx::test {
namespace {

using namespace std::string_literals;

struct CheckCase {
    const char* what;
    std::string text;
    std::size_t notShown;
    std::vector<std::size_t> missing = {};
};

class ReadCommandTextTest : public ::testing::TestWithParam<CheckCase> {};

TEST_P(ReadCommandTextTest, ReadsAsTheFileReaderAndCountsWhatItCannotShow)
{
    const CheckCase& c = GetParam();
    CommandTree tree;
    tree.AddGroup(nullptr, "left over");
    EXPECT_EQ(ReadCommandText(c.text, tree, c.missing), c.notShown) << c.what;

    // The same tree as the file reader builds from the same bytes.
    CommandTree expected;
    ReadTree(expected, SplitLinesUpToNul(c.text));
    EXPECT_EQ(Dump(tree), Dump(expected)) << c.what;
    std::vector<std::string> viewed;
    for (std::string_view line : LineViews(c.text))
        viewed.emplace_back(line);
    EXPECT_EQ(viewed, SplitLinesUpToNul(c.text)) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReadCommandTextTest,
    ::testing::Values(
        CheckCase{"well formed", "0 Device\r\n1 Status\r\n2 Read=2:0x01,0x03\r\n1 Reset=1:RESET\r\n", 0},
        CheckCase{"lone LF and CR endings, no final break", "0 A\n1 B\r0 C", 0},
        CheckCase{"code page 932 names", "0 \x83\x66\x83\x6F\x83\x43\x83\x58\r\n1 \xB1=1:\x82\xA0\r\n", 0},
        CheckCase{"unparsable lines are skipped", "0 A\r\ngarbage\r\n0 B=9:x\r\n0 C\r\n", 2},
        CheckCase{"an empty line ends the reading", "0 A\r\n\r\n0 B\r\n0 C\r\n", 2},
        CheckCase{"empty lines at the end hold nothing", "0 A\r\n\r\n\r\n", 0},
        CheckCase{"a root above level 0 ends the reading", "1 A=1:x\r\n0 B\r\n0 C\r\n", 2},
        CheckCase{"a negative level ends the reading", "0 A\r\n-1 B\r\n0 C\r\n", 2},
        CheckCase{"text after a NUL", "0 A\r\n0 B\0tail\r\n0 C\r\n\r\n"s, 2},
        CheckCase{"a NUL as the last byte", "0 A\r\n\0"s, 0},
        CheckCase{"bytes that are no code page 932", "0 A\xFF\r\n0 B=1:\x80\r\n0 C\r\n", 2},
        CheckCase{"characters a conversion lost", "0 ?\r\n0 B=1:x?\r\n0 C\r\n", 2, {2, 12}},
        CheckCase{"a binary", "\x89PNG\r\n\x1A\n\0IHDR\n\x01\x02\n"s, 4}));

} // namespace
} // namespace vpx::test
