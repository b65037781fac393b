#pragma once

// Helpers for socket tests: a plain peer socket on 127.0.0.1 and waits with a
// deadline that keep the GUI thread's events flowing.

#include "support/TestSupport.h"

#include "platform/WinSock.h"
#include "transport/CommUDP.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace vpx::test {

inline std::uint16_t BoundPort(ws::SOCKET s)
{
    ws::SOCKADDR_IN a;
    int len = sizeof a;
    if (ws::getsockname(s, &a, &len) != 0)
        return 0;
    return ws::ntohs(a.sin_port);
}

// A UDP socket bound to 127.0.0.1 on a port of the system's choosing.
class Peer {
public:
    Peer()
    {
        ws::WSADATA data;
        ws::WSAStartup(0x0101, &data);
        m_socket = ws::socket(ws::WS_AF_INET, ws::WS_SOCK_DGRAM, 0);
        ws::SOCKADDR_IN a;
        a.sin_family = ws::WS_AF_INET;
        a.sin_addr = ws::inet_addr("127.0.0.1");
        ws::bind(m_socket, &a, sizeof a);
        m_port = BoundPort(m_socket);
    }
    ~Peer()
    {
        ws::closesocket(m_socket);
        ws::WSACleanup();
    }
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;

    std::uint16_t Port() const { return m_port; }
    ws::SOCKET Socket() const { return m_socket; }

    int SendTo(std::uint16_t port, const std::string& bytes)
    {
        ws::SOCKADDR_IN to;
        to.sin_family = ws::WS_AF_INET;
        to.sin_addr = ws::inet_addr("127.0.0.1");
        to.sin_port = ws::htons(port);
        return ws::sendto(m_socket, bytes.data(), static_cast<int>(bytes.size()), 0, &to, sizeof to);
    }

    // The next datagram, waiting at most a few seconds; nullopt-like empty flag when none.
    bool Receive(std::string& bytes, std::uint16_t& fromPort, int timeoutMs = 3000)
    {
        ws::fd_set set;
        ws::fd_add(m_socket, set);
        const ws::TIMEVAL tv{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
        if (ws::select(0, &set, nullptr, nullptr, &tv) <= 0)
            return false;
        std::vector<char> buf(65536);
        ws::SOCKADDR_IN from;
        int fromLen = sizeof from;
        const int n = ws::recvfrom(m_socket, buf.data(), static_cast<int>(buf.size()), 0, &from, &fromLen);
        if (n < 0)
            return false;
        bytes.assign(buf.data(), static_cast<std::size_t>(n));
        fromPort = ws::ntohs(from.sin_port);
        return true;
    }

private:
    ws::SOCKET m_socket = ws::INVALID_SOCKET;
    std::uint16_t m_port = 0;
};

} // namespace vpx::test
