#include "notation/ReplyTemplate.h"
#include "notation/NotationTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace vpx::test {
namespace {

const char* const Modbus = "%CRCS, 0x01, 0x03, BUS{reg}, BUS{count}, %LCRCE(CRC-16/MODBUS)";
const char* const ModbusRequest = "01 03 00 6B 00 03 74 17";

std::vector<std::uint8_t> HexBytes(const std::string& hex)
{
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 3)
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

std::string Hex(const std::vector<std::uint8_t>& bytes)
{
    return WireHex(std::vector<std::int32_t>(bytes.begin(), bytes.end()));
}

struct FillCase {
    const char* pattern;
    const char* data;
    const char* reply;
    std::uint64_t counter;
    const char* expected; // notation the ordinary compiler turns into the same bytes
    std::uint8_t order = 0;
};

// A reply filled in with what a datagram brought and the row's counter; its
// fields are computed over the filled bytes.
const FillCase FillCases[] = {
    {Modbus, ModbusRequest, "%CRCS, 0x01, 0x03, 2, BUS{#}, %LCRCE(CRC-16/MODBUS)", 0,
     "%CRCS, 0x01, 0x03, 2, BUS0, %LCRCE(CRC-16/MODBUS)"},
    {Modbus, ModbusRequest, "%CRCS, 0x01, 0x03, 2, BUS{#}, %LCRCE(CRC-16/MODBUS)", 1,
     "%CRCS, 0x01, 0x03, 2, BUS1, %LCRCE(CRC-16/MODBUS)"},
    {Modbus, ModbusRequest, "%CRCS, 1, 3, 4, {reg}, {count}, %LCRCE(CRC-16/MODBUS)", 0,
     "%CRCS, 1, 3, 4, 0, 0x6B, 0, 3, %LCRCE(CRC-16/MODBUS)"},
    {Modbus, ModbusRequest, "%DELAY(5), %DUP(2), BUS{reg+1}, LUS{count-1}", 0, "BUS108, LUS2"},
    // Plus and minus one wrap at the written type's width.
    {"US{n}", "07 00", "US{n+1}", 0, "US8"},
    {"US{n}", "07 00", "BUS{n+1}", 0, "BUS8"},
    {"US{n}", "07 00", "US{n - 1}", 0, "US6"},
    {"US{n}", "FF FF", "US{n+1}", 0, "US0"},
    {"US{n}", "00 00", "US{n-1}", 0, "US65535"},
    {"US{n}", "FF FF", "UI{n+1}", 0, "UI65536"},
    {"US{n}", "07 00", "US{n}", 0, "BUS7", 1}, // the reply's own byte order
    // The counter: one byte untyped, any type typed.
    {"?{x}", "00", "{#}", 0, "0"},
    {"?{x}", "00", "{#}", 2, "2"},
    {"?{x}", "00", "{#}", 256, "0"},
    {"?{x}", "00", "US{#}", 256, "US256"},
    {"?{x}", "00", "BUS{#+1}", 65535, "BUS0"},
    {"?{x}", "00", "C{#}", 255, "C-1"},
    {"?{x}", "00", "F{#}", 3, "F3"},
    // Values converted between types.
    {"F{f}", "00 00 20 40", "US{f}", 0, "US2"},
    {"F{f}", "00 00 20 40", "D{f}", 0, "D2.5"},
    {"F{f}", "00 00 20 40", "BI{f-1}", 0, "BI1"},
    {"F{f}", "00 00 C0 7F", "I{f}", 0, "I0"}, // NaN
    {"S{s}", "FE FF", "BI{s}", 0, "BI-2"},
    {"S{s}", "FE FF", "F{s}", 0, "F-2"},
    {"S{s}", "FE FF", "US{s}", 0, "US65534"},
    {"?{b}", "C8", "C{b}", 0, "C-56"},
    {"?{b}", "C8", "US{b}", 0, "US200"},
    {"BUS{n}", "00 07", "{n}", 0, "0, 7"}, // bytes as they arrived
    // Bytes, runs, and the text around them.
    {"01, *{x}", "01 41 42", "\"<\", {x}, \">\"", 0, "\"<AB>\""},
    {"01, *{x}", "01", "\"<\", {x}, \">\"", 0, "\"<>\""},
    {"01, *{x}", "01", "{x}", 0, ""},
    {"01, *{x}", "01 41 42", "%LENS, {x}, %LENE", 0, "$41, $42, 2"},
    {"01, *{x}", "01 41", "\"{x}\", {x}", 0, "\"{x}A\""},
    {"01, *{x}", "01 41", "\"\x82\"\", {x}", 0, "\"\x82\"\", $41"}, // a quote as a trail byte closes nothing
};

TEST(ReplyTemplate, FillsInCapturesAndTheCounter)
{
    for (const FillCase& c : FillCases) {
        SCOPED_TRACE(std::string(c.reply) + " after " + c.pattern + " / " + c.data + " #" +
                     std::to_string(c.counter));
        TCheckedPattern pattern;
        CompileError error;
        ASSERT_TRUE(pattern.Compile(c.pattern, error));
        const auto data = HexBytes(c.data);
        TPatternMatch match;
        pattern.Match(data.data(), data.size(), match);
        ASSERT_EQ(match.Outcome, TMatchOutcome::Matched);

        TReplyTemplate reply;
        ASSERT_TRUE(reply.Compile(c.reply, c.order, pattern.Captures(), error)) << error.Position;
        std::vector<std::uint8_t> bytes{9, 9};
        const std::int32_t count = reply.Fill(&match, c.counter, bytes);
        std::vector<std::int32_t> expected;
        ASSERT_GE(CompileCommand(c.order, c.expected, expected, false), 0);
        EXPECT_EQ(count, static_cast<std::int32_t>(bytes.size()));
        EXPECT_EQ(Hex(bytes), WireHex(expected));
    }
}

struct FaultsCase {
    const char* reply;
    TReplyFaults faults;
    const char* body; // the reply's bytes
};

// The fault keywords that lead a reply, and where they may not stand.
TEST(ReplyTemplate, FaultKeywordsLeadTheReply)
{
    const FaultsCase accepted[] = {
        {"%DELAY(200), 01", {200, 0, false, 1}, "01"},
        {"%drop(50),%DUP(3), 01", {0, 50, true, 3}, "01"},
        {"%DUP(3), %DELAY(5), %DROP(0), 01, 02", {5, 0, true, 3}, "01 02"},
        {"%DELAY( 0x10 ), 01", {16, 0, false, 1}, "01"},
        {"%DELAY(3600000), 01", {3600000, 0, false, 1}, "01"},
        {"%DROP(100)", {0, 100, true, 1}, ""},
        {"%DUP(100)  ", {0, 0, false, 100}, ""},
        {"%DELAY(5), \"ab", {5, 0, false, 1}, ""},
        {"  %DUP(1) ,  \"%DROP(5)\"", {0, 0, false, 1}, "25 44 52 4F 50 28 35 29"},
        {"01, 02", {}, "01 02"},
    };
    for (const FaultsCase& c : accepted) {
        SCOPED_TRACE(c.reply);
        TReplyTemplate reply;
        CompileError error;
        ASSERT_TRUE(reply.Compile(c.reply, 0, {}, error)) << error.Position;
        EXPECT_EQ(reply.Faults(), c.faults);
        std::vector<std::uint8_t> bytes;
        reply.Fill(nullptr, 0, bytes);
        EXPECT_EQ(Hex(bytes), c.body);
    }

    const struct {
        const char* reply;
        CompileFault fault;
        std::size_t position;
    } refused[] = {
        {"01, %DELAY(5)", CompileFault::FaultKeywordPlace, 5},
        {"%DROP(5), %DROP(6)", CompileFault::FaultKeywordPlace, 11},
        {"%LENS, %DELAY(5), 01, %LENE", CompileFault::FaultKeywordPlace, 8},
        {"%DROP(101)", CompileFault::FaultKeywordValue, 1},
        {"%DUP(0)", CompileFault::FaultKeywordValue, 1},
        {"%DUP(101)", CompileFault::FaultKeywordValue, 1},
        {"%DUP", CompileFault::FaultKeywordValue, 1},
        {"%DELAY()", CompileFault::FaultKeywordValue, 1},
        {"%DELAY(-1)", CompileFault::FaultKeywordValue, 1},
        {"%DELAY(3600001)", CompileFault::FaultKeywordValue, 1},
        {"%DELAY(5", CompileFault::FaultKeywordValue, 1},
        {"%DELAYS(5)", CompileFault::UnknownKeyword, 1},
        {"%!DELAY(5)", CompileFault::UnknownKeyword, 1},
        {"%DELAY(5),, 01", CompileFault::EmptyToken, 11},
        {"%DELAY(5), zz", CompileFault::BadNumber, 12},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.reply);
        TReplyTemplate reply;
        CompileError error;
        EXPECT_FALSE(reply.Compile(c.reply, 0, {}, error));
        EXPECT_EQ(error.Fault, c.fault);
        EXPECT_EQ(error.Position, c.position);
        EXPECT_EQ(reply.Faults(), TReplyFaults());
    }
    // A command is no reply: the keywords stay errors there.
    std::vector<std::int32_t> items;
    EXPECT_EQ(CompileCommand(0, "%DELAY(5), 01", items, false), -1);
}

TEST(ReplyTemplate, RefusesNamesItsRowDoesNotDefine)
{
    TCheckedPattern pattern;
    CompileError error;
    ASSERT_TRUE(pattern.Compile("BUS{reg}, *{body}", error));
    const struct {
        const char* reply;
        CompileFault fault;
        std::size_t position;
        bool plainRow; // the row captures nothing
    } cases[] = {
        {"01, {nope}", CompileFault::UnknownCaptureName, 5, false},
        {"01, BUS{Reg}", CompileFault::UnknownCaptureName, 5, false}, // names are case-sensitive
        {"US{body}", CompileFault::CaptureHasNoValue, 1, false},
        {"US{reg+2}", CompileFault::BadCaptureName, 1, false},
        {"{reg+1}", CompileFault::BadCaptureName, 1, false},
        {"{1a}", CompileFault::BadCaptureName, 1, false},
        {"{reg", CompileFault::BadCaptureName, 1, false},
        {"?{reg}", CompileFault::BadNumber, 1, false},
        {"zz, {nope}", CompileFault::BadNumber, 1, false},
        {"\x82,{nope}", CompileFault::BadNumber, 1, false}, // the comma is a trail byte: one token
        {"{reg}", CompileFault::UnknownCaptureName, 1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply);
        TReplyTemplate reply;
        EXPECT_FALSE(reply.Compile(c.reply, 0, c.plainRow ? std::span<const TCaptureDef>() : pattern.Captures(), error));
        EXPECT_EQ(error.Fault, c.fault);
        EXPECT_EQ(error.Position, c.position);
    }
    TReplyTemplate counter;
    EXPECT_TRUE(counter.Compile("{#}, US{#-1}", 0, {}, error)); // a row without captures still counts
    // Every new form stays an error for the ordinary compiler, in commands and comparison data.
    std::vector<std::int32_t> items;
    for (const char* text : {"{#}", "US{#}", "{reg}", "BUS{reg+1}", "?{a}", "*{a}", "C{c}", "%LENS, ?, %LENE"})
        EXPECT_EQ(CompileCommand(0, text, items, true), -1) << text;
}

TEST(FaultRandom, DrawsFollowTheSeedAndThePercentage)
{
    const auto drops = [](std::uint64_t seed, std::uint64_t stream, std::uint32_t percent) {
        TFaultRandom dice(seed, stream);
        std::string out;
        for (int i = 0; i < 200; ++i)
            out += dice.Drop(percent) ? 'x' : '.';
        return out;
    };
    EXPECT_NE(drops(7, 0, 50), drops(7, 1, 50)); // each row has dice of its own
    EXPECT_EQ(drops(1, 0, 0), std::string(200, '.'));
    EXPECT_EQ(drops(1, 0, 100), std::string(200, 'x'));
    const std::string half = drops(1, 3, 50);
    const auto dropped = std::count(half.begin(), half.end(), 'x');
    EXPECT_GT(dropped, 70);
    EXPECT_LT(dropped, 130);
}

} // namespace
} // namespace vpx::test
