// The command file's and the auto-reply file's line splitters side by side: one
// translation unit sees both headers, and the two differ where a NUL stands.

#include "library/CommandFile.h"
#include "traffic/AutoReplyTable.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace vpx {
namespace {

struct NulCase {
    std::string_view text;
    std::vector<std::string> commandFile; // the text ends at the NUL
    std::vector<std::string> autoReply;   // the NUL is kept in its line
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const NulCase& c, std::ostream* os)
{
    *os << testing::PrintToString(std::string(c.text));
}

class LineSplittersAtNul : public ::testing::TestWithParam<NulCase> {};

TEST_P(LineSplittersAtNul, CommandFileStopsAutoReplyKeepsTheByte)
{
    const NulCase& c = GetParam();
    EXPECT_EQ(SplitLinesUpToNul(c.text), c.commandFile);
    const std::vector<std::string_view> views = SplitLineViews(c.text);
    EXPECT_EQ(std::vector<std::string>(views.begin(), views.end()), c.autoReply);
}

using namespace std::string_view_literals;
INSTANTIATE_TEST_SUITE_P(
    BothHeaders, LineSplittersAtNul,
    ::testing::Values(NulCase{"a\r\nb\0c\r\nd"sv, {"a", "b"}, {"a", std::string("b\0c", 3), "d"}},
                      NulCase{"\0a\nb"sv, {}, {std::string("\0a", 2), "b"}},
                      NulCase{"a\nb\0"sv, {"a", "b"}, {"a", std::string("b\0", 2)}},
                      NulCase{"a\rb\n"sv, {"a", "b"}, {"a", "b"}}));

} // namespace
} // namespace vpx
