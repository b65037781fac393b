#include "transport/UDPCtrl.h"
#include "transport/UDPErrs.h"

#include "TransportTestUtil.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace vpx {
namespace {

using test::BoundPort;
using test::Peer;
using test::WaitUntil;

std::string MessageOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(no exception)";
}

TEST(TCustomUDPSock, StartsClosedWithHonestStartupData)
{
    TUDPControl udp;
    EXPECT_FALSE(udp.Active());
    EXPECT_EQ(udp.Socket(), ws::INVALID_SOCKET);
    EXPECT_EQ(udp.LocalAddress(), "127.0.0.1");
    EXPECT_EQ(udp.MaxUdpDg(), 65507);
    EXPECT_GT(udp.MaxSockets(), 0);
    EXPECT_FALSE(udp.Description().empty());
    EXPECT_EQ(udp.Priority(), tpNormal);
    EXPECT_EQ(udp.SleepTime(), 0);
    EXPECT_EQ(udp.LogName(), QStringLiteral("Debug.log"));
}

TEST(TCustomUDPSock, OpenTwiceRaisesAndKeepsTheFirstSocket)
{
    TUDPControl udp;
    udp.Open();
    const ws::SOCKET first = udp.Socket();
    EXPECT_EQ(MessageOf([&] { udp.Open(); }), "ソケットはすでに開いています");
    EXPECT_TRUE(udp.Active());
    EXPECT_EQ(udp.Socket(), first);
    EXPECT_NE(udp.Watch(), nullptr);
    EXPECT_EQ(udp.LocalAddr().sin_addr, ws::inet_addr("127.0.0.1"));
}

TEST(TCustomUDPSock, PortInUseLeavesItClosedAndAFreePortWorksAfterwards)
{
    Peer occupant;
    TUDPControl udp;
    int opened = 0, closed = 0;
    udp.OnPortOpen = [&](TCustomUDPSock&) { ++opened; };
    udp.OnPortClose = [&](TCustomUDPSock&) { ++closed; };
    udp.SetPort(occupant.Port());
    EXPECT_EQ(MessageOf([&] { udp.Open(); }),
              "ソケットのバインド時にエラーが発生しました。\r\n指定されたアドレスは、すでに使用されています。");
    EXPECT_FALSE(udp.Active());
    EXPECT_EQ(udp.Socket(), ws::INVALID_SOCKET);
    EXPECT_EQ(udp.Watch(), nullptr);
    EXPECT_EQ(opened, 0);
    EXPECT_EQ(closed, 1);

    udp.SetPort(0);
    udp.Open();
    EXPECT_TRUE(udp.Active());
    EXPECT_EQ(opened, 1);
    udp.Close();
    EXPECT_EQ(closed, 2);
}

TEST(TCustomUDPSock, ClosedComponentIsQuiet)
{
    TUDPControl udp;
    int closed = 0;
    udp.OnPortClose = [&](TCustomUDPSock&) { ++closed; };
    udp.Close();
    EXPECT_FALSE(udp.Active());
    EXPECT_EQ(closed, 0);
    const char data[] = "x";
    EXPECT_EQ(udp.Send(data, 1, "", "127.0.0.1", 9), 0);
    // Without an address only an open component complains.
    EXPECT_EQ(udp.Send(data, 1, "", "", 9), 0);
    AnsiString addr = "unchanged";
    std::uint16_t port = 77;
    char buf[4];
    EXPECT_EQ(udp.Receive(buf, 4, addr, port, false), 0);
    EXPECT_EQ(udp.Receive(nullptr, -1, addr, port, true), 0);
    EXPECT_EQ(addr, "unchanged");
    EXPECT_EQ(port, 77);

    udp.Open();
    EXPECT_EQ(MessageOf([&] { udp.Send(data, 1, "", "", 9); }), "アドレスが指定されていません");
    EXPECT_TRUE(udp.Active());
}

TEST(TCustomUDPSock, RoundTripWithSizePeekAndSender)
{
    Peer peer;
    TUDPControl udp;
    udp.Open();
    const std::uint16_t myPort = BoundPort(udp.Socket());
    ASSERT_NE(myPort, 0);

    const std::string payload("\x01\x00\xFFhello", 8);
    EXPECT_EQ(udp.Send(payload.data(), 8, "", "127.0.0.1", peer.Port()), 8);
    std::string got;
    std::uint16_t from = 0;
    ASSERT_TRUE(peer.Receive(got, from));
    EXPECT_EQ(got, payload);
    EXPECT_EQ(from, myPort);

    // Sending by host name resolves it.
    EXPECT_EQ(udp.Send("ab", 2, "localhost", "", peer.Port()), 2);
    ASSERT_TRUE(peer.Receive(got, from));
    EXPECT_EQ(got, "ab");

    std::vector<std::int32_t> sizes;
    std::vector<std::string> read;
    AnsiString address;
    std::uint16_t port = 0;
    udp.OnReceive = [&](TCustomUDPSock& sender, std::int32_t size) {
        EXPECT_EQ(&sender, &udp);
        sizes.push_back(size);
        // The size query reads nothing; a peek leaves the datagram queued.
        EXPECT_EQ(udp.Receive(nullptr, -1, address, port, true), size);
        std::string buf(static_cast<std::size_t>(size), '\0');
        EXPECT_EQ(udp.Receive(buf.data(), size, address, port, true), size);
        EXPECT_EQ(udp.PendingSize(), size);
        const std::int32_t n = udp.Receive(buf.data(), size, address, port, false);
        read.push_back(buf.substr(0, static_cast<std::size_t>(n)));
    };
    ASSERT_EQ(peer.SendTo(myPort, "datagram-1"), 10);
    ASSERT_TRUE(WaitUntil([&] { return read.size() == 1; }));
    EXPECT_EQ(sizes, std::vector<std::int32_t>{10});
    EXPECT_EQ(read[0], "datagram-1");
    EXPECT_EQ(address, "127.0.0.1");
    EXPECT_EQ(port, peer.Port());
    // Nothing waiting: a read answers 0 at once instead of waiting.
    char buf[4];
    EXPECT_EQ(udp.Receive(buf, 4, address, port, false), 0);
}

TEST(TCustomUDPSock, QueuedDatagramsGiveOneEventEachNeverNested)
{
    Peer peer;
    TUDPControl udp;
    udp.Open();
    const std::uint16_t myPort = BoundPort(udp.Socket());
    int depth = 0, maxDepth = 0;
    std::vector<std::string> read;
    udp.OnReceive = [&](TCustomUDPSock&, std::int32_t size) {
        ++depth;
        maxDepth = std::max(maxDepth, depth);
        // Keep the event loop running inside the handler: a second notification
        // must not arrive before this one has been handled.
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 30)
            QCoreApplication::processEvents();
        std::string buf(static_cast<std::size_t>(size), '\0');
        AnsiString a;
        std::uint16_t p;
        read.push_back(buf.substr(0, static_cast<std::size_t>(udp.Receive(buf.data(), size, a, p, false))));
        --depth;
    };
    peer.SendTo(myPort, "first");
    peer.SendTo(myPort, "second");
    ASSERT_TRUE(WaitUntil([&] { return read.size() == 2; }));
    EXPECT_EQ(maxDepth, 1);
    EXPECT_EQ(read, (std::vector<std::string>{"first", "second"}));
}

TEST(TCustomUDPSock, BurstOfTenThousandIsAnnouncedAndReadInFull)
{
    Peer peer;
    TUDPControl udp;
    udp.Open();
    const int rcvbuf = 4 << 20;
    ws::setsockopt(udp.Socket(), ws::WS_SOL_SOCKET, ws::WS_SO_RCVBUF, &rcvbuf, sizeof rcvbuf);
    const std::uint16_t myPort = BoundPort(udp.Socket());
    int events = 0;
    std::uint32_t expected = 0;
    bool inOrder = true;
    udp.OnReceive = [&](TCustomUDPSock&, std::int32_t size) {
        ++events;
        std::uint32_t value = 0;
        AnsiString a;
        std::uint16_t p;
        if (size == 4 && udp.Receive(&value, 4, a, p, false) == 4) {
            inOrder = inOrder && value == expected;
            ++expected;
        }
    };
    // Batches stay well inside the receive buffer, so the kernel drops nothing
    // and every datagram must be accounted for.
    constexpr std::uint32_t kTotal = 10000, kBatch = 250;
    for (std::uint32_t sent = 0; sent < kTotal;) {
        for (std::uint32_t i = 0; i < kBatch; ++i, ++sent)
            ASSERT_EQ(peer.SendTo(myPort, std::string(reinterpret_cast<const char*>(&sent), 4)), 4);
        ASSERT_TRUE(WaitUntil([&] { return expected == sent; })) << expected << " of " << sent;
    }
    EXPECT_EQ(expected, kTotal);
    EXPECT_EQ(events, static_cast<int>(kTotal));
    EXPECT_TRUE(inOrder);
}

TEST(TCustomUDPSock, CloseInsideTheHandlerNeverDeadlocks)
{
    Peer peer;
    TUDPControl udp;
    int handled = 0;
    udp.OnReceive = [&](TCustomUDPSock& s, std::int32_t) {
        ++handled;
        s.Close();
    };
    for (int i = 0; i < 300; ++i) {
        udp.Open();
        const std::uint16_t myPort = BoundPort(udp.Socket());
        peer.SendTo(myPort, "x");
        ASSERT_TRUE(WaitUntil([&] { return handled == i + 1; })) << "round " << i;
        EXPECT_FALSE(udp.Active());
        EXPECT_EQ(udp.Watch(), nullptr);
    }
}

TEST(TCustomUDPSock, CloseWithANotificationInFlightDropsItLater)
{
    Peer peer;
    TUDPControl udp;
    int handled = 0;
    udp.OnReceive = [&](TCustomUDPSock&, std::int32_t size) {
        ++handled;
        std::string buf(static_cast<std::size_t>(size), '\0');
        AnsiString a;
        std::uint16_t p;
        udp.Receive(buf.data(), size, a, p, false);
    };
    for (int i = 0; i < 300; ++i) {
        udp.Open();
        const std::uint16_t myPort = BoundPort(udp.Socket());
        peer.SendTo(myPort, "x");
        // The watcher has posted its notification and waits for it; the GUI
        // thread closes before handling it.
        const TUDPWatch* watch = udp.Watch();
        QElapsedTimer t;
        t.start();
        while (watch->Notifications() == 0 && t.elapsed() < 5000)
            std::this_thread::yield();
        ASSERT_EQ(watch->Notifications(), 1u) << "round " << i;
        udp.Close();
        QCoreApplication::processEvents();
        EXPECT_EQ(handled, 0) << "round " << i;
    }
    // A new watcher is not confused by the old notifications.
    udp.Open();
    peer.SendTo(BoundPort(udp.Socket()), "y");
    EXPECT_TRUE(WaitUntil([&] { return handled == 1; }));
}

TEST(TCustomUDPSock, EmptyDatagramIsConsumedWithoutAnEvent)
{
    Peer peer;
    TUDPControl udp;
    udp.Open();
    const std::uint16_t myPort = BoundPort(udp.Socket());
    std::vector<std::string> read;
    std::vector<std::int32_t> sizes;
    udp.OnReceive = [&](TCustomUDPSock&, std::int32_t size) {
        sizes.push_back(size);
        std::string buf(static_cast<std::size_t>(size), '\0');
        AnsiString a;
        std::uint16_t p;
        read.push_back(buf.substr(0, static_cast<std::size_t>(udp.Receive(buf.data(), size, a, p, false))));
    };
    peer.SendTo(myPort, "");
    peer.SendTo(myPort, "");
    peer.SendTo(myPort, "after");
    ASSERT_TRUE(WaitUntil([&] { return read.size() == 1; }));
    EXPECT_EQ(sizes, std::vector<std::int32_t>{5});
    EXPECT_EQ(read[0], "after");
    EXPECT_EQ(udp.PendingSize(), 0);
    EXPECT_EQ(ws::PeekDatagramSize(udp.Socket()), -1);
}

TEST(TCustomUDPSock, OversizedDatagramRaisesMessageSizeAndIsConsumed)
{
    Peer peer;
    TUDPControl udp;
    udp.Open();
    const std::uint16_t myPort = BoundPort(udp.Socket());
    std::vector<std::string> errors;
    std::vector<std::string> read;
    udp.OnException = [&](const std::exception& e) { errors.push_back(e.what()); };
    udp.OnReceive = [&](TCustomUDPSock&, std::int32_t size) {
        // A buffer smaller than the datagram, as a careless handler would use.
        std::string buf(4, '\0');
        AnsiString a;
        std::uint16_t p;
        const std::int32_t n = udp.Receive(buf.data(), 4, a, p, false);
        read.push_back(buf.substr(0, static_cast<std::size_t>(n)) + "/" + std::to_string(size));
    };
    peer.SendTo(myPort, "0123456789");
    peer.SendTo(myPort, "abc");
    ASSERT_TRUE(WaitUntil([&] { return read.size() == 1 && errors.size() == 1; }));
    EXPECT_EQ(errors[0],
              "データ受信時にエラーが発生しました。\r\nデータグラムは指定されたバッファのサイズより大きかったので分割されました。");
    EXPECT_EQ(read[0], "abc/3");
    EXPECT_TRUE(udp.Active());
}

TEST(TCustomUDPSock, PeekWithASmallBufferKeepsTheDatagram)
{
    Peer peer;
    TUDPControl udp;
    udp.Open();
    const std::uint16_t myPort = BoundPort(udp.Socket());
    peer.SendTo(myPort, "0123456789");
    ASSERT_TRUE(WaitUntil([&] { return udp.PendingSize() == 10; }));
    char buf[16];
    AnsiString a;
    std::uint16_t p;
    EXPECT_THROW(udp.Receive(buf, 4, a, p, true), EUDPSockError);
    EXPECT_EQ(udp.PendingSize(), 10);
    EXPECT_EQ(udp.Receive(buf, 16, a, p, false), 10);
}

TEST(TCustomUDPSock, PortCannotChangeWhileOpen)
{
    TUDPControl udp;
    Peer spare; // a port number known to be valid
    udp.SetPort(0);
    udp.Open();
    udp.SetPort(0); // the same value is no change
    EXPECT_EQ(MessageOf([&] { udp.SetPort(spare.Port()); }), "ソケットを使用中は値を変更できません");
    EXPECT_EQ(udp.Port(), 0);
    udp.Close();
    udp.SetPort(spare.Port());
    EXPECT_EQ(udp.Port(), spare.Port());
}

TEST(TCustomUDPSock, PriorityReachesTheRunningWatcher)
{
    TUDPControl udp;
    udp.Open();
    const TUDPWatch* watch = udp.Watch();
    ASSERT_TRUE(WaitUntil([&] { return watch->ThreadId() != 0; }));
    // Lowering is always allowed, so the change is visible in the thread's nice value.
    udp.SetPriority(tpLower);
    EXPECT_EQ(watch->Priority(), tpLower);
    ASSERT_TRUE(WaitUntil([&] { return watch->AppliedPriority() == tpLower; }));
    EXPECT_EQ(getpriority(PRIO_PROCESS, static_cast<id_t>(watch->ThreadId())), 5);
    udp.SetPriority(tpLowest);
    ASSERT_TRUE(WaitUntil([&] { return watch->AppliedPriority() == tpLowest; }));
    EXPECT_EQ(getpriority(PRIO_PROCESS, static_cast<id_t>(watch->ThreadId())), 10);
    EXPECT_EQ(udp.Watch(), watch); // no reopening
    EXPECT_THROW(udp.SetPriority(static_cast<TThreadPriority>(7)), std::invalid_argument);
}

TEST(TCustomUDPSock, SleepTimeThrottlesTheRunningWatcher)
{
    Peer peer;
    TUDPControl udp;
    udp.Open();
    const std::uint16_t myPort = BoundPort(udp.Socket());
    std::vector<qint64> times;
    QElapsedTimer clock;
    clock.start();
    udp.OnReceive = [&](TCustomUDPSock&, std::int32_t size) {
        times.push_back(clock.elapsed());
        std::string buf(static_cast<std::size_t>(size), '\0');
        AnsiString a;
        std::uint16_t p;
        udp.Receive(buf.data(), size, a, p, false);
    };
    udp.SetSleepTime(200);
    EXPECT_EQ(udp.Watch()->SleepTime(), 200);
    peer.SendTo(myPort, "a");
    peer.SendTo(myPort, "b");
    ASSERT_TRUE(WaitUntil([&] { return times.size() == 2; }));
    EXPECT_GE(times[1] - times[0], 190);
}

// After the watcher's first notification the GUI thread watches the socket
// itself while no SleepTime is set: the watcher posts nothing more, yet every
// datagram still gets its own event, in order; a SleepTime hands the watch back
// to the watcher, which then announces each datagram, and 0 takes it over again.
TEST(TCustomUDPSock, EventLoopWatchesAfterTheFirstNotificationUnlessPaced)
{
    struct Case {
        const char* name;
        std::int32_t sleepMs;       // set before the datagrams of this step
        bool eventLoopAfter;        // who watches once they are handled
        std::uint64_t notifications; // the watcher's posts so far
    };
    const Case steps[] = {
        {"first datagrams", 0, true, 1},
        {"paced", 20, false, 1 + 3},
        {"unpaced again", 0, true, 1 + 3 + 1},
        {"unpaced, more", 0, true, 1 + 3 + 1},
    };
    Peer peer;
    TUDPControl udp;
    udp.Open();
    const std::uint16_t myPort = BoundPort(udp.Socket());
    std::vector<std::string> read;
    int depth = 0, maxDepth = 0;
    udp.OnReceive = [&](TCustomUDPSock&, std::int32_t size) {
        maxDepth = std::max(maxDepth, ++depth);
        QCoreApplication::processEvents(); // the handler may run the event loop: never nested
        std::string buf(static_cast<std::size_t>(size), '\0');
        AnsiString a;
        std::uint16_t p;
        read.push_back(buf.substr(0, static_cast<std::size_t>(udp.Receive(buf.data(), size, a, p, false))));
        --depth;
    };
    std::vector<std::string> sent;
    for (const Case& step : steps) {
        SCOPED_TRACE(step.name);
        udp.SetSleepTime(step.sleepMs);
        for (int i = 0; i < 3; ++i) {
            sent.push_back(std::string(step.name) + " " + std::to_string(i));
            ASSERT_EQ(peer.SendTo(myPort, sent.back()), static_cast<int>(sent.back().size()));
        }
        ASSERT_TRUE(WaitUntil([&] { return read.size() == sent.size(); })) << read.size();
        // A notification the watcher may still be posting for nothing left is
        // let through before the counts are compared.
        QElapsedTimer settle;
        settle.start();
        while (settle.elapsed() < 60)
            QCoreApplication::processEvents();
        EXPECT_EQ(udp.WatchedByEventLoop(), step.eventLoopAfter);
        EXPECT_EQ(udp.Watch()->Notifications(), step.notifications);
    }
    EXPECT_EQ(read, sent);
    EXPECT_EQ(maxDepth, 1);
    // Closing ends the event loop's watch with the watcher; a reopened port starts with the watcher again.
    udp.Close();
    EXPECT_FALSE(udp.WatchedByEventLoop());
    udp.Open();
    EXPECT_FALSE(udp.WatchedByEventLoop());
    peer.SendTo(BoundPort(udp.Socket()), "after reopening");
    ASSERT_TRUE(WaitUntil([&] { return read.size() == sent.size() + 1; }));
    EXPECT_EQ(read.back(), "after reopening");
    EXPECT_EQ(udp.Watch()->Notifications(), 1u);
}

// The parked watcher still applies a new priority at once and still ends when closed.
TEST(TCustomUDPSock, ParkedWatcherKeepsItsPriorityAndEnds)
{
    Peer peer;
    TUDPControl udp;
    udp.Open();
    int handled = 0;
    udp.OnReceive = [&](TCustomUDPSock&, std::int32_t size) {
        std::string buf(static_cast<std::size_t>(size), '\0');
        AnsiString a;
        std::uint16_t p;
        udp.Receive(buf.data(), size, a, p, false);
        ++handled;
    };
    peer.SendTo(BoundPort(udp.Socket()), "x");
    ASSERT_TRUE(WaitUntil([&] { return handled == 1 && udp.WatchedByEventLoop(); }));
    const TUDPWatch* watch = udp.Watch();
    udp.SetPriority(tpLower);
    EXPECT_EQ(udp.PriorityInForce(), tpLower);
    EXPECT_EQ(getpriority(PRIO_PROCESS, static_cast<id_t>(watch->ThreadId())), 5);
    QElapsedTimer t;
    t.start();
    udp.Close();
    EXPECT_LT(t.elapsed(), 1000);
    EXPECT_EQ(udp.Watch(), nullptr);
}

// A wait that fails ends reception: the port is closed, so that nothing claims it
// still receives, and the reason is told once through OnException.
TEST(TUDPWatch, FailingSelectClosesThePortAndSaysWhy)
{
    TUDPControl udp;
    std::vector<std::string> told;
    int closes = 0;
    udp.OnException = [&](const std::exception& e) { told.push_back(e.what()); };
    udp.OnPortClose = [&](TCustomUDPSock&) { ++closes; };
    udp.Open();
    // The descriptor taken away behind the port's back makes its watcher's select fail.
    const int fd = static_cast<int>(udp.Socket());
    const int other = ::socket(AF_INET, SOCK_DGRAM, 0);
    ::close(fd);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!udp.Watch()->Finished() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_TRUE(udp.Watch()->Finished());
    EXPECT_TRUE(told.empty()) << "told on the GUI thread only";
    // Something else now holds the number, so the port's own close succeeds.
    ASSERT_EQ(::dup2(other, fd), fd);
    ::close(other);
    ASSERT_TRUE(WaitUntil([&] { return !told.empty(); }));
    EXPECT_EQ(told, std::vector<std::string>{
                        "ソケットの状態取得時にエラーが発生しました。\r\nソケットでないものがデスクリプタセットに含まれています。"});
    EXPECT_FALSE(udp.Active());
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(udp.Watch(), nullptr);
    udp.Open(); // and it opens again
    EXPECT_TRUE(udp.Active());
}

} // namespace
} // namespace vpx
