#pragma once

#include "BeatVoice.h"
#include "HighResTimer.h"
#include "TickSource.h"

#include <QMutex>
#include <QObject>
#include <QString>

#include <array>
#include <optional>

namespace velmora {

enum class PlayMode : quint8
{
    Free = 0,
    Song = 1,
    SyncClient = 2
};

// Call points where the display, the song schedule, the playlist, the settings
// and the sync client attach to the clock. The main window implements them; every
// default does nothing, so a clock runs without any of those parts.
class BeatClockHooks
{
public:
    virtual ~BeatClockHooks() = default;
    virtual void DrawRadar(int /*frame*/) {}
    virtual void BlankRadar() {}
    virtual void AlignCounter() {}
    virtual void ShowControls() {}
    virtual void CheckEvents() {}
    virtual void ClearPlaylistMarks() {}
    virtual void SendSyncRequest() {}
    // Beats sound only while Velmora is the active application.
    virtual bool ApplicationActive() const { return true; }
    // From the settings: volumes 0..100 and the chosen instrument's value.
    virtual int BarVolume() const { return 70; }
    virtual int BeatVolume() const { return 30; }
    virtual int InstrumentCode() const { return 130; }
};

// What another thread (the sync server) may read, taken under the state lock.
struct BeatSnapshot
{
    int tempo = 0;
    int beatsInBar = 4;
    int beatUnit = 4;
    QString barText;
    QString beatText;
    QString lyric;
    bool playing = false;
    bool paused = false;
    double msSinceBeat = 0; // read from the beat stopwatch
};

// The beat clock: turns the tempo and time-signature controls into twelve ticks
// per beat, counts beats and bars from the count-in bar, sounds each beat with its
// accent, and hands every tick to the display and every beat to the song schedule.
//
// It is the model behind the main window's tempo panel and counter: the window
// forwards its control events here and mirrors the state back through the
// signals. Everything runs on the user-interface thread; values that the sync
// server reads from its own threads are changed under stateLock().
class BeatClock : public QObject
{
    Q_OBJECT
public:
    static constexpr int PresetCount = 8;

    BeatClock(TickSource& timer, BeatVoice& voice, BeatClockHooks& hooks,
              QObject* parent = nullptr);

    // --- the clock -----------------------------------------------------------
    void Play();
    void Stop();
    void TimerTimer();
    void PlayBeat();
    void PlayLabelClick();
    void StopLabelClick();
    void PauseLabelClick();
    void SoundClick();

    // --- the tempo controls --------------------------------------------------
    int Tempo() const { return m_tempo; }
    // Assigning the tempo trackbar's position: clamps to 20..240 and always runs
    // TempoChange, also when the value stays the same.
    void SetTempo(int position);
    void TempoChange();
    // The typed tempo; text that is not an integer changes nothing.
    void TempoEditChange(const QString& text);
    void TempoBoxChange(int index);
    int Up() const { return m_up; }
    int Down() const { return m_down; }
    void SetUp(int beats);  // clamps to 1..32, then DownChange
    void SetDown(int unit); // clamps to 1..32, then DownChange
    // Both at once, so that a reader on another thread never sees half of a change.
    void SetTimeSignature(int beats, int unit);
    void DownChange();

    int PresetIndex() const { return m_presetIndex; }
    QString PresetText(int index) const;
    QStringList PresetTexts() const;
    QString TempoHint() const { return QStringLiteral("Tempo: %1").arg(m_tempo); }
    QString TempoEditText() const { return m_tempoEditText; }
    double TickInterval() const;
    unsigned NoteDuration() const;

    // --- counter, lyric and switches -----------------------------------------
    QString BarText() const { return m_barText; }
    QString BeatText() const { return m_beatText; }
    void SetCounter(const QString& bar, const QString& beat); // the sync client's mirror
    QString Lyric() const { return m_lyric; }
    void SetLyric(const QString& text);
    bool SoundOn() const { return m_soundOn; }
    bool StopImageVisible() const { return m_stopImageVisible; }
    void SetStopImageVisible(bool visible);

    // --- state ---------------------------------------------------------------
    PlayMode Mode() const { return m_mode; }
    void SetMode(PlayMode mode) { m_mode = mode; }
    bool Playing() const { return m_playing; }
    bool Paused() const { return m_paused; }
    int TickCount() const { return m_tickCount; }
    int BeatCount() const { return m_beatCount; }
    int BarCount() const { return m_barCount; }
    const std::array<int, PresetCount>& TempoPresets() const { return m_presets; }

    // The bar of the loaded song's last instruction; the song ends when the bar
    // after the next one begins. Nothing: the song plays until it is stopped.
    void SetSongEndBar(std::optional<int> lastInstructionBar) { m_songEndBar = lastInstructionBar; }

    THighResTimer& BeatStopwatch() { return m_beatStopwatch; }
    QMutex& stateLock() const { return m_stateLock; }
    BeatSnapshot Snapshot() const;

Q_SIGNALS:
    void tempoControlsChanged(); // Tempo, TempoEdit text, TempoBox items/index, hint
    void timeSignatureChanged(); // Up, Down
    void counterChanged();       // BarText, BeatText
    void lyricChanged();
    void soundChanged();
    void stopImageChanged();
    void playingChanged();

private:
    void tempoChanged(bool fromTempoEdit);
    void applyTimeSignature(int up, int down);
    void setCounterTexts(const QString& bar, const QString& beat);
    void restartStopwatch();

    TickSource& m_timer;
    BeatVoice& m_voice;
    BeatClockHooks& m_hooks;

    PlayMode m_mode = PlayMode::Free;
    int m_tickCount = -1;
    int m_beatCount = 0;
    int m_barCount = -1;
    bool m_playing = false;
    bool m_paused = false;
    std::array<int, PresetCount> m_presets{76, 40, 52, 76, 96, 120, 180, 208};
    QString m_customPresetText = QStringLiteral("=Custom=");
    int m_presetIndex = 0;

    int m_tempo = 20;
    QString m_tempoEditText = QStringLiteral("20");
    int m_up = 4;
    int m_down = 4;
    QString m_barText = QStringLiteral("-1");
    QString m_beatText = QStringLiteral("1");
    QString m_lyric;
    bool m_soundOn = true;
    bool m_stopImageVisible = false;
    std::optional<int> m_songEndBar;

    THighResTimer m_beatStopwatch;
    mutable QMutex m_stateLock;
};

} // namespace velmora
