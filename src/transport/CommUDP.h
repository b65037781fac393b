#pragma once

// The UDP endpoint: one local datagram socket, bound to the host's address and a
// configurable port, with a receive watcher thread that tells the GUI thread when
// data is waiting. Datagrams are read on the GUI thread only, inside OnReceive.
//
// Once the GUI thread has handled the watcher's first notification, and as long
// as no SleepTime paces the notifications, the GUI thread's own event loop keeps
// watching the socket while the watcher stays parked in its wait for that
// notification to be handled (it still applies priority changes and ends when
// told). A datagram then costs one wake-up of one thread, as a plain blocking
// read would, instead of a wake-up of the watcher, one of the GUI thread and one
// of the watcher again. Every datagram still gets its own OnReceive, one at a
// time, never nested, in arrival order.

#include "platform/CodePage.h"
#include "platform/WinSock.h"
#include "transport/DebugLog.h"

#include <QObject>
#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace vpx {

enum TThreadPriority : std::int32_t {
    tpIdle = 0,
    tpLowest,
    tpLower,
    tpNormal,
    tpHigher,
    tpHighest,
    tpTimeCritical
};

inline constexpr bool IsValidPriority(std::int32_t p) noexcept
{
    return p >= tpIdle && p <= tpTimeCritical;
}

// Failures of the thread layer (not socket failures): "スレッド作成エラー：%s".
class EThreadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr std::uint32_t WM_UDPRECEIVE = 1025; // WM_USER + 1
// The watcher's wait failed and it has ended: nothing is received any more.
inline constexpr std::uint32_t WM_UDPWATCHFAILED = 1026;

class TCustomUDPSock;

// The GUI-thread end of the watcher's hand-off; plays the hidden window's part.
// Notifications are queued calls on this object, so they run on its thread and
// are dropped by Qt if it is destroyed first.
class TUDPNotifyTarget : public QObject {
public:
    explicit TUDPNotifyTarget(TCustomUDPSock& owner) : m_owner(owner) {}
    void Post(std::uint32_t msg, std::uint64_t serial);

private:
    TCustomUDPSock& m_owner;
};

// The receive watcher. Waits on the socket with select (50 ms time-out) and, when
// data is waiting, posts one notification and waits until the GUI thread has
// handled it; the wait is cut short when it is told to terminate, so closing can
// never deadlock against a notification in flight. A select that fails ends the
// watcher with WM_UDPWATCHFAILED posted, so that the failure is not silent.
class TUDPWatch {
public:
    explicit TUDPWatch(ws::SOCKET socket); // created suspended
    ~TUDPWatch();                           // terminates and waits if still running
    TUDPWatch(const TUDPWatch&) = delete;
    TUDPWatch& operator=(const TUDPWatch&) = delete;

    ws::SOCKET Socket() const noexcept { return m_socket; }
    std::uint64_t Serial() const noexcept { return m_serial; } // tells notifications of watchers apart

    TUDPNotifyTarget* NotifyWnd() const noexcept { return m_notifyWnd.load(); }
    void SetNotifyWnd(TUDPNotifyTarget* target) noexcept { m_notifyWnd.store(target); }
    std::uint32_t NotifyMsg() const noexcept { return m_notifyMsg.load(); }
    void SetNotifyMsg(std::uint32_t msg) noexcept { m_notifyMsg.store(msg); }
    std::int32_t SleepTime() const noexcept { return m_sleepTime.load(); }
    void SetSleepTime(std::int32_t ms) noexcept { m_sleepTime.store(ms); }
    TThreadPriority Priority() const noexcept { return m_priority.load(); }
    void SetPriority(TThreadPriority p) noexcept; // applied by the thread at once, even while it waits

    void Start(); // EThreadError when the thread cannot be made
    void Terminate() noexcept;
    void WaitFor() noexcept;
    bool Started() const noexcept { return m_thread.joinable(); }
    bool Terminated() const noexcept { return m_terminated.load(); }
    bool Finished() const noexcept { return m_finished.load(); }

    // Called on the GUI thread when the posted notification has been handled.
    void Handled() noexcept;

    // What the thread reports about itself.
    int ThreadId() const noexcept { return m_tid.load(); }
    std::uint64_t Notifications() const noexcept { return m_notifications.load(); }
    // The step the thread runs at, as the system reported it after the last
    // change, and whether the system refused that change.
    TThreadPriority AppliedPriority() const noexcept { return m_appliedPriority.load(); }
    bool PriorityRefused() const noexcept { return m_priorityRefused.load(); }
    // Waits until the thread has applied the latest SetPriority (or the first
    // priority of a new thread); false when it did not within `limit` or has ended.
    bool WaitPriorityApplied(std::chrono::milliseconds limit);
    // The message of the failure that ended the loop (a failing select); empty otherwise.
    std::string LastError() const;

private:
    void Execute();
    void ApplyPriority();
    void ApplyPriorityIfChanged();
    bool WaitUntilHandled();
    void Pause(std::int32_t ms);

    const ws::SOCKET m_socket;
    const std::uint64_t m_serial;
    std::atomic<TUDPNotifyTarget*> m_notifyWnd{nullptr};
    std::atomic<std::uint32_t> m_notifyMsg{0};
    std::atomic<std::int32_t> m_sleepTime{0};
    std::atomic<TThreadPriority> m_priority{tpNormal};
    std::atomic<TThreadPriority> m_appliedPriority{tpNormal};
    std::atomic<bool> m_priorityRefused{false};
    std::atomic<std::uint64_t> m_priorityRequest{1}; // counts SetPriority calls; 1: the start
    std::uint64_t m_priorityDone = 0;                // the request last applied; m_appliedMutex
    std::mutex m_appliedMutex;
    std::condition_variable m_applied;
    std::atomic<bool> m_terminated{false};
    std::atomic<bool> m_finished{false};
    std::atomic<bool> m_pending{false};
    std::atomic<int> m_tid{0};
    std::atomic<std::uint64_t> m_notifications{0};

    mutable std::mutex m_mutex; // guards the waits below and m_lastError
    std::condition_variable m_wake;
    std::string m_lastError;
    ws::SocketWakeup m_wakeup;
    std::thread m_thread;
};

class TCustomUDPSock : public TCustomDebugLog {
public:
    using TUDPSockNotifyReceiveEvent = std::function<void(TCustomUDPSock& Sender, std::int32_t Size)>;
    using TNotifyEvent = std::function<void(TCustomUDPSock& Sender)>;

    // Starts the socket layer and learns the host's address; EUDPSockError when
    // WSAStartup or gethostname fails.
    TCustomUDPSock();
    ~TCustomUDPSock() override;

    // The receive queue Open asks for: at a few tens of thousands of datagrams a
    // second a pause of the GUI thread of some milliseconds (a paint, a dialog
    // opening) would overflow the system's default queue and lose datagrams.
    // The system may grant less.
    static constexpr int ReceiveBufferBytes = 4 << 20;

    virtual void DoReceive();
    virtual void Open();
    virtual void Close();
    // Bytes sent; 0 when not open.
    virtual std::int32_t Send(const void* Buf, std::int32_t Size, const AnsiString& HostName,
                              const AnsiString& Address, std::uint16_t Port);
    // Bytes read (or, with Size -1, bytes waiting); 0 when not open or when
    // nothing is waiting: the GUI thread never waits for data.
    virtual std::int32_t Receive(void* Buf, std::int32_t Size, AnsiString& Address, std::uint16_t& Port,
                                 bool Peek);
    std::int32_t PendingSize();
    // For a caller that drains the socket itself: reads the next waiting datagram
    // into Buf without asking its size first. Bytes read (0 for an empty
    // datagram), or -1 when not open or nothing is waiting. A datagram longer than
    // Size raises as Receive does; a buffer of MaxDatagram bytes holds any. With
    // `wait` it blocks until a datagram comes or the socket's receive time-out
    // (SO_RCVTIMEO, the caller's to set) passes, which also gives -1.
    virtual std::int32_t ReceiveNext(void* Buf, std::int32_t Size, AnsiString& Address, std::uint16_t& Port,
                                     bool wait = false);
    static constexpr std::int32_t MaxDatagram = 65507; // the largest UDP payload over IPv4

    // A datagram handed out by NextDatagram; its bytes stay valid until the next fetch.
    struct TDatagram {
        const std::uint8_t* Data = nullptr;
        std::int32_t Size = 0; // 0 for an empty datagram
        AnsiString Address;
        std::uint16_t Port = 0;
        AnsiString Destination; // as LastDestination
    };
    // For a caller that drains the socket itself under a flood: reads up to `max`
    // waiting datagrams (at most ws::MaxDatagramSlots) in one system call, each
    // into a buffer that holds any. With `wait` it blocks for the first one as
    // ReceiveNext does. Returns how many there are to take with NextDatagram (0
    // when none came or the port is closed). Datagrams fetched and not yet taken
    // come first in every read (Receive, ReceiveNext, PendingSize too), and no new
    // fetch is made until they are all taken, so nothing is reordered or lost.
    std::int32_t FetchDatagrams(std::int32_t max, bool wait = false);
    // The next fetched datagram in arrival order; null when all are taken or the
    // port is closed. One the buffer could not hold raises as Receive does.
    virtual const TDatagram* NextDatagram();
    bool FetchedLeft() const noexcept { return m_fetchNext < m_fetchCount; }
    // Where the datagram read last was sent, while the port listens on every
    // address (a group's or a broadcast address, or one of the host's): what a
    // capture of it shows as its destination. Empty for a port bound to one address.
    const AnsiString& LastDestination() const noexcept { return m_lastDestination; }

    bool Active() const noexcept { return m_active; }
    ws::SOCKET Socket() const noexcept { return m_socket; }
    const AnsiString& LocalAddress() const noexcept { return m_localAddress; }
    const ws::SOCKADDR_IN& LocalAddr() const noexcept { return m_localAddr; }
    const AnsiString& Description() const noexcept { return m_description; }
    const AnsiString& SystemStatus() const noexcept { return m_systemStatus; }
    std::uint16_t MaxSockets() const noexcept { return m_maxSockets; }
    std::uint16_t MaxUdpDg() const noexcept { return m_maxUdpDg; }
    const TUDPWatch* Watch() const noexcept { return m_watch.get(); }

    std::uint16_t Port() const noexcept { return m_port; }
    // The port the open socket is bound to: the system's choice when Port is 0.
    // Port itself while closed.
    std::uint16_t BoundPort() const noexcept { return m_active ? m_boundPort : m_port; }
    void SetPort(std::uint16_t value); // EUDPSockError while open
    TThreadPriority Priority() const noexcept { return m_priority; }
    // std::invalid_argument outside tpIdle..tpTimeCritical. While open, waits (a
    // little) until the watcher has applied it, so the step in force is known on return.
    void SetPriority(TThreadPriority value);
    // The step the watcher runs at while open (the system may refuse a raise: a
    // privilege is needed); Priority() when closed.
    TThreadPriority PriorityInForce() const noexcept;
    // The system refused the watcher the stored priority the last time it was applied.
    bool PriorityRefused() const noexcept;
    std::int32_t SleepTime() const noexcept { return m_sleepTime; }
    void SetSleepTime(std::int32_t value);

    // The local address the user chose: "" for the host's own address (the
    // default), "0.0.0.0" for every address, or one interface's address. Applied
    // at the next Open; EUDPSockError while open. A chosen address that is on no
    // interface that is up falls back to "" and is kept in VanishedAddress.
    // VORPEX_LOCAL_ADDRESS, when set, decides instead of the choice.
    void SetLocalChoice(const std::string& choice);
    void SetLocalChoice(const std::string& choice, const std::vector<ws::InterfaceAddress>& up);
    const std::string& LocalChoice() const noexcept { return m_localChoice; }
    const std::string& VanishedAddress() const noexcept { return m_vanishedAddress; }
    bool LocalAddressOverridden() const noexcept { return m_overridden; }
    // Multicast groups joined at Open on the chosen interface, and the hop limit
    // of datagrams sent to a group. EUDPSockError while open; std::invalid_argument
    // for an entry that is not a group address or a TTL outside 0..255.
    const std::vector<std::string>& MulticastGroups() const noexcept { return m_groups; }
    void SetMulticastGroups(const std::vector<std::string>& groups);
    int MulticastTtl() const noexcept { return m_ttl; }
    void SetMulticastTtl(int ttl);
    // The address the open socket is bound to: LocalAddress, or the wildcard
    // when groups are joined (the system hands group datagrams only to those).
    std::string BindAddress() const;

    // "Port" and "Priority" of `section` under the registry key, and the local
    // address, groups and TTL ("LocalAddress", "MulticastGroups", "MulticastTTL").
    void LoadFromRegistry(const QString& key, const QString& section);
    void SaveToRegistry(const QString& key, const QString& section);

    TUDPSockNotifyReceiveEvent OnReceive;
    TNotifyEvent OnPortOpen;
    TNotifyEvent OnPortClose;
    // The system refused the watcher its priority (at Open or at SetPriority while
    // open); the port works on at the step in force. Called on the caller's thread.
    std::function<void(TCustomUDPSock& Sender, TThreadPriority wanted, TThreadPriority inForce)>
        OnPriorityRefused;
    // Shows an exception raised while a notification was handled (the application's
    // standard display); the exception never reaches Qt's event loop. Also told,
    // with the port already closed, when the watcher's wait fails and reception ends.
    std::function<void(const std::exception&)> OnException;

    // Whether the GUI thread's event loop watches the socket now (the watcher parked).
    bool WatchedByEventLoop() const noexcept { return m_eventLoopWatch; }
    // While datagrams keep the socket readable the event loop is never idle, and
    // Qt lets timers (the log's refresh, the user's) wait for an idle moment: after
    // this long of receiving, the event loop's watch pauses for one pass.
    static constexpr int YieldAfterMs = 5;

private:
    friend class TUDPNotifyTarget;
    void WndProc(std::uint32_t msg, std::uint64_t serial);
    void HandleNotification() noexcept;
    void WatchFailed() noexcept;
    void Report(const std::exception& e) noexcept;
    void WatchAfterNotification();
    void SocketReadable();
    void StopEventLoopWatch() noexcept;
    void StopWatch() noexcept;
    void WaitForPriority();
    static AnsiString GetLocalAddress();
    void ApplySocketOptions();
    // Takes the next fetched datagram into Buf as a read from the socket would.
    std::int32_t TakeFetched(void* Buf, std::int32_t Size, AnsiString& Address, std::uint16_t& Port, bool Peek);
    void ComeBackForFetched();

    ws::SOCKET m_socket = ws::INVALID_SOCKET;
    std::unique_ptr<TUDPNotifyTarget> m_handle;
    bool m_active = false;
    std::uint16_t m_port = 0;
    std::uint16_t m_boundPort = 0;
    std::unique_ptr<TUDPWatch> m_watch;
    // The GUI thread's own watch of the socket; made on first use, kept across
    // Open and Close, disabled whenever the watcher is in charge.
    std::unique_ptr<QSocketNotifier> m_readable;
    bool m_eventLoopWatch = false;
    std::unique_ptr<QTimer> m_resume; // ends a pause of the event loop's watch
    QElapsedTimer m_watchingSince;
    ws::SOCKADDR_IN m_localAddr{};
    AnsiString m_localAddress;
    AnsiString m_ruleAddress; // the host's own address (or the override), learned at construction
    bool m_overridden = false;
    std::string m_localChoice;
    std::string m_vanishedAddress;
    std::vector<std::string> m_groups;
    int m_ttl = 1;
    AnsiString m_description;
    AnsiString m_systemStatus;
    std::uint16_t m_maxSockets = 0;
    std::uint16_t m_maxUdpDg = 0;
    TThreadPriority m_priority = tpNormal;
    std::int32_t m_sleepTime = 0;
    bool m_started = false;
    // The last peer's address as text and as the system takes it: a responder
    // sends to and hears from the same peer datagram after datagram.
    AnsiString m_sendAddressText;
    std::uint32_t m_sendAddress = 0;
    std::uint32_t m_fromAddress = 0;
    AnsiString m_fromAddressText;
    bool m_learnDestination = false; // IP_PKTINFO is on: the port listens on every address
    AnsiString m_lastDestination;
    std::uint32_t m_lastDestinationAddress = 0;
    void NoteDestination(std::uint32_t to);
    // Datagrams read in one batch: slots, their buffers and what they hand out.
    struct FetchBuffer;
    std::unique_ptr<FetchBuffer> m_fetch;
    std::int32_t m_fetchCount = 0;
    std::int32_t m_fetchNext = 0;
};

} // namespace vpx
