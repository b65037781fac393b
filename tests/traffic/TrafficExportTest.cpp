#include "traffic/TrafficExport.h"

#include "TrafficTestUtil.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <map>

namespace vpx {
namespace {

using test::MakeRecord;

std::uint16_t Big16(const std::vector<std::uint8_t>& p, std::size_t at)
{
    return static_cast<std::uint16_t>(p[at] << 8 | p[at + 1]);
}

std::uint32_t Big32(const std::vector<std::uint8_t>& p, std::size_t at)
{
    return static_cast<std::uint32_t>(Big16(p, at)) << 16 | Big16(p, at + 2);
}

std::uint32_t Little32(const std::string& s, std::size_t at)
{
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | static_cast<unsigned char>(s[at + static_cast<std::size_t>(i)]);
    return v;
}

std::uint16_t Little16(const std::string& s, std::size_t at)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(s[at]) | static_cast<unsigned char>(s[at + 1]) << 8);
}

// Every local time in these tests is in a zone nine hours east of UTC, without daylight saving.
class JapanTime : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* tz = std::getenv("TZ");
        m_oldTz = tz ? std::optional<std::string>(tz) : std::nullopt;
        ::setenv("TZ", "JST-9", 1);
        ::tzset();
    }
    void TearDown() override
    {
        if (m_oldTz)
            ::setenv("TZ", m_oldTz->c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }

private:
    std::optional<std::string> m_oldTz;
};

// The packet of a record from every side: addresses and ports by direction, the
// lengths, the payload, and checksums that verify (RFC 1071: the sum over the
// covered bytes, checksum included, is all ones).
TEST(Ipv4UdpPacket, CarriesTheRecordInItsDirectionWithValidChecksums)
{
    const TrafficEndpoint local{"127.0.0.1", 5000};
    const struct {
        std::uint8_t kind;
        std::size_t size;
        std::uint32_t source, destination;
        std::uint16_t sourcePort, destinationPort;
        const char* sentTo = nullptr; // where a received datagram went, as the port learnt it
    } cases[] = {
        {tkReceived, 3, 0x0A000002, 0x7F000001, 6000, 5000},
        {tkReceivedMatched, 0, 0x0A000002, 0x7F000001, 6000, 5000},
        {tkSent, 1, 0x7F000001, 0x0A000002, 5000, 6000},
        {tkAutoReplySent, 255, 0x7F000001, 0x0A000002, 5000, 6000},
        {tkReceived, MaxUdpPayload, 0x0A000002, 0x7F000001, 6000, 5000},
        // A group's datagram goes to the group, a broadcast to the broadcast address.
        {tkReceivedMatched, 2, 0x0A000002, 0xEF010203, 6000, 5000, "239.1.2.3"},
        {tkReceived, 2, 0x0A000002, 0xFFFFFFFF, 6000, 5000, "255.255.255.255"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << int(c.kind) << " size " << c.size);
        auto record = MakeRecord(test::Counting(static_cast<int>(c.size)), c.kind, "10.0.0.2", 6000);
        if (c.sentTo)
            record->LocalAddress = c.sentTo;
        const std::vector<std::uint8_t> p = Ipv4UdpPacket(*record, local, 7);
        ASSERT_EQ(p.size(), 28 + c.size);
        EXPECT_EQ(p[0], 0x45);
        EXPECT_EQ(Big16(p, 2), p.size());
        EXPECT_EQ(Big16(p, 4), 7);
        EXPECT_EQ(p[9], 17);
        EXPECT_EQ(Big32(p, 12), c.source);
        EXPECT_EQ(Big32(p, 16), c.destination);
        EXPECT_EQ(OnesComplementSum(p.data(), 20), 0xFFFFu);
        EXPECT_EQ(Big16(p, 20), c.sourcePort);
        EXPECT_EQ(Big16(p, 22), c.destinationPort);
        EXPECT_EQ(Big16(p, 24), 8 + c.size);
        EXPECT_NE(Big16(p, 26), 0) << "a zero UDP checksum means none";
        const std::uint32_t pseudo = (c.source >> 16) + (c.source & 0xFFFF) + (c.destination >> 16) +
                                     (c.destination & 0xFFFF) + 17 + static_cast<std::uint32_t>(8 + c.size);
        EXPECT_EQ(OnesComplementSum(p.data() + 20, 8 + c.size, pseudo), 0xFFFFu);
        EXPECT_TRUE(std::equal(record->Data.begin(), record->Data.end(), p.begin() + 28));
    }
}

TEST(Ipv4UdpPacket, LargestPayloadFillsTheLargestPacketAndMoreIsCut)
{
    auto record = MakeRecord(test::Counting(static_cast<int>(MaxUdpPayload + 5)));
    const std::vector<std::uint8_t> p = Ipv4UdpPacket(*record, {"127.0.0.1", 1}, 0);
    EXPECT_EQ(p.size(), 65535u);
    EXPECT_EQ(Big16(p, 2), 65535);
}

// The blocks of a pcapng file, read back by their lengths.
struct Block {
    std::uint32_t type;
    std::string body; // between the leading length and the trailing one
};

std::vector<Block> Blocks(const std::string& file)
{
    std::vector<Block> blocks;
    std::size_t at = 0;
    while (at + 12 <= file.size()) {
        const std::uint32_t length = Little32(file, at + 4);
        EXPECT_EQ(length % 4, 0u);
        EXPECT_LE(at + length, file.size());
        if (length < 12 || at + length > file.size())
            break;
        EXPECT_EQ(Little32(file, at + length - 4), length) << "trailing length";
        blocks.push_back({Little32(file, at), file.substr(at + 8, length - 12)});
        at += length;
    }
    EXPECT_EQ(at, file.size());
    return blocks;
}

std::map<std::uint16_t, std::string> Options(const std::string& body, std::size_t from)
{
    std::map<std::uint16_t, std::string> options;
    std::size_t at = from;
    while (at + 4 <= body.size()) {
        const std::uint16_t code = Little16(body, at);
        const std::uint16_t length = Little16(body, at + 2);
        if (code == 0)
            break;
        options[code] = body.substr(at + 4, length);
        at += 4 + (length + 3u) / 4 * 4;
    }
    return options;
}

TEST(ExportPcapng, OneSectionOneIpv4InterfaceAndAPacketPerRecord)
{
    auto in = MakeRecord({1, 2, 3}, tkReceivedMatched, "10.0.0.2", 6000, "\x83\x65\x83\x58\x83\x67"); // テスト
    in->Time = 1'700'000'000'123'456;
    auto out = MakeRecord({}, tkAutoReplySent, "10.0.0.2", 6000);
    out->Time = 0x1'0000'0001LL;
    const std::string file = ExportPcapng({in.get(), out.get()}, {"127.0.0.1", 5000});
    // An answer kept off the wire is no packet.
    auto dropped = MakeRecord({9}, tkAutoReplySent, "10.0.0.2", 6000);
    dropped->Dropped = true;
    EXPECT_EQ(ExportPcapng({in.get(), dropped.get(), out.get()}, {"127.0.0.1", 5000}), file);

    const std::vector<Block> blocks = Blocks(file);
    ASSERT_EQ(blocks.size(), 4u);
    EXPECT_EQ(blocks[0].type, 0x0A0D0D0Au);
    EXPECT_EQ(Little32(blocks[0].body, 0), 0x1A2B3C4Du);
    EXPECT_EQ(blocks[1].type, 1u);
    EXPECT_EQ(Little16(blocks[1].body, 0), 228) << "raw IPv4";

    const struct {
        std::int64_t time;
        std::size_t packet;
        std::uint32_t flags;
        const char* comment;
    } expected[] = {
        {in->Time, 31, 1, "テスト"},
        {out->Time, 28, 2, nullptr},
    };
    for (std::size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        const Block& b = blocks[2 + i];
        EXPECT_EQ(b.type, 6u);
        EXPECT_EQ(Little32(b.body, 0), 0u);
        const auto time = static_cast<std::int64_t>(std::uint64_t{Little32(b.body, 4)} << 32 | Little32(b.body, 8));
        EXPECT_EQ(time, expected[i].time);
        EXPECT_EQ(Little32(b.body, 12), expected[i].packet);
        EXPECT_EQ(Little32(b.body, 16), expected[i].packet);
        const auto options = Options(b.body, 20 + (expected[i].packet + 3) / 4 * 4);
        ASSERT_TRUE(options.count(2));
        EXPECT_EQ(Little32(options.at(2), 0), expected[i].flags);
        if (expected[i].comment)
            EXPECT_EQ(options.at(1), expected[i].comment);
        else
            EXPECT_EQ(options.count(1), 0u);
    }
}

TEST(ExportPcapng, AnOverlongCommentIsCutOnACharacterBoundary)
{
    auto record = MakeRecord({1});
    TPcapngWriter writer({"127.0.0.1", 1});
    std::string out;
    std::string comment(0xFFFB, 'a');
    comment += "あい"; // three bytes each: the cut falls inside the first
    writer.AppendPacket(out, *record, comment);
    const std::vector<Block> blocks = Blocks(out);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(Options(blocks[0].body, 20 + 32).at(1), std::string(0xFFFB, 'a'));
}

TEST(CsvField, QuotesOnlyWhatNeedsIt)
{
    const struct {
        const char* text;
        const char* field;
    } cases[] = {
        {"", ""},
        {"plain", "plain"},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"two\r\nlines", "\"two\r\nlines\""},
        {"lf\n", "\"lf\n\""},
        {"テスト", "テスト"},
        // What a spreadsheet would run as a formula opens as text.
        {"=1+1", "\"'=1+1\""},
        {"+81", "\"'+81\""},
        {"-2", "\"'-2\""},
        {"@SUM(A1)", "\"'@SUM(A1)\""},
        {"=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\""},
        {"a=b", "a=b"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CsvField(c.text), c.field) << c.text;
}

TEST_F(JapanTime, TimesAreLocalWithTheirFractions)
{
    const struct {
        std::int64_t micros;
        const char* clock;
        const char* dateTime;
    } cases[] = {
        {0, "09:00:00.000", "1970-01-01 09:00:00.000000"},
        {1'700'000'000'123'456, "07:13:20.123", "2023-11-15 07:13:20.123456"},
        {1'700'000'000'999'999, "07:13:20.999", "2023-11-15 07:13:20.999999"},
        {-1, "08:59:59.999", "1970-01-01 08:59:59.999999"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatLogClock(c.micros), c.clock) << c.micros;
        EXPECT_EQ(FormatLogDateTime(c.micros), c.dateTime) << c.micros;
    }
}

TEST_F(JapanTime, CsvHasABomAHeaderAndOneLinePerRecord)
{
    auto in = MakeRecord({0x0A, 0xFF}, tkReceived, "10.0.0.2", 6000);
    in->Time = 1'700'000'000'123'456;
    auto sent = MakeRecord({}, tkSent, "10.0.0.3", 53, "a,\"b\"");
    sent->Time = 1'700'000'001'000'000;
    auto reply = MakeRecord({0x41}, tkAutoReplySent, "10.0.0.2", 6000, "\x83\x65\x83\x58\x83\x67");
    reply->Time = 1'700'000'002'000'001;
    auto matched = MakeRecord({0x00}, tkReceivedMatched, "10.0.0.2", 6000);
    matched->Time = 0;
    // What the receive path adds: captures, a check note, an answer kept off the wire.
    auto captured = MakeRecord({0x07, 0x00}, tkReceivedMatched, "10.0.0.2", 6000, "r reg=7 id=01 02");
    captured->Time = 0;
    captured->Fields = {{"reg", "7"}, {"id", "01 02"}};
    auto refused = MakeRecord({0x01}, tkReceived, "10.0.0.2", 6000, "CRC-8: 01 received, 07 expected");
    refused->Time = 0;
    refused->Check = "CRC-8: 01 received, 07 expected";
    auto dropped = MakeRecord({0x41}, tkAutoReplySent, "10.0.0.2", 6000);
    dropped->Time = 0;
    dropped->Dropped = true;
    const std::string csv = ExportCsv(
        {in.get(), sent.get(), reply.get(), matched.get(), captured.get(), refused.get(), dropped.get()});
    EXPECT_EQ(csv, "\xEF\xBB\xBF"
                   "時刻,方向,アドレス,ポート,長さ,データ,コメント,取り込み値,チェック\r\n"
                   "2023-11-15 07:13:20.123456,受信,10.0.0.2,6000,2,0A FF,,,\r\n"
                   "2023-11-15 07:13:21.000000,送信,10.0.0.3,53,0,,\"a,\"\"b\"\"\",,\r\n"
                   "2023-11-15 07:13:22.000001,自動返信,10.0.0.2,6000,1,41,テスト,,\r\n"
                   "1970-01-01 09:00:00.000000,受信(一致),10.0.0.2,6000,1,00,,,\r\n"
                   "1970-01-01 09:00:00.000000,受信(一致),10.0.0.2,6000,2,07 00,r reg=7 id=01 02,reg=7 id=01 02,\r\n"
                   "1970-01-01 09:00:00.000000,受信,10.0.0.2,6000,1,01,\"CRC-8: 01 received, 07 expected\",,"
                   "\"CRC-8: 01 received, 07 expected\"\r\n"
                   "1970-01-01 09:00:00.000000,自動返信(破棄),10.0.0.2,6000,1,41,,,\r\n");
}

TEST_F(JapanTime, TheCopiedLineHoldsTheCsvTexts)
{
    auto reply = MakeRecord({0x41, 0x42}, tkAutoReplySent, "10.0.0.2", 6000, "\x83\x65\x83\x58\x83\x67");
    reply->Time = 1'700'000'002'000'001;
    auto in = MakeRecord({}, tkReceived, "10.0.0.9", 1);
    in->Time = 0;
    TrafficTextNames english;
    english.Received = "in";
    english.AutoReplySent = "auto";
    EXPECT_EQ(TrafficTextLines({reply.get(), in.get()}, english),
              "2023-11-15 07:13:22.000001\tauto\t10.0.0.2\t6000\t2\t41 42\tテスト\t\t\n"
              "1970-01-01 09:00:00.000000\tin\t10.0.0.9\t1\t0\t\t\t\t\n");
}

TEST(NewTrafficRecord, IsStampedWithTheWallClock)
{
    const std::uint8_t bytes[] = {1, 2, 3};
    const std::int64_t before = WallClockMicroseconds();
    auto zeroed = NewTrafficRecord(1);
    auto copied = NewTrafficRecord(bytes, 3);
    const std::int64_t after = WallClockMicroseconds();
    for (const auto* record : {zeroed.get(), copied.get()}) {
        EXPECT_GE(record->Time, before);
        EXPECT_LE(record->Time, after);
    }
    EXPECT_GT(before, 1'600'000'000'000'000) << "microseconds since 1970";
}

// Both ways of making a record agree on what a length outside the payload means.
TEST(NewTrafficRecord, FromBytesHoldsACopyAndLengthAgrees)
{
    const std::uint8_t bytes[] = {0x00, 0xFF, 0x7F, 0x80};
    const struct {
        const std::uint8_t* bytes;
        std::int32_t length;
        std::vector<std::uint8_t> data;
    } cases[] = {{bytes, 4, {0x00, 0xFF, 0x7F, 0x80}}, {bytes, 1, {0x00}}, {bytes, 0, {}}, {bytes, -3, {}},
                 {nullptr, 5, {}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        const auto record = NewTrafficRecord(c.bytes, c.length);
        EXPECT_EQ(record->Data, c.data);
        EXPECT_EQ(record->Length, static_cast<std::int32_t>(c.data.size()));
        EXPECT_EQ(NewTrafficRecord(c.length < 0 ? c.length : static_cast<std::int32_t>(c.data.size()))->Length,
                  record->Length);
    }
}

} // namespace
} // namespace vpx
