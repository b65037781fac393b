#include "platform/WinSock.h"

#include "platform/DottedAddress.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <arpa/inet.h>
#include <fcntl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vpx::ws {

namespace {

thread_local int t_lastError = 0;
std::atomic<int> g_startups{0};

struct ErrnoMap {
    int err;
    int code;
};

// The one translation from errno into Winsock's codes.
constexpr ErrnoMap kErrnoTable[] = {
    {EINTR, WSAEINTR},
    {EBADF, WSAENOTSOCK}, // a handle that is not an open descriptor is not a socket
    {EACCES, WSAEACCES},
    {EPERM, WSAEACCES},
    {EFAULT, WSAEFAULT},
    {EINVAL, WSAEINVAL},
    {EMFILE, WSAEMFILE},
    {ENFILE, WSAEMFILE},
    {EWOULDBLOCK, WSAEWOULDBLOCK},
    {EAGAIN, WSAEWOULDBLOCK},
    {EINPROGRESS, WSAEINPROGRESS},
    {EALREADY, WSAEALREADY},
    {ENOTSOCK, WSAENOTSOCK},
    {EDESTADDRREQ, WSAEDESTADDRREQ},
    {EMSGSIZE, WSAEMSGSIZE},
    {EPROTOTYPE, WSAEPROTOTYPE},
    {ENOPROTOOPT, WSAENOPROTOOPT},
    {EPROTONOSUPPORT, WSAEPROTONOSUPPORT},
    {ESOCKTNOSUPPORT, WSAESOCKTNOSUPPORT},
    {EOPNOTSUPP, WSAEOPNOTSUPP},
    {EPFNOSUPPORT, WSAEPFNOSUPPORT},
    {EAFNOSUPPORT, WSAEAFNOSUPPORT},
    {EADDRINUSE, WSAEADDRINUSE},
    {EADDRNOTAVAIL, WSAEADDRNOTAVAIL},
    {ENETDOWN, WSAENETDOWN},
    {ENETUNREACH, WSAENETUNREACH},
    {ENETRESET, WSAENETRESET},
    {ECONNABORTED, WSAECONNABORTED},
    {ECONNRESET, WSAECONNRESET},
    {ENOBUFS, WSAENOBUFS},
    {ENOMEM, WSAENOBUFS},
    {EISCONN, WSAEISCONN},
    {ENOTCONN, WSAENOTCONN},
    {ESHUTDOWN, WSAESHUTDOWN},
    {ETOOMANYREFS, WSAETOOMANYREFS},
    {ETIMEDOUT, WSAETIMEDOUT},
    {ECONNREFUSED, WSAECONNREFUSED},
    {ELOOP, WSAELOOP},
    {ENAMETOOLONG, WSAENAMETOOLONG},
    {EHOSTDOWN, WSAEHOSTDOWN},
    {EHOSTUNREACH, WSAEHOSTUNREACH},
    {ENOTEMPTY, WSAENOTEMPTY},
    {EUSERS, WSAEUSERS},
    {EDQUOT, WSAEDQUOT},
    {ESTALE, WSAESTALE},
    {EREMOTE, WSAEREMOTE},
};

int Fail(int code) noexcept
{
    t_lastError = code;
    return SOCKET_ERROR;
}

int FailErrno() noexcept
{
    return Fail(WinsockErrorFromErrno(errno));
}

bool Started() noexcept
{
    return g_startups.load() > 0;
}

int NativeFlags(int flags) noexcept
{
    int native = 0;
    if (flags & WS_MSG_PEEK)
        native |= MSG_PEEK;
    if (flags & WS_MSG_DONTWAIT)
        native |= MSG_DONTWAIT;
    return native;
}

bool ToNativeOption(int level, int optName, int& nativeLevel, int& nativeName) noexcept
{
    if (level == WS_IPPROTO_IP) {
        nativeLevel = IPPROTO_IP;
        switch (optName) {
        case WS_IP_MULTICAST_IF:
            nativeName = IP_MULTICAST_IF;
            return true;
        case WS_IP_MULTICAST_TTL:
            nativeName = IP_MULTICAST_TTL;
            return true;
        case WS_IP_ADD_MEMBERSHIP:
            nativeName = IP_ADD_MEMBERSHIP;
            return true;
        case WS_IP_PKTINFO:
            nativeName = IP_PKTINFO;
            return true;
        default:
            return false;
        }
    }
    if (level != WS_SOL_SOCKET)
        return false;
    nativeLevel = SOL_SOCKET;
    switch (optName) {
    case WS_SO_RCVBUF:
        nativeName = SO_RCVBUF;
        return true;
    case WS_SO_SNDBUF:
        nativeName = SO_SNDBUF;
        return true;
    case WS_SO_BROADCAST:
        nativeName = SO_BROADCAST;
        return true;
    default:
        return false;
    }
}

sockaddr_in ToNative(const SOCKADDR_IN& a) noexcept
{
    sockaddr_in n{};
    n.sin_family = a.sin_family == WS_AF_INET ? AF_INET : static_cast<sa_family_t>(a.sin_family);
    n.sin_port = a.sin_port;
    n.sin_addr.s_addr = a.sin_addr;
    return n;
}

SOCKADDR_IN FromNative(const sockaddr_in& n) noexcept
{
    SOCKADDR_IN a;
    a.sin_family = n.sin_family == AF_INET ? WS_AF_INET : n.sin_family;
    a.sin_port = n.sin_port;
    a.sin_addr = n.sin_addr.s_addr;
    return a;
}

bool IsLoopback(std::uint32_t netOrder) noexcept
{
    return (ntohl(netOrder) >> 24) == 127;
}

} // namespace

int WinsockErrorFromErrno(int err) noexcept
{
    for (const auto& row : kErrnoTable)
        if (row.err == err)
            return row.code;
    return err;
}

int WSAGetLastError() noexcept
{
    return t_lastError;
}

void WSASetLastError(int code) noexcept
{
    t_lastError = code;
}

int WSAStartup(std::uint16_t versionRequested, WSADATA* data)
{
    // Version 1.1 is what we offer; a request below 1.1 cannot be served.
    const int major = versionRequested & 0xFF;
    const int minor = (versionRequested >> 8) & 0xFF;
    if (data == nullptr)
        return WSAEFAULT;
    *data = WSADATA{};
    data->wVersion = 0x0101;
    data->wHighVersion = 0x0101;
    if (major < 1 || (major == 1 && minor < 1))
        return WSAVERNOTSUPPORTED;
    std::strncpy(data->szDescription, "Vorpex sockets 1.1 over POSIX sockets", sizeof data->szDescription - 1);
    std::strncpy(data->szSystemStatus, "Running", sizeof data->szSystemStatus - 1);
    rlimit lim{};
    unsigned long maxSockets = 1024;
    if (::getrlimit(RLIMIT_NOFILE, &lim) == 0 && lim.rlim_cur != RLIM_INFINITY)
        maxSockets = lim.rlim_cur;
    else if (::getrlimit(RLIMIT_NOFILE, &lim) == 0)
        maxSockets = 0xFFFF;
    data->iMaxSockets = static_cast<std::uint16_t>(std::min<unsigned long>(maxSockets, 0xFFFF));
    data->iMaxUdpDg = MaxUdpDatagram;
    ++g_startups;
    return 0;
}

int WSACleanup()
{
    int current = g_startups.load();
    while (current > 0) {
        if (g_startups.compare_exchange_weak(current, current - 1))
            return 0;
    }
    return Fail(WSANOTINITIALISED);
}

void fd_zero(fd_set& set) noexcept
{
    set.fd_count = 0;
}

void fd_add(SOCKET s, fd_set& set) noexcept
{
    if (fd_isset(s, set) || set.fd_count >= FdSetSize)
        return;
    set.fd_array[set.fd_count++] = s;
}

bool fd_isset(SOCKET s, const fd_set& set) noexcept
{
    return std::find(set.fd_array, set.fd_array + set.fd_count, s) != set.fd_array + set.fd_count;
}

SOCKET socket(int af, int type, int protocol)
{
    if (!Started())
        return Fail(WSANOTINITIALISED);
    if (af != WS_AF_INET)
        return Fail(WSAEAFNOSUPPORT);
    if (type != WS_SOCK_DGRAM)
        return Fail(WSAESOCKTNOSUPPORT);
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, protocol);
    if (fd < 0)
        return FailErrno();
    return fd;
}

int bind(SOCKET s, const SOCKADDR_IN* name, int nameLen)
{
    if (!Started())
        return Fail(WSANOTINITIALISED);
    if (name == nullptr || nameLen < static_cast<int>(sizeof(SOCKADDR_IN)))
        return Fail(WSAEFAULT);
    const sockaddr_in n = ToNative(*name);
    if (::bind(s, reinterpret_cast<const sockaddr*>(&n), sizeof n) != 0)
        return FailErrno();
    return 0;
}

int closesocket(SOCKET s)
{
    if (!Started())
        return Fail(WSANOTINITIALISED);
    if (s < 0)
        return Fail(WSAENOTSOCK);
    // Linux releases the descriptor even when close reports EINTR; retrying
    // could close a descriptor another thread has just been given.
    if (::close(s) != 0 && errno != EINTR)
        return FailErrno();
    return 0;
}

int sendto(SOCKET s, const void* buf, int len, int flags, const SOCKADDR_IN* to, int toLen)
{
    if (!Started())
        return Fail(WSANOTINITIALISED);
    if (len < 0 || (buf == nullptr && len > 0) || to == nullptr || toLen < static_cast<int>(sizeof(SOCKADDR_IN)))
        return Fail(WSAEFAULT);
    const sockaddr_in n = ToNative(*to);
    ssize_t r;
    do {
        r = ::sendto(s, buf, static_cast<std::size_t>(len), NativeFlags(flags) | MSG_NOSIGNAL,
                     reinterpret_cast<const sockaddr*>(&n), sizeof n);
    } while (r < 0 && errno == EINTR);
    if (r < 0)
        return FailErrno();
    return static_cast<int>(r);
}

int recvfrom(SOCKET s, void* buf, int len, int flags, SOCKADDR_IN* from, int* fromLen)
{
    if (!Started())
        return Fail(WSANOTINITIALISED);
    if (len < 0 || (buf == nullptr && len > 0))
        return Fail(WSAEFAULT);
    if (from != nullptr && (fromLen == nullptr || *fromLen < static_cast<int>(sizeof(SOCKADDR_IN))))
        return Fail(WSAEFAULT);
    sockaddr_in n{};
    socklen_t nLen = sizeof n;
    ssize_t r;
    // MSG_TRUNC makes Linux tell the datagram's real length, which is how a
    // datagram longer than the buffer is recognised instead of silently cut.
    do {
        r = ::recvfrom(s, buf, static_cast<std::size_t>(len), NativeFlags(flags) | MSG_TRUNC,
                       reinterpret_cast<sockaddr*>(&n), &nLen);
    } while (r < 0 && errno == EINTR);
    if (r < 0)
        return FailErrno();
    if (from != nullptr) {
        *from = FromNative(n);
        *fromLen = sizeof(SOCKADDR_IN);
    }
    if (r > len)
        return Fail(WSAEMSGSIZE);
    return static_cast<int>(r);
}

namespace {

// Room for the one control message a read may carry: where the datagram went.
using PacketInfoSpace = std::array<unsigned char, CMSG_SPACE(sizeof(in_pktinfo))>;

std::uint32_t SentTo(const msghdr& message) noexcept
{
    if (message.msg_controllen == 0)
        return 0;
    for (cmsghdr* c = CMSG_FIRSTHDR(&message); c != nullptr; c = CMSG_NXTHDR(const_cast<msghdr*>(&message), c)) {
        if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO) {
            in_pktinfo info;
            std::memcpy(&info, CMSG_DATA(c), sizeof info);
            return info.ipi_addr.s_addr;
        }
    }
    return 0;
}

} // namespace

int recvfromto(SOCKET s, void* buf, int len, int flags, SOCKADDR_IN* from, std::uint32_t* to)
{
    if (!Started())
        return Fail(WSANOTINITIALISED);
    if (len < 0 || (buf == nullptr && len > 0))
        return Fail(WSAEFAULT);
    sockaddr_in n{};
    iovec part{buf, static_cast<std::size_t>(len)};
    alignas(cmsghdr) PacketInfoSpace control{};
    msghdr message{};
    message.msg_name = &n;
    message.msg_namelen = sizeof n;
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    message.msg_control = control.data();
    message.msg_controllen = control.size();
    ssize_t r;
    do {
        r = ::recvmsg(s, &message, NativeFlags(flags) | MSG_TRUNC);
    } while (r < 0 && errno == EINTR);
    if (r < 0)
        return FailErrno();
    if (from != nullptr)
        *from = FromNative(n);
    if (to != nullptr)
        *to = SentTo(message);
    if (r > len)
        return Fail(WSAEMSGSIZE);
    return static_cast<int>(r);
}

struct DatagramBatch::Native {
    mmsghdr messages[MaxDatagramSlots];
    iovec parts[MaxDatagramSlots];
    sockaddr_in senders[MaxDatagramSlots];
    alignas(cmsghdr) PacketInfoSpace controls[MaxDatagramSlots];
    // Headers the last call may have written to: only these are set right again,
    // so that a call that takes one datagram does not pay for a whole batch. Every
    // other header is as the constructor left it, ready for any count.
    int used = 0;
};

DatagramBatch::DatagramBatch() : m_native(std::make_unique<Native>())
{
    Native& n = *m_native;
    for (int i = 0; i < MaxDatagramSlots; ++i) {
        n.parts[i] = {nullptr, 0};
        n.messages[i] = {};
        n.messages[i].msg_hdr.msg_name = &n.senders[i];
        n.messages[i].msg_hdr.msg_namelen = sizeof n.senders[i];
        n.messages[i].msg_hdr.msg_iov = &n.parts[i];
        n.messages[i].msg_hdr.msg_iovlen = 1;
        n.messages[i].msg_hdr.msg_control = n.controls[i].data();
        n.messages[i].msg_hdr.msg_controllen = n.controls[i].size();
    }
}

DatagramBatch::~DatagramBatch() = default;

void DatagramBatch::Assign(int slot, void* buf, int len)
{
    if (slot < 0 || slot >= MaxDatagramSlots)
        return;
    m_slots[slot].buf = buf;
    m_slots[slot].len = buf ? std::max(len, 0) : 0;
    m_native->parts[slot] = {buf, static_cast<std::size_t>(m_slots[slot].len)};
}

int DatagramBatch::Receive(SOCKET s, int count, int flags)
{
    if (!Started())
        return Fail(WSANOTINITIALISED);
    if (count <= 0 || count > MaxDatagramSlots)
        return Fail(WSAEFAULT);
    Native& n = *m_native;
    for (int i = 0; i < std::min(n.used, count); ++i) {
        n.messages[i].msg_hdr.msg_namelen = sizeof n.senders[i];
        n.messages[i].msg_hdr.msg_controllen = n.controls[i].size();
        n.messages[i].msg_hdr.msg_flags = 0;
        n.messages[i].msg_len = 0;
    }
    n.used = count;
    // MSG_TRUNC: each length is the datagram's real one, as in recvfrom above.
    const int native = MSG_TRUNC | ((flags & WS_MSG_DONTWAIT) ? MSG_DONTWAIT : MSG_WAITFORONE);
    int r;
    do {
        r = ::recvmmsg(s, n.messages, static_cast<unsigned>(count), native, nullptr);
    } while (r < 0 && errno == EINTR);
    if (r < 0)
        return FailErrno();
    n.used = std::min(r + 1, count);
    for (int i = 0; i < r; ++i) {
        DatagramSlot& slot = m_slots[i];
        const unsigned length = n.messages[i].msg_len;
        const bool cut = length > static_cast<unsigned>(slot.len) || (n.messages[i].msg_hdr.msg_flags & MSG_TRUNC);
        slot.size = cut ? SOCKET_ERROR : static_cast<int>(length);
        slot.error = cut ? WSAEMSGSIZE : 0;
        slot.from = FromNative(n.senders[i]);
        slot.to = SentTo(n.messages[i].msg_hdr);
    }
    return r;
}

int PeekDatagramSize(SOCKET s)
{
    if (!Started())
        return Fail(WSANOTINITIALISED);
    ssize_t r;
    do {
        r = ::recv(s, nullptr, 0, MSG_PEEK | MSG_TRUNC | MSG_DONTWAIT);
    } while (r < 0 && errno == EINTR);
    if (r < 0)
        return FailErrno();
    return static_cast<int>(r);
}

int select(int, fd_set* readfds, fd_set* writefds, fd_set* exceptfds, const TIMEVAL* timeout)
{
    if (!Started())
        return Fail(WSANOTINITIALISED);
    struct Entry {
        fd_set* set;
        short events;
    };
    const Entry sets[] = {{readfds, POLLIN}, {writefds, POLLOUT}, {exceptfds, POLLPRI}};
    std::vector<pollfd> fds;
    for (const auto& e : sets) {
        if (e.set == nullptr)
            continue;
        for (unsigned i = 0; i < e.set->fd_count; ++i) {
            if (e.set->fd_array[i] < 0)
                return Fail(WSAENOTSOCK);
            fds.push_back(pollfd{e.set->fd_array[i], e.events, 0});
        }
    }
    if (fds.empty())
        return Fail(WSAEINVAL);
    int ms = -1;
    if (timeout != nullptr) {
        if (timeout->tv_sec < 0 || timeout->tv_usec < 0)
            return Fail(WSAEINVAL);
        const long long total = timeout->tv_sec * 1000LL + (timeout->tv_usec + 999) / 1000;
        ms = static_cast<int>(std::min<long long>(total, 0x7FFFFFFF));
    }
    int r;
    do {
        r = ::poll(fds.data(), fds.size(), ms);
    } while (r < 0 && errno == EINTR);
    if (r < 0)
        return FailErrno();
    for (const auto& p : fds)
        if (p.revents & POLLNVAL)
            return Fail(WSAENOTSOCK);

    int ready = 0;
    std::size_t k = 0;
    for (const auto& e : sets) {
        if (e.set == nullptr)
            continue;
        fd_set result;
        for (unsigned i = 0; i < e.set->fd_count; ++i, ++k) {
            const short hit = e.events == POLLIN ? static_cast<short>(POLLIN | POLLHUP | POLLERR) : e.events;
            if (fds[k].revents & hit)
                result.fd_array[result.fd_count++] = e.set->fd_array[i];
        }
        ready += static_cast<int>(result.fd_count);
        *e.set = result;
    }
    return ready;
}

int ioctlsocket(SOCKET s, long cmd, unsigned long* argp)
{
    if (!Started())
        return Fail(WSANOTINITIALISED);
    if (argp == nullptr)
        return Fail(WSAEFAULT);
    if (cmd == WS_FIONREAD) {
        int count = 0;
        if (::ioctl(s, FIONREAD, &count) != 0)
            return FailErrno();
        *argp = static_cast<unsigned long>(count);
        return 0;
    }
    if (cmd == WS_FIONBIO) {
        const int flags = ::fcntl(s, F_GETFL);
        if (flags < 0)
            return FailErrno();
        const int wanted = *argp != 0 ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK);
        if (::fcntl(s, F_SETFL, wanted) != 0)
            return FailErrno();
        return 0;
    }
    return Fail(WSAEINVAL);
}

int setsockopt(SOCKET s, int level, int optName, const void* optVal, int optLen)
{
    if (!Started())
        return Fail(WSANOTINITIALISED);
    int nl = 0, nn = 0;
    if (!ToNativeOption(level, optName, nl, nn))
        return Fail(WSAENOPROTOOPT);
    if (nl == IPPROTO_IP && nn == IP_ADD_MEMBERSHIP) {
        if (optVal == nullptr || optLen < static_cast<int>(sizeof(IP_MREQ)))
            return Fail(WSAEFAULT);
        const auto* m = static_cast<const IP_MREQ*>(optVal);
        ip_mreq native{};
        native.imr_multiaddr.s_addr = m->imr_multiaddr;
        native.imr_interface.s_addr = m->imr_interface;
        if (::setsockopt(s, nl, nn, &native, sizeof native) != 0)
            return FailErrno();
        return 0;
    }
    if (optVal == nullptr || optLen < static_cast<int>(sizeof(int)))
        return Fail(WSAEFAULT);
    if (nl == IPPROTO_IP && nn == IP_MULTICAST_IF) {
        // Winsock takes the interface's address as a plain 4-byte value.
        in_addr native{};
        std::memcpy(&native.s_addr, optVal, sizeof native.s_addr);
        if (::setsockopt(s, nl, nn, &native, sizeof native) != 0)
            return FailErrno();
        return 0;
    }
    if (::setsockopt(s, nl, nn, optVal, sizeof(int)) != 0)
        return FailErrno();
    return 0;
}

int getsockopt(SOCKET s, int level, int optName, void* optVal, int* optLen)
{
    if (!Started())
        return Fail(WSANOTINITIALISED);
    int nl = 0, nn = 0;
    if (!ToNativeOption(level, optName, nl, nn))
        return Fail(WSAENOPROTOOPT);
    if (optVal == nullptr || optLen == nullptr || *optLen < static_cast<int>(sizeof(int)))
        return Fail(WSAEFAULT);
    socklen_t len = sizeof(int);
    if (::getsockopt(s, nl, nn, optVal, &len) != 0)
        return FailErrno();
    *optLen = static_cast<int>(len);
    return 0;
}

int getsockname(SOCKET s, SOCKADDR_IN* name, int* nameLen)
{
    if (!Started())
        return Fail(WSANOTINITIALISED);
    if (name == nullptr || nameLen == nullptr || *nameLen < static_cast<int>(sizeof(SOCKADDR_IN)))
        return Fail(WSAEFAULT);
    sockaddr_in n{};
    socklen_t len = sizeof n;
    if (::getsockname(s, reinterpret_cast<sockaddr*>(&n), &len) != 0)
        return FailErrno();
    *name = FromNative(n);
    *nameLen = sizeof(SOCKADDR_IN);
    return 0;
}

int gethostname(char* name, int nameLen)
{
    if (!Started())
        return Fail(WSANOTINITIALISED);
    if (name == nullptr || nameLen <= 0)
        return Fail(WSAEFAULT);
    if (::gethostname(name, static_cast<std::size_t>(nameLen)) != 0)
        return Fail(errno == ENAMETOOLONG ? WSAEFAULT : WinsockErrorFromErrno(errno));
    // POSIX does not promise the terminating zero when the name was cut.
    if (std::memchr(name, 0, static_cast<std::size_t>(nameLen)) == nullptr)
        return Fail(WSAEFAULT);
    return 0;
}

std::vector<std::uint32_t> gethostbyname(const std::string& name)
{
    std::vector<std::uint32_t> result;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* list = nullptr;
    if (::getaddrinfo(name.c_str(), nullptr, &hints, &list) != 0)
        return result;
    for (addrinfo* p = list; p != nullptr; p = p->ai_next) {
        if (p->ai_family != AF_INET || p->ai_addr == nullptr)
            continue;
        const std::uint32_t a = reinterpret_cast<const sockaddr_in*>(p->ai_addr)->sin_addr.s_addr;
        if (std::find(result.begin(), result.end(), a) == result.end())
            result.push_back(a);
    }
    ::freeaddrinfo(list);
    return result;
}

std::uint32_t inet_addr(const std::string& text) noexcept
{
    // Not the system's parser: it reads "010" as 8 and "10.1" as 10.0.0.1.
    const auto address = ParseDottedAddress(text);
    return address ? htonl(*address) : WS_INADDR_NONE;
}

std::string inet_ntoa(std::uint32_t addr)
{
    const auto* b = reinterpret_cast<const unsigned char*>(&addr);
    return std::to_string(b[0]) + '.' + std::to_string(b[1]) + '.' + std::to_string(b[2]) + '.' +
           std::to_string(b[3]);
}

std::string ChooseHostAddress(const std::vector<std::uint32_t>& resolved,
                              const std::vector<std::uint32_t>& interfaces)
{
    if (resolved.empty())
        return "0.0.0.0";
    for (std::uint32_t a : resolved)
        if (!IsLoopback(a))
            return inet_ntoa(resolved.front());
    if (!interfaces.empty())
        return inet_ntoa(interfaces.front());
    return inet_ntoa(resolved.front());
}

std::vector<std::uint32_t> UpInterfaceAddresses()
{
    std::vector<std::uint32_t> result;
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0)
        return result;
    for (ifaddrs* p = list; p != nullptr; p = p->ifa_next) {
        if (p->ifa_addr == nullptr || p->ifa_addr->sa_family != AF_INET)
            continue;
        if (!(p->ifa_flags & IFF_UP) || (p->ifa_flags & IFF_LOOPBACK))
            continue;
        const std::uint32_t a = reinterpret_cast<const sockaddr_in*>(p->ifa_addr)->sin_addr.s_addr;
        if (!IsLoopback(a))
            result.push_back(a);
    }
    ::freeifaddrs(list);
    return result;
}

std::vector<InterfaceAddress> UpInterfaces()
{
    std::vector<InterfaceAddress> result;
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0)
        return result;
    for (ifaddrs* p = list; p != nullptr; p = p->ifa_next) {
        if (p->ifa_addr == nullptr || p->ifa_addr->sa_family != AF_INET || !(p->ifa_flags & IFF_UP))
            continue;
        const std::uint32_t a = reinterpret_cast<const sockaddr_in*>(p->ifa_addr)->sin_addr.s_addr;
        result.push_back(InterfaceAddress{p->ifa_name != nullptr ? p->ifa_name : "", inet_ntoa(a)});
    }
    ::freeifaddrs(list);
    return result;
}

std::string HostAddressFor(const std::string& hostName)
{
    const auto resolved = gethostbyname(hostName);
    bool allLoopback = !resolved.empty();
    for (std::uint32_t a : resolved)
        allLoopback = allLoopback && IsLoopback(a);
    return ChooseHostAddress(resolved, allLoopback ? UpInterfaceAddresses() : std::vector<std::uint32_t>{});
}

std::optional<std::string> LocalAddressOverride()
{
    const char* value = std::getenv("VORPEX_LOCAL_ADDRESS");
    if (value == nullptr || *value == '\0')
        return std::nullopt;
    return std::string(value);
}

SocketWakeup::SocketWakeup() : m_fd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

SocketWakeup::~SocketWakeup()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void SocketWakeup::Signal() noexcept
{
    if (m_fd < 0)
        return;
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t r = ::write(m_fd, &one, sizeof one);
}

void SocketWakeup::Drain() noexcept
{
    if (m_fd < 0)
        return;
    std::uint64_t value = 0;
    [[maybe_unused]] const ssize_t r = ::read(m_fd, &value, sizeof value);
}

} // namespace vpx::ws
