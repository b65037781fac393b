#include "notation/NotationTestUtil.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace vpx::test {
namespace {

// Texts biased towards the notation's own characters so that the generator reaches
// deep into the compiler, with raw bytes 0..255 mixed in.
std::string RandomText(std::mt19937& rng)
{
    static const char* const pieces[] = {
        ",", "\"", "%", "!", "-", "+", "?", "*", "$", "0x", "LENS", "LENE", "XORS", "XORE",
        "ADDS", "ADDE", "BSLENE", "LUIADDE", "S", "US", "I", "UI", "F", "D", "B", "L", "C", "1",
        "255", "1.5e3", "e", ".", " ", "\x81", "\x5C", "\x82\xA0"};
    std::uniform_int_distribution<int> length(0, 40);
    std::uniform_int_distribution<int> choice(0, 2);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<std::size_t> piece(0, std::size(pieces) - 1);
    std::string text;
    for (int n = length(rng); n > 0; --n) {
        if (choice(rng) == 0)
            text.push_back(static_cast<char>(byte(rng)));
        else
            text += pieces[piece(rng)];
    }
    return text;
}

TEST(NotationProperty, RandomTextsKeepTheResultContract)
{
    std::mt19937 rng(20261208);
    int compiled = 0;
    for (int i = 0; i < 20000; ++i) {
        const std::string text = RandomText(rng);
        for (const bool wildcards : {false, true}) {
            std::vector<std::int32_t> items{42};
            const std::int32_t r = CompileCommand(static_cast<std::uint8_t>(i & 1), text, items, wildcards);
            ASSERT_GE(r, -1) << text;
            if (r == -1) {
                ASSERT_TRUE(items.empty()) << text;
                continue;
            }
            ASSERT_EQ(static_cast<std::size_t>(r), items.size()) << text;
            compiled += r > 0;
            for (const std::int32_t item : items) {
                const bool wild = item == ItemAnyByte || item == ItemAnyRun;
                ASSERT_TRUE((item >= -128 && item <= 255) || (wildcards && wild)) << text;
            }
            // Whatever compiled must survive normalising and matching.
            std::vector<std::int32_t> pattern;
            NormalisePattern(items, pattern);
            std::vector<std::int32_t> data;
            for (const std::int32_t item : items)
                data.push_back(item & 0xFF);
            (void)MatchPattern(data, pattern);
        }
    }
    EXPECT_GT(compiled, 100); // the generator really reaches valid texts
}

TEST(NotationProperty, NormalisedPatternAgreesWithBruteForceMatching)
{
    // A reference matcher for literal and "?" items only: with no "*" the single
    // backtrack point plays no part, so both must agree exactly.
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> len(0, 6);
    std::uniform_int_distribution<int> value(0, 2);
    for (int i = 0; i < 20000; ++i) {
        std::vector<std::int32_t> pattern, data;
        for (int n = len(rng); n > 0; --n)
            pattern.push_back(value(rng) == 0 ? ItemAnyByte : value(rng));
        for (int n = len(rng); n > 0; --n)
            data.push_back(value(rng));
        bool expected = !pattern.empty() && pattern.size() == data.size();
        for (std::size_t k = 0; expected && k < pattern.size(); ++k)
            expected = pattern[k] == ItemAnyByte || pattern[k] == data[k];
        std::vector<std::int32_t> normalised;
        NormalisePattern(pattern, normalised);
        ASSERT_EQ(MatchPattern(data, normalised), expected);
        const std::vector<std::uint8_t> raw(data.begin(), data.end());
        ASSERT_EQ(MatchPattern(raw.data(), raw.size(), normalised), expected);
    }
}

} // namespace
} // namespace vpx::test
