#include "SendTestRig.h"

#include "traffic/AutoReplyTable.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <thread>

namespace vpx::test {
namespace {

constexpr int kMaxDatagram = 65507;

// A rig whose auto-reply table comes from a file written from `contents`, switch on.
struct FaultRig : SendRig {
    QTemporaryDir dir;

    explicit FaultRig(const std::string& contents)
    {
        const QString path = dir.filePath(QStringLiteral("rows.vpa"));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contents.data(), static_cast<qint64>(contents.size()));
        f.close();
        EXPECT_TRUE(autoReply->LoadFromCommandLine(path));
        autoReply->SetAutoReply(true);
    }
};

std::string Numbered(std::size_t size, int seed)
{
    std::string s(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        s[i] = static_cast<char>((i + static_cast<std::size_t>(seed)) & 0xFF);
    return s;
}

TEST(TrafficFaults, ReceivedDatagramsAtTheSizeEdgesAreLoggedAndAnswered)
{
    FaultRig rig("1\t*\tin\tout\t0x06\r\n");
    // An empty datagram is neither logged nor answered; the next one is.
    rig.peer.SendTo(rig.LocalPort(), std::string());
    ASSERT_TRUE(rig.PeerSends(Numbered(1, 9), 2));
    EXPECT_EQ(rig.PeerReceive(), Bytes({0x06}));
    EXPECT_EQ(RecordBytes(rig.At(0)), Numbered(1, 9));
    EXPECT_EQ(rig.At(0).Kind, tkReceivedMatched);

    const std::string largest = Numbered(kMaxDatagram, 1);
    ASSERT_TRUE(rig.PeerSends(largest, 4));
    EXPECT_EQ(rig.PeerReceive(), Bytes({0x06}));
    EXPECT_EQ(rig.At(2).Length, kMaxDatagram);
    EXPECT_TRUE(RecordBytes(rig.At(2)) == largest);
    EXPECT_EQ(rig.At(3).Kind, tkAutoReplySent);
    EXPECT_TRUE(rig.prompts.messages.empty());
}

// Datagrams of 64 KB as fast as a sender can make them, until more than the
// log holds got through: whatever the socket delivers is logged whole, the log
// stays at its cap, the event loop keeps running.
TEST(TrafficFaults, FloodOfLargestDatagrams)
{
    FaultRig rig("1\t*\tin\tout\t0x06\r\n");
    constexpr int kMaxCount = 30000, kEnough = 1100;
    std::atomic<int> received{0};
    int damaged = 0;
    QObject::connect(&rig.log.Model(), &TTrafficLogModel::RecordAppended, [&] {
        const TTrafficRecord& r = rig.Last();
        if (r.Kind != tkReceivedMatched)
            return;
        ++received;
        // Every datagram carries its sequence number in its first two bytes and
        // the numbered pattern after them.
        const std::size_t size = PayloadSize(r);
        const int seq = r.Data[0] | (r.Data[1] << 8);
        if (size != static_cast<std::size_t>(kMaxDatagram) || r.Data[size - 1] != ((size - 1 + seq) & 0xFF))
            ++damaged;
    });
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(1);

    std::atomic<bool> sent{false};
    std::atomic<int> count{0};
    Peer sender;
    const std::uint16_t target = rig.LocalPort();
    std::thread writer([&] {
        std::string datagram = Numbered(kMaxDatagram, 0);
        QElapsedTimer sending;
        sending.start();
        for (int i = 0; i < kMaxCount && received.load() < kEnough && sending.elapsed() < 10000; ++i) {
            for (std::size_t k = 0; k < datagram.size(); ++k)
                datagram[k] = static_cast<char>((k + static_cast<std::size_t>(i)) & 0xFF);
            datagram[0] = static_cast<char>(i & 0xFF);
            datagram[1] = static_cast<char>(i >> 8);
            sender.SendTo(target, datagram);
            ++count;
        }
        sent.store(true);
    });
    QElapsedTimer elapsed;
    elapsed.start();
    const bool drained = WaitUntil([&] { return sent.load() && rig.udp.PendingSize() == 0; }, 20000);
    writer.join();
    WaitUntil([] { return false; }, 100); // what was still on its way
    std::printf("64 KB flood: %d of %d datagrams delivered in %lld ms\n", received.load(), count.load(),
                static_cast<long long>(elapsed.elapsed()));
    EXPECT_TRUE(drained);
    EXPECT_GE(received.load(), kEnough);
    EXPECT_LE(received.load(), count.load());
    EXPECT_EQ(damaged, 0);
    EXPECT_GT(ticks, 0);
    EXPECT_EQ(rig.Count(), 1000);
    EXPECT_TRUE(rig.prompts.messages.empty());
}

// 10,000 rows, a catch-all in the middle: rows before it still win for their
// own data, every datagram after it goes to the catch-all, and unchecking the
// catch-all hands the later rows their datagrams back.
TEST(TrafficFaults, TenThousandRowsKeepTheirOrder)
{
    constexpr int kRows = 10000, kStar = 5000;
    std::string contents;
    for (int i = 0; i < kRows; ++i) {
        char line[96];
        if (i == kStar)
            std::snprintf(line, sizeof line, "1\t*\tstar\tstar-out\t0xEE\r\n");
        else
            std::snprintf(line, sizeof line, "1\tBUS%d, *\tin%d\tout%d\t0x%02X, 0x%02X\r\n", i, i, i, i >> 8,
                          i & 0xFF);
        contents += line;
    }
    // A row equal to an earlier one never wins over it.
    contents += "1\tBUS7, *\tlate\tlate-out\t0xFF\r\n";
    FaultRig rig(contents);
    const TAutoReplyTable& table = rig.autoReply->Table();
    ASSERT_EQ(table.Count(), kRows + 1);

    const auto probe = [&](int value) {
        const std::vector<std::int32_t> data{(value >> 8) & 0xFF, value & 0xFF, 0x11};
        const TAutoReplyRow* row = table.FindMatchingRow(data);
        return row ? row->ReceiveComment : AnsiString("(none)");
    };
    EXPECT_EQ(probe(0), "in0");
    EXPECT_EQ(probe(7), "in7");
    EXPECT_EQ(probe(kStar - 1), "in4999");
    EXPECT_EQ(probe(kStar + 1), "star");
    EXPECT_EQ(probe(kRows - 1), "star");

    // Through the socket: the reply of the first matching row goes out.
    ASSERT_TRUE(rig.PeerSends(Bytes({0x00, 0x07}), 2));
    EXPECT_EQ(rig.At(0).Comment, "in7");
    EXPECT_EQ(rig.PeerReceive(), Bytes({0x00, 0x07}));
    TAutoReplyModel& model = rig.autoReply->Model();
    ASSERT_TRUE(model.setData(model.index(kStar, 0), Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_EQ(probe(kRows - 1), "in9999");
    ASSERT_TRUE(rig.PeerSends(Bytes({0x27, 0x0F}), 4));
    EXPECT_EQ(rig.At(2).Comment, "in9999");
    EXPECT_EQ(rig.PeerReceive(), Bytes({0x27, 0x0F}));
}

// The box's history holds at most 32768 bytes, one per entry for its end. The
// box itself takes at most 32767 characters, so the edge is reached with
// single-byte text and crossed only with double-byte text: a line of 32767 bytes
// fills the history exactly, one of 32768 bytes is sent but not kept, and one
// longer than a datagram can be is refused with a message and kept out.
TEST(TrafficFaults, HistoryAtItsByteEdge)
{
    SendRig rig;
    rig.send->SetSendMode(1);
    const QString fits(32767, QLatin1Char('a'));
    rig.TypeAndEnter(fits);
    EXPECT_EQ(rig.PeerReceive().size(), 32767u);
    ASSERT_EQ(rig.cboCommand.count(), 1);
    EXPECT_EQ(rig.cboCommand.itemText(0), fits);
    EXPECT_EQ(rig.send->History().Bytes(), 32768u);

    const QString over = QStringLiteral("あ").repeated(16384); // 32768 bytes in code page 932
    rig.TypeAndEnter(over);
    EXPECT_EQ(rig.PeerReceive().size(), 32768u);
    EXPECT_EQ(rig.Count(), 2);
    ASSERT_EQ(rig.cboCommand.count(), 1);
    EXPECT_EQ(rig.cboCommand.itemText(0), fits);
    EXPECT_EQ(rig.cboCommand.currentText(), over); // what was typed stays in the box

    rig.TypeAndEnter(QStringLiteral("s"));
    EXPECT_EQ(rig.PeerReceive(), "s");
    ASSERT_EQ(rig.cboCommand.count(), 1); // the short entry pushed the full one out
    EXPECT_EQ(rig.cboCommand.itemText(0), QStringLiteral("s"));

    const QString tooLong = QStringLiteral("あ").repeated((kMaxDatagram + 1) / 2 + 1); // 65508 bytes
    rig.TypeAndEnter(tooLong);
    EXPECT_EQ(rig.Count(), 3);
    ASSERT_EQ(rig.prompts.messages.size(), 1u);
    EXPECT_EQ(rig.prompts.messages[0].icon, PromptIcon::Error);
    ASSERT_EQ(rig.cboCommand.count(), 1);
    EXPECT_EQ(rig.cboCommand.itemText(0), QStringLiteral("s"));
    EXPECT_TRUE(rig.PeerQuiet());
}

} // namespace
} // namespace vpx::test
