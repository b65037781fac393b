#include "platform/WinSock.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <thread>

namespace vpx::ws {
namespace {

std::uint32_t A(const char* dotted)
{
    return inet_addr(dotted);
}

TEST(WinSock, ErrnoTranslatesToWinsockCodes)
{
    const struct {
        int err;
        int code;
    } cases[] = {{EINTR, 10004},        {EACCES, 10013},      {EFAULT, 10014},       {EINVAL, 10022},
                 {EMFILE, 10024},       {EAGAIN, 10035},      {ENOTSOCK, 10038},     {EBADF, 10038},
                 {EMSGSIZE, 10040},     {EAFNOSUPPORT, 10047}, {EADDRINUSE, 10048},  {EADDRNOTAVAIL, 10049},
                 {ENETDOWN, 10050},     {ENETUNREACH, 10051}, {ECONNRESET, 10054},   {ENOBUFS, 10055},
                 {ENOTCONN, 10057},     {ETIMEDOUT, 10060},   {ECONNREFUSED, 10061}, {EHOSTUNREACH, 10065},
                 {EIO, EIO}};
    for (const auto& c : cases)
        EXPECT_EQ(WinsockErrorFromErrno(c.err), c.code) << c.err;
}

TEST(WinSock, LastErrorBelongsToTheThread)
{
    WSASetLastError(WSAEADDRINUSE);
    int other = -1;
    std::thread([&] {
        WSASetLastError(WSAEMSGSIZE);
        other = WSAGetLastError();
    }).join();
    EXPECT_EQ(other, WSAEMSGSIZE);
    EXPECT_EQ(WSAGetLastError(), WSAEADDRINUSE);
}

TEST(WinSock, StartupAndCleanup)
{
    WSADATA data;
    EXPECT_EQ(WSAStartup(0x0001, &data), WSAVERNOTSUPPORTED);
    ASSERT_EQ(WSAStartup(0x0101, &data), 0);
    EXPECT_EQ(data.iMaxUdpDg, 65507);
    EXPECT_GT(data.iMaxSockets, 0);
    EXPECT_EQ(WSACleanup(), 0);
    // Calls without a start-up fail as Winsock's do.
    EXPECT_EQ(socket(WS_AF_INET, WS_SOCK_DGRAM, 0), INVALID_SOCKET);
    EXPECT_EQ(WSAGetLastError(), WSANOTINITIALISED);
    EXPECT_EQ(WSACleanup(), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSANOTINITIALISED);
}

TEST(WinSock, AddressText)
{
    EXPECT_EQ(inet_ntoa(A("192.168.0.9")), "192.168.0.9");
    EXPECT_EQ(inet_addr("not an address"), WS_INADDR_NONE);
    EXPECT_EQ(htons(0x1234), 0x3412);
}

TEST(WinSock, HostAddressRules)
{
    const struct {
        std::vector<std::uint32_t> resolved;
        std::vector<std::uint32_t> interfaces;
        const char* expected;
    } cases[] = {
        {{A("192.168.0.2"), A("10.0.0.1")}, {A("172.16.0.1")}, "192.168.0.2"},
        {{A("127.0.1.1"), A("192.168.0.2")}, {A("172.16.0.1")}, "127.0.1.1"},
        {{A("127.0.1.1")}, {A("192.168.0.2"), A("10.0.0.1")}, "192.168.0.2"},
        {{A("127.0.1.1")}, {}, "127.0.1.1"},
        {{}, {A("192.168.0.2")}, "0.0.0.0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChooseHostAddress(c.resolved, c.interfaces), c.expected);
    for (std::uint32_t a : UpInterfaceAddresses())
        EXPECT_NE(inet_ntoa(a).rfind("127.", 0), 0u);
}

TEST(WinSock, LocalAddressOverride)
{
    const char* saved = std::getenv("VORPEX_LOCAL_ADDRESS");
    const std::string keep = saved ? saved : "";
    ::setenv("VORPEX_LOCAL_ADDRESS", "10.1.2.3", 1);
    EXPECT_EQ(LocalAddressOverride(), std::optional<std::string>("10.1.2.3"));
    ::setenv("VORPEX_LOCAL_ADDRESS", "", 1);
    EXPECT_EQ(LocalAddressOverride(), std::nullopt);
    ::setenv("VORPEX_LOCAL_ADDRESS", keep.c_str(), 1);
}

class LoopbackPair : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(WSAStartup(0x0101, &m_data), 0);
        for (SOCKET* s : {&m_a, &m_b}) {
            *s = socket(WS_AF_INET, WS_SOCK_DGRAM, 0);
            ASSERT_NE(*s, INVALID_SOCKET);
            SOCKADDR_IN addr;
            addr.sin_family = WS_AF_INET;
            addr.sin_addr = A("127.0.0.1");
            ASSERT_EQ(bind(*s, &addr, sizeof addr), 0);
        }
        int len = sizeof m_bAddr;
        ASSERT_EQ(getsockname(m_b, &m_bAddr, &len), 0);
    }
    void TearDown() override
    {
        closesocket(m_a);
        closesocket(m_b);
        WSACleanup();
    }
    void SendToB(const std::string& bytes)
    {
        ASSERT_EQ(sendto(m_a, bytes.data(), static_cast<int>(bytes.size()), 0, &m_bAddr, sizeof m_bAddr),
                  static_cast<int>(bytes.size()));
    }
    bool WaitReadable()
    {
        fd_set set;
        fd_add(m_b, set);
        const TIMEVAL tv{3, 0};
        return select(0, &set, nullptr, nullptr, &tv) == 1 && fd_isset(m_b, set);
    }

    WSADATA m_data;
    SOCKET m_a = INVALID_SOCKET, m_b = INVALID_SOCKET;
    SOCKADDR_IN m_bAddr;
};

TEST_F(LoopbackPair, OversizedDatagramFailsAndIsConsumedUnlessPeeked)
{
    SendToB("0123456789");
    SendToB("ok");
    ASSERT_TRUE(WaitReadable());
    char buf[16] = {};
    EXPECT_EQ(recvfrom(m_b, buf, 4, WS_MSG_PEEK, nullptr, nullptr), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAEMSGSIZE);
    unsigned long waiting = 0;
    ASSERT_EQ(ioctlsocket(m_b, WS_FIONREAD, &waiting), 0);
    EXPECT_EQ(waiting, 10u);
    EXPECT_EQ(recvfrom(m_b, buf, 4, 0, nullptr, nullptr), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAEMSGSIZE);
    EXPECT_EQ(std::string(buf, 4), "0123");
    SOCKADDR_IN from;
    int fromLen = sizeof from;
    EXPECT_EQ(recvfrom(m_b, buf, 16, 0, &from, &fromLen), 2);
    EXPECT_EQ(inet_ntoa(from.sin_addr), "127.0.0.1");
}

TEST_F(LoopbackPair, EmptyDatagramIsToldApartFromAnEmptyQueue)
{
    EXPECT_EQ(PeekDatagramSize(m_b), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAEWOULDBLOCK);
    SendToB("");
    ASSERT_TRUE(WaitReadable());
    unsigned long waiting = 99;
    ASSERT_EQ(ioctlsocket(m_b, WS_FIONREAD, &waiting), 0);
    EXPECT_EQ(waiting, 0u);
    EXPECT_EQ(PeekDatagramSize(m_b), 0);
    EXPECT_EQ(recvfrom(m_b, nullptr, 0, WS_MSG_DONTWAIT, nullptr, nullptr), 0);
    EXPECT_EQ(recvfrom(m_b, nullptr, 0, WS_MSG_DONTWAIT, nullptr, nullptr), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAEWOULDBLOCK);
}

TEST_F(LoopbackPair, FailuresCarryWinsockCodes)
{
    SOCKADDR_IN taken = m_bAddr;
    const SOCKET c = socket(WS_AF_INET, WS_SOCK_DGRAM, 0);
    EXPECT_EQ(bind(c, &taken, sizeof taken), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAEADDRINUSE);
    EXPECT_EQ(closesocket(c), 0);

    fd_set set;
    fd_add(1 << 20, set);
    const TIMEVAL tv{0, 1000};
    EXPECT_EQ(select(0, &set, nullptr, nullptr, &tv), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);
    EXPECT_EQ(sendto(m_a, "x", -1, 0, &m_bAddr, sizeof m_bAddr), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAEFAULT);
    unsigned long arg = 0;
    EXPECT_EQ(ioctlsocket(m_a, 12345, &arg), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAEINVAL);
}

TEST_F(LoopbackPair, WakeupMakesSelectReturn)
{
    SocketWakeup wake;
    fd_set set;
    fd_add(m_b, set);
    fd_add(wake.Handle(), set);
    wake.Signal();
    const TIMEVAL tv{3, 0};
    EXPECT_EQ(select(0, &set, nullptr, nullptr, &tv), 1);
    EXPECT_TRUE(fd_isset(wake.Handle(), set));
    EXPECT_FALSE(fd_isset(m_b, set));
    wake.Drain();
    fd_set again;
    fd_add(wake.Handle(), again);
    const TIMEVAL none{0, 0};
    EXPECT_EQ(select(0, &again, nullptr, nullptr, &none), 0);
}

} // namespace
} // namespace vpx::ws
