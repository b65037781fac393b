#include "about/ThrdTime.h"

#include <QMetaObject>
#include <QtGlobal>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <limits>
#include <mutex>
#include <stdexcept>

namespace vpx {

namespace detail {

// What the worker and the GUI thread share. The worker keeps its own reference,
// so a tick still in the GUI thread's queue after the timer was switched off (or
// destroyed) finds it alive and is recognised as stale.
struct ThreadTimerShared {
    std::atomic<bool> terminated{false};
    std::atomic<int> interval{1000};
    std::atomic<int> sleepTime{0};
    std::atomic<int> ticksPerSecond{0};

    std::mutex mutex;               // held by the worker while it hands a tick over
    std::condition_variable wake;   // handled, settings changed or terminated
    TThreadTimerTarget* target = nullptr; // guarded by mutex; cleared before the target goes
    bool pending = false;           // guarded by mutex: a tick is waiting to be handled
};

} // namespace detail

namespace {

using Clock = std::chrono::steady_clock;
using detail::ThreadTimerShared;

std::int64_t MillisecondsBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(to - from).count();
}

void RunTimerThread(const std::shared_ptr<ThreadTimerShared>& shared)
{
    Clock::time_point last = Clock::now();
    Clock::time_point secondStart = last;
    int ticksThisSecond = 0;

    std::unique_lock lock(shared->mutex);
    while (!shared->terminated) {
        const Clock::time_point passStart = Clock::now();
        const int interval = shared->interval.load();
        const std::int64_t elapsed = MillisecondsBetween(last, passStart);
        if (elapsed < interval) {
            // Not due yet: wait for it rather than spin; a new interval or the
            // request to stop wakes the wait early.
            shared->wake.wait_for(lock, std::chrono::milliseconds(interval - elapsed));
            continue;
        }
        const std::int64_t intervals = interval > 0 ? elapsed / interval : 1;
        const int delay = static_cast<int>(std::clamp<std::int64_t>(intervals, 1, std::numeric_limits<int>::max()));

        TThreadTimerTarget* target = shared->target;
        if (!target)
            break;
        shared->pending = true;
        QMetaObject::invokeMethod(
            target, [target, shared, delay] { target->Deliver(shared, delay); }, Qt::QueuedConnection);
        // One tick outstanding at most; the wait ends early when the timer is switched off.
        shared->wake.wait(lock, [&] { return !shared->pending || shared->terminated.load(); });
        if (shared->terminated)
            break;
        last = passStart;

        ++ticksThisSecond;
        const Clock::time_point now = Clock::now();
        const std::int64_t windowMs = MillisecondsBetween(secondStart, now);
        if (windowMs >= 1000) {
            shared->ticksPerSecond = static_cast<int>(ticksThisSecond * 1000 / windowMs);
            ticksThisSecond = 0;
            secondStart = now;
        }

        const int sleepTime = shared->sleepTime.load();
        if (sleepTime > 0)
            shared->wake.wait_for(lock, std::chrono::milliseconds(sleepTime),
                                  [&] { return shared->terminated.load(); });
    }
}

} // namespace

void TThreadTimerTarget::Deliver(const std::shared_ptr<ThreadTimerShared>& shared, int delay)
{
    // However the handler leaves (even by switching the timer off or on again),
    // the worker is released; `this` may not be touched once the handler ran.
    struct Release {
        const std::shared_ptr<ThreadTimerShared>& shared;
        ~Release()
        {
            {
                std::lock_guard lock(shared->mutex);
                shared->pending = false;
            }
            shared->wake.notify_all();
        }
    } release{shared};
    if (shared->terminated || m_owner.m_shared != shared)
        return; // a tick of a worker that has been stopped
    m_owner.DoTimer(delay);
}

TCustomThreadTimer::TCustomThreadTimer() : m_target(std::make_unique<TThreadTimerTarget>(*this)) {}

TCustomThreadTimer::~TCustomThreadTimer()
{
    Stop();
}

void TCustomThreadTimer::SetInterval(int ms)
{
    m_interval = std::max(ms, 0);
    if (m_shared) {
        m_shared->interval = m_interval;
        m_shared->wake.notify_all();
    }
}

void TCustomThreadTimer::SetSleepTime(int ms)
{
    m_sleepTime = std::max(ms, 0);
    if (m_shared) {
        m_shared->sleepTime = m_sleepTime;
        m_shared->wake.notify_all();
    }
}

void TCustomThreadTimer::SetPriority(QThread::Priority value)
{
    m_priority = value;
    if (m_thread && m_thread->isRunning())
        m_thread->setPriority(value);
}

void TCustomThreadTimer::SetRunning(bool value)
{
    if (value == m_running)
        return;
    if (!value) {
        m_running = false;
        Stop();
        return;
    }
    auto shared = std::make_shared<ThreadTimerShared>();
    shared->interval = m_interval;
    shared->sleepTime = m_sleepTime;
    shared->target = m_target.get();
    std::unique_ptr<QThread> thread(QThread::create([shared] { RunTimerThread(shared); }));
    m_shared = shared;
    m_thread = std::move(thread);
    m_running = true;
    m_thread->start(m_priority);
}

void TCustomThreadTimer::Stop() noexcept
{
    m_running = false;
    if (!m_thread)
        return;
    {
        std::lock_guard lock(m_shared->mutex);
        m_shared->terminated = true;
        m_shared->target = nullptr; // nothing is handed over after this
    }
    m_shared->wake.notify_all();
    // The worker never waits for the GUI thread once it is told to stop, so this
    // cannot deadlock, not even when called from inside OnTimer.
    m_thread->wait();
    m_thread.reset();
}

int TCustomThreadTimer::TicksPerSecond() const noexcept
{
    return m_shared ? m_shared->ticksPerSecond.load() : 0;
}

void TCustomThreadTimer::DoTimer(int delay)
{
    if (!OnTimer || !m_running)
        return;
    try {
        OnTimer(*this, delay);
    } catch (const std::exception& e) {
        if (OnException)
            OnException(e);
        else
            qWarning("Timer handler failed: %s", e.what());
    } catch (...) {
        if (OnException)
            OnException(std::runtime_error("unknown exception"));
    }
}

} // namespace vpx
