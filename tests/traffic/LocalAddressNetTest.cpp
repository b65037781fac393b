// The local address choice, broadcast, multicast and replies to the sender on
// real sockets: on loopback addresses, or inside a network namespace the test
// makes for itself (dummy or veth interfaces), never on this machine's networks.

#include "traffic/AutoReplySource.h"
#include "traffic/AutoReplyTable.h"
#include "traffic/PayloadSender.h"
#include "traffic/ReceiveHandler.h"
#include "traffic/TrafficSink.h"
#include "library/CommandTree.h"
#include "transport/LocalAddress.h"
#include "transport/UDPCtrl.h"

#include "../support/NetNamespace.h"
#include "../transport/TransportTestUtil.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace vpx {
namespace {

// The tests pin the local address through the environment; a choice is only
// used without it. Restores the variable afterwards.
class NoOverride {
public:
    NoOverride()
    {
        if (const char* v = std::getenv("VORPEX_LOCAL_ADDRESS"))
            m_saved = v;
        ::unsetenv("VORPEX_LOCAL_ADDRESS");
    }
    ~NoOverride()
    {
        if (m_saved)
            ::setenv("VORPEX_LOCAL_ADDRESS", m_saved->c_str(), 1);
    }

private:
    std::optional<std::string> m_saved;
};

bool Readable(ws::SOCKET s, int ms)
{
    ws::fd_set set;
    ws::fd_add(s, set);
    const ws::TIMEVAL tv{ms / 1000, (ms % 1000) * 1000};
    return ws::select(0, &set, nullptr, nullptr, &tv) > 0;
}

struct Datagram {
    std::string bytes;
    AnsiString address;
    std::uint16_t port = 0;
};

std::optional<Datagram> Next(TCustomUDPSock& udp, int ms = 2000)
{
    if (!Readable(udp.Socket(), ms))
        return std::nullopt;
    std::vector<char> buf(TCustomUDPSock::MaxDatagram);
    Datagram d;
    const int n = udp.ReceiveNext(buf.data(), static_cast<int>(buf.size()), d.address, d.port);
    if (n < 0)
        return std::nullopt;
    d.bytes.assign(buf.data(), static_cast<std::size_t>(n));
    return d;
}

struct Sink : TTrafficSink {
    void AddTrafficRecord(TrafficRecordPtr record) override { records.push_back(std::move(record)); }
    std::vector<TrafficRecordPtr> records;
};

// Answers every datagram with 0xA5, as a device would.
struct AnswerAll : TAutoReplySource {
    AnswerAll() { table.ParseAutoReplyLine("1\t*\tany\treply\t0xA5"); }
    bool IsAutoReplyOn() const override { return true; }
    const TAutoReplyTable& Table() const override { return table; }
    TAutoReplyAnswer NextAnswer(int index, const TReplyFaults& faults) override
    {
        return table.NextAnswer(index, faults);
    }
    TAutoReplyTable table;
};

// A device on `udp`: reads `count` datagrams and lets the handler answer each.
void Serve(TCustomUDPSock& udp, TReceiveHandler& handler, int count)
{
    for (int i = 0; i < count; ++i)
        if (const auto d = Next(udp))
            handler.DatagramReceived(reinterpret_cast<const std::uint8_t*>(d->bytes.data()),
                                     static_cast<std::int32_t>(d->bytes.size()), d->address, d->port);
}

TEST(LocalAddressNet, ABoundChoiceReceivesOnlyWhatIsSentToIt)
{
    NoOverride noOverride;
    TUDPControl udp;
    // 127.0.0.2 is on the loopback interface's network; given as an interface
    // address here because the system lists only 127.0.0.1.
    udp.SetLocalChoice("127.0.0.2", {{"lo", "127.0.0.1"}, {"lo", "127.0.0.2"}});
    ASSERT_EQ(udp.LocalAddress(), "127.0.0.2");
    udp.Open();
    test::Peer peer;
    const auto sendTo = [&](const char* address, const std::string& bytes) {
        ws::SOCKADDR_IN to;
        to.sin_family = ws::WS_AF_INET;
        to.sin_addr = ws::inet_addr(address);
        to.sin_port = ws::htons(udp.BoundPort());
        return ws::sendto(peer.Socket(), bytes.data(), static_cast<int>(bytes.size()), 0, &to, sizeof to);
    };
    ASSERT_EQ(sendTo("127.0.0.3", "not mine"), 8);
    ASSERT_EQ(sendTo("127.0.0.2", "mine"), 4);
    const auto d = Next(udp);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->bytes, "mine");
    EXPECT_EQ(d->address, "127.0.0.1");
    EXPECT_FALSE(Next(udp, 100)) << "a datagram to another address reached the bound port";
}

// Two clients talk to one device: with replies to the sender each gets its
// answer at its own port and the log names it; without, both go to the peer.
TEST(LocalAddressNet, RepliesToTheSenderAnswerEachClientAtItsOwnPort)
{
    TUDPControl udp;
    udp.Open();
    test::Peer first, second, toolBarPeer;
    Sink sink;
    TPayloadSender sender(udp, sink, [] { return AnsiString("127.0.0.1"); }, [&] { return toolBarPeer.Port(); });
    AnswerAll source;
    CommandTree tree;
    TReceiveHandler handler(source, sender, sink, tree);

    const struct {
        bool toSender;
        test::Peer* firstGets;
        test::Peer* secondGets;
    } cases[] = {{true, &first, &second}, {false, &toolBarPeer, &toolBarPeer}};
    for (const auto& c : cases) {
        sender.SetReplyToSender(c.toSender);
        sink.records.clear();
        ASSERT_EQ(first.SendTo(udp.BoundPort(), "1"), 1);
        Serve(udp, handler, 1);
        ASSERT_EQ(second.SendTo(udp.BoundPort(), "2"), 1);
        Serve(udp, handler, 1);
        for (test::Peer* gets : {c.firstGets, c.secondGets}) {
            std::string bytes;
            std::uint16_t from = 0;
            ASSERT_TRUE(gets->Receive(bytes, from)) << "to sender " << c.toSender;
            EXPECT_EQ(bytes, "\xA5");
            EXPECT_EQ(from, udp.BoundPort());
        }
        ASSERT_EQ(sink.records.size(), 4u);
        EXPECT_EQ(sink.records[1]->Kind, tkAutoReplySent);
        EXPECT_EQ(sink.records[1]->PeerPort, c.firstGets->Port()) << "the log shows the real destination";
        EXPECT_EQ(sink.records[3]->PeerPort, c.secondGets->Port());
        EXPECT_EQ(sink.records[3]->PeerAddress, "127.0.0.1");
    }
    std::string stray;
    std::uint16_t from = 0;
    EXPECT_FALSE(first.Receive(stray, from, 50));
    EXPECT_FALSE(second.Receive(stray, from, 50));
}

TEST(LocalAddressNet, ABroadcastOnAnInterfaceOfItsOwnArrives)
{
    const test::NamespaceResult r = test::RunInNetNamespace([]() -> std::string {
        NoOverride noOverride;
        // A dummy interface where the kernel has them, else one end of a veth pair.
        const bool dummy = test::Ip("link add vpx0 type dummy");
        if (!dummy && !test::Ip("link add vpx0 type veth peer name vpx1"))
            return "SKIP: neither dummy nor veth interfaces can be made";
        if (!test::Ip("addr add 10.77.0.1/24 brd + dev vpx0") || !test::Ip("link set vpx0 up") ||
            (!dummy && !test::Ip("link set vpx1 up")))
            return "SKIP: the interface cannot be set up";
        TUDPControl listener, device;
        listener.SetLocalChoice(kAnyAddress);
        listener.Open();
        device.SetLocalChoice("10.77.0.1");
        if (device.LocalAddress() != "10.77.0.1")
            return "the interface's address is not offered: " + device.LocalAddress();
        device.Open();
        for (const char* to : {"10.77.0.255", "255.255.255.255"}) {
            if (device.Send("hello", 5, AnsiString(), to, listener.BoundPort()) != 5)
                return std::string("a broadcast to ") + to + " did not go out";
            const auto d = Next(listener);
            if (!d || d->bytes != "hello")
                return std::string("the broadcast to ") + to + " did not arrive";
            if (d->address != "10.77.0.1")
                return "it came from " + d->address;
        }
        return std::string();
    });
    if (!r.ran)
        GTEST_SKIP() << "broadcast needs an interface of the test's own: " << r.message;
    EXPECT_EQ(r.message, "");
}

TEST(LocalAddressNet, AMulticastGroupOnLoopbackIsJoinedReceivedAndAnswered)
{
    const test::NamespaceResult r = test::RunInNetNamespace([]() -> std::string {
        NoOverride noOverride;
        TUDPControl udp;
        udp.SetLocalChoice("127.0.0.1");
        udp.SetMulticastGroups({"239.77.0.1"});
        udp.SetMulticastTtl(3);
        udp.Open();
        if (udp.BindAddress() != kAnyAddress)
            return "a port with groups must bind to every address, not " + udp.BindAddress();
        Sink sink;
        TPayloadSender sender(udp, sink, [] { return AnsiString("0.0.0.0"); }, [] { return std::uint16_t(0); });
        sender.SetReplyToSender(true);
        AnswerAll source;
        CommandTree tree;
        TReceiveHandler handler(source, sender, sink, tree);

        // The client sends to the group from the loopback interface.
        TUDPControl client;
        client.SetLocalChoice("127.0.0.1");
        client.Open();
        if (client.Send("\x01", 1, AnsiString(), "239.77.0.1", udp.BoundPort()) != 1)
            return "the group datagram did not go out";
        Serve(udp, handler, 1);
        if (sink.records.size() != 2)
            return "the group datagram was not received and answered (" + std::to_string(sink.records.size()) +
                   " records)";
        const auto answer = Next(client);
        if (!answer || answer->bytes != "\xA5")
            return "the client got no answer";
        if (sink.records[1]->PeerPort != client.BoundPort())
            return "the reply went to port " + std::to_string(sink.records[1]->PeerPort);
        return std::string();
    });
    if (!r.ran)
        GTEST_SKIP() << "multicast binds to every address, so it runs only in a namespace of its own: " << r.message;
    EXPECT_EQ(r.message, "");
}

} // namespace
} // namespace vpx
