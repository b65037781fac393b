#include "about/ThrdTime.h"

#include "AboutTestUtil.h"

#include <QElapsedTimer>
#include <QThread>

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace vpx {
namespace {

using test::WaitUntil;

TEST(ThreadTimerTest, DefaultsAndTicksOnTheGuiThread)
{
    TThreadTimer timer;
    EXPECT_EQ(timer.Interval(), 1000);
    EXPECT_EQ(timer.SleepTime(), 0);
    EXPECT_EQ(timer.Priority(), QThread::NormalPriority);
    EXPECT_FALSE(timer.Running());

    std::vector<int> delays;
    bool onGuiThread = true;
    TCustomThreadTimer* sender = nullptr;
    timer.OnTimer = [&](TCustomThreadTimer& s, int delay) {
        sender = &s;
        delays.push_back(delay);
        onGuiThread = onGuiThread && QThread::currentThread() == QCoreApplication::instance()->thread();
    };
    timer.SetInterval(5);
    timer.SetRunning(true);
    EXPECT_TRUE(timer.Running());
    ASSERT_TRUE(WaitUntil([&] { return delays.size() >= 3; }));
    timer.SetRunning(false);
    EXPECT_EQ(sender, &timer);
    EXPECT_TRUE(onGuiThread);
    for (int d : delays)
        EXPECT_GE(d, 1);

    // Nothing arrives once it is off, not even a tick already queued.
    const std::size_t seen = delays.size();
    QCoreApplication::processEvents();
    QThread::msleep(30);
    QCoreApplication::processEvents();
    EXPECT_EQ(delays.size(), seen);
}

TEST(ThreadTimerTest, SlowHandlerMakesTheNextTickCountTheMissedIntervals)
{
    TThreadTimer timer;
    timer.SetInterval(20);
    std::vector<int> delays;
    timer.OnTimer = [&](TCustomThreadTimer&, int delay) {
        delays.push_back(delay);
        if (delays.size() == 1)
            QThread::msleep(150); // a handler that keeps the GUI thread busy
    };
    timer.SetRunning(true);
    ASSERT_TRUE(WaitUntil([&] { return delays.size() >= 2; }));
    timer.SetRunning(false);
    EXPECT_GT(delays[1], 1);
    EXPECT_GE(delays[1], 150 / 20 - 1);
}

TEST(ThreadTimerTest, IntervalZeroIsPacedByTheHandOff)
{
    TThreadTimer timer;
    timer.SetInterval(0);
    int ticks = 0;
    bool overlapped = false;
    bool inside = false;
    timer.OnTimer = [&](TCustomThreadTimer&, int delay) {
        overlapped = overlapped || inside || delay != 1;
        inside = true;
        QCoreApplication::processEvents(); // a nested loop must not let a second tick in
        inside = false;
        ++ticks;
    };
    timer.SetRunning(true);
    ASSERT_TRUE(WaitUntil([&] { return ticks >= 200; }));
    timer.SetRunning(false);
    EXPECT_FALSE(overlapped);
}

TEST(ThreadTimerTest, NewIntervalReachesTheRunningThreadAtOnce)
{
    TThreadTimer timer;
    timer.SetInterval(100000);
    int ticks = 0;
    timer.OnTimer = [&](TCustomThreadTimer&, int) { ++ticks; };
    timer.SetRunning(true);
    timer.SetInterval(1);
    EXPECT_TRUE(WaitUntil([&] { return ticks > 0; }));
    timer.SetSleepTime(100000); // the sleep is cut short by switching off
    const int before = ticks;
    QElapsedTimer stop;
    stop.start();
    WaitUntil([&] { return ticks > before; }, 200);
    timer.SetRunning(false);
    EXPECT_LT(stop.elapsed(), 3000);
}

TEST(ThreadTimerTest, SwitchingOffWithTicksPendingNeverDeadlocks)
{
    QElapsedTimer total;
    total.start();
    for (int round = 0; round < 300; ++round) {
        TThreadTimer timer;
        timer.SetInterval(round % 3); // 0, 1 and 2 ms
        int ticks = 0;
        timer.OnTimer = [&](TCustomThreadTimer&, int) { ++ticks; };
        timer.SetRunning(true);
        switch (round % 4) {
        case 0: // off while a tick waits in the queue
            QThread::msleep(3);
            break;
        case 1: // off after some ticks were handled
            ASSERT_TRUE(WaitUntil([&] { return ticks > 0; }));
            break;
        case 2: // off from inside the handler
            timer.OnTimer = [&](TCustomThreadTimer& s, int) {
                ++ticks;
                s.SetRunning(false);
            };
            ASSERT_TRUE(WaitUntil([&] { return !timer.Running(); }));
            break;
        case 3: // off and on again from inside the handler, then off
            timer.OnTimer = [&](TCustomThreadTimer& s, int) {
                ++ticks;
                s.SetRunning(false);
                s.SetRunning(true);
            };
            ASSERT_TRUE(WaitUntil([&] { return ticks >= 3; }));
            break;
        }
        timer.SetRunning(false);
        const int seen = ticks;
        QCoreApplication::processEvents();
        EXPECT_EQ(ticks, seen) << "round " << round;
        // Destroying a running timer with a tick in flight is the same stop.
        if (round % 10 == 0) {
            TThreadTimer other;
            other.SetInterval(0);
            other.OnTimer = [](TCustomThreadTimer&, int) {};
            other.SetRunning(true);
            QThread::msleep(1);
        }
    }
    QCoreApplication::processEvents();
    EXPECT_LT(total.elapsed(), 20000);
}

TEST(ThreadTimerTest, HandlerExceptionIsShownAndTheTimerGoesOn)
{
    TThreadTimer timer;
    timer.SetInterval(1);
    int ticks = 0;
    QStringList shown;
    timer.OnException = [&](const std::exception& e) { shown << QString::fromUtf8(e.what()); };
    timer.OnTimer = [&](TCustomThreadTimer&, int) {
        if (++ticks == 1)
            throw std::runtime_error("boom");
    };
    timer.SetRunning(true);
    ASSERT_TRUE(WaitUntil([&] { return ticks >= 3; }));
    timer.SetRunning(false);
    EXPECT_EQ(shown, QStringList{QStringLiteral("boom")});
}

TEST(ThreadTimerTest, PriorityAndCountsPerSecond)
{
    TThreadTimer timer;
    timer.SetPriority(QThread::LowPriority);
    EXPECT_EQ(timer.Priority(), QThread::LowPriority);
    timer.SetInterval(0);
    timer.OnTimer = [](TCustomThreadTimer&, int) {};
    timer.SetRunning(true);
    timer.SetPriority(QThread::LowestPriority); // while running: passed on at once
    EXPECT_TRUE(WaitUntil([&] { return timer.TicksPerSecond() > 0; }, 5000));
    timer.SetRunning(false);
}

} // namespace
} // namespace vpx
