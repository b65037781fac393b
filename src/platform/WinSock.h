#pragma once

// Windows Sockets 1.1 as the UDP endpoint uses it, over POSIX sockets. The calls
// keep Winsock's result conventions (SOCKET_ERROR / INVALID_SOCKET and a per-thread
// last error in Winsock's codes) so that the error vocabulary of the socket layer
// works unchanged. This header includes no system socket header: constants that
// the C library defines as macros carry a WS_ prefix here.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vpx::ws {

using SOCKET = int;
inline constexpr SOCKET INVALID_SOCKET = -1;
inline constexpr int SOCKET_ERROR = -1;

// Winsock error codes.
enum : int {
    WSAEINTR = 10004,
    WSAEBADF = 10009,
    WSAEACCES = 10013,
    WSAEFAULT = 10014,
    WSAEINVAL = 10022,
    WSAEMFILE = 10024,
    WSAEWOULDBLOCK = 10035,
    WSAEINPROGRESS = 10036,
    WSAEALREADY = 10037,
    WSAENOTSOCK = 10038,
    WSAEDESTADDRREQ = 10039,
    WSAEMSGSIZE = 10040,
    WSAEPROTOTYPE = 10041,
    WSAENOPROTOOPT = 10042,
    WSAEPROTONOSUPPORT = 10043,
    WSAESOCKTNOSUPPORT = 10044,
    WSAEOPNOTSUPP = 10045,
    WSAEPFNOSUPPORT = 10046,
    WSAEAFNOSUPPORT = 10047,
    WSAEADDRINUSE = 10048,
    WSAEADDRNOTAVAIL = 10049,
    WSAENETDOWN = 10050,
    WSAENETUNREACH = 10051,
    WSAENETRESET = 10052,
    WSAECONNABORTED = 10053,
    WSAECONNRESET = 10054,
    WSAENOBUFS = 10055,
    WSAEISCONN = 10056,
    WSAENOTCONN = 10057,
    WSAESHUTDOWN = 10058,
    WSAETOOMANYREFS = 10059,
    WSAETIMEDOUT = 10060,
    WSAECONNREFUSED = 10061,
    WSAELOOP = 10062,
    WSAENAMETOOLONG = 10063,
    WSAEHOSTDOWN = 10064,
    WSAEHOSTUNREACH = 10065,
    WSAENOTEMPTY = 10066,
    WSAEPROCLIM = 10067,
    WSAEUSERS = 10068,
    WSAEDQUOT = 10069,
    WSAESTALE = 10070,
    WSAEREMOTE = 10071,
    WSASYSNOTREADY = 10091,
    WSAVERNOTSUPPORTED = 10092,
    WSANOTINITIALISED = 10093,
};

inline constexpr int WS_AF_INET = 2;
inline constexpr int WS_SOCK_DGRAM = 2;
inline constexpr int WS_MSG_PEEK = 0x2;
// Not in Winsock 1.1: a read that must not wait (the GUI thread never blocks).
inline constexpr int WS_MSG_DONTWAIT = 0x40;
inline constexpr long WS_FIONREAD = 0x4004667F;
inline constexpr long WS_FIONBIO = static_cast<long>(0x8004667EL);
inline constexpr int WS_SOL_SOCKET = 0xFFFF;
inline constexpr int WS_SO_SNDBUF = 0x1001;
inline constexpr int WS_SO_RCVBUF = 0x1002;
inline constexpr int WS_SO_BROADCAST = 0x0020;
// IPv4 multicast options at level WS_IPPROTO_IP, in Winsock 1.1's numbering.
inline constexpr int WS_IPPROTO_IP = 0;
inline constexpr int WS_IP_MULTICAST_IF = 2;
inline constexpr int WS_IP_MULTICAST_TTL = 3;
inline constexpr int WS_IP_ADD_MEMBERSHIP = 5;
// Non-zero: every read learns the address the datagram was sent to (see recvfromto).
inline constexpr int WS_IP_PKTINFO = 19;
inline constexpr std::uint32_t WS_INADDR_NONE = 0xFFFFFFFFu;
inline constexpr std::uint16_t MaxUdpDatagram = 65507;

// IPv4 socket address, 16 bytes; port and address in network byte order.
struct SOCKADDR_IN {
    std::uint16_t sin_family = 0;
    std::uint16_t sin_port = 0;
    std::uint32_t sin_addr = 0;
    std::uint8_t sin_zero[8] = {};
};
static_assert(sizeof(SOCKADDR_IN) == 16);

// A multicast group and the local interface address to join it on (network byte order).
struct IP_MREQ {
    std::uint32_t imr_multiaddr = 0;
    std::uint32_t imr_interface = 0;
};

struct WSADATA {
    std::uint16_t wVersion = 0;
    std::uint16_t wHighVersion = 0;
    char szDescription[257] = {};
    char szSystemStatus[129] = {};
    std::uint16_t iMaxSockets = 0;
    std::uint16_t iMaxUdpDg = 0;
};

// Winsock's descriptor set: a count and up to 64 handles.
inline constexpr unsigned FdSetSize = 64;
struct fd_set {
    unsigned fd_count = 0;
    SOCKET fd_array[FdSetSize] = {};
};
void fd_zero(fd_set& set) noexcept;
void fd_add(SOCKET s, fd_set& set) noexcept; // ignored when already present or full
bool fd_isset(SOCKET s, const fd_set& set) noexcept;

struct TIMEVAL {
    long tv_sec = 0;
    long tv_usec = 0;
};

int WSAStartup(std::uint16_t versionRequested, WSADATA* data);
int WSACleanup();
int WSAGetLastError() noexcept;
void WSASetLastError(int code) noexcept;

// The Winsock code for a POSIX errno value; codes with no Winsock counterpart are
// passed on unchanged so that the message still shows the system's number.
int WinsockErrorFromErrno(int err) noexcept;

SOCKET socket(int af, int type, int protocol);
int bind(SOCKET s, const SOCKADDR_IN* name, int nameLen);
int closesocket(SOCKET s);
int sendto(SOCKET s, const void* buf, int len, int flags, const SOCKADDR_IN* to, int toLen);
// A datagram longer than `len` fails with WSAEMSGSIZE after the first `len` bytes
// were copied; without WS_MSG_PEEK it is consumed, as Winsock does.
int recvfrom(SOCKET s, void* buf, int len, int flags, SOCKADDR_IN* from, int* fromLen);
// Not in Winsock's 1.1 calls: recvfrom that also gives the address the datagram
// was sent to (network byte order; a group or a broadcast address included) in
// `to`, for a socket with WS_IP_PKTINFO on; 0 otherwise.
int recvfromto(SOCKET s, void* buf, int len, int flags, SOCKADDR_IN* from, std::uint32_t* to);
// Readiness of the sockets in the sets; the sets are reduced to the ready ones.
// The first argument is ignored, as in Winsock. Any descriptor may be a member.
int select(int nfds, fd_set* readfds, fd_set* writefds, fd_set* exceptfds, const TIMEVAL* timeout);
// WS_FIONREAD: the size of the next waiting datagram (0 when none or when it is
// empty); WS_FIONBIO: non-zero turns non-blocking mode on.
int ioctlsocket(SOCKET s, long cmd, unsigned long* argp);
int setsockopt(SOCKET s, int level, int optName, const void* optVal, int optLen);
int getsockopt(SOCKET s, int level, int optName, void* optVal, int* optLen);
int getsockname(SOCKET s, SOCKADDR_IN* name, int* nameLen);
int gethostname(char* name, int nameLen);

// Not in Winsock: several waiting datagrams in one system call, so that a flood
// costs one read per batch instead of one per datagram. Each slot is given its
// buffer once; after Receive a filled slot holds the datagram's length in
// `size` and its sender in `from`, or SOCKET_ERROR in `size` with WSAEMSGSIZE
// in `error` when the datagram was longer than the buffer (its first `len`
// bytes copied, as recvfrom does).
struct DatagramSlot {
    void* buf = nullptr;
    int len = 0;
    int size = 0;
    int error = 0;
    SOCKADDR_IN from{};
    std::uint32_t to = 0; // where it was sent, with WS_IP_PKTINFO on (as recvfromto); 0 otherwise
};
inline constexpr int MaxDatagramSlots = 64;

class DatagramBatch {
public:
    DatagramBatch();
    ~DatagramBatch();
    DatagramBatch(const DatagramBatch&) = delete;
    DatagramBatch& operator=(const DatagramBatch&) = delete;

    void Assign(int slot, void* buf, int len);
    // Fills slots 0, 1, ... with up to `count` waiting datagrams. With
    // WS_MSG_DONTWAIT nothing waits; without it the call waits for the first
    // datagram only (or the socket's receive time-out) and takes the others only
    // if they are already there. Returns the number of slots filled, or
    // SOCKET_ERROR (WSAEWOULDBLOCK when nothing came).
    int Receive(SOCKET s, int count, int flags);
    const DatagramSlot& Slot(int slot) const { return m_slots[slot]; }

private:
    struct Native; // the system's message headers, set up once and kept between calls
    std::unique_ptr<Native> m_native;
    DatagramSlot m_slots[MaxDatagramSlots];
};

// Not in Winsock: the real size of the next waiting datagram without reading it,
// or SOCKET_ERROR (WSAEWOULDBLOCK when none is waiting). Tells an empty datagram
// apart from an empty queue, which FIONREAD cannot.
int PeekDatagramSize(SOCKET s);

// gethostbyname reduced to what is used: the host's IPv4 addresses in the
// resolver's order, network byte order; empty when the name does not resolve.
std::vector<std::uint32_t> gethostbyname(const std::string& name);

// Dotted text as ParseDottedAddress reads it, in network byte order;
// WS_INADDR_NONE for anything else.
std::uint32_t inet_addr(const std::string& text) noexcept;
std::string inet_ntoa(std::uint32_t addr);                 // network byte order in
inline std::uint16_t(htons)(std::uint16_t v) noexcept
{
    return static_cast<std::uint16_t>((v << 8) | (v >> 8));
}
inline std::uint16_t(ntohs)(std::uint16_t v) noexcept
{
    return static_cast<std::uint16_t>((v << 8) | (v >> 8));
}

// The host's own address rules. Given the resolver's answer for the host name and
// the IPv4 addresses of the interfaces that are up and not loopback (both network
// byte order): the first resolved address; where every resolved address is a
// loopback one, the first interface address; failing that the resolver's answer;
// "0.0.0.0" when nothing resolved.
std::string ChooseHostAddress(const std::vector<std::uint32_t>& resolved,
                              const std::vector<std::uint32_t>& interfaces);
std::vector<std::uint32_t> UpInterfaceAddresses();
// Every IPv4 address of every interface that is up, loopback included, with the
// interface's name, in the system's order.
struct InterfaceAddress {
    std::string name;
    std::string address; // dotted
};
std::vector<InterfaceAddress> UpInterfaces();
// ChooseHostAddress for the given host name with the live resolver and interfaces.
std::string HostAddressFor(const std::string& hostName);
// VORPEX_LOCAL_ADDRESS when set and not empty; it replaces the host's address.
std::optional<std::string> LocalAddressOverride();

// A descriptor that select sees readable once Signal was called, until Drain: lets
// a waiting watcher be woken at once instead of at its next time-out.
class SocketWakeup {
public:
    SocketWakeup();
    ~SocketWakeup();
    SocketWakeup(const SocketWakeup&) = delete;
    SocketWakeup& operator=(const SocketWakeup&) = delete;
    SOCKET Handle() const noexcept { return m_fd; }
    void Signal() noexcept;
    void Drain() noexcept;

private:
    int m_fd = -1;
};

} // namespace vpx::ws
