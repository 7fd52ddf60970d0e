#pragma once

#include "BeatClock.h"
#include "BeatVoice.h"
#include "ManualTicks.h"
#include "TickSource.h"

#include <vector>

namespace velmora::testing {

// Records what the clock asks of the note generator.
class RecordingVoice : public BeatVoice
{
public:
    struct Note
    {
        int tick;
        int volume;
        int instrument;
    };
    int tick = -1; // set by the test before each tick, to stamp the notes
    int volume = 100;
    int instrument = 0;
    unsigned duration = 0;
    int stops = 0;
    std::vector<Note> notes;

    void Stop() override { ++stops; }
    void SetVolume(int v) override { volume = v; }
    bool Play() override
    {
        notes.push_back({tick, volume, instrument});
        return true;
    }
    void SetDuration(quint32 ticks) override { duration = ticks; }
    void SetInstrument(int i) override { instrument = i; }
};

struct RecordingHooks : BeatClockHooks
{
    std::vector<int> frames;
    int checkEvents = 0;
    int alignCounter = 0;
    int blank = 0;
    int showControls = 0;
    int playlistMarksCleared = 0;
    int syncRequests = 0;
    bool active = true;
    int barVolume = 70;
    int beatVolume = 30;
    int instrumentCode = 130;

    void DrawRadar(int frame) override { frames.push_back(frame); }
    void BlankRadar() override { ++blank; }
    void AlignCounter() override { ++alignCounter; }
    void ShowControls() override { ++showControls; }
    void CheckEvents() override { ++checkEvents; }
    void ClearPlaylistMarks() override { ++playlistMarksCleared; }
    void SendSyncRequest() override { ++syncRequests; }
    bool ApplicationActive() const override { return active; }
    int BarVolume() const override { return barVolume; }
    int BeatVolume() const override { return beatVolume; }
    int InstrumentCode() const override { return instrumentCode; }
};

// A clock wired to the three doubles.
struct ClockRig
{
    ManualTicks ticks;
    RecordingVoice voice;
    RecordingHooks hooks;
    BeatClock clock{ticks, voice, hooks};

    // Runs n timer ticks while the timer is enabled, stamping notes with the tick.
    void run(int n)
    {
        for (int i = 0; i < n && ticks.enabled; ++i) {
            voice.tick = clock.TickCount() + 1;
            clock.TimerTimer();
        }
    }
    QString counter() const { return clock.BarText() + "." + clock.BeatText(); }
};

} // namespace velmora::testing
