#include "notation/NotationTestUtil.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vpx::test {
namespace {

std::vector<std::int32_t> Pattern(const std::string& notation)
{
    std::int32_t r = 0;
    const auto raw = Compile(notation, true, 0, &r);
    EXPECT_GE(r, 0) << notation;
    std::vector<std::int32_t> normalised;
    NormalisePattern(raw, normalised);
    return normalised;
}

std::vector<std::int32_t> Bytes(std::initializer_list<int> bytes)
{
    return {bytes.begin(), bytes.end()};
}

TEST(NormalisePattern, MovesAnyBytesBeforeOneRun)
{
    const struct {
        std::string source;
        std::string normalised;
    } cases[] = {
        {"*, ?", "? *"},
        {"*, *", "*"},
        {"?, *, ?, $41", "? ? * 41"},
        {"*, ?, *, ?, *, $41, ?, $42", "? ? * 41 ? 42"},
        {"$41, *, *, *", "41 *"},
        {"?, ?, ?", "? ? ?"},
        {"$41, $42", "41 42"},
        {"%LENS", ""},
    };
    for (const auto& c : cases) {
        std::vector<std::int32_t> target{1, 2, 3}; // emptied first
        NormalisePattern(Compile(c.source), target);
        EXPECT_EQ(WireHex(target), c.normalised) << c.source;
    }
}

TEST(NormalisePattern, LeavesTheSourceAlone)
{
    const auto source = Compile("*, ?, $41");
    const auto copy = source;
    std::vector<std::int32_t> target;
    NormalisePattern(source, target);
    EXPECT_EQ(source, copy);
}

TEST(MatchPattern, WholeDatagramMustFit)
{
    const struct {
        std::string pattern;
        std::vector<std::int32_t> data;
        bool matches;
    } cases[] = {
        {"01, 02, 03", Bytes({1, 2, 3}), true},
        {"01, 02, 03", Bytes({1, 2}), false},
        {"01, 02, 03", Bytes({1, 2, 3, 4}), false},
        {"01, 02, 03", Bytes({}), false},
        {"01, ?, 03", Bytes({1, 0xEE, 3}), true},
        {"01, ?, 03", Bytes({1, 3}), false},
        {"*", Bytes({}), true},
        {"*", Bytes({1, 2, 3}), true},
        {"?", Bytes({9}), true},
        {"?", Bytes({}), false},
        {"?", Bytes({9, 9}), false},
        {"01, *", Bytes({1}), true},
        {"01, *", Bytes({1, 7, 7}), true},
        {"01, *", Bytes({2, 1}), false},
        {"01, 02, *", Bytes({1, 2}), true},
        {"*, 03", Bytes({1, 2, 3}), true},
        {"*, 01", Bytes({1, 2, 1}), false},
        {"01, *, 04", Bytes({1, 2, 3, 4}), true},
        {"01, *, 04", Bytes({1, 2, 4, 3, 4}), false},
        {"*, 07, 02", Bytes({7, 7, 2}), true},
        {"*, 07, 02", Bytes({7, 1, 7, 2}), true},
        {"*, 01, ?", Bytes({1, 1, 5}), false},
        {"01, *, 03, *, 05", Bytes({1, 2, 3, 4, 5}), true},
        {"?, ?, *", Bytes({1}), false},
        {"?, ?, *", Bytes({1, 2}), true},
        {"*, ?, $41", Bytes({0x41}), false},
        {"*, ?, $41", Bytes({0, 0x41}), true},
        {"\"OK\", *", Bytes({'O', 'K', '\r', '\n'}), true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MatchPattern(c.data, Pattern(c.pattern)), c.matches)
            << c.pattern << " against " << WireHex(c.data);
        // A datagram's raw bytes, as the receive path matches them, give the same answer.
        const std::vector<std::uint8_t> raw(c.data.begin(), c.data.end());
        EXPECT_EQ(MatchPattern(raw.data(), raw.size(), Pattern(c.pattern)), c.matches)
            << c.pattern << " against the raw bytes " << WireHex(c.data);
    }
}

TEST(MatchPattern, EmptyPatternMatchesNothing)
{
    EXPECT_FALSE(MatchPattern({}, {}));
    EXPECT_FALSE(MatchPattern(Bytes({1}), {}));
}

TEST(MatchPattern, SignedByteComparesByItsLowEightBits)
{
    EXPECT_TRUE(MatchPattern(Bytes({0xFF}), Pattern("C-1")));
    EXPECT_TRUE(MatchPattern(Bytes({1, 0x80}), Pattern("*, C-128")));
    EXPECT_FALSE(MatchPattern(Bytes({0x7F}), Pattern("C-1")));
}

TEST(MatchPattern, LongDatagramWithRunsStaysLinearInPractice)
{
    std::vector<std::int32_t> data(1500, 0x20);
    data.front() = 0x02;
    data.back() = 0x03;
    EXPECT_TRUE(MatchPattern(data, Pattern("02, *, 03")));
    EXPECT_TRUE(MatchPattern(data, Pattern("*, $20, 3")));
    EXPECT_FALSE(MatchPattern(data, Pattern("02, *, 04")));
}

} // namespace
} // namespace vpx::test
