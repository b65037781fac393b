#include "traffic/AutoReplyTable.h"

#include "notation/Notation.h"

#include <gtest/gtest.h>

#include <string>

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
        {"0\t%LENS, ?", false, 8, CompileFault::WildcardInRange},
        // CRC fields in comparison data: wildcards outside their range only.
        {"0\t%CRCS, 1, %CRCE(CRC-8), *", true},
        {"0\t%CRCS, 1, ?, %CRCE(CRC-8)", false, 11, CompileFault::WildcardInRange},
        {"0\t%CRCS, 1, %CRCE(CRC-0)", false, 11, CompileFault::UnknownCrc},
        {"0\tF1e39", false, 1, CompileFault::BadNumber}, // out of single precision: a notation error
        // A direct row's reply is not compiled here: the window sends it or says why then.
        {"1\t01\t\t\t1,zz", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        TAutoReplyTable table;
        EXPECT_EQ(table.ParseAutoReplyLine(c.line), c.accepted);
        EXPECT_EQ(table.Count(), c.accepted ? 1 : 0);
        TAutoReplyLineFault fault;
        fault.CompareDataRefused = true; // each call says afresh
        EXPECT_EQ(table.ParseAutoReplyLine(c.line, &fault), c.accepted);
        EXPECT_EQ(fault.CompareDataRefused, c.faultAt != 0);
        EXPECT_EQ(fault.Error.Position, c.faultAt);
        EXPECT_EQ(fault.Error.Fault, c.fault);
        if (c.faultAt != 0) {
            EXPECT_EQ(fault.CompareData, std::string_view(c.line).substr(2));
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

} // namespace
} // namespace vpx
