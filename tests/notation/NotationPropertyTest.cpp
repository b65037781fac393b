#include "notation/CheckedPatternOracle.h"
#include "notation/Crc.h"
#include "notation/NotationTestUtil.h"

#include <gtest/gtest.h>

#include <array>
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

// Comparison data made of random pieces, with the steps each piece must
// compile to worked out here, apart from the compiler.
struct RandomPattern {
    std::string text;
    std::vector<TPatternStep> steps;
    std::vector<TCaptureDef> captures;
};

RandomPattern MakeRandomPattern(std::mt19937& rng)
{
    RandomPattern p;
    const auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    std::array<long, 4> open{-1, -1, -1, -1}; // the Open step of each range kind, or -1
    static const char* const opens[] = {"LENS", "XORS", "ADDS", "CRCS"};
    static const std::pair<const char*, TValueType> types[] = {
        {"C", TValueType::C}, {"S", TValueType::S},   {"US", TValueType::US}, {"I", TValueType::I},
        {"UI", TValueType::UI}, {"F", TValueType::F}, {"D", TValueType::D}};
    const auto crcs = CrcCatalogue();
    const auto step = [&](TPatternStep::Kind kind) -> TPatternStep& {
        p.steps.push_back({});
        p.steps.back().Step = kind;
        return p.steps.back();
    };
    std::vector<std::string> tokens;
    for (int n = 1 + pick(8); n > 0; --n) {
        const std::string name = "c" + std::to_string(p.captures.size());
        std::string token;
        switch (pick(10)) {
        case 0:
        case 1: {
            static const int values[] = {0, 1, 2, 0x41};
            const int v = pick(5) < 4 ? values[pick(4)] : pick(256);
            char buf[8];
            std::snprintf(buf, sizeof buf, "$%02X", v);
            token = buf;
            step(TPatternStep::Byte).Value = static_cast<std::uint8_t>(v);
            break;
        }
        case 2:
            token = "?";
            step(TPatternStep::AnyByte);
            break;
        case 3:
            token = "*";
            step(TPatternStep::AnyRun);
            break;
        case 4:
        case 5: {
            const int form = pick(3);
            TCaptureDef def{name, form == 0 ? TValueType::Byte : TValueType::Run, false};
            if (form == 2) {
                const auto& [letters, type] = types[pick(7)];
                static const char* const orders[] = {"", "B", "L"};
                const std::string order = type == TValueType::C ? "" : orders[pick(3)];
                def.Type = type;
                def.BigEndian = order == "B";
                token = order + letters + "{" + name + "}";
            } else {
                token = (form == 0 ? "?{" : "*{") + name + "}";
            }
            p.captures.push_back(def);
            step(TPatternStep::Capture).CaptureIndex = p.captures.size() - 1;
            break;
        }
        case 6:
        case 7: {
            const int kind = pick(4);
            token = std::string("%") + opens[kind];
            step(TPatternStep::Open).Range = static_cast<TRangeKind>(kind);
            open[kind] = static_cast<long>(p.steps.size() - 1);
            break;
        }
        default: {
            const int kind = pick(4);
            TPatternStep field;
            field.Step = TPatternStep::Field;
            field.Range = static_cast<TRangeKind>(kind);
            const int mod = kind == 3 ? 0 : pick(3);
            field.Modifier = static_cast<TFieldModifier>(mod);
            const std::string modText = mod == 0 ? "" : mod == 1 ? "!" : "-";
            const int order = pick(3); // none (little-endian), B, L
            const std::string orderText = order == 0 ? "" : order == 1 ? "B" : "L";
            if (kind == 3) {
                field.Crc = &crcs[static_cast<std::size_t>(pick(static_cast<int>(crcs.size())))];
                field.Width = static_cast<std::uint8_t>(field.Crc->Width / 8);
                token = "%" + orderText + "CRCE(" + std::string(field.Crc->Name) + ")";
            } else if (kind == 1) {
                field.Width = 1;
                token = "%" + modText + "XORE";
            } else {
                static const int widths[] = {1, 2, 4};
                field.Width = static_cast<std::uint8_t>(widths[pick(3)]);
                const std::string base = kind == 0 ? "LENE" : "ADDE";
                const std::string size = field.Width == 1 ? "" : field.Width == 2 ? (pick(2) ? "S" : "US")
                                                                                   : (pick(2) ? "I" : "UI");
                token = "%" + modText + (field.Width == 1 ? "" : orderText) + size + base;
            }
            field.BigEndian = field.Width > 1 && order == 1;
            if (open[kind] >= 0) { // an end without a start adds no step
                field.OpenStep = static_cast<std::size_t>(open[kind]);
                p.steps.push_back(field);
                open[kind] = -1;
            }
            break;
        }
        }
        tokens.push_back(token);
    }
    for (const std::string& t : tokens)
        p.text += (p.text.empty() ? "" : ", ") + t;
    return p;
}

std::vector<std::uint8_t> RandomData(std::mt19937& rng)
{
    std::vector<std::uint8_t> data(std::uniform_int_distribution<std::size_t>(0, 9)(rng));
    for (std::uint8_t& b : data)
        b = static_cast<std::uint8_t>(std::uniform_int_distribution<int>(0, 4)(rng) == 0
                                          ? std::uniform_int_distribution<int>(0, 255)(rng)
                                          : std::uniform_int_distribution<int>(0, 2)(rng));
    return data;
}

TEST(NotationProperty, CheckedPatternsAgreeWithTryingEverySplit)
{
    std::mt19937 rng(2612);
    int matched = 0, failed = 0;
    for (int i = 0; i < 6000; ++i) {
        const RandomPattern p = MakeRandomPattern(rng);
        SCOPED_TRACE(p.text);
        TCheckedPattern pattern;
        CompileError error;
        ASSERT_TRUE(pattern.Compile(p.text, error)) << error.Position;
        ASSERT_EQ(std::vector<TPatternStep>(pattern.Steps().begin(), pattern.Steps().end()), p.steps);
        ASSERT_EQ(pattern.Captures().size(), p.captures.size());
        for (std::size_t c = 0; c < p.captures.size(); ++c) {
            EXPECT_EQ(pattern.Captures()[c].Name, p.captures[c].Name);
            EXPECT_EQ(pattern.Captures()[c].Type, p.captures[c].Type);
            EXPECT_EQ(pattern.Captures()[c].BigEndian, p.captures[c].BigEndian);
        }
        // Texts without the new forms keep their old meaning where no run is to choose.
        std::vector<std::int32_t> items, plain;
        const bool plainCompiles = CompileCommand(0, p.text, items, true) > 0;
        NormalisePattern(items, plain);
        const bool anyRun = std::find(plain.begin(), plain.end(), ItemAnyRun) != plain.end();

        for (int d = 0; d < 6; ++d) {
            // Witnesses as made, with a byte changed anywhere, with the last
            // byte (often a field's) changed, and data that owes the pattern nothing.
            std::vector<std::uint8_t> data = d < 4 ? OracleWitness(p.steps, p.captures, rng) : RandomData(rng);
            if (d == 1 && !data.empty())
                data[std::uniform_int_distribution<std::size_t>(0, data.size() - 1)(rng)] ^= 0x01;
            if (d == 3 && !data.empty())
                data.back() ^= 0x80;
            SCOPED_TRACE(OracleHex(data));
            TPatternMatch match;
            pattern.Match(data.data(), data.size(), match);
            ASSERT_FALSE(match.BudgetSpent);
            const OracleResult expected = OracleMatch(p.steps, p.captures, data);
            ASSERT_EQ(match.Outcome, expected.outcome);
            if ((d == 0 || d == 2) && !p.steps.empty()) {
                EXPECT_EQ(match.Outcome, TMatchOutcome::Matched); // a witness always fits
            }
            if (match.Outcome == TMatchOutcome::Matched) {
                ++matched;
                ASSERT_EQ(match.Captures.size(), p.captures.size());
                for (std::size_t c = 0; c < p.captures.size(); ++c) {
                    const TCapture& got = match.Captures[c];
                    EXPECT_EQ(got.Offset, expected.offsets[c]);
                    EXPECT_EQ(got.Length, expected.lengths[c]);
                    const auto bytes = match.BytesOf(got);
                    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), data.begin() + got.Offset));
                }
            } else if (match.Outcome == TMatchOutcome::CheckFailed) {
                ++failed;
                EXPECT_EQ(match.Note.Text(), expected.note);
            }
            if (plainCompiles && !anyRun) {
                EXPECT_EQ(MatchPattern(data.data(), data.size(), plain), match.Outcome == TMatchOutcome::Matched);
            }
        }
    }
    EXPECT_GT(matched, 15000); // the generator really reaches both outcomes
    EXPECT_GT(failed, 400);
}

} // namespace
} // namespace vpx::test
