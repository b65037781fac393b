#include "transport/UDPCtrl.h"
#include "transport/UDPErrs.h"

#include "TransportTestUtil.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace vpx {
namespace {

using test::BoundPort;
using test::Peer;
using test::WaitUntil;

std::string Pattern(std::size_t size, int seed)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i + static_cast<std::size_t>(seed)) % 251);
    return bytes;
}

std::string Bytes(const TCustomUDPSock::TDatagram& d)
{
    return std::string(reinterpret_cast<const char*>(d.Data), static_cast<std::size_t>(d.Size));
}

// An open port and a peer on 127.0.0.1 that has sent it `texts`, in order.
struct PortWithWaiting {
    Peer peer;
    TUDPControl udp;
    explicit PortWithWaiting(std::initializer_list<const char*> texts)
    {
        udp.Open();
        for (const char* text : texts)
            peer.SendTo(BoundPort(udp.Socket()), text);
    }
};

// Loopback hands a datagram to the receiving socket before sendto returns, so
// everything sent below is waiting by the time it is fetched.
TEST(FetchDatagrams, TakesEverythingWaitingInOneReadInArrivalOrder)
{
    Peer first, second;
    TUDPControl udp;
    udp.Open();
    const std::uint16_t myPort = BoundPort(udp.Socket());
    const struct {
        Peer* from;
        std::size_t size;
    } sent[] = {{&first, 5}, {&second, 0}, {&first, 1}, {&second, TCustomUDPSock::MaxDatagram}, {&first, 512}};
    std::vector<std::string> payloads;
    for (std::size_t i = 0; i < std::size(sent); ++i) {
        payloads.push_back(Pattern(sent[i].size, static_cast<int>(i)));
        ASSERT_EQ(sent[i].from->SendTo(myPort, payloads.back()), static_cast<int>(sent[i].size));
    }

    ASSERT_EQ(udp.FetchDatagrams(ws::MaxDatagramSlots), static_cast<std::int32_t>(std::size(sent)));
    for (std::size_t i = 0; i < std::size(sent); ++i) {
        const TCustomUDPSock::TDatagram* d = udp.NextDatagram();
        ASSERT_NE(d, nullptr) << i;
        EXPECT_EQ(Bytes(*d), payloads[i]) << i;
        EXPECT_EQ(d->Address, "127.0.0.1");
        EXPECT_EQ(d->Port, sent[i].from->Port()) << i;
    }
    EXPECT_EQ(udp.NextDatagram(), nullptr);
    EXPECT_EQ(udp.FetchDatagrams(ws::MaxDatagramSlots), 0); // dry, and no exception
}

TEST(FetchDatagrams, NoNewReadUntilEveryFetchedOneIsTaken)
{
    PortWithWaiting waiting({"1", "2", "3", "4", "5"});
    TUDPControl& udp = waiting.udp;
    ASSERT_EQ(udp.FetchDatagrams(2), 2);
    EXPECT_EQ(Bytes(*udp.NextDatagram()), "1");
    EXPECT_EQ(udp.FetchDatagrams(ws::MaxDatagramSlots), 1); // the one left, not a new batch
    EXPECT_EQ(Bytes(*udp.NextDatagram()), "2");
    EXPECT_EQ(udp.NextDatagram(), nullptr);
    ASSERT_EQ(udp.FetchDatagrams(ws::MaxDatagramSlots), 3);
    for (const char* text : {"3", "4", "5"})
        EXPECT_EQ(Bytes(*udp.NextDatagram()), text);
}

// Whatever read comes after a fetch sees the fetched datagrams first, so a
// caller mixing the two never takes them out of order.
TEST(FetchDatagrams, EveryOtherReadSeesTheFetchedOnesFirst)
{
    using Read = std::function<std::string(TUDPControl&)>;
    // The bytes a read of up to 16 gave, with the sender when asked for.
    const auto read = [](auto how, bool withSender = false) -> Read {
        return [how, withSender](TUDPControl& u) {
            char buf[16];
            AnsiString address;
            std::uint16_t port = 0;
            const int n = how(u, buf, address, port);
            return std::string(buf, static_cast<std::size_t>(n)) + (withSender ? "@" + address : "");
        };
    };
    const struct {
        const char* name;
        Read read;
        const char* next; // what NextDatagram gives after that read
    } cases[] = {
        {"PendingSize", [](TUDPControl& u) { return std::to_string(u.PendingSize()); }, "first"},
        {"Receive",
         read([](TUDPControl& u, char* b, AnsiString& a, std::uint16_t& p) { return u.Receive(b, 16, a, p, false); },
              true),
         "second"},
        {"ReceivePeek",
         read([](TUDPControl& u, char* b, AnsiString& a, std::uint16_t& p) { return u.Receive(b, 16, a, p, true); }),
         "first"},
        {"ReceiveNext",
         read([](TUDPControl& u, char* b, AnsiString& a, std::uint16_t& p) { return u.ReceiveNext(b, 16, a, p); }),
         "second"},
    };
    const std::string expected[] = {"5", "first@127.0.0.1", "first", "first"};
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].name);
        PortWithWaiting waiting({"first", "second", "third"});
        TUDPControl& udp = waiting.udp;
        ASSERT_EQ(udp.FetchDatagrams(2), 2);
        EXPECT_EQ(cases[i].read(udp), expected[i]);
        const TCustomUDPSock::TDatagram* d = udp.NextDatagram();
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(Bytes(*d), cases[i].next);
    }
}

TEST(FetchDatagrams, ClosingDropsWhatWasFetched)
{
    PortWithWaiting waiting({"a", "b"});
    TUDPControl& udp = waiting.udp;
    ASSERT_EQ(udp.FetchDatagrams(ws::MaxDatagramSlots), 2);
    udp.Close();
    EXPECT_FALSE(udp.FetchedLeft());
    EXPECT_EQ(udp.NextDatagram(), nullptr);
    EXPECT_EQ(udp.FetchDatagrams(ws::MaxDatagramSlots), 0);
}

// A buffer too small for a fetched datagram raises what recvfrom's does for one
// still waiting in the system (ReceiveNext's own test), and the one behind it comes whole.
TEST(FetchDatagrams, TooSmallABufferRaisesAsForADatagramStillWaiting)
{
    PortWithWaiting waiting({"0123456789", "abc"});
    TUDPControl& udp = waiting.udp;
    ASSERT_EQ(udp.FetchDatagrams(ws::MaxDatagramSlots), 2);
    char buf[4];
    AnsiString address;
    std::uint16_t port = 0;
    EXPECT_THROW(udp.ReceiveNext(buf, 4, address, port), EUDPSockError);
    EXPECT_EQ(std::string(buf, 4), "0123");
    ASSERT_EQ(udp.ReceiveNext(buf, 4, address, port), 3);
    EXPECT_EQ(std::string(buf, 3), "abc");
}

TEST(DatagramBatch, ASlotTooShortIsMarkedAndTheNextOneIsWhole)
{
    Peer peer;
    TUDPControl udp;
    udp.Open();
    const std::uint16_t myPort = BoundPort(udp.Socket());
    char small[4], large[16];
    ws::DatagramBatch batch;
    batch.Assign(0, small, sizeof small);
    batch.Assign(1, large, sizeof large);
    ws::WSASetLastError(0);
    EXPECT_EQ(batch.Receive(udp.Socket(), 2, ws::WS_MSG_DONTWAIT), ws::SOCKET_ERROR);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSAEWOULDBLOCK);

    // Round after round the headers the system wrote to are set right again:
    // a sender's address, a length or a cut from one round never shows in the next.
    Peer other;
    const struct {
        Peer* from;
        const char* first;
        const char* second; // null: one datagram this round
    } rounds[] = {{&peer, "0123456789", "abc"}, {&other, "xy", nullptr}, {&peer, "p", "qrstuvwxyz0123"}};
    for (const auto& round : rounds) {
        SCOPED_TRACE(round.first);
        round.from->SendTo(myPort, round.first);
        if (round.second)
            round.from->SendTo(myPort, round.second);
        const int expected = round.second ? 2 : 1;
        ASSERT_EQ(batch.Receive(udp.Socket(), 2, ws::WS_MSG_DONTWAIT), expected);
        const std::string texts[] = {round.first, round.second ? round.second : ""};
        const int lens[] = {4, 16};
        const char* bufs[] = {small, large};
        for (int i = 0; i < expected; ++i) {
            const ws::DatagramSlot& slot = batch.Slot(i);
            const bool cut = texts[i].size() > static_cast<std::size_t>(lens[i]);
            EXPECT_EQ(slot.size, cut ? ws::SOCKET_ERROR : static_cast<int>(texts[i].size())) << i;
            EXPECT_EQ(slot.error, cut ? ws::WSAEMSGSIZE : 0) << i;
            EXPECT_EQ(std::string(bufs[i], std::min<std::size_t>(texts[i].size(), lens[i])),
                      texts[i].substr(0, static_cast<std::size_t>(lens[i])))
                << i;
            EXPECT_EQ(ws::ntohs(slot.from.sin_port), round.from->Port()) << i;
        }
    }
}

// A first read of one slot must leave the others ready: a later, larger read
// once gave every sender after the first as 0.0.0.0:0, so a reply to the sender went nowhere.
TEST(DatagramBatch, ALargerReadAfterASmallOneKnowsEverySender)
{
    Peer first, second;
    TUDPControl udp;
    udp.Open();
    const std::uint16_t myPort = BoundPort(udp.Socket());
    char bufs[4][8];
    ws::DatagramBatch batch;
    for (int i = 0; i < 4; ++i)
        batch.Assign(i, bufs[i], sizeof bufs[i]);
    first.SendTo(myPort, "a");
    ASSERT_EQ(batch.Receive(udp.Socket(), 1, ws::WS_MSG_DONTWAIT), 1);
    Peer* senders[] = {&second, &first, &second, &first};
    for (Peer* p : senders)
        p->SendTo(myPort, "b");
    ASSERT_EQ(batch.Receive(udp.Socket(), 4, ws::WS_MSG_DONTWAIT), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(ws::ntohs(batch.Slot(i).from.sin_port), senders[i]->Port()) << i;
        EXPECT_EQ(ws::inet_ntoa(batch.Slot(i).from.sin_addr), "127.0.0.1") << i;
    }
}

// Taken one by one, the trace keeps each reply's line right after its request's.
TEST(FetchDatagrams, TraceLinesFollowTheHandingOutNotTheRead)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("trace.log"));
    Peer peer;
    TUDPControl udp;
    udp.SetLogName(path);
    udp.SetWriteLog(true);
    udp.Open();
    const std::uint16_t myPort = BoundPort(udp.Socket());
    peer.SendTo(myPort, "\x01");
    peer.SendTo(myPort, "");
    peer.SendTo(myPort, "\x02");
    ASSERT_EQ(udp.FetchDatagrams(ws::MaxDatagramSlots), 3);
    while (const TCustomUDPSock::TDatagram* d = udp.NextDatagram()) {
        if (d->Size > 0)
            udp.Send("\x0A", 1, "", "127.0.0.1", peer.Port());
    }
    udp.Close();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().split('\n');
    ASSERT_EQ(lines.size(), 7) << "opened, two received, two sent, closed (an empty datagram leaves no line)";
    const char* ends[] = {" [01h]\r", " [0Ah]\r", " [02h]\r", " [0Ah]\r"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(lines[i + 1].contains(i % 2 == 0 ? "Recv " : "Send ")) << lines[i + 1].constData();
        EXPECT_TRUE(lines[i + 1].endsWith(ends[i])) << lines[i + 1].constData();
    }
}

// A receive handler that stops before taking everything it fetched leaves
// datagrams the socket no longer shows as readable; they must still reach it,
// in order, without any new datagram arriving to wake the port.
TEST(FetchDatagrams, DatagramsLeftFetchedByAHandlerAreHandedOverLater)
{
    Peer peer;
    TUDPControl udp;
    std::vector<std::string> handled;
    udp.OnReceive = [&](TCustomUDPSock& s, std::int32_t) {
        if (s.FetchDatagrams(ws::MaxDatagramSlots) > 0) {
            if (const TCustomUDPSock::TDatagram* d = s.NextDatagram())
                handled.push_back(Bytes(*d));
        }
    };
    udp.Open();
    const std::uint16_t myPort = BoundPort(udp.Socket());
    for (const char* text : {"a", "b", "c", "d", "e"})
        peer.SendTo(myPort, text);
    ASSERT_TRUE(WaitUntil([&] { return handled.size() >= 5; })) << handled.size() << " handled";
    EXPECT_EQ(handled, (std::vector<std::string>{"a", "b", "c", "d", "e"}));
}

} // namespace
} // namespace vpx
