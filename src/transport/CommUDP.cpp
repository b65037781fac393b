#include "transport/CommUDP.h"

#include "platform/Registry.h"
#include "platform/ThreadPriority.h"
#include "transport/LocalAddress.h"
#include "transport/UDPErrs.h"

#include <QMetaObject>
#include <QtGlobal>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <system_error>

namespace vpx {

namespace {

std::atomic<std::uint64_t> g_nextSerial{1};

} // namespace

// ---------------------------------------------------------------------------
// The batch of datagrams FetchDatagrams reads.

struct TCustomUDPSock::FetchBuffer {
    // Slots 64 KiB apart would all start in the same cache sets, and a batch of
    // short datagrams would evict itself before it is read; nine cache lines
    // more per slot spreads their starts over the sets.
    static constexpr std::size_t Stride = 65536 + 9 * 64;
    static_assert(Stride >= std::size_t(MaxDatagram));
    // Not zeroed: the system writes only what arrives, so the pages of a large
    // buffer that no datagram reached are never made resident.
    std::unique_ptr<std::uint8_t[]> storage{new std::uint8_t[std::size_t(ws::MaxDatagramSlots) * Stride]};
    ws::DatagramBatch batch;
    TDatagram datagrams[ws::MaxDatagramSlots];
    std::uint32_t senders[ws::MaxDatagramSlots] = {}; // each slot's last sender, so its text is made only on a change
    std::uint32_t destinations[ws::MaxDatagramSlots] = {}; // and where its datagram went

    FetchBuffer()
    {
        for (int i = 0; i < ws::MaxDatagramSlots; ++i) {
            batch.Assign(i, storage.get() + std::size_t(i) * Stride, MaxDatagram);
            datagrams[i].Data = static_cast<const std::uint8_t*>(batch.Slot(i).buf);
        }
    }
};

// ---------------------------------------------------------------------------
// TUDPNotifyTarget

void TUDPNotifyTarget::Post(std::uint32_t msg, std::uint64_t serial)
{
    QMetaObject::invokeMethod(
        this, [this, msg, serial] { m_owner.WndProc(msg, serial); }, Qt::QueuedConnection);
}

// ---------------------------------------------------------------------------
// TUDPWatch

TUDPWatch::TUDPWatch(ws::SOCKET socket) : m_socket(socket), m_serial(g_nextSerial++) {}

TUDPWatch::~TUDPWatch()
{
    Terminate();
    WaitFor();
}

void TUDPWatch::SetPriority(TThreadPriority p) noexcept
{
    m_priority.store(p);
    ++m_priorityRequest;
    // Wakes the thread wherever it waits: in select, or for the GUI thread.
    m_wakeup.Signal();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
    }
    m_wake.notify_all();
}

bool TUDPWatch::WaitPriorityApplied(std::chrono::milliseconds limit)
{
    std::unique_lock<std::mutex> lock(m_appliedMutex);
    return m_applied.wait_for(lock, limit, [this] {
        return m_priorityDone >= m_priorityRequest.load() || m_finished.load();
    }) && m_priorityDone >= m_priorityRequest.load();
}

void TUDPWatch::Start()
{
    if (m_thread.joinable())
        return;
    try {
        m_thread = std::thread([this] { Execute(); });
    } catch (const std::system_error& e) {
        throw EThreadError(std::string("スレッド作成エラー：") + e.what());
    }
}

void TUDPWatch::Terminate() noexcept
{
    m_terminated.store(true);
    {
        // Taking the lock orders the flag before any waiter's next predicate check.
        std::lock_guard<std::mutex> lock(m_mutex);
    }
    m_wake.notify_all();
    m_wakeup.Signal();
}

void TUDPWatch::WaitFor() noexcept
{
    if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id())
        m_thread.join();
}

void TUDPWatch::Handled() noexcept
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_pending.store(false);
    }
    m_wake.notify_all();
}

std::string TUDPWatch::LastError() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lastError;
}

void TUDPWatch::ApplyPriority()
{
    const std::uint64_t request = m_priorityRequest.load();
    const TThreadPriority wanted = m_priority.load();
    const bool ok = ApplyThreadPriority(static_cast<int>(wanted));
    m_priorityRefused.store(!ok);
    m_appliedPriority.store(static_cast<TThreadPriority>(CurrentThreadPriority()));
    {
        std::lock_guard<std::mutex> lock(m_appliedMutex);
        m_priorityDone = request;
    }
    m_applied.notify_all();
}

void TUDPWatch::ApplyPriorityIfChanged()
{
    std::uint64_t done = 0;
    {
        std::lock_guard<std::mutex> lock(m_appliedMutex);
        done = m_priorityDone;
    }
    if (m_priorityRequest.load() != done)
        ApplyPriority();
}

bool TUDPWatch::WaitUntilHandled()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    // 50 ms slices: the flags are re-read even if a wake-up were missed.
    while (m_pending.load() && !m_terminated.load()) {
        m_wake.wait_for(lock, std::chrono::milliseconds(50));
        ApplyPriorityIfChanged(); // the GUI thread may be waiting for it
    }
    return !m_terminated.load();
}

void TUDPWatch::Pause(std::int32_t ms)
{
    if (ms <= 0)
        return;
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_terminated.load() && m_wake.wait_until(lock, until) == std::cv_status::no_timeout)
        ApplyPriorityIfChanged(); // the GUI thread may be waiting for it
    ApplyPriorityIfChanged();
}

void TUDPWatch::Execute()
{
    m_tid.store(CurrentThreadId());
    try {
        ApplyPriority();
        while (!m_terminated.load()) {
            ws::fd_set readSet;
            ws::fd_zero(readSet);
            ws::fd_add(m_socket, readSet);
            if (m_wakeup.Handle() >= 0)
                ws::fd_add(m_wakeup.Handle(), readSet);
            const ws::TIMEVAL timeout{0, 50000};
            const int ready = CheckSocketResult(ws::select(0, &readSet, nullptr, nullptr, &timeout), "select");
            if (ready > 0 && ws::fd_isset(m_wakeup.Handle(), readSet))
                m_wakeup.Drain();
            ApplyPriorityIfChanged();
            if (ready > 0 && ws::fd_isset(m_socket, readSet)) {
                TUDPNotifyTarget* target = m_notifyWnd.load();
                if (target != nullptr && !m_terminated.load()) {
                    m_pending.store(true);
                    ++m_notifications;
                    target->Post(m_notifyMsg.load(), m_serial);
                    WaitUntilHandled();
                }
                if (m_terminated.load())
                    break;
                Pause(m_sleepTime.load());
            } else if (m_terminated.load()) {
                break;
            }
        }
    } catch (const std::exception& e) {
        // The thread must not let it escape; the GUI thread is told instead.
        std::lock_guard<std::mutex> lock(m_mutex);
        m_lastError = e.what();
    } catch (...) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_lastError = "?";
    }
    if (TUDPNotifyTarget* target = m_notifyWnd.load(); target && !m_terminated.load() && !LastError().empty())
        target->Post(WM_UDPWATCHFAILED, m_serial);
    {
        std::lock_guard<std::mutex> lock(m_appliedMutex);
        m_finished.store(true);
    }
    m_applied.notify_all();
}

// ---------------------------------------------------------------------------
// TCustomUDPSock

TCustomUDPSock::TCustomUDPSock()
{
    ws::WSADATA data;
    CheckSocketResult(ws::WSAStartup(0x0101, &data), "WSAStartup");
    m_started = true;
    m_description = data.szDescription;
    m_systemStatus = data.szSystemStatus;
    m_maxSockets = data.iMaxSockets;
    m_maxUdpDg = data.iMaxUdpDg;
    try {
        m_localAddress = GetLocalAddress();
        m_ruleAddress = m_localAddress;
        m_overridden = ws::LocalAddressOverride().has_value();
    } catch (...) {
        ws::WSACleanup();
        throw;
    }
}

TCustomUDPSock::~TCustomUDPSock()
{
    if (m_active && m_socket != ws::INVALID_SOCKET) {
        try {
            Close();
        } catch (...) {
            // Nothing can be reported from a destructor; the watcher is already gone.
        }
    }
    StopWatch();
    m_resume.reset();
    m_readable.reset();
    m_handle.reset();
    if (m_started)
        ws::WSACleanup();
}

AnsiString TCustomUDPSock::GetLocalAddress()
{
    if (auto pinned = ws::LocalAddressOverride())
        return *pinned;
    char name[256] = {};
    CheckSocketResult(ws::gethostname(name, sizeof name), "gethostname");
    return ws::HostAddressFor(name);
}

void TCustomUDPSock::StopWatch() noexcept
{
    // Before the socket closes: the event loop must not watch a closed descriptor.
    StopEventLoopWatch();
    if (!m_watch)
        return;
    m_watch->SetNotifyWnd(nullptr);
    m_watch->Terminate();
    if (m_watch->Started())
        m_watch->WaitFor();
    m_watch.reset();
}

void TCustomUDPSock::Open()
{
    if (m_active)
        throw EUDPSockError(SSockAlreadyOpen);
    m_socket = CheckSocketResult(ws::socket(ws::WS_AF_INET, ws::WS_SOCK_DGRAM, 0), "socket");
    // A wish, not a must: a system that grants a smaller queue (or none larger)
    // still gets a working port, so the result is not checked.
    const int queue = ReceiveBufferBytes;
    ws::setsockopt(m_socket, ws::WS_SOL_SOCKET, ws::WS_SO_RCVBUF, &queue, sizeof queue);
    try {
        m_localAddr = ws::SOCKADDR_IN{};
        m_localAddr.sin_family = ws::WS_AF_INET;
        m_localAddr.sin_addr = ws::inet_addr(BindAddress());
        m_localAddr.sin_port = ws::htons(m_port);
        ApplySocketOptions();
        CheckSocketResult(ws::bind(m_socket, &m_localAddr, sizeof m_localAddr), "bind");
        // Asked once here: the status bar and the information dialog show it.
        ws::SOCKADDR_IN bound{};
        int boundLen = sizeof bound;
        m_boundPort = ws::getsockname(m_socket, &bound, &boundLen) == 0 ? ws::ntohs(bound.sin_port) : m_port;
        m_active = true;
        if (!m_handle)
            m_handle = std::make_unique<TUDPNotifyTarget>(*this);
        m_watch = std::make_unique<TUDPWatch>(m_socket);
        m_watch->SetNotifyWnd(m_handle.get());
        m_watch->SetNotifyMsg(WM_UDPRECEIVE);
        m_watch->SetPriority(m_priority);
        m_watch->SetSleepTime(m_sleepTime);
        m_watch->Start();
        WaitForPriority();
        if (OnPortOpen)
            OnPortOpen(*this);
    } catch (...) {
        try {
            Close();
        } catch (...) {
            // The failure that made Open give up is the one worth reporting.
        }
        throw;
    }
}

std::string TCustomUDPSock::BindAddress() const
{
    return BindAddressFor(m_localAddress, m_groups);
}

void TCustomUDPSock::ApplySocketOptions()
{
    // A broadcast address is a peer like any other; the system refuses sends
    // to one unless the socket says it means it.
    const int on = 1;
    CheckSocketResult(ws::setsockopt(m_socket, ws::WS_SOL_SOCKET, ws::WS_SO_BROADCAST, &on, sizeof on),
                      "setsockopt");
    // Group datagrams go out of (and groups are joined on) the chosen interface;
    // with neither a choice nor groups the system's routing decides, as it always did.
    const std::uint32_t local = ws::inet_addr(m_localAddress);
    const bool chosen = !m_localChoice.empty() || m_overridden;
    const bool oneInterface = local != 0 && local != ws::WS_INADDR_NONE;
    if (oneInterface && (chosen || !m_groups.empty()))
        CheckSocketResult(
            ws::setsockopt(m_socket, ws::WS_IPPROTO_IP, ws::WS_IP_MULTICAST_IF, &local, sizeof local),
            "setsockopt");
    if (m_ttl != kDefaultMulticastTtl || !m_groups.empty())
        CheckSocketResult(ws::setsockopt(m_socket, ws::WS_IPPROTO_IP, ws::WS_IP_MULTICAST_TTL, &m_ttl, sizeof m_ttl),
                          "setsockopt");
    // A port that listens on every address cannot tell where a datagram went
    // (a group, a broadcast) without asking the system for it on every read.
    m_learnDestination = BindAddress() == kAnyAddress;
    m_lastDestination.clear();
    m_lastDestinationAddress = 0;
    if (m_learnDestination)
        CheckSocketResult(ws::setsockopt(m_socket, ws::WS_IPPROTO_IP, ws::WS_IP_PKTINFO, &on, sizeof on), "setsockopt");
    for (const std::string& group : m_groups) {
        ws::IP_MREQ join;
        join.imr_multiaddr = ws::inet_addr(group);
        join.imr_interface = oneInterface ? local : 0;
        CheckSocketResult(ws::setsockopt(m_socket, ws::WS_IPPROTO_IP, ws::WS_IP_ADD_MEMBERSHIP, &join, sizeof join),
                          "setsockopt");
    }
}

void TCustomUDPSock::SetLocalChoice(const std::string& choice)
{
    SetLocalChoice(choice, ws::UpInterfaces());
}

void TCustomUDPSock::SetLocalChoice(const std::string& choice, const std::vector<ws::InterfaceAddress>& up)
{
    if (m_active)
        throw EUDPSockError(SSockInUse);
    const LocalAddressChoice resolved = ResolveLocalAddress(choice, m_ruleAddress, m_overridden, up);
    m_vanishedAddress = resolved.vanished ? choice : std::string();
    m_localChoice = resolved.vanished ? std::string() : choice;
    m_localAddress = resolved.address;
}

void TCustomUDPSock::SetMulticastGroups(const std::vector<std::string>& groups)
{
    if (groups == m_groups)
        return;
    for (const auto& g : groups)
        if (!IsMulticastAddress(g))
            throw std::invalid_argument("not a multicast group: " + g);
    if (m_active)
        throw EUDPSockError(SSockInUse);
    m_groups = groups;
}

void TCustomUDPSock::SetMulticastTtl(int ttl)
{
    if (ttl == m_ttl)
        return;
    if (!IsValidMulticastTtl(ttl))
        throw std::invalid_argument("multicast TTL out of range");
    if (m_active)
        throw EUDPSockError(SSockInUse);
    m_ttl = ttl;
}

void TCustomUDPSock::Close()
{
    m_active = false;
    if (m_socket == ws::INVALID_SOCKET)
        return;
    StopWatch();
    // What was fetched and not yet taken goes with the socket's own queue.
    m_fetchCount = m_fetchNext = 0;
    CheckSocketResult(ws::closesocket(m_socket), "closeSocket");
    m_socket = ws::INVALID_SOCKET;
    if (OnPortClose)
        OnPortClose(*this);
}

std::int32_t TCustomUDPSock::Send(const void* Buf, std::int32_t Size, const AnsiString& HostName,
                                  const AnsiString& Address, std::uint16_t Port)
{
    if (!m_active)
        return 0;
    ws::SOCKADDR_IN peer{};
    peer.sin_family = ws::WS_AF_INET;
    if (!HostName.empty()) {
        const auto found = ws::gethostbyname(HostName);
        peer.sin_addr = found.empty() ? 0 : found.front();
    } else if (!Address.empty()) {
        if (m_sendAddressText.empty() || Address != m_sendAddressText) {
            m_sendAddress = ws::inet_addr(Address);
            m_sendAddressText = Address;
        }
        peer.sin_addr = m_sendAddress;
    } else {
        throw EUDPSockError(SSockAddressNotSpecified);
    }
    peer.sin_port = ws::htons(Port);
    return CheckSocketResult(ws::sendto(m_socket, Buf, Size, 0, &peer, sizeof peer), "sendto");
}

std::int32_t TCustomUDPSock::Receive(void* Buf, std::int32_t Size, AnsiString& Address, std::uint16_t& Port,
                                     bool Peek)
{
    if (!m_active)
        return 0;
    if (FetchedLeft())
        return TakeFetched(Buf, Size, Address, Port, Peek);
    if (Size == -1) {
        unsigned long count = 0;
        CheckSocketResult(ws::ioctlsocket(m_socket, ws::WS_FIONREAD, &count), "ioctlsocket");
        return static_cast<std::int32_t>(count);
    }
    ws::SOCKADDR_IN from{};
    int fromLen = sizeof from;
    const int flags = (Peek ? ws::WS_MSG_PEEK : 0) | ws::WS_MSG_DONTWAIT;
    std::uint32_t to = 0;
    int result = m_learnDestination ? ws::recvfromto(m_socket, Buf, Size, flags, &from, &to)
                                    : ws::recvfrom(m_socket, Buf, Size, flags, &from, &fromLen);
    // Nothing waiting: answer "no bytes" rather than make the GUI thread wait.
    if (result == ws::SOCKET_ERROR && ws::WSAGetLastError() == ws::WSAEWOULDBLOCK)
        return 0;
    result = CheckSocketResult(result, "recvfrom");
    Address = ws::inet_ntoa(from.sin_addr);
    Port = ws::ntohs(from.sin_port);
    NoteDestination(to);
    return result;
}

void TCustomUDPSock::NoteDestination(std::uint32_t to)
{
    if (!m_learnDestination)
        return;
    if (m_lastDestination.empty() || to != m_lastDestinationAddress) {
        m_lastDestination = to == 0 ? AnsiString() : ws::inet_ntoa(to);
        m_lastDestinationAddress = to;
    }
}

std::int32_t TCustomUDPSock::ReceiveNext(void* Buf, std::int32_t Size, AnsiString& Address, std::uint16_t& Port,
                                         bool wait)
{
    if (!m_active)
        return -1;
    if (FetchedLeft())
        return TakeFetched(Buf, Size, Address, Port, false);
    ws::SOCKADDR_IN from{};
    int fromLen = sizeof from;
    std::uint32_t to = 0;
    const int flags = wait ? 0 : ws::WS_MSG_DONTWAIT;
    int result = m_learnDestination ? ws::recvfromto(m_socket, Buf, Size, flags, &from, &to)
                                    : ws::recvfrom(m_socket, Buf, Size, flags, &from, &fromLen);
    if (result == ws::SOCKET_ERROR && ws::WSAGetLastError() == ws::WSAEWOULDBLOCK)
        return -1;
    result = CheckSocketResult(result, "recvfrom");
    NoteDestination(to);
    if (m_fromAddressText.empty() || from.sin_addr != m_fromAddress) {
        m_fromAddressText = ws::inet_ntoa(from.sin_addr);
        m_fromAddress = from.sin_addr;
    }
    Address = m_fromAddressText;
    Port = ws::ntohs(from.sin_port);
    return result;
}

std::int32_t TCustomUDPSock::FetchDatagrams(std::int32_t max, bool wait)
{
    if (!m_active)
        return 0;
    if (FetchedLeft())
        return m_fetchCount - m_fetchNext;
    if (!m_fetch)
        m_fetch = std::make_unique<FetchBuffer>();
    m_fetchCount = m_fetchNext = 0;
    const int count = std::clamp<std::int32_t>(max, 1, ws::MaxDatagramSlots);
    const int got = m_fetch->batch.Receive(m_socket, count, wait ? 0 : ws::WS_MSG_DONTWAIT);
    if (got == ws::SOCKET_ERROR && ws::WSAGetLastError() == ws::WSAEWOULDBLOCK)
        return 0;
    m_fetchCount = CheckSocketResult(got, "recvfrom");
    for (int i = 0; i < m_fetchCount; ++i) {
        const ws::DatagramSlot& slot = m_fetch->batch.Slot(i);
        TDatagram& d = m_fetch->datagrams[i];
        d.Size = slot.size == ws::SOCKET_ERROR ? slot.len : slot.size; // a cut one: the part copied
        d.Port = ws::ntohs(slot.from.sin_port);
        if (d.Address.empty() || m_fetch->senders[i] != slot.from.sin_addr) {
            d.Address = ws::inet_ntoa(slot.from.sin_addr);
            m_fetch->senders[i] = slot.from.sin_addr;
        }
        if (m_learnDestination && (d.Destination.empty() || m_fetch->destinations[i] != slot.to)) {
            d.Destination = slot.to == 0 ? AnsiString() : ws::inet_ntoa(slot.to);
            m_fetch->destinations[i] = slot.to;
        } else if (!m_learnDestination) {
            d.Destination.clear();
        }
    }
    return m_fetchCount;
}

const TCustomUDPSock::TDatagram* TCustomUDPSock::NextDatagram()
{
    if (!m_active || !FetchedLeft())
        return nullptr;
    const int i = m_fetchNext++;
    NoteDestination(m_fetch->batch.Slot(i).to);
    if (m_fetch->batch.Slot(i).size == ws::SOCKET_ERROR) {
        ws::WSASetLastError(m_fetch->batch.Slot(i).error);
        CheckSocketResult(ws::SOCKET_ERROR, "recvfrom");
    }
    return &m_fetch->datagrams[i];
}

std::int32_t TCustomUDPSock::TakeFetched(void* Buf, std::int32_t Size, AnsiString& Address, std::uint16_t& Port,
                                         bool Peek)
{
    const ws::DatagramSlot& slot = m_fetch->batch.Slot(m_fetchNext);
    const TDatagram& d = m_fetch->datagrams[m_fetchNext];
    const bool cut = slot.size == ws::SOCKET_ERROR;
    if (Size == -1)
        return cut ? d.Size + 1 : d.Size; // as FIONREAD: 0 for an empty datagram; a cut one asks for more room
    if (!Peek)
        ++m_fetchNext;
    if (cut || Size < d.Size) {
        // As recvfrom: the part that fits is copied, the datagram is gone unless peeked.
        if (Size > 0 && Buf)
            std::memcpy(Buf, d.Data, static_cast<std::size_t>(std::min(Size, d.Size)));
        ws::WSASetLastError(cut ? slot.error : ws::WSAEMSGSIZE);
        CheckSocketResult(ws::SOCKET_ERROR, "recvfrom");
    }
    if (d.Size > 0)
        std::memcpy(Buf, d.Data, static_cast<std::size_t>(d.Size));
    Address = d.Address;
    Port = d.Port;
    NoteDestination(slot.to);
    return d.Size;
}

std::int32_t TCustomUDPSock::PendingSize()
{
    AnsiString address;
    std::uint16_t port = 0;
    return Receive(nullptr, -1, address, port, true);
}

void TCustomUDPSock::DoReceive()
{
    if (m_socket == ws::INVALID_SOCKET || !OnReceive)
        return;
    // An empty datagram fetched in a batch is dropped as one at the head of the queue is below.
    while (FetchedLeft() && m_fetch->batch.Slot(m_fetchNext).size == 0)
        ++m_fetchNext;
    std::int32_t size = PendingSize();
    if (size == 0 && m_active && !FetchedLeft()) {
        // FIONREAD cannot tell an empty datagram from an empty queue. An empty
        // datagram left queued would keep the socket readable for ever, so it is
        // read and dropped here; a datagram that arrived meanwhile is announced.
        const int head = ws::PeekDatagramSize(m_socket);
        if (head == 0) {
            ws::recvfrom(m_socket, nullptr, 0, ws::WS_MSG_DONTWAIT, nullptr, nullptr);
            return;
        }
        if (head < 0)
            return;
        size = head;
    }
    OnReceive(*this, size);
}

void TCustomUDPSock::WndProc(std::uint32_t msg, std::uint64_t serial)
{
    // A notification of a watcher that has been stopped (or replaced) is stale.
    if (!m_watch || m_watch->Serial() != serial)
        return;
    if (msg == WM_UDPWATCHFAILED) {
        WatchFailed();
        return;
    }
    if (msg != WM_UDPRECEIVE)
        return;
    HandleNotification();
    // The handler may have closed (and even reopened) the port.
    if (m_watch && m_watch->Serial() == serial)
        WatchAfterNotification();
}

void TCustomUDPSock::HandleNotification() noexcept
{
    try {
        DoReceive();
    } catch (const std::exception& e) {
        Report(e);
    } catch (...) {
    }
}

void TCustomUDPSock::WatchFailed() noexcept
{
    // A port that no longer receives must not look open: it is closed (so the
    // window says 未接続 and can open it again), then the reason is shown.
    const EUDPSockError failure(m_watch->LastError());
    try {
        Close();
    } catch (const std::exception& e) {
        Report(e);
    } catch (...) {
    }
    Report(failure);
}

void TCustomUDPSock::Report(const std::exception& e) noexcept
{
    try {
        if (OnException)
            OnException(e);
        else
            qWarning("%s", e.what());
    } catch (...) {
    }
}

void TCustomUDPSock::ComeBackForFetched()
{
    const std::uint64_t serial = m_watch->Serial();
    QTimer::singleShot(0, m_handle.get(), [this, serial] {
        if (!m_watch || m_watch->Serial() != serial)
            return;
        HandleNotification();
        if (m_watch && m_watch->Serial() == serial)
            WatchAfterNotification();
    });
}

void TCustomUDPSock::WatchAfterNotification()
{
    if (FetchedLeft() && OnReceive) {
        // Datagrams fetched and not taken (the handler stopped early) keep the
        // socket from looking readable: they are handed over once the loop has
        // had its turn. The watcher, if it announced them, waits until then.
        StopEventLoopWatch();
        ComeBackForFetched();
        return;
    }
    if (m_sleepTime > 0) {
        // The watcher paces the notifications: it sleeps between them.
        StopEventLoopWatch();
        m_watch->Handled();
        return;
    }
    // The watcher stays parked; this thread's event loop watches from here on.
    if (!m_readable) {
        m_readable = std::make_unique<QSocketNotifier>(QSocketNotifier::Read);
        QObject::connect(m_readable.get(), &QSocketNotifier::activated, m_readable.get(),
                         [this] { SocketReadable(); });
        m_resume = std::make_unique<QTimer>();
        m_resume->setSingleShot(true);
        m_resume->setInterval(0);
        QObject::connect(m_resume.get(), &QTimer::timeout, m_resume.get(), [this] {
            if (m_eventLoopWatch && m_watch) {
                m_watchingSince.start();
                m_readable->setEnabled(true);
            }
        });
    }
    if (m_readable->socket() != m_socket) {
        m_readable->setEnabled(false);
        m_readable->setSocket(m_socket);
    }
    if (!m_eventLoopWatch) {
        m_eventLoopWatch = true;
        m_watchingSince.start();
    } else if (m_watchingSince.elapsed() >= YieldAfterMs) {
        m_resume->start(); // the notifier stays off until the loop has passed its timers
        return;
    }
    m_readable->setEnabled(true);
}

void TCustomUDPSock::SocketReadable()
{
    if (!m_eventLoopWatch || !m_watch)
        return;
    // Off while the handler runs: a handler that runs the event loop itself must
    // not be entered again for the datagrams still waiting.
    m_readable->setEnabled(false);
    const std::uint64_t serial = m_watch->Serial();
    HandleNotification();
    if (m_eventLoopWatch && m_watch && m_watch->Serial() == serial)
        WatchAfterNotification();
}

void TCustomUDPSock::StopEventLoopWatch() noexcept
{
    m_eventLoopWatch = false;
    if (m_readable)
        m_readable->setEnabled(false);
    if (m_resume)
        m_resume->stop();
}

void TCustomUDPSock::SetPort(std::uint16_t value)
{
    if (value == m_port)
        return;
    if (m_active)
        throw EUDPSockError(SSockInUse);
    m_port = value;
}

void TCustomUDPSock::SetPriority(TThreadPriority value)
{
    if (!IsValidPriority(value))
        throw std::invalid_argument("TThreadPriority out of range");
    if (value == m_priority)
        return;
    m_priority = value;
    if (m_active && m_watch) {
        m_watch->SetPriority(value);
        WaitForPriority();
    }
}

void TCustomUDPSock::WaitForPriority()
{
    // The thread answers within one select slice; the limit only guards against a
    // thread that cannot run at all, and then nothing is claimed about it.
    if (!m_watch->WaitPriorityApplied(std::chrono::seconds(2)))
        return;
    if (m_watch->PriorityRefused() && OnPriorityRefused)
        OnPriorityRefused(*this, m_priority, m_watch->AppliedPriority());
}

TThreadPriority TCustomUDPSock::PriorityInForce() const noexcept
{
    return (m_active && m_watch) ? m_watch->AppliedPriority() : m_priority;
}

bool TCustomUDPSock::PriorityRefused() const noexcept
{
    return m_active && m_watch && m_watch->PriorityRefused();
}

void TCustomUDPSock::SetSleepTime(std::int32_t value)
{
    if (value == m_sleepTime)
        return;
    m_sleepTime = value;
    if (m_active && m_watch) {
        m_watch->SetSleepTime(value);
        // A pause between notifications is the watcher's to keep: it takes over again.
        if (value > 0 && m_eventLoopWatch) {
            StopEventLoopWatch();
            m_watch->Handled();
        }
    }
}

void TCustomUDPSock::LoadFromRegistry(const QString& key, const QString& section)
{
    TRegistryIniFile ini(key);
    SetPort(static_cast<std::uint16_t>(ini.ReadInteger(section, QStringLiteral("Port"), 0) & 0xFFFF));
    const int priority = ini.ReadInteger(section, QStringLiteral("Priority"), tpNormal);
    // A stored value outside the seven steps is not a priority; use the default.
    SetPriority(IsValidPriority(priority) ? static_cast<TThreadPriority>(priority) : tpNormal);
    SetLocalChoice(ini.ReadString(section, QStringLiteral("LocalAddress"), QString()).toStdString());
    // A list or TTL edited by hand into something else is left out, not fatal.
    const MulticastGroupList groups =
        ParseMulticastGroups(ini.ReadString(section, QStringLiteral("MulticastGroups"), QString()).toStdString());
    SetMulticastGroups(groups.groups);
    const int ttl = ini.ReadInteger(section, QStringLiteral("MulticastTTL"), kDefaultMulticastTtl);
    SetMulticastTtl(IsValidMulticastTtl(ttl) ? ttl : kDefaultMulticastTtl);
}

void TCustomUDPSock::SaveToRegistry(const QString& key, const QString& section)
{
    TRegistryIniFile ini(key);
    ini.WriteInteger(section, QStringLiteral("Port"), m_port);
    ini.WriteInteger(section, QStringLiteral("Priority"), m_priority);
    // A choice whose interface is down is still the user's: kept for when it is back.
    ini.WriteString(section, QStringLiteral("LocalAddress"),
                    QString::fromStdString(m_vanishedAddress.empty() ? m_localChoice : m_vanishedAddress));
    ini.WriteString(section, QStringLiteral("MulticastGroups"), QString::fromStdString(JoinMulticastGroups(m_groups)));
    ini.WriteInteger(section, QStringLiteral("MulticastTTL"), m_ttl);
}

} // namespace vpx
