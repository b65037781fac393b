#include "TrafficTestUtil.h"

#include "traffic/TrafficLog.h"
#include "traffic/TrafficLogFormat.h"

#include <gtest/gtest.h>

namespace vpx {
namespace {

TEST(TrafficRecord, NewRecordHasZeroFilledBytes)
{
    for (const std::int32_t length : {0, 1, 7, 65507}) {
        TrafficRecordPtr record = NewTrafficRecord(length);
        ASSERT_TRUE(record);
        EXPECT_EQ(record->Length, length);
        EXPECT_EQ(record->Data, std::vector<std::uint8_t>(static_cast<std::size_t>(length), 0));
        EXPECT_TRUE(record->Comment.empty());
        FreeTrafficRecord(std::move(record));
    }
    EXPECT_EQ(NewTrafficRecord(-5)->Length, 0);
    FreeTrafficRecord(nullptr); // nothing to release
}

TEST(TrafficRecord, PayloadNeverReadsPastTheBuffer)
{
    TTrafficRecord record;
    record.Data = {1, 2, 3};
    record.Length = 10;
    EXPECT_EQ(PayloadSize(record), 3u);
    record.Length = 2;
    EXPECT_EQ(PayloadSize(record), 2u);
    record.Length = -1;
    EXPECT_EQ(PayloadSize(record), 0u);
}

struct Recorder : TTrafficLogListener {
    std::vector<std::string> calls;
    void BeforeAppend(int row) override { calls.push_back("+" + std::to_string(row)); }
    void AfterAppend() override { calls.push_back("+."); }
    void Shifted() override { calls.push_back("shift"); }
    void BeforeClear(int count) override { calls.push_back("c" + std::to_string(count)); }
    void AfterClear() override { calls.push_back("c."); }
};

TEST(TrafficLog, KeepsTheNewestThousand)
{
    TTrafficLog log;
    Recorder recorder;
    log.SetListener(&recorder);
    for (int i = 0; i < MaxLogRecords; ++i)
        EXPECT_FALSE(log.AddTrafficRecord(test::MakeRecord({1}, tkSent, "10.0.0.1", static_cast<std::uint16_t>(i))));
    EXPECT_EQ(log.Count(), 1000);
    recorder.calls.clear();

    EXPECT_TRUE(log.AddTrafficRecord(test::MakeRecord({2}, tkSent, "10.0.0.1", 1000)));
    EXPECT_EQ(log.Count(), 1000);
    EXPECT_EQ(log.Record(0)->PeerPort, 1);
    EXPECT_EQ(log.Record(999)->PeerPort, 1000);
    EXPECT_EQ(recorder.calls, (std::vector<std::string>{"shift"}));
    EXPECT_EQ(log.Record(1000), nullptr);
    EXPECT_EQ(log.Record(-1), nullptr);

    recorder.calls.clear();
    EXPECT_FALSE(log.AddTrafficRecord(nullptr));
    EXPECT_TRUE(recorder.calls.empty());
    log.ClearTrafficLog();
    EXPECT_EQ(log.Count(), 0);
    log.ClearTrafficLog(); // an empty log: nothing happens
    EXPECT_EQ(recorder.calls, (std::vector<std::string>{"c1000", "c."}));
}

TEST(TrafficLogFormat, PortAndOffsetCaptions)
{
    EXPECT_EQ(FormatPort(53), "   53");
    EXPECT_EQ(FormatPort(65535), "65535");
    EXPECT_EQ(FormatPort(0), "    0");
    EXPECT_EQ(FormatOffsetCaption(0), "[    0]");
    EXPECT_EQ(FormatOffsetCaption(16), "[   16]");
    EXPECT_EQ(FormatOffsetCaption(10000), "[10000]");
}

TEST(TrafficLogFormat, CellsFromTheOffset)
{
    const std::vector<std::uint8_t> bytes{0x0A, 0xFF, 0x00, 0x7F, 200};
    const struct {
        int view;
        int offset;
        std::size_t maxCells;
        std::string expected;
    } cases[] = {
        {ViewHex, 0, 1, "0A "},
        {ViewDecimal, 0, 1, " 10 "},
        {ViewHex, 0, 99, "0A FF 00 7F C8 "},
        {ViewDecimal, 0, 99, " 10 255   0 127 200 "},
        {ViewHex, 3, 99, "7F C8 "},
        {ViewHex, 1, 2, "FF 00 "},
        {ViewHex, 5, 99, ""},
        {ViewDecimal, 9999, 99, ""},
        {ViewAscii, 0, 99, ""},
        {7, 0, 99, ""},
        {ViewHex, 0, 0, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatCells(c.view, bytes.data(), bytes.size(), c.offset, c.maxCells), c.expected)
            << c.view << ' ' << c.offset << ' ' << c.maxCells;
}

TEST(TrafficLogFormat, VisibleCellsCountTheCutOne)
{
    EXPECT_EQ(VisibleCells(100, 30), 4u);
    EXPECT_EQ(VisibleCells(90, 30), 4u);
    EXPECT_EQ(VisibleCells(0, 30), 1u);
    EXPECT_EQ(VisibleCells(-3, 30), 0u);
    EXPECT_EQ(VisibleCells(100, 0), 0u);
}

TEST(TrafficLogFormat, ControlMnemonics)
{
    const struct {
        std::uint8_t byte;
        std::string_view name;
    } cases[] = {{0x00, "NU"}, {0x07, "BL"}, {0x09, "HT"}, {0x0A, "LF"}, {0x0D, "CR"}, {0x10, "DL"},
                 {0x11, "D1"}, {0x15, "NK"}, {0x1B, "EC"}, {0x1F, "US"}, {0x7F, "DT"}, {0x20, ""},
                 {0x41, ""},   {0x80, ""}};
    for (const auto& c : cases) {
        EXPECT_EQ(ControlMnemonic(c.byte), c.name) << int(c.byte);
        EXPECT_EQ(IsControlByte(c.byte), !c.name.empty()) << int(c.byte);
    }
}

TEST(TrafficLogFormat, AsciiViewTextKeepsCharactersWhole)
{
    const auto text = [](std::vector<std::uint8_t> b, int offset) {
        return AsciiViewText(b.data(), b.size(), offset);
    };
    EXPECT_EQ(text({'A', 'B', 0x0D, 0x0A}, 0), "ABCRLF");
    EXPECT_EQ(text({'A', ' ', 0x7F}, 1), " DT");
    // 0x82 0xA0 is one character: from offset 1 it is cut and left out.
    EXPECT_EQ(text({0x82, 0xA0, 'x'}, 0), "\x82\xA0x");
    EXPECT_EQ(text({0x82, 0xA0, 'x'}, 1), "x");
    // A trail byte that looks like a lead byte stays a trail byte.
    EXPECT_EQ(text({0x81, 0x81, 0x81, 0x41}, 2), "\x81\x41");
    // A lead byte at the end stands alone.
    EXPECT_EQ(text({'A', 0x82}, 1), "\x82");
    EXPECT_EQ(text({'A'}, 1), "");
    EXPECT_EQ(text({}, 0), "");
}

} // namespace
} // namespace vpx
