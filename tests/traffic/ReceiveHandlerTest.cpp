#include "SendTestRig.h"

#include "traffic/TrafficLogPainter.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <malloc.h>
#include <thread>
#include <tuple>

namespace vpx::test {
namespace {

// A rig with an auto-reply file written from the given lines and the switch on.
struct ReplyRig : SendRig {
    QTemporaryDir dir;

    explicit ReplyRig(const std::vector<std::string>& lines)
    {
        std::string contents;
        for (const std::string& line : lines)
            contents += line + "\r\n";
        const QString path = dir.filePath(QStringLiteral("rows.vpa"));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(contents.data(), static_cast<qint64>(contents.size()));
        f.close();
        EXPECT_TRUE(autoReply->LoadFromCommandLine(path));
        autoReply->SetAutoReply(true);
    }
};

TEST(ReceiveHandler, ReplyArrivesAndIsLoggedAfterTheReceivedRecord)
{
    ReplyRig rig({"1\t0x01, ?, *\treq\tans\t0x81, 0x00"});
    ASSERT_TRUE(rig.PeerSends(Bytes({0x01, 0x02, 0x03}), 2));
    EXPECT_EQ(rig.PeerReceive(), Bytes({0x81, 0x00}));
    ASSERT_EQ(rig.Count(), 2);
    const TTrafficRecord& in = rig.At(0);
    EXPECT_EQ(in.Kind, tkReceivedMatched);
    EXPECT_EQ(in.Comment, "req");
    EXPECT_EQ(RecordBytes(in), Bytes({1, 2, 3}));
    EXPECT_EQ(in.PeerAddress, "127.0.0.1");
    EXPECT_EQ(in.PeerPort, rig.peer.Port());
    const TTrafficRecord& out = rig.At(1);
    EXPECT_EQ(out.Kind, tkAutoReplySent);
    EXPECT_EQ(out.Comment, "ans");
    EXPECT_EQ(RecordBytes(out), Bytes({0x81, 0x00}));

    // One byte does not fit "01, ?": logged as plain received, no reply.
    ASSERT_TRUE(rig.PeerSends(Bytes({0x01}), 3));
    EXPECT_EQ(rig.Last().Kind, tkReceived);
    EXPECT_EQ(rig.Last().Comment, "");
    EXPECT_TRUE(rig.PeerQuiet());
}

TEST(ReceiveHandler, FirstEnabledRowWinsAndUncheckingHandsOver)
{
    ReplyRig rig({"1\t01, *\tfirst\ta\t0xA1", "1\t*\tsecond\tb\t0xB2"});
    ASSERT_TRUE(rig.PeerSends(Bytes({1, 9}), 2));
    EXPECT_EQ(rig.PeerReceive(), Bytes({0xA1}));
    EXPECT_EQ(rig.At(0).Comment, "first");
    EXPECT_TRUE(rig.PeerQuiet()); // only one reply

    TAutoReplyModel& model = rig.autoReply->Model();
    ASSERT_TRUE(model.setData(model.index(0, 0), Qt::Unchecked, Qt::CheckStateRole));
    ASSERT_TRUE(rig.PeerSends(Bytes({1, 9}), 4));
    EXPECT_EQ(rig.PeerReceive(), Bytes({0xB2}));
    EXPECT_EQ(rig.At(2).Comment, "second");
    EXPECT_EQ(rig.At(3).Comment, "b");
}

TEST(ReceiveHandler, LookupRowSendsTheFirstCommandInTreeOrder)
{
    ReplyRig rig({"0\t01\tping\tPING", "0\t02\tmissing\tNOSUCH", "0\t03\tempty\tEMPTY", "0\t04\tbare",
                  "1\t05\tdirect\tnothing\t"});
    CommandNode* group = rig.tree.AddGroup(nullptr, "PING group");
    rig.tree.AddCommand(group, "PING2", {"S2", 0, -1});
    rig.tree.AddCommand(nullptr, "PING", {"0xEE", 0, -1});
    rig.tree.AddCommand(nullptr, "EMPTY", {"", 0, -1});
    rig.tree.AddCommand(nullptr, "EMPTY too", {"0xEF", 0, -1});

    rig.send->SetDefaultByteOrder(1);
    ASSERT_TRUE(rig.PeerSends(Bytes({1}), 2));
    EXPECT_EQ(rig.PeerReceive(), Bytes({0x00, 0x02})); // PING2, by the default byte order
    EXPECT_EQ(rig.At(1).Comment, "PING2");
    EXPECT_EQ(rig.At(1).Kind, tkAutoReplySent);
    rig.send->SetDefaultByteOrder(0);
    ASSERT_TRUE(rig.PeerSends(Bytes({1}), 4));
    EXPECT_EQ(rig.PeerReceive(), Bytes({0x02, 0x00})); // follows the default at reply time

    // No such command, an empty first command, no command name, an empty reply:
    // the match is logged with its comment and nothing is sent.
    int count = 4;
    for (const auto& [byte, comment] : {std::pair{2, "missing"}, {3, "empty"}, {4, "bare"}, {5, "direct"}}) {
        SCOPED_TRACE(comment);
        ASSERT_TRUE(rig.PeerSends(Bytes({byte}), ++count));
        EXPECT_EQ(rig.Last().Kind, tkReceivedMatched);
        EXPECT_EQ(rig.Last().Comment, comment);
    }
    EXPECT_TRUE(rig.PeerQuiet());
    EXPECT_EQ(rig.Count(), count);
}

TEST(ReceiveHandler, LookupRowCommandWithItsOwnByteOrderAndTextMode)
{
    ReplyRig rig({"0\t01\t\tBIG", "0\t02\t\tTEXT"});
    rig.tree.AddCommand(nullptr, "BIG", {"S1", 0, 1});
    rig.tree.AddCommand(nullptr, "TEXT", {"%LENS,1", 1, -1});
    ASSERT_TRUE(rig.PeerSends(Bytes({1}), 2));
    EXPECT_EQ(rig.PeerReceive(), Bytes({0, 1}));
    ASSERT_TRUE(rig.PeerSends(Bytes({2}), 4));
    EXPECT_EQ(rig.PeerReceive(), "%LENS,1");
}

TEST(ReceiveHandler, PatternAndReplyMayCarryCrcFields)
{
    // Modbus "read holding registers" from any unit, answered with a framed reply.
    ReplyRig rig({"1\t?, 0x03, 0x00, 0x00, 0x00, 0x0A, %CRCS, 0xC5, 0xCD, %CRCE(CRC-8)\tread\t\t"
                  "%CRCS, 0x01, 0x03, 0x00, %LCRCE(CRC-16/MODBUS)"});
    ASSERT_TRUE(rig.PeerSends(Bytes({0x01, 0x03, 0x00, 0x00, 0x00, 0x0A, 0xC5, 0xCD, 0xC1}), 2));
    EXPECT_EQ(rig.At(0).Comment, "read");
    EXPECT_EQ(rig.PeerReceive(), Bytes({0x01, 0x03, 0x00, 0x20, 0xF0}));
}

// What a row captures or checks shapes both the log and the reply.
struct TemplateCase {
    const char* name;
    std::vector<std::string> rows;
    std::vector<std::tuple<const char*, const char*, std::uint8_t>> commands; // name, text, mode
    std::string datagram;
    std::vector<std::string> replies;   // at the peer
    std::vector<QString> logged;        // each record's comment column, in order
};

class ReceiveTemplates : public ::testing::TestWithParam<TemplateCase> {};

TEST_P(ReceiveTemplates, LogAndAnswer)
{
    const TemplateCase& c = GetParam();
    ReplyRig rig(c.rows);
    for (const auto& [name, text, mode] : c.commands)
        rig.tree.AddCommand(nullptr, name, {text, mode, -1});
    ASSERT_TRUE(rig.PeerSends(c.datagram, static_cast<int>(c.logged.size())));
    for (const std::string& reply : c.replies)
        EXPECT_EQ(rig.PeerReceive(), reply);
    EXPECT_TRUE(rig.PeerQuiet());
    ASSERT_EQ(rig.Count(), static_cast<int>(c.logged.size()));
    for (int i = 0; i < rig.Count(); ++i)
        EXPECT_EQ(LogCommentText(rig.At(i)), c.logged[static_cast<std::size_t>(i)]) << i;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReceiveTemplates,
    ::testing::Values(
        // A lookup row's notation command is a template of the row's captures and counter.
        TemplateCase{"LookupFillsCaptures", {"0\t0x05, ?{id}\tq\tECHO"}, {{"ECHO", "0x85, {id}, {#}", 0}},
                     Bytes({5, 9}), {Bytes({0x85, 9, 0})}, {QStringLiteral("q id=09"), QStringLiteral("ECHO")}},
        // In text mode it goes out as it stands.
        TemplateCase{"LookupTextAsItStands", {"0\t0x05, ?{id}\t\tECHO"}, {{"ECHO", "{id}", 1}}, Bytes({5, 9}),
                     {"{id}"}, {QStringLiteral("id=09"), QStringLiteral("ECHO")}},
        TemplateCase{"DropLogsWithoutSending", {"1\t*\tin\tans\t%DROP(100), 0x41"}, {}, Bytes({1}), {},
                     {QStringLiteral("in"), QStringLiteral("ans（破棄）")}},
        TemplateCase{"DupLogsEveryCopy", {"1\t*\tin\tans\t%DUP(2), 0x41"}, {}, Bytes({1}), {"A", "A"},
                     {QStringLiteral("in"), QStringLiteral("ans"), QStringLiteral("ans")}},
        // The nearest row refused only the check: unmatched, with the note.
        TemplateCase{"CheckNoteOnTheNearestRow",
                     {"1\t0x09\tnine\t\t0x99", "1\t%XORS, ?{a}, %XORE\tx\t\t0x01", "1\t%ADDS, ?, %ADDE\ty\t\t0x02"},
                     {}, Bytes({5, 4}), {}, {QStringLiteral("XOR: 04 received, 05 expected")}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReceiveHandler, DirectReplyIsLittleEndianWhateverTheDefault)
{
    ReplyRig rig({"1\t*\t\t\tS1, BS2"});
    rig.send->SetDefaultByteOrder(1);
    ASSERT_TRUE(rig.PeerSends(Bytes({7}), 2));
    EXPECT_EQ(rig.PeerReceive(), Bytes({1, 0, 0, 2}));
}

TEST(ReceiveHandler, AutoReplyOffLogsReceivedOnly)
{
    ReplyRig rig({"1\t*\treq\tans\t0x81"});
    rig.autoReply->SetAutoReply(false);
    ASSERT_TRUE(rig.PeerSends(Bytes({1, 2}), 1));
    EXPECT_EQ(rig.Last().Kind, tkReceived);
    EXPECT_EQ(rig.Last().Comment, "");
    EXPECT_EQ(RecordBytes(rig.Last()), Bytes({1, 2}));
    EXPECT_TRUE(rig.PeerQuiet());
    EXPECT_EQ(rig.Count(), 1);
}

TEST(ReceiveHandler, RepliesGoToTheToolBarsEndpointNotToTheSender)
{
    ReplyRig rig({"1\t*\t\t\t0x55"});
    Peer other;
    rig.port = other.Port();
    ASSERT_TRUE(rig.PeerSends(Bytes({1}), 2));
    std::string bytes;
    std::uint16_t from = 0;
    ASSERT_TRUE(other.Receive(bytes, from));
    EXPECT_EQ(bytes, Bytes({0x55}));
    EXPECT_EQ(rig.Last().PeerPort, other.Port());
    EXPECT_EQ(rig.At(0).PeerPort, rig.peer.Port());
    EXPECT_TRUE(rig.PeerQuiet());
}

TEST(ReceiveHandler, ZeroSizeAndEmptyReadsLogNothing)
{
    SendRig rig;
    rig.receive->UDPControlReceive(rig.udp, 0);
    rig.receive->UDPControlReceive(rig.udp, -5);
    rig.receive->UDPControlReceive(rig.udp, 10); // nothing waiting: the read gives 0
    rig.peer.SendTo(rig.LocalPort(), std::string());
    EXPECT_TRUE(rig.PeerSends(Bytes({9}), 1));
    EXPECT_EQ(rig.Count(), 1);
}

TEST(ReceiveHandler, FailingReadLogsNothingAndFailingReplyKeepsTheReceivedRecord)
{
    ReplyRig rig({"1\t*\treq\tans\t0x81"});
    rig.peer.SendTo(rig.LocalPort(), Bytes({1, 2, 3}));
    // The datagram is waiting; the component has not announced it yet.
    QElapsedTimer timer;
    timer.start();
    while (rig.udp.PendingSize() == 0 && timer.elapsed() < 5000)
        std::this_thread::yield();
    ASSERT_EQ(rig.udp.PendingSize(), 3);
    EXPECT_THROW(rig.receive->UDPControlReceive(rig.udp, 1), std::exception); // too small a buffer
    EXPECT_EQ(rig.Count(), 0);

    // A reply that cannot be sent leaves by exception after the match was logged;
    // the component shows it.
    rig.address.clear();
    ASSERT_TRUE(rig.PeerSends(Bytes({4}), 1));
    ASSERT_TRUE(WaitUntil([&] { return !rig.prompts.messages.empty(); }));
    EXPECT_EQ(rig.Count(), 1);
    EXPECT_EQ(rig.Last().Kind, tkReceivedMatched);
    EXPECT_EQ(rig.prompts.messages[0].icon, PromptIcon::Error);
}

// Under a flood every datagram the socket delivered is logged and answered, the
// event loop keeps running, and the log's memory stays bounded.
TEST(ReceiveHandler, Flood)
{
    ReplyRig rig({"1\t*\tin\tout\t0x06"});
    // Room for the replies at the peer while its reader waits for a core.
    const int wanted = 4 * 1024 * 1024;
    ws::setsockopt(rig.peer.Socket(), ws::WS_SOL_SOCKET, ws::WS_SO_RCVBUF, &wanted, sizeof wanted);
    std::atomic<int> repliesAtPeer{0};
    std::atomic<bool> stop{false};
    int received = 0, replies = 0, outOfOrder = 0;
    QObject::connect(&rig.log.Model(), &TTrafficLogModel::RecordAppended, [&] {
        const TTrafficRecord& r = rig.Last();
        if (r.Kind == tkReceivedMatched)
            ++received;
        else if (r.Kind == tkAutoReplySent && ++replies != received)
            ++outOfOrder;
    });
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(1);

    auto flood = [&](int count) {
        std::atomic<bool> sent{false};
        std::thread reader([&] {
            // Drains the replies so that none are lost at the peer's end.
            char buf[16];
            while (!stop.load()) {
                ws::fd_set set;
                ws::fd_add(rig.peer.Socket(), set);
                const ws::TIMEVAL tv{0, 20000};
                if (ws::select(0, &set, nullptr, nullptr, &tv) <= 0)
                    continue;
                while (ws::recvfrom(rig.peer.Socket(), buf, sizeof buf, ws::WS_MSG_DONTWAIT, nullptr, nullptr) == 1 &&
                       buf[0] == 0x06)
                    ++repliesAtPeer;
            }
        });
        Peer sender;
        const std::uint16_t target = rig.LocalPort();
        std::thread writer([&] {
            for (int i = 0; i < count; ++i)
                sender.SendTo(target, Bytes({i & 0xFF, 0xA5}));
            sent.store(true);
        });
        const int ticksBefore = ticks;
        const bool drained = WaitUntil(
            [&] {
                return sent.load() && rig.udp.PendingSize() == 0 && replies == received &&
                       repliesAtPeer.load() == replies;
            },
            20000);
        writer.join();
        // Anything still in flight is taken in before the counts are compared.
        WaitUntil([&] { return false; }, 100);
        stop.store(true);
        reader.join();
        stop.store(false);
        EXPECT_TRUE(drained);
        EXPECT_GT(ticks, ticksBefore); // the timer kept firing during the flood
    };

    flood(20000);
    RecordProperty("received", received);
    std::printf("flood: %d of 20000 datagrams delivered\n", received);
    EXPECT_GT(received, 0);
    EXPECT_EQ(replies, received);
    EXPECT_EQ(repliesAtPeer.load(), received);
    EXPECT_EQ(outOfOrder, 0);
    EXPECT_EQ(rig.Count(), std::min(1000, 2 * received));
    EXPECT_TRUE(rig.prompts.messages.empty());

    // A second flood of the same size leaves the heap where the first one left it:
    // records beyond the cap are released, nothing accumulates per datagram.
    const auto inUse = [] { return mallinfo2().uordblks; };
    const std::size_t afterFirst = inUse();
    const int firstReceived = received;
    flood(20000);
    EXPECT_EQ(replies, received);
    EXPECT_EQ(repliesAtPeer.load(), received);
    EXPECT_EQ(rig.Count(), 1000);
    const std::size_t afterSecond = inUse();
    const std::size_t growth = afterSecond > afterFirst ? afterSecond - afterFirst : 0;
    // A leak of only the records (at least 80 bytes each) would exceed this.
    EXPECT_LT(growth, static_cast<std::size_t>(std::max(64 * 1024, (received - firstReceived) * 40)))
        << "received " << received - firstReceived << " in the second flood";
}

} // namespace
} // namespace vpx::test
