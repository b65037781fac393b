// The local address rules (choice, fall-back, override), the group list as the
// settings hold it, and the settings round trip of the endpoint's new values.

#include "platform/Registry.h"
#include "transport/CommUDP.h"
#include "transport/LocalAddress.h"
#include "transport/UDPErrs.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

namespace vpx {
namespace {

const std::vector<ws::InterfaceAddress> kUp = {
    {"lo", "127.0.0.1"}, {"eth0", "192.168.10.5"}, {"usb0", "10.0.0.2"}, {"eth0", "192.168.11.5"}};

TEST(LocalAddress, ChoiceFallBackAndOverride)
{
    const struct {
        const char* choice;
        bool overridden;
        const char* address;
        bool vanished;
    } cases[] = {
        {"", false, "192.0.2.7", false},              // 自動: the host's own address, as always
        {"0.0.0.0", false, "0.0.0.0", false},         // every address
        {"10.0.0.2", false, "10.0.0.2", false},       // one interface
        {"192.168.11.5", false, "192.168.11.5", false}, // a second address of the same interface
        {"10.0.0.3", false, "192.0.2.7", true},       // gone: 自動
        {"10.0.0.2", true, "192.0.2.7", false},       // the environment decides
        {"10.0.0.3", true, "192.0.2.7", false},       // ... and a vanished choice is no news then
    };
    for (const auto& c : cases) {
        const LocalAddressChoice r = ResolveLocalAddress(c.choice, "192.0.2.7", c.overridden, kUp);
        EXPECT_EQ(r.address, c.address) << c.choice;
        EXPECT_EQ(r.vanished, c.vanished) << c.choice;
        EXPECT_EQ(r.overridden, c.overridden) << c.choice;
    }
}

TEST(LocalAddress, TheListOffersTheRuleEveryAddressThenEachInterfaceAddressOnce)
{
    std::vector<ws::InterfaceAddress> up = kUp;
    up.push_back({"eth0:1", "10.0.0.2"}); // the same address listed twice by the system
    const auto entries = LocalAddressEntries(up);
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"", ""},           {"0.0.0.0", ""},  {"127.0.0.1", "lo"}, {"192.168.10.5", "eth0"},
        {"10.0.0.2", "usb0"}, {"192.168.11.5", "eth0"}};
    ASSERT_EQ(entries.size(), expected.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].value, expected[i].first) << i;
        EXPECT_EQ(entries[i].name, expected[i].second) << i;
    }
}

TEST(LocalAddress, GroupListsAsTheSettingsHoldThem)
{
    const struct {
        const char* text;
        std::vector<std::string> groups;
        const char* bad;
    } cases[] = {
        {"", {}, ""},
        {"239.1.2.3", {"239.1.2.3"}, ""},
        {" 224.0.0.251, 239.255.255.250;239.1.2.3 ", {"224.0.0.251", "239.255.255.250", "239.1.2.3"}, ""},
        {"239.1.2.3,239.1.2.3", {"239.1.2.3"}, ""},
        {"239.1.2.3, 192.168.0.1", {"239.1.2.3"}, "192.168.0.1"}, // not a group
        {"240.0.0.1", {}, "240.0.0.1"},
        {"223.255.255.255", {}, "223.255.255.255"},
        {"239.1.2", {}, "239.1.2"},
        {"239.1.2.256", {}, "239.1.2.256"},
        {"239.1.2.010", {}, "239.1.2.010"}, // not 239.1.2.8 as the classic parser reads it
        {"239.1.2.3.4", {}, "239.1.2.3.4"},
        {"ff02::1", {}, "ff02::1"},
    };
    for (const auto& c : cases) {
        const MulticastGroupList list = ParseMulticastGroups(c.text);
        EXPECT_EQ(list.groups, c.groups) << c.text;
        EXPECT_EQ(list.bad, c.bad) << c.text;
        if (list.bad.empty()) {
            EXPECT_EQ(ParseMulticastGroups(JoinMulticastGroups(list.groups)).groups, c.groups) << c.text;
        }
    }
    EXPECT_EQ(JoinMulticastGroups({"239.1.2.3", "239.1.2.4"}), "239.1.2.3, 239.1.2.4");
}

TEST(LocalAddress, GroupsMakeThePortBindToEveryAddress)
{
    EXPECT_EQ(BindAddressFor("10.0.0.2", {}), "10.0.0.2");
    EXPECT_EQ(BindAddressFor("10.0.0.2", {"239.1.2.3"}), "0.0.0.0");
}

class LocalAddressSettings : public test::TempConfigTest {
protected:
    const QString key = QStringLiteral("Software\\Norveth\\VPX");
    const QString section = QStringLiteral("Option");
};

// The override stays off here, so the stored choice is what decides.
class WithoutOverride {
public:
    WithoutOverride()
    {
        if (const char* v = std::getenv("VORPEX_LOCAL_ADDRESS"))
            m_saved = v;
        ::unsetenv("VORPEX_LOCAL_ADDRESS");
    }
    ~WithoutOverride()
    {
        if (m_saved)
            ::setenv("VORPEX_LOCAL_ADDRESS", m_saved->c_str(), 1);
    }

private:
    std::optional<std::string> m_saved;
};

TEST_F(LocalAddressSettings, RoundTripAndDefaults)
{
    WithoutOverride plain;
    {
        TCustomUDPSock fresh;
        fresh.LoadFromRegistry(key, section);
        EXPECT_EQ(fresh.LocalChoice(), "");
        EXPECT_TRUE(fresh.MulticastGroups().empty());
        EXPECT_EQ(fresh.MulticastTtl(), 1);
        EXPECT_EQ(fresh.VanishedAddress(), "");
    }
    {
        TCustomUDPSock udp;
        udp.SetLocalChoice("127.0.0.1"); // the loopback interface is up everywhere
        udp.SetMulticastGroups({"239.1.2.3", "224.0.0.251"});
        udp.SetMulticastTtl(8);
        udp.SaveToRegistry(key, section);
    }
    TCustomUDPSock loaded;
    loaded.LoadFromRegistry(key, section);
    EXPECT_EQ(loaded.LocalChoice(), "127.0.0.1");
    EXPECT_EQ(loaded.LocalAddress(), "127.0.0.1");
    EXPECT_EQ(loaded.MulticastGroups(), (std::vector<std::string>{"239.1.2.3", "224.0.0.251"}));
    EXPECT_EQ(loaded.MulticastTtl(), 8);
    EXPECT_EQ(loaded.VanishedAddress(), "");
}

TEST_F(LocalAddressSettings, AStoredAddressThatIsGoneFallsBackToTheRule)
{
    WithoutOverride plain;
    {
        TRegistryIniFile ini(key);
        ini.WriteString(section, QStringLiteral("LocalAddress"), QStringLiteral("127.0.0.9"));
        ini.WriteString(section, QStringLiteral("MulticastGroups"), QStringLiteral("239.1.2.3, nonsense"));
        ini.WriteInteger(section, QStringLiteral("MulticastTTL"), 300);
        ini.UpdateFile();
    }
    TCustomUDPSock rule; // what 自動 gives on this machine
    TCustomUDPSock udp;
    udp.LoadFromRegistry(key, section);
    EXPECT_EQ(udp.VanishedAddress(), "127.0.0.9");
    EXPECT_EQ(udp.LocalChoice(), "") << "the choice falls back to 自動";
    EXPECT_EQ(udp.LocalAddress(), rule.LocalAddress());
    EXPECT_EQ(udp.MulticastGroups(), std::vector<std::string>{"239.1.2.3"}) << "the readable part is kept";
    EXPECT_EQ(udp.MulticastTtl(), 1);
    // Kept stored while it is absent: the adapter plugged in again is used again.
    udp.SaveToRegistry(key, section);
    EXPECT_EQ(TRegistryIniFile(key).ReadString(section, QStringLiteral("LocalAddress"), QString()),
              QStringLiteral("127.0.0.9"));
    TCustomUDPSock next;
    next.LoadFromRegistry(key, section);
    EXPECT_EQ(next.VanishedAddress(), "127.0.0.9");
    // Choosing 自動 on purpose does forget it.
    next.SetLocalChoice("");
    next.SaveToRegistry(key, section);
    TCustomUDPSock chosen;
    chosen.LoadFromRegistry(key, section);
    EXPECT_EQ(chosen.VanishedAddress(), "");
}

// A port on every address learns where each datagram went, by every read, so a
// capture can show a group's or a broadcast's datagram going there; a port on one
// address has nothing to learn. Only 127.0.0.0/8 is used: each of its addresses is this host.
TEST(LocalAddress, APortOnEveryAddressLearnsWhereEachDatagramWent)
{
    WithoutOverride plain;
    const struct {
        const char* choice;
        const char* sentTo;
        const char* learnt;
    } cases[] = {{"0.0.0.0", "127.0.0.5", "127.0.0.5"}, {"0.0.0.0", "127.0.0.1", "127.0.0.1"},
                 {"127.0.0.1", "127.0.0.1", ""}};
    enum Read { ByReceive, ByReceiveNext, ByBatch };
    for (const auto& c : cases) {
        for (const Read read : {ByReceive, ByReceiveNext, ByBatch}) {
            SCOPED_TRACE(testing::Message() << c.choice << " " << c.sentTo << " read " << read);
            TCustomUDPSock udp;
            udp.SetLocalChoice(c.choice);
            udp.Open();
            ws::SOCKET sender = ws::socket(ws::WS_AF_INET, ws::WS_SOCK_DGRAM, 0);
            ws::SOCKADDR_IN to;
            to.sin_family = ws::WS_AF_INET;
            to.sin_addr = ws::inet_addr(c.sentTo);
            to.sin_port = ws::htons(udp.BoundPort());
            ASSERT_EQ(ws::sendto(sender, "x", 1, 0, &to, sizeof to), 1);
            char buf[8];
            AnsiString from;
            std::uint16_t port = 0;
            if (read == ByReceive) {
                ASSERT_TRUE(test::WaitUntil([&] { return udp.PendingSize() > 0; }));
                EXPECT_EQ(udp.Receive(buf, sizeof buf, from, port, false), 1);
            } else if (read == ByReceiveNext) {
                EXPECT_EQ(udp.ReceiveNext(buf, sizeof buf, from, port, true), 1);
            } else {
                ASSERT_EQ(udp.FetchDatagrams(4, true), 1);
                const TCustomUDPSock::TDatagram* d = udp.NextDatagram();
                ASSERT_NE(d, nullptr);
                EXPECT_EQ(d->Destination, c.learnt);
            }
            EXPECT_EQ(udp.LastDestination(), c.learnt);
            ws::closesocket(sender);
        }
    }
}

TEST_F(LocalAddressSettings, TheEnvironmentStillDecides)
{
    const char* pinned = std::getenv("VORPEX_LOCAL_ADDRESS");
    ASSERT_NE(pinned, nullptr);
    TCustomUDPSock udp;
    udp.SetLocalChoice("0.0.0.0");
    EXPECT_TRUE(udp.LocalAddressOverridden());
    EXPECT_EQ(udp.LocalAddress(), pinned);
    EXPECT_EQ(udp.LocalChoice(), "0.0.0.0") << "kept for when the variable is gone";
}

TEST(LocalAddressValues, RefusedWhileOpenOrOutOfRange)
{
    TCustomUDPSock udp;
    EXPECT_THROW(udp.SetMulticastGroups({"10.0.0.1"}), std::invalid_argument);
    EXPECT_THROW(udp.SetMulticastTtl(256), std::invalid_argument);
    EXPECT_THROW(udp.SetMulticastTtl(-1), std::invalid_argument);
    udp.Open();
    EXPECT_THROW(udp.SetMulticastGroups({"239.1.2.3"}), EUDPSockError);
    EXPECT_THROW(udp.SetMulticastTtl(2), EUDPSockError);
    EXPECT_THROW(udp.SetLocalChoice(""), EUDPSockError);
    EXPECT_TRUE(udp.MulticastGroups().empty());
    EXPECT_EQ(udp.MulticastTtl(), 1);
    udp.Close();
}

} // namespace
} // namespace vpx
