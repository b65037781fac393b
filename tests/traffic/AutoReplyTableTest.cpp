#include "traffic/AutoReplyTable.h"

#include "notation/Notation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vpx {
namespace {

std::vector<std::string> Fields(std::string_view line)
{
    std::vector<std::string_view> views;
    SplitTabFields(line, views);
    return {views.begin(), views.end()};
}

TEST(AutoReplyFile, SplitTabFields)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(Fields(""), V{});
    EXPECT_EQ(Fields("a"), V{"a"});
    EXPECT_EQ(Fields("a\tb"), (V{"a", "b"}));
    EXPECT_EQ(Fields("a\t"), (V{"a", ""}));
    EXPECT_EQ(Fields("\t"), (V{"", ""}));
    EXPECT_EQ(Fields(" a \t\t b "), (V{" a ", "", " b "}));
    EXPECT_EQ(Fields("1\t01\t\t\t"), (V{"1", "01", "", "", ""}));
}

TEST(AutoReplyFile, SplitLinesAtEveryKindOfLineEnd)
{
    using V = std::vector<std::string_view>;
    EXPECT_EQ(SplitLineViews(""), V{});
    EXPECT_EQ(SplitLineViews("a"), V{"a"});
    EXPECT_EQ(SplitLineViews("a\r\n"), V{"a"});
    EXPECT_EQ(SplitLineViews("a\r\nb\rc\nd"), (V{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLineViews("a\n\r\nb"), (V{"a", "", "b"}));
    EXPECT_EQ(SplitLineViews("a\r\r\n"), (V{"a", ""}));
}

TEST(AutoReplyFile, RowTypeField)
{
    struct Case {
        const char* field;
        std::optional<int> value;
    } cases[] = {
        {"0", 0},       {"1", 1},          {" 1", 1},        {"  0", 0},        {"+1", 1},
        {"01", 1},      {"-0", 0},         {"2", 2},         {"1 ", std::nullopt}, {"x", std::nullopt},
        {"", std::nullopt}, {" ", std::nullopt}, {"1x", std::nullopt}, {"99999999999", std::nullopt},
        {"\x82\x50", std::nullopt}, // a full-width digit is no digit
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        EXPECT_EQ(ParseRowType(c.field), c.value);
    }
}

// Which lines make rows, and for those that do not, whether the comparison
// data's notation is why: where in the field (bytes from 1) and the fault.
TEST(AutoReplyFile, WhichLinesMakeRows)
{
    constexpr auto kNone = CompileFault::None;
    struct Case {
        const char* line;
        bool accepted;
        std::size_t faultAt = 0; // 0: not refused for its notation
        CompileFault fault = kNone;
    } cases[] = {
        {"0\t01", true},
        {"1\t02\ta\tb", false}, // type 1 needs five fields
        {"1\t01\t\t\t", true},
        {"2\t01", false},
        {"x\t01", false},
        {"1 \t01\t\t\t00", false},
        {" 1\t01\t\t\t00", true},
        {"0", false},
        {"0 01", false},
        {"", false},
        {"0\t%LENS", false}, // compiles to no bytes: blank, not faulty
        {"0\tzz", false, 1, CompileFault::BadNumber},
        {"0\t", false},
        {"0\t?", true},
        {"0\t*", true},
        {"0\t%LENS, ?", true}, // a wildcard in a range makes a checked row
        {"0\t%CRCS, 1, %CRCE(CRC-8), *", true},
        {"0\t%CRCS, 1, ?, %CRCE(CRC-8)", true},
        {"0\t%CRCS, 1, %CRCE(CRC-0)", false, 11, CompileFault::UnknownCrc},
        {"0\tF1e39", false, 1, CompileFault::BadNumber}, // out of single precision: a notation error
        // A direct row's reply that is only mistyped is kept: the window sends it or says why then.
        {"1\t01\t\t\t1,zz", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        TAutoReplyTable table;
        EXPECT_EQ(table.ParseAutoReplyLine(c.line), c.accepted);
        EXPECT_EQ(table.Count(), c.accepted ? 1 : 0);
        TAutoReplyLineFault fault;
        fault.Where = TAutoReplyLineFault::Part::Reply; // each call says afresh
        EXPECT_EQ(table.ParseAutoReplyLine(c.line, &fault), c.accepted);
        const bool refused = fault.Where == TAutoReplyLineFault::Part::CompareData && fault.Error.Fault != kNone;
        EXPECT_EQ(refused, c.faultAt != 0);
        EXPECT_EQ(fault.Error.Position, c.faultAt);
        EXPECT_EQ(fault.Error.Fault, c.fault);
        if (c.faultAt != 0) {
            EXPECT_EQ(fault.Field, std::string_view(c.line).substr(2));
        }
    }
}

TEST(AutoReplyFile, RowFields)
{
    TAutoReplyTable table;
    ASSERT_TRUE(table.ParseAutoReplyLine("1\t0x01, ?, *\treq\tans\t0x81, 0x00\tignored"));
    ASSERT_TRUE(table.ParseAutoReplyLine("0\t*\t\tPING\tnot a reply"));
    ASSERT_TRUE(table.ParseAutoReplyLine("0\tBS1"));
    ASSERT_TRUE(table.ParseAutoReplyLine("0\tS1\trc"));

    const TAutoReplyRow& direct = table.Row(0);
    EXPECT_EQ(direct.RowType, rtDirect);
    EXPECT_EQ(direct.CompareData, "0x01, ?, *");
    EXPECT_EQ(direct.ReceiveComment, "req");
    EXPECT_EQ(direct.SendComment, "ans");
    EXPECT_EQ(direct.SendData, "0x81, 0x00");
    EXPECT_EQ(direct.Pattern, (std::vector<std::int32_t>{0x01, ItemAnyByte, ItemAnyRun}));
    EXPECT_TRUE(direct.Enabled);

    const TAutoReplyRow& lookup = table.Row(1);
    EXPECT_EQ(lookup.RowType, rtLookup);
    EXPECT_EQ(lookup.ReceiveComment, "");
    EXPECT_EQ(lookup.SendComment, "PING");
    EXPECT_EQ(lookup.SendData, ""); // the fifth field of a lookup row is not kept

    EXPECT_EQ(table.Row(2).Pattern, (std::vector<std::int32_t>{0x00, 0x01}));
    EXPECT_EQ(table.Row(2).SendComment, "");
    EXPECT_EQ(table.Row(3).Pattern, (std::vector<std::int32_t>{0x01, 0x00}));
    EXPECT_EQ(table.Row(3).ReceiveComment, "rc");
}

TEST(AutoReplyFile, FirstEnabledMatchingRowWins)
{
    TAutoReplyTable table;
    ASSERT_TRUE(table.ParseAutoReplyLine("1\t01, *\tfirst\ta\t0x81"));
    ASSERT_TRUE(table.ParseAutoReplyLine("1\t*\tsecond\tb\t0x82"));
    const std::vector<std::int32_t> data{0x01, 0x02};
    EXPECT_EQ(table.FindMatchingRow(data), &table.Row(0));
    table.SetEnabled(0, false);
    EXPECT_EQ(table.FindMatchingRow(data), &table.Row(1));
    table.SetEnabled(1, false);
    EXPECT_EQ(table.FindMatchingRow(data), nullptr);
    table.SetEnabled(0, true);
    EXPECT_EQ(table.FindMatchingRow({0x02}), nullptr);
}

const char* const ModbusRow = "1\t%CRCS, 0x01, 0x03, BUS{reg}, BUS{count}, %LCRCE(CRC-16/MODBUS)\tread\tans\t"
                              "%CRCS, 0x01, 0x03, 2, BUS{#}, %LCRCE(CRC-16/MODBUS)";
const std::vector<std::uint8_t> ModbusRequest{0x01, 0x03, 0x00, 0x6B, 0x00, 0x03, 0x74, 0x17};

TEST(AutoReplyFile, CheckedRowsCaptureAndCompileTheirReply)
{
    TAutoReplyTable table;
    ASSERT_TRUE(table.ParseAutoReplyLine(ModbusRow));
    const TAutoReplyRow& row = table.Row(0);
    ASSERT_TRUE(row.Checked);
    EXPECT_TRUE(row.Pattern.empty());
    ASSERT_EQ(row.Captures().size(), 2u);
    EXPECT_EQ(row.Captures()[1].Name, "count");
    EXPECT_TRUE(row.ReplyCompiled);
    EXPECT_EQ(row.SendData, "%CRCS, 0x01, 0x03, 2, BUS{#}, %LCRCE(CRC-16/MODBUS)");

    EXPECT_EQ(table.FindMatchingRow(ModbusRequest.data(), ModbusRequest.size()), &row);
    EXPECT_EQ(table.FindMatchingRow(std::vector<std::int32_t>(ModbusRequest.begin(), ModbusRequest.end())), &row);
    TAutoReplyHit hit;
    ASSERT_TRUE(table.FindMatch(ModbusRequest.data(), ModbusRequest.size(), hit));
    EXPECT_EQ(hit.Row, &row);
    EXPECT_EQ(hit.Index, 0);
    EXPECT_EQ(CaptureText(hit.Match), "reg=107 count=3");

    // The answers count 0, 1, 2 into the reply.
    for (const char* counter : {"$00, $00", "$00, $01", "$00, $02"}) {
        const TAutoReplyAnswer answer = table.NextAnswer(hit.Index, row.Reply.Faults());
        EXPECT_FALSE(answer.Dropped);
        EXPECT_EQ(row.Reply.FillText(&hit.Match, answer.Counter),
                  "%CRCS, 0x01, 0x03, 2, " + std::string(counter) + ", %LCRCE(CRC-16/MODBUS)");
    }
}

TEST(AutoReplyFile, TheNearestRowIsTheFirstThatFailedOnlyOnACheck)
{
    TAutoReplyTable table;
    ASSERT_TRUE(table.ParseAutoReplyLine("0\t02, *"));
    ASSERT_TRUE(table.ParseAutoReplyLine(ModbusRow));
    ASSERT_TRUE(table.ParseAutoReplyLine("0\t%CRCS, 0x01, *, %BCRCE(CRC-16/MODBUS)"));
    std::vector<std::uint8_t> bad = ModbusRequest;
    bad.back() = 0x18;

    TAutoReplyHit hit;
    EXPECT_FALSE(table.FindMatch(bad.data(), bad.size(), hit));
    EXPECT_EQ(hit.Row, nullptr);
    EXPECT_EQ(hit.NearIndex, 1);
    EXPECT_EQ(hit.Match.Outcome, TMatchOutcome::CheckFailed);
    EXPECT_EQ(hit.Match.Note.Text(), "CRC-16/MODBUS: 74 18 received, 74 17 expected");
    table.SetEnabled(1, false);
    EXPECT_FALSE(table.FindMatch(bad.data(), bad.size(), hit));
    EXPECT_EQ(hit.NearRow, &table.Row(2));
    EXPECT_EQ(hit.Match.Note.Text(), "CRC-16/MODBUS: 74 18 received, 17 74 expected");
    EXPECT_EQ(table.FindMatchingRow(bad.data(), bad.size()), nullptr);

    // A row that fits wins, and no note is left over from the rows before it.
    ASSERT_TRUE(table.ParseAutoReplyLine("0\t*"));
    ASSERT_TRUE(table.FindMatch(bad.data(), bad.size(), hit));
    EXPECT_EQ(hit.Index, 3);
    EXPECT_EQ(hit.NearRow, nullptr);
    EXPECT_TRUE(hit.Match.Captures.empty());
    const std::uint8_t other[] = {0x09};
    table.SetEnabled(3, false);
    EXPECT_FALSE(table.FindMatch(other, 1, hit));
    EXPECT_EQ(hit.NearRow, nullptr);
    EXPECT_EQ(hit.Match.Outcome, TMatchOutcome::NoMatch);
}

TEST(AutoReplyFile, SaysWhyALineMakesNoRow)
{
    using P = TAutoReplyLineFault::Part;
    const struct {
        const char* line;
        P where;
        CompileFault fault;
        std::size_t position;
    } cases[] = {
        {"0", P::Fields, CompileFault::None, 0},
        {"1\t01\ta\tb", P::Fields, CompileFault::None, 0},
        {"2\t01", P::RowType, CompileFault::None, 0},
        {"0\t%LENS", P::CompareData, CompileFault::None, 0},
        {"0\tzz", P::CompareData, CompileFault::BadNumber, 1},
        {"0\t%LENS, ?, zz", P::CompareData, CompileFault::BadNumber, 11}, // where the checked reading stops
        {"0\t?{a}, *{a}", P::CompareData, CompileFault::DuplicateCaptureName, 7},
        {"1\t?{a}\t\t\t01, {b}", P::Reply, CompileFault::UnknownCaptureName, 5},
        {"1\t*\t\t\t{b}", P::Reply, CompileFault::UnknownCaptureName, 1},
        {"1\t*\t\t\t01, %DUP(2)", P::Reply, CompileFault::FaultKeywordPlace, 5},
        {"1\t*\t\t\t%DROP(200)", P::Reply, CompileFault::FaultKeywordValue, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        TAutoReplyTable table;
        TAutoReplyLineFault why;
        EXPECT_FALSE(table.ParseAutoReplyLine(c.line, &why));
        EXPECT_EQ(table.Count(), 0);
        EXPECT_EQ(why.Where, c.where);
        EXPECT_EQ(why.Error.Fault, c.fault);
        EXPECT_EQ(why.Error.Position, c.position);
    }
    // A reply refused as it always was keeps its row; it is refused when sent.
    TAutoReplyTable table;
    TAutoReplyLineFault why;
    why.Where = TAutoReplyLineFault::Part::Reply; // each call says afresh
    ASSERT_TRUE(table.ParseAutoReplyLine("1\t*\t\t\tzz, {b}", &why));
    EXPECT_EQ(why.Where, TAutoReplyLineFault::Part::None);
    EXPECT_FALSE(table.Row(0).ReplyCompiled);
    // A lookup row's command is found when it answers; its fourth field is a name.
    EXPECT_TRUE(table.ParseAutoReplyLine("0\t?{a}\t\t{b}"));
}

TEST(AutoReplyFile, DropsFollowTheSeedRowByRow)
{
    const auto run = [](std::uint64_t seed, bool otherRowAnswers) {
        TAutoReplyTable table;
        table.ParseAutoReplyLine("1\t01\t\t\t%DROP(50), 01");
        table.ParseAutoReplyLine("1\t02\t\t\t%DROP(50), 02");
        table.SetFaultSeed(seed);
        std::string sent;
        for (int i = 0; i < 64; ++i) {
            if (otherRowAnswers)
                table.NextAnswer(1, table.Row(1).Reply.Faults());
            const TAutoReplyAnswer a = table.NextAnswer(0, table.Row(0).Reply.Faults());
            EXPECT_EQ(a.Counter, static_cast<std::uint64_t>(i)); // a dropped answer counts too
            sent += a.Dropped ? '-' : 'x';
        }
        return sent;
    };
    EXPECT_EQ(run(5, false), run(5, false));
    EXPECT_EQ(run(5, false), run(5, true)); // the other row's answers do not move this row's dice
    EXPECT_NE(run(5, false), run(6, false));
    EXPECT_NE(run(1, false).find('-'), std::string::npos);
    EXPECT_NE(run(1, false).find('x'), std::string::npos);
    TAutoReplyTable table;
    EXPECT_EQ(table.FaultSeed(), 1u);
    EXPECT_THROW(table.NextAnswer(0, {}), std::out_of_range);
}

} // namespace
} // namespace vpx
