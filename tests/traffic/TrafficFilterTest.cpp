#include "traffic/TrafficFilter.h"

#include "TrafficTestUtil.h"

#include <gtest/gtest.h>

namespace vpx {
namespace {

using test::MakeRecord;

TrafficFilterCriteria Criteria(TrafficDirection direction, const std::string& address = {},
                               std::optional<std::uint16_t> port = std::nullopt, const AnsiString& comment = {},
                               const AnsiString& pattern = {})
{
    return {direction, address, port, comment, pattern};
}

TEST(TrafficFilter, PassesWhatEveryCriterionAllows)
{
    const auto received = MakeRecord({0x02, 0x10, 0x03}, tkReceived, "192.168.1.20", 5000);
    const auto matched = MakeRecord({0x02, 0x11}, tkReceivedMatched, "192.168.1.20", 5000, "\x8E\xF3\x90\x4D"); // 受信
    const auto sent = MakeRecord({0x01}, tkSent, "10.0.0.5", 53, "ping");
    const auto reply = MakeRecord({0x06, 0x02}, tkAutoReplySent, "192.168.1.20", 5001, "ack \x8E\xF3\x90\x4D");
    const auto empty = MakeRecord({}, tkReceived, "10.0.0.5", 53);
    const TTrafficRecord* records[] = {received.get(), matched.get(), sent.get(), reply.get(), empty.get()};

    const struct {
        const char* what;
        TrafficFilterCriteria criteria;
        const char* passes; // one letter per record: received, matched, sent, reply, empty
    } cases[] = {
        {"nothing asked", Criteria(TrafficDirection::All), "yyyyy"},
        {"received", Criteria(TrafficDirection::Received), "yynny"},
        {"sent", Criteria(TrafficDirection::Sent), "nnynn"},
        {"auto-reply", Criteria(TrafficDirection::AutoReply), "nnnyn"},
        {"address part", Criteria(TrafficDirection::All, "168.1."), "yynyn"},
        {"whole address", Criteria(TrafficDirection::All, "10.0.0.5"), "nnyny"},
        {"port", Criteria(TrafficDirection::All, {}, 5000), "yynnn"},
        {"port 0", Criteria(TrafficDirection::All, {}, 0), "nnnnn"},
        {"address and port", Criteria(TrafficDirection::All, "192.", 5001), "nnnyn"},
        {"comment", Criteria(TrafficDirection::All, {}, {}, "\x8E\xF3\x90\x4D"), "nynyn"},
        // 0x90 0x4D is the second character of the comment; "M" (0x4D) alone is a trail byte there.
        {"comment trail byte", Criteria(TrafficDirection::All, {}, {}, "M"), "nnnnn"},
        {"pattern prefix", Criteria(TrafficDirection::All, {}, {}, {}, "0x02, ?, *"), "yynnn"},
        {"pattern whole", Criteria(TrafficDirection::All, {}, {}, {}, "0x02, 0x11"), "nynnn"},
        {"pattern any run", Criteria(TrafficDirection::All, {}, {}, {}, "*, 0x02"), "nnnyn"},
        {"pattern one byte", Criteria(TrafficDirection::All, {}, {}, {}, "?"), "nnynn"},
        {"blank pattern", Criteria(TrafficDirection::All, {}, {}, {}, "  "), "yyyyy"},
        {"all at once", Criteria(TrafficDirection::Received, "192", 5000, "\x8E\xF3", "2,*"), "nynnn"},
    };
    for (const auto& c : cases) {
        TTrafficFilter filter;
        ASSERT_FALSE(filter.SetCriteria(c.criteria)) << c.what;
        std::string got;
        for (const TTrafficRecord* r : records)
            got += filter.Accepts(*r) ? 'y' : 'n';
        EXPECT_EQ(got, c.passes) << c.what;
        const std::string what = c.what;
        EXPECT_EQ(filter.Active(), what != "nothing asked" && what != "blank pattern") << c.what;
    }
}

TEST(TrafficFilter, ABadPatternSaysWhereAndKeepsTheFilterAsItWas)
{
    const struct {
        const char* pattern;
        std::size_t position;
    } cases[] = {
        {"0x02, ?, zz", 10},
        {"zz", 1},
        {"1,,2", 3},
        {"\"\x82\xA0\", zz", 6}, // あ counts as one character
        {"0x100", 1},
    };
    const auto record = MakeRecord({0x07}, tkSent);
    for (const auto& c : cases) {
        TTrafficFilter filter;
        ASSERT_FALSE(filter.SetCriteria(Criteria(TrafficDirection::Received)));
        EXPECT_EQ(filter.SetCriteria(Criteria(TrafficDirection::All, {}, {}, {}, c.pattern)), c.position)
            << c.pattern;
        EXPECT_TRUE(filter.Active()) << c.pattern;
        EXPECT_FALSE(filter.Accepts(*record)) << "still only received records: " << c.pattern;
    }
}

TEST(TrafficFilter, ResetLetsEverythingThrough)
{
    TTrafficFilter filter;
    ASSERT_FALSE(filter.SetCriteria(Criteria(TrafficDirection::Sent)));
    filter.Reset();
    EXPECT_FALSE(filter.Active());
    EXPECT_TRUE(filter.Accepts(*MakeRecord({1}, tkReceived)));
}

// The index kept one append at a time against the index built from scratch,
// through the log's growth, its cap and a clear, for filters passing few, some
// and all records.
TEST(TrafficFilterIndex, FollowsTheLogAppendByAppend)
{
    const struct {
        const char* what;
        TrafficFilterCriteria criteria;
    } cases[] = {
        {"every third", Criteria(TrafficDirection::All, {}, {}, {}, "0, *")},
        {"sent", Criteria(TrafficDirection::Sent)},
        {"none", Criteria(TrafficDirection::All, {}, 9)},
        {"all", Criteria(TrafficDirection::All)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TTrafficFilter filter;
        ASSERT_FALSE(filter.SetCriteria(c.criteria));
        TTrafficLog log;
        TTrafficFilterIndex index;
        for (int i = 0; i < 2 * MaxLogRecords + 500; ++i) {
            if (i == MaxLogRecords + 700) {
                log.ClearTrafficLog();
                index.Clear();
            }
            const bool dropped = log.AddTrafficRecord(
                MakeRecord({static_cast<std::uint8_t>(i % 3), 1}, static_cast<std::uint8_t>(i % 4)));
            const auto change = index.Appended(log, dropped, filter);
            EXPECT_EQ(change.appended, filter.Accepts(*log.Record(log.Count() - 1)));
            if (i % 97 != 0 && i != 2 * MaxLogRecords + 499)
                continue;
            TTrafficFilterIndex fresh;
            fresh.Rebuild(log, filter);
            ASSERT_EQ(index.Count(), fresh.Count()) << "after append " << i;
            for (int row = 0; row < index.Count(); ++row) {
                ASSERT_EQ(index.LogRow(row), fresh.LogRow(row)) << "after append " << i;
                ASSERT_EQ(index.ShownRow(index.LogRow(row)), row);
            }
        }
    }
}

TEST(TrafficFilterIndex, TellsWhenTheFirstShownRowDropsOut)
{
    TTrafficFilter filter;
    ASSERT_FALSE(filter.SetCriteria(Criteria(TrafficDirection::Sent)));
    TTrafficLog log;
    TTrafficFilterIndex index;
    index.Appended(log, log.AddTrafficRecord(MakeRecord({1}, tkSent)), filter);
    for (int i = 1; i < MaxLogRecords; ++i)
        index.Appended(log, log.AddTrafficRecord(MakeRecord({1}, tkReceived)), filter);
    ASSERT_EQ(index.Count(), 1);
    EXPECT_EQ(index.ShownRow(1), -1);
    EXPECT_EQ(index.LogRow(1), -1);
    const auto change = index.Appended(log, log.AddTrafficRecord(MakeRecord({1}, tkReceived)), filter);
    EXPECT_TRUE(change.droppedFirst);
    EXPECT_FALSE(change.appended);
    EXPECT_EQ(index.Count(), 0);
}

} // namespace
} // namespace vpx
