#include "BeatClock.h"

#include "TempoMath.h"

#include <QMutexLocker>

#include <algorithm>

namespace velmora {

namespace {
const QStringList PresetNames = {
    QStringLiteral("=Custom="),          QStringLiteral("Largo (40 bmp)"),
    QStringLiteral("Lento (52 bmp)"),    QStringLiteral("Andante (76 bmp)"),
    QStringLiteral("Moderato (96 bmp)"), QStringLiteral("Allegro (120 bmp)"),
    QStringLiteral("Presto (180 bmp)"),  QStringLiteral("Prestissimo (208 bmp)"),
};
} // namespace

BeatClock::BeatClock(TickSource& timer, BeatVoice& voice, BeatClockHooks& hooks, QObject* parent)
    : QObject(parent), m_timer(timer), m_voice(voice), m_hooks(hooks)
{
}

// ---------------------------------------------------------------------------
// Tempo controls

double BeatClock::TickInterval() const
{
    return tickIntervalMs(m_tempo, m_down);
}

unsigned BeatClock::NoteDuration() const
{
    return noteDurationTicks(m_tempo, m_down);
}

QString BeatClock::PresetText(int index) const
{
    if (index == 0) return m_customPresetText;
    return PresetNames.value(index);
}

QStringList BeatClock::PresetTexts() const
{
    QStringList texts = PresetNames;
    texts[0] = m_customPresetText;
    return texts;
}

void BeatClock::SetTempo(int position)
{
    {
        QMutexLocker lock(&m_stateLock);
        m_tempo = std::clamp(position, MinTempo, MaxTempo);
    }
    tempoChanged(false);
}

void BeatClock::TempoChange()
{
    tempoChanged(false);
}

void BeatClock::tempoChanged(bool fromTempoEdit)
{
    const int n = m_tempo;
    m_presetIndex = 0;
    for (int i = 1; i < PresetCount; ++i) {
        if (m_presets[i] == n) {
            m_presetIndex = i;
            break;
        }
    }
    if (m_presetIndex == 0) {
        m_customPresetText = QStringLiteral("=Custom (%1 bps)=").arg(n);
        m_presets[0] = n;
    }
    if (!fromTempoEdit) {
        // The typed text is left alone when the change came from typing, so the
        // field keeps what the user is writing.
        m_tempoEditText = QString::number(n);
        if (m_mode != PlayMode::SyncClient) m_timer.SetInterval(TickInterval());
        m_voice.SetDuration(NoteDuration());
    }
    Q_EMIT tempoControlsChanged();
}

void BeatClock::TempoEditChange(const QString& text)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (!ok) return;
    m_tempoEditText = text;
    {
        QMutexLocker lock(&m_stateLock);
        m_tempo = std::clamp(v, MinTempo, MaxTempo);
    }
    tempoChanged(true);
    if (m_mode != PlayMode::SyncClient) m_timer.SetInterval(TickInterval());
    m_voice.SetDuration(NoteDuration());
}

void BeatClock::TempoBoxChange(int index)
{
    if (index < 0 || index >= PresetCount) return;
    SetTempo(m_presets[index]);
}

void BeatClock::applyTimeSignature(int up, int down)
{
    QMutexLocker lock(&m_stateLock);
    m_up = std::clamp(up, MinBeatsOrUnit, MaxBeatsOrUnit);
    m_down = std::clamp(down, MinBeatsOrUnit, MaxBeatsOrUnit);
}

void BeatClock::SetUp(int beats)
{
    applyTimeSignature(beats, m_down);
    DownChange();
}

void BeatClock::SetDown(int unit)
{
    applyTimeSignature(m_up, unit);
    DownChange();
}

void BeatClock::SetTimeSignature(int beats, int unit)
{
    applyTimeSignature(beats, unit);
    DownChange();
}

void BeatClock::DownChange()
{
    Q_EMIT timeSignatureChanged();
    TempoChange(); // interval and note length follow the new beat unit at once
}

// ---------------------------------------------------------------------------
// Counter, lyric, switches

void BeatClock::setCounterTexts(const QString& bar, const QString& beat)
{
    {
        QMutexLocker lock(&m_stateLock);
        m_barText = bar;
        m_beatText = beat;
    }
    Q_EMIT counterChanged();
}

void BeatClock::SetCounter(const QString& bar, const QString& beat)
{
    setCounterTexts(bar, beat);
}

void BeatClock::SetLyric(const QString& text)
{
    {
        QMutexLocker lock(&m_stateLock);
        m_lyric = text;
    }
    Q_EMIT lyricChanged();
}

void BeatClock::SetStopImageVisible(bool visible)
{
    m_stopImageVisible = visible;
    Q_EMIT stopImageChanged();
}

void BeatClock::SoundClick()
{
    m_soundOn = !m_soundOn;
    Q_EMIT soundChanged();
}

void BeatClock::restartStopwatch()
{
    QMutexLocker lock(&m_stateLock);
    m_beatStopwatch.Start();
}

BeatSnapshot BeatClock::Snapshot() const
{
    QMutexLocker lock(&m_stateLock);
    BeatSnapshot s;
    s.tempo = m_tempo;
    s.beatsInBar = m_up;
    s.beatUnit = m_down;
    s.barText = m_barText;
    s.beatText = m_beatText;
    s.lyric = m_lyric;
    s.playing = m_playing;
    s.paused = m_paused;
    auto& stopwatch = const_cast<THighResTimer&>(m_beatStopwatch);
    stopwatch.Stop();
    s.msSinceBeat = stopwatch.ElapsedMs();
    return s;
}

// ---------------------------------------------------------------------------
// The clock

void BeatClock::Play()
{
    if (m_playing) return;
    m_tickCount = -1;
    m_barCount = -1;
    m_beatCount = 0;
    // The beat number is left alone: every stop leaves it at "1".
    setCounterTexts(QStringLiteral("-1"), m_beatText);
    m_timer.SetInterval(TickInterval());
    m_voice.SetDuration(NoteDuration());
    m_timer.SetEnabled(true);
    {
        QMutexLocker lock(&m_stateLock);
        m_playing = true;
    }
    Q_EMIT playingChanged();
}

void BeatClock::TimerTimer()
{
    if (m_mode == PlayMode::SyncClient) {
        m_hooks.SendSyncRequest();
        return;
    }
    if (m_paused) return; // swallowed: a resumed clock goes on with the next tick number

    ++m_tickCount;
    m_hooks.DrawRadar(m_tickCount % TicksPerBeat);

    if (m_tickCount == 1) { // the opening beat, ten ticks before the second
        restartStopwatch();
        PlayBeat();
    }
    if ((m_tickCount + 1) % TicksPerBeat != 0) return;

    ++m_beatCount;
    PlayBeat();
    restartStopwatch();
    setCounterTexts(m_barText, QString::number(m_beatCount % m_up + 1));
    if (m_beatCount % m_up != 0) {
        if (m_mode == PlayMode::Song) m_hooks.CheckEvents();
        return;
    }

    ++m_barCount;
    if (m_mode == PlayMode::Song && m_songEndBar && *m_songEndBar + 2 == m_barCount) {
        StopLabelClick(); // the counter does not show the new bar
        return;
    }
    setCounterTexts(QString::number(m_barCount), m_beatText);
    if (m_mode == PlayMode::Song) m_hooks.CheckEvents();
    m_hooks.AlignCounter();
}

void BeatClock::PlayBeat()
{
    m_voice.Stop();
    // Outside sync-client mode the counter still shows the previous beat here:
    // a bar beat follows a beat that closed a bar, or is the opening beat.
    const bool barBeat = m_mode == PlayMode::SyncClient
                             ? m_beatText == QLatin1String("1")
                             : (m_beatText == QString::number(m_up) || m_tickCount == 1);
    m_voice.SetVolume(barBeat ? m_hooks.BarVolume() : m_hooks.BeatVolume());
    if (m_hooks.ApplicationActive() && m_tickCount > 0 && m_soundOn) m_voice.Play();
}

void BeatClock::Stop()
{
    m_timer.SetEnabled(false);
    m_voice.Stop();
    setCounterTexts(QStringLiteral("-1"), QStringLiteral("1"));
    m_hooks.AlignCounter();
    {
        QMutexLocker lock(&m_stateLock);
        m_playing = false;
    }
    m_hooks.BlankRadar();
    SetLyric(QString());
    m_hooks.ClearPlaylistMarks();
    m_hooks.ShowControls();
    Q_EMIT playingChanged();
}

void BeatClock::PlayLabelClick()
{
    m_mode = PlayMode::Free;
    {
        QMutexLocker lock(&m_stateLock);
        m_paused = false;
    }
    if (m_playing) {
        Stop();
        SetStopImageVisible(false);
        return;
    }
    m_voice.SetInstrument(m_hooks.InstrumentCode());
    Play();
    SetStopImageVisible(true);
}

void BeatClock::StopLabelClick()
{
    Stop();
    {
        QMutexLocker lock(&m_stateLock);
        m_paused = false;
    }
    SetStopImageVisible(false);
}

void BeatClock::PauseLabelClick()
{
    if (m_paused) {
        QMutexLocker lock(&m_stateLock);
        m_paused = false;
        return;
    }
    m_voice.Stop();
    QMutexLocker lock(&m_stateLock);
    m_paused = true;
}

} // namespace velmora
