// The baseline responder: a bare recvfrom/sendto loop on 127.0.0.1 that sends
// every datagram straight back to its sender. It prints "port N rcvbuf B" once
// bound (B: the receive queue the system granted) and ends, when idle, once stdin
// has a line or is closed, or at its lifetime limit. Given a queue size, it asks
// for that, as Vorpex asks for its own, so that both meet a flood with the same room.
//
//   bench_udp_echo [lifetime seconds] [receive queue bytes]

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/time.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    const int lifetime = argc > 1 ? std::atoi(argv[1]) : 600;
    const int s = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (argc > 2) {
        const int queue = std::atoi(argv[2]);
        ::setsockopt(s, SOL_SOCKET, SO_RCVBUF, &queue, sizeof queue);
    }
    int granted = 0;
    socklen_t grantedLen = sizeof granted;
    ::getsockopt(s, SOL_SOCKET, SO_RCVBUF, &granted, &grantedLen);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (s < 0 || ::bind(s, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        std::perror("bench_udp_echo: bind");
        return 1;
    }
    socklen_t len = sizeof local;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&local), &len);
    std::printf("port %u rcvbuf %d\n", ntohs(local.sin_port), granted);
    std::fflush(stdout);

    // The datagram path is the plain blocking pair; the end is looked for only
    // when nothing has arrived for half a second.
    const timeval idle{0, 500000};
    ::setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &idle, sizeof idle);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(lifetime);
    static char buf[65536];
    for (;;) {
        sockaddr_in from{};
        socklen_t fromLen = sizeof from;
        const ssize_t n = ::recvfrom(s, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from), &fromLen);
        if (n >= 0) {
            ::sendto(s, buf, static_cast<size_t>(n), 0, reinterpret_cast<sockaddr*>(&from), fromLen);
            continue;
        }
        pollfd in{0, POLLIN, 0};
        if (std::chrono::steady_clock::now() >= end || (::poll(&in, 1, 0) > 0 && in.revents != 0))
            break; // stdin readable means a command or its end: both mean stop
    }
    ::close(s);
    return 0;
}
