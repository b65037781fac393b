#include "notation/CheckedPattern.h"
#include "notation/NotationTestUtil.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vpx::test {
namespace {

using O = TMatchOutcome;

std::vector<std::uint8_t> HexBytes(const std::string& hex)
{
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 3)
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

struct CheckCase {
    const char* pattern;
    const char* data; // hex bytes
    O outcome;
    const char* detail; // Matched: CaptureText; CheckFailed: the note
};

// Each case one rule of checked comparison data: a field is the value of the
// bytes received in its range, runs take the split the rules say, and captures
// read what arrived.
const CheckCase CheckCases[] = {
    // A Modbus-RTU read request: unit 1, function 3, register 107, count 3, CRC 17 74.
    {"%CRCS, 0x01, 0x03, BUS{reg}, BUS{count}, %LCRCE(CRC-16/MODBUS)", "01 03 00 6B 00 03 74 17", O::Matched,
     "reg=107 count=3"},
    {"%CRCS, 0x01, 0x03, BUS{reg}, BUS{count}, %LCRCE(CRC-16/MODBUS)", "01 03 00 6B 00 03 74 18", O::CheckFailed,
     "CRC-16/MODBUS: 74 18 received, 74 17 expected"},
    {"%CRCS, 0x01, 0x03, BUS{reg}, BUS{count}, %LCRCE(CRC-16/MODBUS)", "01 04 00 6B 00 03 74 17", O::NoMatch, ""},
    {"%CRCS, 0x01, 0x03, BUS{reg}, BUS{count}, %LCRCE(CRC-16/MODBUS)", "01 03 00 6B 00 03 74", O::NoMatch, ""},
    {"%CRCS, 0x01, 0x03, *, %LCRCE(CRC-16/MODBUS)", "01 03 00 6B 00 03 74 17", O::Matched, ""},
    {"%CRCS, 0x01, 0x03, *, %BCRCE(CRC-16/MODBUS)", "01 03 00 6B 00 03 74 17", O::CheckFailed,
     "CRC-16/MODBUS: 74 17 received, 17 74 expected"},
    {"%CRCS, *{s}, %BCRCE(CRC-32)", "31 32 33 34 35 36 37 38 39 CB F4 39 26", O::Matched,
     "s=31 32 33 34 35 36 37 38 39"},
    {"%CRCS, \"123456789\", %BCRCE(CRC-32), ?{x}", "31 32 33 34 35 36 37 38 39 CB F4 39 26 00", O::Matched, "x=00"},
    // A run before a closing field reaches to the field at the datagram's end...
    {"%LENS, *{b}, %LENE", "0D 0D 02", O::Matched, "b=0D 0D"},
    {"%LENS, *{b}, %LENE", "0D 0D 03", O::CheckFailed, "LEN: 03 received, 02 expected"},
    {"%LENS, *{b}, %LENE, 0x0D", "0D 01 0D", O::Matched, "b=0D"},
    // ...and is tried longest first when more may follow; another run is tried shortest first.
    {"%XORS, *{a}, %XORE, *{b}", "05 05 00", O::Matched, "a=05 05 b="},
    {"%XORS, 0x05, %XORE, *{b}", "05 05 00", O::Matched, "b=00"},
    // A run in the middle of a range takes the first split that lets the whole pattern fit.
    {"%ADDS, 0x01, *{mid}, 0x02, %ADDE", "01 02 02 05", O::Matched, "mid=02"},
    {"%ADDS, 0x01, *{mid}, 0x02, %ADDE", "01 02 02 06", O::CheckFailed, "ADD: 06 received, 05 expected"},
    {"*{a}, 0x02, *{b}", "01 02 03 02 04", O::Matched, "a=01 b=03 02 04"},
    // Ranges inside each other and across each other: a field is counted by the ranges still open.
    {"%LENS, %XORS, ?{a}, ?{b}, %XORE, %LENE", "01 02 03 03", O::Matched, "a=01 b=02"},
    {"%LENS, ?{a}, %XORS, ?{b}, %LENE, ?{c}, %XORE", "01 02 02 04 04", O::Matched, "a=01 b=02 c=04"},
    {"%LENS, ?{a}, %XORS, ?{b}, %LENE, ?{c}, %XORE", "01 02 02 04 06", O::CheckFailed, "XOR: 06 received, 04 expected"},
    {"%LENS, 1, %LENS, ?, %LENE", "01 AA 01", O::Matched, ""}, // started again: the second start counts
    {"%LENE, ?{x}", "07", O::Matched, "x=07"},                   // an end without a start checks nothing
    // Complemented and negated fields.
    {"%ADDS, ?{x}, ?{y}, %!ADDE", "01 02 FC", O::Matched, "x=01 y=02"},
    {"%ADDS, ?{x}, %-ADDE", "05 FB", O::Matched, "x=05"},
    {"%LENS, *, %-LENE", "AA BB FE", O::Matched, ""},
    {"%LENS, *, %!LENE", "AA BB FE", O::CheckFailed, "LEN: FE received, FD expected"},
    // Widths and byte orders; comparison data is little-endian unless a field says B.
    {"%LENS, *{p}, %BSLENE", "41 42 43 00 03", O::Matched, "p=41 42 43"},
    {"%LENS, *{p}, %ILENE", "41 42 02 00 00 00", O::Matched, "p=41 42"},
    {"%ADDS, *, %LUIADDE", "FF 02 01 01 00 00", O::Matched, ""},
    {"%ADDS, *, %BUSADDE", "FF 02 00 02", O::CheckFailed, "ADD: 00 02 received, 01 01 expected"},
    {"%ADDS, 0xFF, ?, %-BSADDE", "FF 01 FF 00", O::Matched, ""},
    {"%CRCS, ?{x}, %CRCE(CRC-8)", "31 97", O::Matched, "x=31"},
    // Typed captures of every type, in both orders.
    {"C{c}, S{s}, US{u}, I{i}, UI{ui}", "FF FE FF FF FF FD FF FF FF 00 28 6B EE", O::Matched,
     "c=-1 s=-2 u=65535 i=-3 ui=4000000000"},
    {"F{f}, D{d}, BF{g}, BD{h}", "00 00 20 40 9A 99 99 99 99 99 B9 BF 3F C0 00 00 3F F0 00 00 00 00 00 00", O::Matched,
     "f=2.5 d=-0.1 g=1.5 h=1"},
    {"BUS{bu}, LUS{lu}, BI{bi}, c{low}", "12 34 12 34 FF FF FF FE 80", O::Matched,
     "bu=4660 lu=13330 bi=-2 low=-128"},
    {"?{x}, *{rest}", "41", O::Matched, "x=41 rest="},
    {"?{x}, *{rest}", "", O::NoMatch, ""},
};

TEST(CheckedPattern, ChecksAndCapturesWhatArrives)
{
    for (const CheckCase& c : CheckCases) {
        SCOPED_TRACE(std::string(c.pattern) + " against " + c.data);
        TCheckedPattern pattern;
        CompileError error;
        ASSERT_TRUE(pattern.Compile(c.pattern, error)) << error.Position;
        const std::vector<std::uint8_t> data = HexBytes(c.data);
        TPatternMatch match;
        pattern.Match(data.data(), data.size(), match);
        EXPECT_EQ(match.Outcome, c.outcome);
        EXPECT_FALSE(match.BudgetSpent);
        if (c.outcome == O::Matched) {
            EXPECT_EQ(CaptureText(match), c.detail);
        } else if (c.outcome == O::CheckFailed) {
            EXPECT_EQ(match.Note.Text(), c.detail);
        }
        EXPECT_EQ(pattern.Matches(data.data(), data.size()), c.outcome == O::Matched);
    }
}

TEST(CheckedPattern, OneResultServesDatagramAfterDatagram)
{
    TCheckedPattern pattern;
    CompileError error;
    ASSERT_TRUE(pattern.Compile("0x02, *{text}, 0x03, BUS{n}", error));
    TPatternMatch match;
    const auto first = HexBytes("02 41 42 03 00 07");
    pattern.Match(first.data(), first.size(), match);
    EXPECT_EQ(CaptureText(match), "text=41 42 n=7");
    EXPECT_EQ(match.Captures[1].Offset, 4u);
    const auto second = HexBytes("02 03 00 08");
    pattern.Match(second.data(), second.size(), match);
    EXPECT_EQ(CaptureText(match), "text= n=8");
    pattern.Match(first.data(), 3, match);
    EXPECT_EQ(match.Outcome, O::NoMatch);
    EXPECT_TRUE(match.Captures.empty());
}

TEST(CheckedPattern, AHostileDatagramSpendsTheBudgetAndDoesNotMatch)
{
    // Every split of every run fits until the last byte: without a bound the
    // search would try them all.
    TCheckedPattern pattern;
    CompileError error;
    ASSERT_TRUE(pattern.Compile("*{a}, 01, *{b}, 01, *{c}, 01, *{d}, 02, %LENS, ?{x}, %LENE", error));
    std::vector<std::uint8_t> data(3000, 0x01);
    TPatternMatch match;
    pattern.Match(data.data(), data.size(), match, 100000);
    EXPECT_EQ(match.Outcome, O::NoMatch);
    EXPECT_TRUE(match.BudgetSpent);
    // A datagram the same pattern fits at once is not held back by the bound.
    data[2996] = 0x02;
    data[2997] = 0x01;
    data[2998] = 0x01;
    data.resize(2999);
    pattern.Match(data.data(), data.size(), match, 100000);
    EXPECT_EQ(match.Outcome, O::Matched);
}

TEST(CheckedPattern, OneRunStaysLinearOnALongDatagram)
{
    TCheckedPattern pattern;
    CompileError error;
    ASSERT_TRUE(pattern.Compile("%CRCS, 0x02, *{body}, 0x03, %LCRCE(CRC-32)", error));
    std::vector<std::uint8_t> data(60000, 0x03);
    data[0] = 0x02;
    // A budget of a few passes over the datagram is enough to decide it.
    TPatternMatch match;
    pattern.Match(data.data(), data.size(), match, 4 * data.size());
    EXPECT_EQ(match.Outcome, O::CheckFailed);
    EXPECT_EQ(match.Note.Field, "CRC-32");
}

struct FaultCase {
    const char* text;
    CompileFault fault;
    std::size_t position;
};

TEST(CheckedPattern, RefusesWhatItCannotRead)
{
    const FaultCase cases[] = {
        {"?{1x}", CompileFault::BadCaptureName, 1},
        {"01, US{}", CompileFault::BadCaptureName, 5},
        {"?{a b}", CompileFault::BadCaptureName, 1},
        {"?{a", CompileFault::BadCaptureName, 1},
        {"US{n+1}", CompileFault::BadCaptureName, 1}, // "+1" is for replies
        {"?{a}, *{a}", CompileFault::DuplicateCaptureName, 7},
        {"BUS{reg}, LUI{reg}", CompileFault::DuplicateCaptureName, 11},
        {"{a}", CompileFault::BadNumber, 1},             // a bare name is a reply's form
        {"{#}", CompileFault::BadNumber, 1},
        {"BC{a}", CompileFault::BadNumber, 1},           // C takes no byte order
        {"%LENS, ?{a}, zz", CompileFault::BadNumber, 14},
        {"%DELAY(5), 01", CompileFault::UnknownKeyword, 1},
        {"%CRCS, ?, %!CRCE(CRC-8)", CompileFault::UnknownKeyword, 11},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.text);
        TCheckedPattern pattern;
        CompileError error;
        EXPECT_FALSE(pattern.Compile(c.text, error));
        EXPECT_EQ(error.Fault, c.fault);
        EXPECT_EQ(error.Position, c.position);
        EXPECT_TRUE(pattern.Empty());
        EXPECT_TRUE(pattern.Captures().empty());
    }
}

TEST(CheckedPattern, WarnsAsTheOrdinaryCompilerDoes)
{
    TCheckedPattern pattern;
    CompileError error;
    std::vector<CompileWarning> warnings;
    ASSERT_TRUE(pattern.Compile("%XORE, %LENS, ?{a}", error, &warnings));
    EXPECT_EQ(warnings, (std::vector<CompileWarning>{{1, CompileWarningKind::RangeNotOpened},
                                                     {8, CompileWarningKind::RangeNotClosed}}));
}

} // namespace
} // namespace vpx::test
