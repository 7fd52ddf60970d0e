#pragma once

#include <functional>

namespace velmora {

// Time as the timer's worker sees it: a monotonic clock in milliseconds that it
// can sleep on. Tests substitute a clock they control.
class MonotonicClock
{
public:
    virtual ~MonotonicClock() = default;
    virtual double nowMs() const = 0;
    // Sleeps until the clock reads at least deadlineMs (may wake a little late).
    virtual void sleepUntilMs(double deadlineMs) = 0;
};

// The system's steady clock, sleeping to absolute deadlines so that sleep
// overshoot is never added on top of the period.
class SteadyClock final : public MonotonicClock
{
public:
    double nowMs() const override;
    void sleepUntilMs(double deadlineMs) override;
};

// What one worker loop reads and calls. Interval and precision are read at every
// poll so that a change applies to the period already under way.
struct TimerLoopHooks
{
    std::function<double()> interval;    // period in ms
    std::function<bool()> ultraPrecise;  // poll without sleeping
    std::function<bool()> stopRequested; // this worker's own stop request
    std::function<void()> deliver;       // hand the tick over; blocks until handled
};

// The worker loop of the periodic timer.
//
// Each period starts at its deadline, before the tick is delivered; the wait
// then polls until Interval has passed since that deadline, sleeping at most
// 1 ms per poll (the last sleep ends on the deadline) or, in ultra-precise mode,
// not sleeping at all. The next deadline is the previous one plus Interval, so
// lateness in one tick (a slow handler, a late wake-up) is not carried into the
// next and the tempo holds. If a tick would be handed over more than a whole
// period late (a stalled user-interface thread), the schedule restarts from now:
// ticks are never queued or delivered in a burst. The first tick comes at once.
void RunTimerLoop(MonotonicClock& clock, const TimerLoopHooks& hooks);

} // namespace velmora
