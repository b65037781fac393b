#pragma once

// A timer driven by a worker thread: the thread measures time and hands each tick
// to the GUI thread, waiting until it has been handled, so ticks never pile up.
// When the GUI thread is slow the next tick says how many intervals have passed.

#include <QObject>
#include <QThread>

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>

namespace vpx {

class TCustomThreadTimer;

namespace detail {
struct ThreadTimerShared;
}

// The GUI-thread end of the hand-off; plays the hidden window's part.
class TThreadTimerTarget : public QObject {
public:
    explicit TThreadTimerTarget(TCustomThreadTimer& owner) : m_owner(owner) {}
    void Deliver(const std::shared_ptr<detail::ThreadTimerShared>& shared, int delay);

private:
    TCustomThreadTimer& m_owner;
};

class TCustomThreadTimer {
public:
    using TNotifyThreadTimerEvent = std::function<void(TCustomThreadTimer& Sender, int Delay)>;

    TCustomThreadTimer();
    virtual ~TCustomThreadTimer(); // switches the timer off
    TCustomThreadTimer(const TCustomThreadTimer&) = delete;
    TCustomThreadTimer& operator=(const TCustomThreadTimer&) = delete;

    // Milliseconds between ticks; 0 ticks as fast as the GUI thread takes them.
    int Interval() const noexcept { return m_interval; }
    void SetInterval(int ms);
    // Pause of the thread after each tick, in milliseconds.
    int SleepTime() const noexcept { return m_sleepTime; }
    void SetSleepTime(int ms);
    QThread::Priority Priority() const noexcept { return m_priority; }
    void SetPriority(QThread::Priority value);

    bool Running() const noexcept { return m_running; }
    // On: starts a worker thread. Off: no tick is delivered after this returns;
    // safe from inside OnTimer.
    void SetRunning(bool value);

    // Ticks handed over in the last full second of running.
    int TicksPerSecond() const noexcept;

    // Called on the GUI thread with the number of intervals since the last tick
    // (at least 1), while the timer is running.
    TNotifyThreadTimerEvent OnTimer;
    // Shows an exception thrown by OnTimer; the timer keeps running.
    std::function<void(const std::exception&)> OnException;

protected:
    virtual void DoTimer(int delay);

private:
    friend class TThreadTimerTarget;
    void Stop() noexcept;

    int m_interval = 1000;
    int m_sleepTime = 0;
    QThread::Priority m_priority = QThread::NormalPriority;
    bool m_running = false;
    std::unique_ptr<TThreadTimerTarget> m_target;
    std::shared_ptr<detail::ThreadTimerShared> m_shared;
    std::unique_ptr<QThread> m_thread;
};

class TThreadTimer : public TCustomThreadTimer {
public:
    using TCustomThreadTimer::TCustomThreadTimer;
};

} // namespace vpx
