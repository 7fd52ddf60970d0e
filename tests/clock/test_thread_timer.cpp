#include "HighResTimer.h"
#include "ThreadTimer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>

#include <gtest/gtest.h>

#include <thread>

namespace {
// Lets queued ticks run for a while on this (the owning) thread.
void pump(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}
} // namespace

TEST(ThreadTimer, FirstTickComesAtOnceAndEnablingTwiceKeepsOneWorker)
{
    TThreadTimer timer;
    int ticks = 0;
    timer.OnTimer = [&](TThreadTimer* sender) {
        EXPECT_EQ(sender, &timer);
        EXPECT_EQ(QThread::currentThread(), qApp->thread());
        ++ticks;
    };
    timer.SetInterval(1e9);
    timer.SetEnabled(true);
    timer.SetEnabled(true);
    EXPECT_TRUE(timer.Enabled());
    pump(100);
    EXPECT_EQ(ticks, 1); // a second worker would have ticked at once too
}

TEST(ThreadTimer, TickInFlightOfADisabledWorkerIsNeverDelivered)
{
    TThreadTimer timer;
    int ticks = 0;
    timer.OnTimer = [&](TThreadTimer*) { ++ticks; };
    timer.SetInterval(1e9);
    timer.SetEnabled(true);
    // Give the worker time to post its first tick, but do not run it yet.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    timer.SetEnabled(false);
    EXPECT_FALSE(timer.Enabled());
    timer.SetEnabled(true); // new worker, first tick at once
    pump(100);
    EXPECT_EQ(ticks, 1);
}

TEST(ThreadTimer, HandlerThatDisablesTheTimerGetsNoFurtherTick)
{
    TThreadTimer timer;
    int ticks = 0;
    timer.OnTimer = [&](TThreadTimer* t) {
        ++ticks;
        t->SetEnabled(false);
    };
    timer.SetInterval(0);
    timer.SetEnabled(true);
    pump(100);
    EXPECT_EQ(ticks, 1);
}

TEST(ThreadTimer, AtMostOneTickOutstanding)
{
    TThreadTimer timer;
    int ticks = 0;
    timer.OnTimer = [&](TThreadTimer*) { ++ticks; };
    timer.SetInterval(1);
    timer.SetEnabled(true);
    // The user-interface thread is busy: the worker must wait for its tick to
    // be handled instead of queueing more.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    QCoreApplication::processEvents();
    EXPECT_EQ(ticks, 1);
    timer.SetEnabled(false);
}

TEST(ThreadTimer, DestroyingWhileATickIsPendingDoesNotHang)
{
    auto timer = std::make_unique<TThreadTimer>();
    int ticks = 0;
    timer->OnTimer = [&](TThreadTimer*) { ++ticks; };
    timer->SetUltraPrecise(true);
    timer->SetEnabled(true);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    timer.reset(); // the worker is blocked in its hand-over
    QCoreApplication::processEvents();
    EXPECT_EQ(ticks, 0);
}

TEST(HighResTimer, ElapsedIsAFractionOfADay)
{
    THighResTimer sw;
    EXPECT_EQ(sw.Elapsed(), 0.0);
    sw.Start();
    EXPECT_EQ(sw.Elapsed(), 0.0);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    sw.Stop();
    const double first = sw.Elapsed();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    sw.Stop(); // measures to the second call
    EXPECT_GT(sw.Elapsed(), first);
    EXPECT_NEAR(sw.Elapsed() * 86'400'000.0, sw.ElapsedMs(), 1e-6);
    EXPECT_GE(sw.ElapsedMs(), 40.0);
}
