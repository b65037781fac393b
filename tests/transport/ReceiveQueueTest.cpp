#include "transport/CommUDP.h"

#include "TransportTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

namespace vpx::test {
namespace {

// What the system lets an ordinary user ask for; 0 when it does not say.
int SystemMaximum()
{
    std::ifstream in("/proc/sys/net/core/rmem_max");
    int max = 0;
    in >> max;
    return max;
}

int ReceiveQueue(ws::SOCKET s)
{
    int size = 0;
    int len = sizeof size;
    if (ws::getsockopt(s, ws::WS_SOL_SOCKET, ws::WS_SO_RCVBUF, &size, &len) != 0)
        return -1;
    return size;
}

TEST(ReceiveQueue, OpenAsksForARoomyQueueAndTakesWhatTheSystemGrants)
{
    const int maximum = SystemMaximum();
    if (maximum <= 0)
        GTEST_SKIP() << "the system does not tell its maximum";
    Peer plain; // a socket with the system's default queue
    TCustomUDPSock sock;
    sock.Open();
    ASSERT_TRUE(sock.Active());
    const int granted = ReceiveQueue(sock.Socket());
    EXPECT_GE(granted, std::min(TCustomUDPSock::ReceiveBufferBytes, maximum));
    EXPECT_GE(granted, ReceiveQueue(plain.Socket()));
    // A queue that roomy holds a burst the default one would drop.
    const std::uint16_t port = BoundPort(sock.Socket());
    if (granted >= (1 << 20)) {
        const std::string datagram(512, 'b');
        int sent = 0;
        for (int i = 0; i < 1500; ++i)
            sent += plain.SendTo(port, datagram) > 0;
        EXPECT_EQ(sent, 1500);
        int waiting = 0;
        ws::SOCKADDR_IN from;
        int fromLen = sizeof from;
        char buf[1024];
        while (waiting < 1500 &&
               ws::recvfrom(sock.Socket(), buf, sizeof buf, ws::WS_MSG_DONTWAIT, &from, &fromLen) == 512)
            ++waiting;
        EXPECT_EQ(waiting, 1500);
    }
    sock.Close();
}

} // namespace
} // namespace vpx::test
