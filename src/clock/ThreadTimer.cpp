#include "ThreadTimer.h"

#include <QMetaObject>

#include <condition_variable>
#include <mutex>

#include <pthread.h>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

struct TTimerThread::Control
{
    std::atomic<bool> stopRequested{false};
    std::atomic<bool> finished{false};
    std::mutex mutex;
    std::condition_variable handled;
    bool tickPending = false;
};

namespace {

// Raise (or lower) the calling thread's priority as far as the system allows;
// without the privilege the worker simply keeps the normal priority.
void applyPriority(TThreadPriority priority)
{
    // Wake-ups to the deadline, not up to 50 µs later as the default slack allows.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    if (priority == tpIdle) {
        sched_param param{};
        pthread_setschedparam(pthread_self(), SCHED_IDLE, &param);
        return;
    }
    static constexpr int niceOf[] = {19, 10, 5, 0, -5, -10, -15};
    const pid_t tid = pid_t(syscall(SYS_gettid));
    setpriority(PRIO_PROCESS, id_t(tid), niceOf[priority]);
}

} // namespace

TTimerThread::TTimerThread(TThreadTimer* timer, TThreadPriority priority)
    : FTimer(timer), FControl(std::make_shared<Control>())
{
    FThread = std::thread([this, priority] {
        applyPriority(priority);
        Run();
        FControl->finished = true;
    });
}

TTimerThread::~TTimerThread()
{
    RequestStop();
    if (FThread.joinable()) FThread.join();
}

void TTimerThread::RequestStop()
{
    {
        std::lock_guard lock(FControl->mutex);
        FControl->stopRequested = true;
    }
    FControl->handled.notify_all();
}

bool TTimerThread::Finished() const
{
    return FControl->finished;
}

void TTimerThread::Run()
{
    TThreadTimer* timer = FTimer;
    std::shared_ptr<Control> control = FControl;

    velmora::TimerLoopHooks hooks;
    hooks.interval = [timer] { return timer->Interval(); };
    hooks.ultraPrecise = [timer] { return timer->UltraPrecise(); };
    hooks.stopRequested = [control] { return control->stopRequested.load(); };
    hooks.deliver = [timer, control] {
        {
            std::lock_guard lock(control->mutex);
            control->tickPending = true;
        }
        // The tick runs on the timer's thread. It checks this worker's own stop
        // request, so a tick still queued when the timer was disabled is dropped.
        QMetaObject::invokeMethod(
            timer,
            [timer, control] {
                if (!control->stopRequested && timer->OnTimer) timer->OnTimer(timer);
                {
                    std::lock_guard lock(control->mutex);
                    control->tickPending = false;
                }
                control->handled.notify_all();
            },
            Qt::QueuedConnection);
        std::unique_lock lock(control->mutex);
        control->handled.wait(lock,
                              [&] { return !control->tickPending || control->stopRequested; });
    };
    velmora::RunTimerLoop(*timer->FClock, hooks);
}

TThreadTimer::TThreadTimer(QObject* owner, std::shared_ptr<velmora::MonotonicClock> clock)
    : QObject(owner), FClock(clock ? std::move(clock) : std::make_shared<velmora::SteadyClock>())
{
}

TThreadTimer::~TThreadTimer()
{
    SetEnabled(false);
    FRetired.clear(); // joins every worker
}

void TThreadTimer::SetEnabled(bool enabled)
{
    if (enabled == FRunning) return;
    if (!enabled) {
        FWorker->RequestStop();
        FRetired.push_back(std::move(FWorker));
        FRunning = false;
        return;
    }
    // Workers that have ended are joined here; one still finishing its pass stays
    // retired and delivers nothing more.
    std::erase_if(FRetired, [](const auto& w) { return w->Finished(); });
    FWorker = std::make_unique<TTimerThread>(this, FThreadPriority);
    FRunning = true;
}
