#pragma once

#include "BeatClock.h"
#include "BeatVoice.h"
#include "ManualTicks.h"
#include "SongFile.h"
#include "SongPlayer.h"
#include "TickSource.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringEncoder>

#include <vector>

namespace velmora::testing {

// What is heard: every note the generator is asked to play.
class RecordingVoice : public BeatVoice
{
public:
    struct Note
    {
        int tick;
        double timeMs;
        int volume;
        int instrument;
    };
    int tick = -1;
    double timeMs = 0;
    int volume = 0;
    int instrument = 130;
    unsigned duration = 0;
    std::vector<Note> notes;

    void Stop() override {}
    void SetVolume(int v) override { volume = v; }
    bool Play() override
    {
        notes.push_back({tick, timeMs, volume, instrument});
        return true;
    }
    void SetDuration(quint32 ticks) override { duration = ticks; }
    void SetInstrument(int i) override { instrument = i; }
};

constexpr int BarVolumeSetting = 70;
constexpr int BeatVolumeSetting = 30;

// The real clock and the real song player, wired the way the main window wires
// them: the clock's CheckEvents hook goes to the player.
struct SongRig : BeatClockHooks, SongPlayerHooks
{
    // What the counter and the controls show after each beat.
    struct Beat
    {
        QString counter;
        int tempo;
        int up;
        int down;
        QString lyric;
    };

    ManualTicks ticks;
    RecordingVoice voice;
    BeatClock clock{ticks, voice, *this};
    SongPlayer player{clock, voice, *this};

    std::vector<QString> errors;
    std::vector<QString> marks;
    int autoSized = 0;
    bool textOnly = false;
    std::vector<Beat> beats;

    // BeatClockHooks
    void CheckEvents() override { player.CheckEvents(); }
    int BarVolume() const override { return BarVolumeSetting; }
    int BeatVolume() const override { return BeatVolumeSetting; }
    // SongPlayerHooks
    void ShowError(const QString& message) override { errors.push_back(message); }
    void MarkPlaylist(const QString& path) override { marks.push_back(path); }
    void AutoSizeLyrics() override { ++autoSized; }
    bool TextOnly() const override { return textOnly; }

    // One timer tick, one interval after the previous one.
    void tick()
    {
        voice.timeMs += ticks.interval;
        voice.tick = clock.TickCount() + 1;
        clock.TimerTimer();
        const int t = clock.TickCount();
        if (!clock.Paused() && (t == 1 || (t + 1) % 12 == 0))
            beats.push_back({counter(), clock.Tempo(), clock.Up(), clock.Down(), clock.Lyric()});
    }
    // Runs up to n ticks while the timer is enabled; returns the ticks run.
    int run(int n)
    {
        int done = 0;
        for (; done < n && ticks.enabled; ++done)
            tick();
        return done;
    }
    // Runs until the clock has sounded `count` more beats.
    void runBeats(std::size_t count)
    {
        const std::size_t target = beats.size() + count;
        while (beats.size() < target && ticks.enabled)
            tick();
    }
    QString counter() const { return clock.BarText() + "." + clock.BeatText(); }
};

// A file with exactly these bytes.
inline void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write test file %s", qPrintable(path));
}

// XML text as a UTF-16 little-endian file with its byte-order mark, the way songs
// are stored.
inline QByteArray utf16File(const QString& text)
{
    QStringEncoder encode(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
    return encode(text);
}

// A song document around these instruction elements.
inline QString songXml(const QString& instructions,
                       const QString& properties =
                           R"(<Song_Properties Title="T" Artist="A" Author="U"></Song_Properties>)")
{
    return R"(<?xml version="1.0" encoding="UTF-16"?><Velmora_Song>)" + properties + instructions +
           "</Velmora_Song>";
}

// Schedule entries of each kind.
inline TLine tempo(int bar, int beat, int value)
{
    TLine l;
    l.Bar = bar;
    l.Beat = beat;
    l.Kind = LineKind::ChangeTempo;
    l.TempoValue = value;
    return l;
}

inline TLine signature(int bar, int beat, int beats, int unit)
{
    TLine l;
    l.Bar = bar;
    l.Beat = beat;
    l.Kind = LineKind::TimeSignature;
    l.BeatsInBar = beats;
    l.BeatUnit = unit;
    return l;
}

inline TLine lyric(int bar, int beat, const QString& text)
{
    TLine l;
    l.Bar = bar;
    l.Beat = beat;
    l.Kind = LineKind::DisplayLyrics;
    l.Lyric = text;
    return l;
}

inline TLine instrument(int bar, int beat, int code)
{
    TLine l;
    l.Bar = bar;
    l.Beat = beat;
    l.Kind = LineKind::ChangeInstrument;
    l.InstrumentCode = code;
    return l;
}

} // namespace velmora::testing
