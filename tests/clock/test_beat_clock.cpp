#include "ClockDoubles.h"
#include "TempoMath.h"

#include <gtest/gtest.h>

using namespace velmora;
using velmora::testing::ClockRig;

TEST(TempoMath, IntervalsAreExactAndNoteLengthsRoundHalfToEven)
{
    struct Case
    {
        int tempo, unit;
        double intervalMs;
        int roundedMs;
        unsigned duration;
    };
    const Case cases[] = {
        {120, 4, 41.6667, 42, 50}, {96, 4, 52.0833, 52, 62}, {200, 8, 12.5, 12, 15},
        {20, 4, 250.0, 250, 300},  {240, 32, 2.6042, 3, 3},  {20, 1, 1000.0, 1000, 1200},
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(tickIntervalMs(c.tempo, c.unit), c.intervalMs, 1e-4)
            << c.tempo << "/" << c.unit;
        EXPECT_EQ(roundedTickIntervalMs(c.tempo, c.unit), c.roundedMs) << c.tempo << "/" << c.unit;
        EXPECT_EQ(noteDurationTicks(c.tempo, c.unit), c.duration) << c.tempo << "/" << c.unit;
    }
}

TEST(BeatClock, TickTableOfFreePlay)
{
    ClockRig r;
    r.clock.SetTempo(120);
    r.clock.PlayLabelClick();
    ASSERT_TRUE(r.ticks.enabled);
    EXPECT_NEAR(r.ticks.interval, 1000.0 / 24, 1e-9);
    EXPECT_EQ(r.voice.duration, 50u);
    EXPECT_EQ(r.voice.instrument, 130);
    EXPECT_TRUE(r.clock.StopImageVisible());

    // tick -> counter after the tick
    struct Row
    {
        int tick;
        const char* counter;
    };
    const Row rows[] = {{0, "-1.1"},  {1, "-1.1"}, {11, "-1.2"}, {23, "-1.3"},
                        {35, "-1.4"}, {47, "0.1"}, {59, "0.2"},  {95, "1.1"}};
    int done = 0;
    for (const auto& row : rows) {
        r.run(row.tick + 1 - done);
        done = row.tick + 1;
        EXPECT_EQ(r.counter(), row.counter) << "after tick " << row.tick;
    }

    // Beats sound on tick 1 (opening, bar volume), then every twelve ticks from 11.
    std::vector<std::pair<int, int>> heard;
    for (const auto& n : r.voice.notes)
        heard.emplace_back(n.tick, n.volume);
    const std::vector<std::pair<int, int>> expected = {
        {1, 70}, {11, 30}, {23, 30}, {35, 30}, {47, 70}, {59, 30}, {71, 30}, {83, 30}, {95, 70}};
    EXPECT_EQ(heard, expected);
    // The animation runs frames 0..11 once per beat.
    for (size_t i = 0; i < r.hooks.frames.size(); ++i)
        ASSERT_EQ(r.hooks.frames[i], int(i % 12));
}

TEST(BeatClock, OneBeatPerBarMakesEveryBeatABarBeat)
{
    ClockRig r;
    r.clock.SetUp(1);
    r.clock.PlayLabelClick();
    r.run(36);
    EXPECT_EQ(r.counter(), "2.1");
    for (const auto& n : r.voice.notes)
        EXPECT_EQ(n.volume, 70) << "tick " << n.tick;
    EXPECT_EQ(r.voice.notes.size(), 4u); // ticks 1, 11, 23, 35
}

TEST(BeatClock, ChangingBeatsPerBarMidBarUsesTheNewValueAtTheNextBeat)
{
    ClockRig r;
    r.clock.PlayLabelClick();
    r.run(48); // through tick 47: counter 0.1, BeatCount 4
    ASSERT_EQ(r.counter(), "0.1");
    r.run(12);        // tick 59: 0.2
    r.clock.SetUp(2); // beat 2 of 2 is shown: the next beat is a bar beat
    r.voice.notes.clear();
    r.run(12); // tick 71: BeatCount 6, 6 mod 2 = 0 -> new bar
    EXPECT_EQ(r.counter(), "1.1");
    ASSERT_EQ(r.voice.notes.size(), 1u);
    EXPECT_EQ(r.voice.notes[0].volume, 70);
}

TEST(BeatClock, TempoPresetBox)
{
    ClockRig r;
    // "=Custom=" before any custom tempo selects 76, shown as Andante.
    r.clock.TempoBoxChange(0);
    EXPECT_EQ(r.clock.Tempo(), 76);
    EXPECT_EQ(r.clock.PresetIndex(), 3);
    EXPECT_EQ(r.clock.PresetText(0), "=Custom=");

    r.clock.SetTempo(77);
    EXPECT_EQ(r.clock.PresetIndex(), 0);
    EXPECT_EQ(r.clock.PresetText(0), "=Custom (77 bps)=");
    EXPECT_EQ(r.clock.TempoHint(), "Tempo: 77");
    EXPECT_EQ(r.clock.TempoEditText(), "77");

    r.clock.TempoBoxChange(5);
    EXPECT_EQ(r.clock.Tempo(), 120);
    EXPECT_EQ(r.clock.PresetIndex(), 5);
    EXPECT_EQ(r.clock.PresetText(0), "=Custom (77 bps)="); // the last custom tempo stays
    r.clock.TempoBoxChange(0);
    EXPECT_EQ(r.clock.Tempo(), 77);
}

TEST(BeatClock, TypedTempoIsClampedAndTextThatIsNoNumberIsIgnored)
{
    ClockRig r;
    r.clock.SetTempo(100);
    struct Case
    {
        const char* text;
        int tempo;
    };
    const Case cases[] = {{"130", 130}, {"abc", 130}, {"", 130},
                          {"999", 240}, {"5", 20},    {"96", 96}};
    for (const auto& c : cases) {
        r.clock.TempoEditChange(c.text);
        EXPECT_EQ(r.clock.Tempo(), c.tempo) << c.text;
        EXPECT_NEAR(r.ticks.interval, tickIntervalMs(c.tempo, 4), 1e-9) << c.text;
        EXPECT_EQ(r.voice.duration, noteDurationTicks(c.tempo, 4)) << c.text;
    }
    EXPECT_EQ(r.clock.TempoEditText(), "96");
    // The trackbar clamps too, and always raises the change.
    r.clock.SetTempo(300);
    EXPECT_EQ(r.clock.Tempo(), 240);
    EXPECT_EQ(r.clock.TempoEditText(), "240");
}

TEST(BeatClock, BeatUnitChangeRetimesARunningClockAtOnce)
{
    ClockRig r;
    r.clock.SetTempo(200);
    r.clock.PlayLabelClick();
    r.run(5);
    r.clock.SetDown(8);
    EXPECT_NEAR(r.ticks.interval, 12.5, 1e-9);
    EXPECT_EQ(r.voice.duration, 15u);
    r.clock.SetDown(40); // clamped to 32
    EXPECT_EQ(r.clock.Down(), 32);
}

TEST(BeatClock, PauseSilencesAndFreezesThenResumesWithTheNextTick)
{
    ClockRig r;
    r.clock.PlayLabelClick();
    r.run(20);
    const int stopsBefore = r.voice.stops;
    r.clock.PauseLabelClick();
    EXPECT_TRUE(r.clock.Paused());
    EXPECT_EQ(r.voice.stops, stopsBefore + 1);
    const auto frames = r.hooks.frames.size();
    const QString counter = r.counter();
    for (int i = 0; i < 30; ++i)
        r.clock.TimerTimer();
    EXPECT_EQ(r.clock.TickCount(), 19);
    EXPECT_EQ(r.hooks.frames.size(), frames);
    EXPECT_EQ(r.counter(), counter);
    r.clock.PauseLabelClick();
    r.run(1);
    EXPECT_EQ(r.clock.TickCount(), 20);
}

TEST(BeatClock, SilentBeatsKeepCountingWhenSoundIsOffOrAnotherApplicationIsActive)
{
    for (int variant = 0; variant < 2; ++variant) {
        ClockRig r;
        if (variant == 0)
            r.clock.SoundClick();
        else
            r.hooks.active = false;
        r.clock.PlayLabelClick();
        r.run(48);
        EXPECT_TRUE(r.voice.notes.empty());
        EXPECT_EQ(r.counter(), "0.1");
        EXPECT_EQ(r.hooks.frames.size(), 48u);
    }
    ClockRig r;
    r.clock.SoundClick();
    EXPECT_FALSE(r.clock.SoundOn());
    r.clock.SoundClick();
    EXPECT_TRUE(r.clock.SoundOn());
}

TEST(BeatClock, StopResetsTheDisplayAndPlayWhilePlayingChangesNothing)
{
    ClockRig r;
    r.clock.PlayLabelClick();
    r.run(50);
    r.clock.Play(); // already playing
    EXPECT_EQ(r.clock.TickCount(), 49);
    r.clock.SetLyric("la la");
    r.clock.PlayLabelClick(); // stops
    EXPECT_FALSE(r.clock.Playing());
    EXPECT_FALSE(r.ticks.enabled);
    EXPECT_EQ(r.counter(), "-1.1");
    EXPECT_EQ(r.clock.Lyric(), "");
    EXPECT_EQ(r.hooks.blank, 1);
    EXPECT_EQ(r.hooks.playlistMarksCleared, 1);
    EXPECT_EQ(r.hooks.showControls, 1);
    EXPECT_FALSE(r.clock.StopImageVisible());

    // A new start begins again from the count-in bar.
    r.clock.PlayLabelClick();
    r.run(2);
    EXPECT_EQ(r.clock.TickCount(), 1);
    EXPECT_EQ(r.counter(), "-1.1");
}

TEST(BeatClock, SyncClientTicksOnlyPollAndKeepTheirInterval)
{
    ClockRig r;
    r.clock.SetMode(PlayMode::SyncClient);
    r.ticks.SetInterval(20);
    r.clock.SetTempo(60);
    EXPECT_EQ(r.ticks.interval, 20);
    r.ticks.enabled = true;
    r.clock.TimerTimer();
    r.clock.TimerTimer();
    EXPECT_EQ(r.hooks.syncRequests, 2);
    EXPECT_EQ(r.clock.TickCount(), -1);
    EXPECT_TRUE(r.hooks.frames.empty());
}

TEST(BeatClock, SnapshotCarriesTheStateTheSyncServerReads)
{
    ClockRig r;
    r.clock.SetTempo(96);
    r.clock.SetUp(3);
    r.clock.SetDown(8);
    r.clock.SetLyric("Hello");
    r.clock.PlayLabelClick();
    r.run(12);
    const BeatSnapshot s = r.clock.Snapshot();
    EXPECT_EQ(s.tempo, 96);
    EXPECT_EQ(s.beatsInBar, 3);
    EXPECT_EQ(s.beatUnit, 8);
    EXPECT_EQ(s.barText, "-1");
    EXPECT_EQ(s.beatText, "2");
    EXPECT_EQ(s.lyric, "Hello");
    EXPECT_TRUE(s.playing);
    EXPECT_FALSE(s.paused);
    EXPECT_GE(s.msSinceBeat, 0.0);
}
