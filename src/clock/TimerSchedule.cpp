#include "TimerSchedule.h"

#include <algorithm>
#include <cerrno>
#include <ctime>

namespace velmora {

double SteadyClock::nowMs() const
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

void SteadyClock::sleepUntilMs(double deadlineMs)
{
    timespec ts{};
    const double secs = deadlineMs / 1e3;
    ts.tv_sec = time_t(secs);
    ts.tv_nsec = long((deadlineMs - double(ts.tv_sec) * 1e3) * 1e6);
    if (ts.tv_nsec >= 1'000'000'000L) {
        ts.tv_sec += 1;
        ts.tv_nsec -= 1'000'000'000L;
    }
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
    }
}

void RunTimerLoop(MonotonicClock& clock, const TimerLoopHooks& hooks)
{
    double deadline = clock.nowMs();
    while (!hooks.stopRequested()) {
        const double handOver = clock.nowMs();
        if (handOver - deadline > std::max(hooks.interval(), 0.0))
            deadline = handOver; // stalled: restart the schedule rather than catch up

        const double periodStart = deadline;
        hooks.deliver();

        // Wait, polling. At least one poll per period, as a period of 0 or less
        // still separates ticks by one poll.
        do {
            if (hooks.stopRequested()) return;
            const double interval = hooks.interval();
            const double target = periodStart + interval;
            if (!hooks.ultraPrecise()) {
                const double now = clock.nowMs();
                // A period of 0 or less still sleeps one poll between ticks.
                clock.sleepUntilMs(interval <= 0 ? now + 1.0 : std::min(now + 1.0, target));
            }
            if (clock.nowMs() >= target) break;
        } while (true);

        deadline = periodStart + hooks.interval();
    }
}

} // namespace velmora
