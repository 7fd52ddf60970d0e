#pragma once

#include "TickSource.h"
#include "TimerSchedule.h"

#include <QObject>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

enum TThreadPriority
{
    tpIdle,
    tpLowest,
    tpLower,
    tpNormal,
    tpHigher,
    tpHighest,
    tpTimeCritical
};

class TThreadTimer;

// One worker of a TThreadTimer. Each worker has a stop request of its own, so a
// quick disable/enable never lets an old worker deliver another tick.
class TTimerThread
{
public:
    struct Control; // shared by the worker, the timer and ticks in flight

    TTimerThread(TThreadTimer* timer, TThreadPriority priority);
    ~TTimerThread(); // joins

    void RequestStop();
    bool Finished() const;

private:
    void Run();

    TThreadTimer* FTimer;
    std::shared_ptr<Control> FControl;
    std::thread FThread;
};

// Periodic timer whose waiting runs on a worker thread; OnTimer is called on the
// thread that owns the timer (the user-interface thread). The worker blocks until
// each tick has been handled, so at most one tick is ever outstanding.
class TThreadTimer : public QObject, public velmora::TickSource
{
    Q_OBJECT
public:
    explicit TThreadTimer(QObject* owner = nullptr,
                          std::shared_ptr<velmora::MonotonicClock> clock = nullptr);
    ~TThreadTimer() override;

    bool Enabled() const override { return FRunning; }
    void SetEnabled(bool enabled) override;

    double Interval() const override { return FInterval.load(std::memory_order_relaxed); }
    void SetInterval(double ms) override { FInterval.store(ms, std::memory_order_relaxed); }

    TThreadPriority ThreadPriority() const { return FThreadPriority; }
    void SetThreadPriority(TThreadPriority p) { FThreadPriority = p; }

    bool UltraPrecise() const { return FUltraPrecise.load(std::memory_order_relaxed); }
    void SetUltraPrecise(bool on) { FUltraPrecise.store(on, std::memory_order_relaxed); }

    std::function<void(TThreadTimer* sender)> OnTimer;

private:
    friend class TTimerThread;

    std::shared_ptr<velmora::MonotonicClock> FClock;
    std::atomic<double> FInterval{0.0};
    std::atomic<bool> FUltraPrecise{false};
    TThreadPriority FThreadPriority = tpNormal;
    bool FRunning = false;
    std::unique_ptr<TTimerThread> FWorker;
    std::vector<std::unique_ptr<TTimerThread>> FRetired; // stopped, maybe still finishing a pass
};
