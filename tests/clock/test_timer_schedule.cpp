#include "TimerSchedule.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using velmora::MonotonicClock;
using velmora::RunTimerLoop;
using velmora::TimerLoopHooks;

namespace {

// Virtual time: sleeping jumps to the deadline plus a fixed oversleep, and every
// reading of the clock costs a little, so busy polling still moves forward.
class FakeClock : public MonotonicClock
{
public:
    double now = 1000.0;
    double oversleep = 0.15;
    double readCost = 0.001;
    int sleeps = 0;
    double lastSleepLength = 0;

    double nowMs() const override
    {
        auto* self = const_cast<FakeClock*>(this);
        self->now += readCost;
        return now;
    }
    void sleepUntilMs(double deadline) override
    {
        ++sleeps;
        const double wake = std::max(now, deadline + oversleep);
        lastSleepLength = wake - now;
        now = wake;
    }
};

struct ScheduleRun
{
    FakeClock clock;
    double interval = 1000.0 / 24.0; // 120 bpm, quarter-note beats, 12 ticks per beat
    bool ultra = false;
    int maxTicks = 100;
    std::vector<double> ticks;
    std::function<void(int)> onTick; // may change the interval or stall

    void go()
    {
        TimerLoopHooks hooks;
        hooks.interval = [this] { return interval; };
        hooks.ultraPrecise = [this] { return ultra; };
        hooks.stopRequested = [this] { return int(ticks.size()) >= maxTicks; };
        hooks.deliver = [this] {
            ticks.push_back(clock.now);
            if (onTick) onTick(int(ticks.size()) - 1);
        };
        RunTimerLoop(clock, hooks);
    }
};

} // namespace

TEST(TimerSchedule, FirstTickAtOnceThenExactDeadlinesWithoutDrift)
{
    ScheduleRun r;
    r.maxTicks = 2400; // 200 beats
    r.go();
    ASSERT_EQ(r.ticks.size(), 2400u);
    EXPECT_NEAR(r.ticks[0], 1000.0, 0.01);
    // Every tick sits within one oversleep of its ideal time: late wake-ups are
    // not carried into the next period, so there is no cumulative drift.
    for (size_t k = 0; k < r.ticks.size(); ++k) {
        const double ideal = r.ticks[0] + double(k) * r.interval;
        ASSERT_GE(r.ticks[k], ideal - 1e-6) << "tick " << k;
        ASSERT_LE(r.ticks[k] - ideal, 0.2) << "tick " << k;
    }
}

TEST(TimerSchedule, StandardModeSleepsAtMostOneMillisecondPerPoll)
{
    ScheduleRun r;
    r.interval = 10.0;
    r.clock.oversleep = 0;
    r.maxTicks = 3;
    double longest = 0;
    r.onTick = [&](int) { longest = std::max(longest, r.clock.lastSleepLength); };
    r.go();
    EXPECT_LE(longest, 1.0 + 1e-9);
    EXPECT_GE(r.clock.sleeps, 20); // about ten 1 ms polls per 10 ms period
}

TEST(TimerSchedule, UltraPreciseNeverSleeps)
{
    ScheduleRun r;
    r.ultra = true;
    r.clock.readCost = 0.01;
    r.maxTicks = 10;
    r.go();
    EXPECT_EQ(r.clock.sleeps, 0);
    for (size_t k = 1; k < r.ticks.size(); ++k)
        EXPECT_NEAR(r.ticks[k] - r.ticks[k - 1], r.interval, 0.05);
}

TEST(TimerSchedule, IntervalChangeAppliesFromTheLastDeadline)
{
    ScheduleRun r;
    r.interval = 40.0;
    r.clock.oversleep = 0;
    r.maxTicks = 6;
    r.onTick = [&](int k) {
        if (k == 2) r.interval = 25.0; // set while tick 2 is being handled
    };
    r.go();
    const double t0 = r.ticks[0];
    const double expected[] = {0, 40, 80, 105, 130, 155};
    for (int k = 0; k < 6; ++k)
        EXPECT_NEAR(r.ticks[k] - t0, expected[k], 0.05) << "tick " << k;
}

TEST(TimerSchedule, LateHandlerIsCaughtUpButAStallRestartsTheSchedule)
{
    struct Case
    {
        double stallPeriods;          // how long the handler of tick 3 runs
        std::vector<double> expected; // tick times in periods from tick 0
    };
    const Case cases[] = {
        // half a period late: tick 4 at once, tick 5 back on the grid
        {1.5, {0, 1, 2, 3, 4.5, 5, 6}},
        // more than a whole period late: one tick at once, then a new grid from it
        {2.5, {0, 1, 2, 3, 5.5, 6.5, 7.5}},
        {10.0, {0, 1, 2, 3, 13, 14, 15}},
    };
    for (const auto& c : cases) {
        ScheduleRun r;
        r.interval = 20.0;
        r.clock.oversleep = 0;
        r.clock.readCost = 0;
        r.maxTicks = int(c.expected.size());
        r.onTick = [&](int k) {
            if (k == 3) r.clock.now += c.stallPeriods * r.interval;
        };
        r.go();
        for (size_t k = 0; k < c.expected.size(); ++k)
            EXPECT_NEAR((r.ticks[k] - r.ticks[0]) / r.interval, c.expected[k], 1e-6)
                << "stall " << c.stallPeriods << " tick " << k;
    }
}

TEST(TimerSchedule, ZeroOrNegativeIntervalStillSleepsOnePollBetweenTicks)
{
    for (double interval : {0.0, -5.0}) {
        ScheduleRun r;
        r.interval = interval;
        r.clock.oversleep = 0;
        r.clock.readCost = 0;
        r.maxTicks = 4;
        r.go();
        for (size_t k = 1; k < r.ticks.size(); ++k)
            EXPECT_NEAR(r.ticks[k] - r.ticks[k - 1], 1.0, 1e-9);
    }
}

TEST(TimerSchedule, StopRequestedByTheHandlerEndsTheLoopWithoutAnotherTick)
{
    ScheduleRun r;
    bool stop = false;
    TimerLoopHooks hooks;
    int delivered = 0;
    hooks.interval = [] { return 5.0; };
    hooks.ultraPrecise = [] { return false; };
    hooks.stopRequested = [&] { return stop; };
    hooks.deliver = [&] {
        if (++delivered == 3) stop = true;
    };
    RunTimerLoop(r.clock, hooks);
    EXPECT_EQ(delivered, 3);
}
