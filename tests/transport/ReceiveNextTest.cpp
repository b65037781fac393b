#include "transport/UDPCtrl.h"
#include "transport/UDPErrs.h"

#include "TransportTestUtil.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/time.h>

#include <string>
#include <vector>

namespace vpx {
namespace {

using test::BoundPort;
using test::Peer;
using test::WaitUntil;

struct EdgeCase {
    const char* name;
    std::size_t size;
};

class ReceiveNextEdges : public ::testing::TestWithParam<EdgeCase> {};

// The bytes a datagram of `size` carries: every position distinct modulo 251,
// so a shifted or cut copy shows.
std::string Pattern(std::size_t size)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i % 251);
    return bytes;
}

TEST_P(ReceiveNextEdges, ReadsTheWholeDatagramThenSaysTheSocketIsDry)
{
    const EdgeCase c = GetParam();
    Peer peer;
    TUDPControl udp;
    udp.Open();
    const std::uint16_t myPort = BoundPort(udp.Socket());
    const std::string sent = Pattern(c.size);
    ASSERT_EQ(peer.SendTo(myPort, sent), static_cast<int>(c.size));
    peer.SendTo(myPort, "after");

    std::vector<char> buf(static_cast<std::size_t>(TCustomUDPSock::MaxDatagram));
    AnsiString address;
    std::uint16_t port = 0;
    std::int32_t n = -1;
    ASSERT_TRUE(WaitUntil([&] {
        n = udp.ReceiveNext(buf.data(), static_cast<std::int32_t>(buf.size()), address, port);
        return n >= 0;
    }));
    ASSERT_EQ(n, static_cast<std::int32_t>(c.size));
    EXPECT_EQ(std::string(buf.data(), static_cast<std::size_t>(n)), sent);
    EXPECT_EQ(address, "127.0.0.1");
    EXPECT_EQ(port, peer.Port());

    // The one behind it is next, whole; then nothing, without an exception.
    ASSERT_TRUE(WaitUntil([&] {
        n = udp.ReceiveNext(buf.data(), static_cast<std::int32_t>(buf.size()), address, port);
        return n >= 0;
    }));
    EXPECT_EQ(std::string(buf.data(), static_cast<std::size_t>(n)), "after");
    EXPECT_EQ(udp.ReceiveNext(buf.data(), static_cast<std::int32_t>(buf.size()), address, port), -1);
}

INSTANTIATE_TEST_SUITE_P(Sizes, ReceiveNextEdges,
                         ::testing::Values(EdgeCase{"Empty", 0}, EdgeCase{"OneByte", 1},
                                           EdgeCase{"Largest", static_cast<std::size_t>(TCustomUDPSock::MaxDatagram)}),
                         [](const auto& info) { return std::string(info.param.name); });

// A waiting read takes what comes and, with nothing coming, gives up at the
// socket's time-out instead of raising or hanging.
TEST(ReceiveNext, WaitingReadEndsAtTheTimeOut)
{
    Peer peer;
    TUDPControl udp;
    udp.Open();
    const timeval tv{0, 50 * 1000};
    ASSERT_EQ(::setsockopt(static_cast<int>(udp.Socket()), SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv), 0);
    std::vector<char> buf(static_cast<std::size_t>(TCustomUDPSock::MaxDatagram));
    AnsiString address;
    std::uint16_t port = 0;

    peer.SendTo(BoundPort(udp.Socket()), "ping");
    ASSERT_EQ(udp.ReceiveNext(buf.data(), static_cast<std::int32_t>(buf.size()), address, port, true), 4);
    EXPECT_EQ(std::string(buf.data(), 4), "ping");

    QElapsedTimer waited;
    waited.start();
    EXPECT_EQ(udp.ReceiveNext(buf.data(), static_cast<std::int32_t>(buf.size()), address, port, true), -1);
    EXPECT_GE(waited.elapsed(), 40);
}

TEST(ReceiveNext, ClosedSocketReadsNothing)
{
    TUDPControl udp;
    char buf[4];
    AnsiString address;
    std::uint16_t port = 0;
    EXPECT_EQ(udp.ReceiveNext(buf, 4, address, port), -1);
}

TEST(ReceiveNext, TooSmallABufferRaisesAndConsumesTheDatagram)
{
    Peer peer;
    TUDPControl udp;
    udp.Open();
    const std::uint16_t myPort = BoundPort(udp.Socket());
    peer.SendTo(myPort, "0123456789");
    peer.SendTo(myPort, "abc");
    ASSERT_TRUE(WaitUntil([&] { return udp.PendingSize() == 10; }));
    char buf[4];
    AnsiString address;
    std::uint16_t port = 0;
    try {
        udp.ReceiveNext(buf, 4, address, port);
        ADD_FAILURE() << "no exception";
    } catch (const EUDPSockError& e) {
        EXPECT_STREQ(e.what(), "データ受信時にエラーが発生しました。\r\n"
                               "データグラムは指定されたバッファのサイズより大きかったので分割されました。");
    }
    EXPECT_EQ(udp.ReceiveNext(buf, 4, address, port), 3);
    EXPECT_EQ(std::string(buf, 3), "abc");
    EXPECT_TRUE(udp.Active());
}

TEST(ReceiveNext, TracesWhatItReadsButNotAnEmptyDatagram)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("trace.log"));
    Peer peer;
    TUDPControl udp;
    udp.SetLogName(path);
    udp.SetWriteLog(true);
    udp.Open();
    const std::uint16_t myPort = BoundPort(udp.Socket());
    peer.SendTo(myPort, "");
    peer.SendTo(myPort, std::string("\x01\xFF", 2));
    char buf[8];
    AnsiString address;
    std::uint16_t port = 0;
    int read = 0;
    ASSERT_TRUE(WaitUntil([&] {
        if (udp.ReceiveNext(buf, 8, address, port) >= 0)
            ++read;
        return read == 2;
    }));
    udp.Close();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().split('\n');
    ASSERT_EQ(lines.size(), 4); // connected, one received line, disconnected
    EXPECT_TRUE(lines[1].endsWith(" [01h,FFh]\r")) << lines[1].constData();
}

// The endpoint keeps the last peer's address as text and as a number; a peer
// that changes from one datagram to the next must never get the stale one.
TEST(ReceiveNext, PeersTakingTurnsAreEachNamedAndAnsweredRight)
{
    // Two loopback addresses, the second bound explicitly.
    Peer first;
    const ws::SOCKET second = ws::socket(ws::WS_AF_INET, ws::WS_SOCK_DGRAM, 0);
    ws::SOCKADDR_IN a;
    a.sin_family = ws::WS_AF_INET;
    a.sin_addr = ws::inet_addr("127.0.0.2");
    if (ws::bind(second, &a, sizeof a) != 0) {
        ws::closesocket(second);
        GTEST_SKIP() << "127.0.0.2 cannot be bound here";
    }
    const std::uint16_t secondPort = BoundPort(second);
    TUDPControl udp;
    udp.Open();
    const std::uint16_t myPort = BoundPort(udp.Socket());
    ws::SOCKADDR_IN me;
    me.sin_family = ws::WS_AF_INET;
    me.sin_addr = ws::inet_addr("127.0.0.1");
    me.sin_port = ws::htons(myPort);

    const struct {
        bool fromSecond;
        const char* address;
    } turns[] = {{false, "127.0.0.1"}, {true, "127.0.0.2"}, {true, "127.0.0.2"}, {false, "127.0.0.1"}};
    char buf[16];
    for (const auto& t : turns) {
        if (t.fromSecond)
            ws::sendto(second, "x", 1, 0, &me, sizeof me);
        else
            first.SendTo(myPort, "x");
        AnsiString address;
        std::uint16_t port = 0;
        ASSERT_TRUE(WaitUntil([&] { return udp.ReceiveNext(buf, sizeof buf, address, port) == 1; }));
        EXPECT_EQ(address, t.address);
        EXPECT_EQ(port, t.fromSecond ? secondPort : first.Port());
        // The answer goes to the address just read, whatever went before.
        ASSERT_EQ(udp.Send("y", 1, AnsiString(), address, port), 1);
        if (t.fromSecond) {
            ws::fd_set set;
            ws::fd_add(second, set);
            const ws::TIMEVAL tv{3, 0};
            ASSERT_EQ(ws::select(0, &set, nullptr, nullptr, &tv), 1);
            EXPECT_EQ(ws::recvfrom(second, buf, sizeof buf, 0, nullptr, nullptr), 1);
        } else {
            std::string bytes;
            std::uint16_t from = 0;
            ASSERT_TRUE(first.Receive(bytes, from));
            EXPECT_EQ(bytes, "y");
        }
    }
    ws::closesocket(second);
}

} // namespace
} // namespace vpx
