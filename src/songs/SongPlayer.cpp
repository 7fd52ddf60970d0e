#include "SongPlayer.h"

#include "BeatClock.h"
#include "BeatVoice.h"
#include "TempoMath.h"

#include <QFileInfo>

#include <algorithm>
#include <limits>
#include <utility>

namespace velmora {

namespace {

bool fileExists(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

} // namespace

SongPlayer::SongPlayer(BeatClock& clock, BeatVoice& voice, SongPlayerHooks& hooks)
    : m_clock(clock), m_voice(voice), m_hooks(hooks)
{
}

int SongPlayer::quarterNoteTempo(qint64 tempo, int beatUnit)
{
    // The product is taken in 64 bits: a tempo near the integer limit in a song
    // file must not wrap around into a slow or negative tempo.
    const long long q = roundHalfEven(double(tempo * 4) / beatUnit);
    return int(
        std::clamp<long long>(q, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

bool SongPlayer::ParseSong(const QString& path, TSong& schedule)
{
    if (!fileExists(path)) {
        m_hooks.ShowError(QStringLiteral("File %1 does not exist!").arg(path));
        return false;
    }
    SongProperties properties = m_properties;
    if (auto error = ReadSongForPlayback(path, schedule, properties)) {
        m_hooks.ShowError(*error);
        return false;
    }
    m_properties = std::move(properties);
    return true;
}

void SongPlayer::publishEndBar()
{
    // An empty song has no last bar: it plays until it is stopped.
    m_clock.SetSongEndBar(m_schedule.empty() ? std::nullopt
                                             : std::optional<int>(m_schedule.back().Bar));
}

bool SongPlayer::PlaySong(const QString& path)
{
    if (!fileExists(path)) {
        m_hooks.ShowError(QStringLiteral("File \"%1\" does not exist!").arg(path));
        return false;
    }
    // The song is read before the stop picture goes up, so that a file that cannot
    // be read leaves the window exactly as it was.
    TSong schedule;
    if (!ParseSong(path, schedule)) return false;
    m_schedule = std::move(schedule);
    m_clock.SetStopImageVisible(true);

    m_currentSongFile = path;
    m_hooks.MarkPlaylist(path);
    m_clock.SetMode(PlayMode::Song);

    m_clock.SetTempo(120);
    m_clock.SetTimeSignature(4, 4);
    m_clock.SetLyric(QString());

    // The opening instructions; the lyric among them waits for the first beat of
    // bar 0, where CheckEvents applies all of them a second time.
    for (const TLine& line : m_schedule) {
        if (line.Bar != 0 || line.Beat != 1) continue;
        switch (line.Kind) {
        case LineKind::ChangeTempo:
            m_clock.SetTempo(line.TempoValue);
            break;
        case LineKind::ChangeInstrument:
            m_voice.SetInstrument(line.InstrumentCode);
            break;
        case LineKind::TimeSignature:
            m_clock.SetTimeSignature(line.BeatsInBar, line.BeatUnit);
            break;
        case LineKind::DisplayLyrics:
        case LineKind::NoEffect:
            break;
        }
    }
    // Song tempos count beats of the song's beat unit; the tempo control counts
    // quarter notes. The clamped control value is converted, so 250 in 8 becomes
    // 240 and then 120.
    m_clock.SetTempo(quarterNoteTempo(m_clock.Tempo(), m_clock.Down()));

    publishEndBar();
    m_clock.Play();
    return true;
}

void SongPlayer::applyEntry(const TLine& line)
{
    switch (line.Kind) {
    case LineKind::ChangeTempo:
        m_clock.SetTempo(quarterNoteTempo(line.TempoValue, m_clock.Down()));
        // Sound the current beat again at once with the new setting; unlike a
        // regular beat this ignores the sound switch and the active application.
        m_voice.Stop();
        m_voice.Play();
        break;
    case LineKind::DisplayLyrics:
        m_clock.SetLyric(line.Lyric);
        if (!m_hooks.TextOnly()) m_hooks.AutoSizeLyrics();
        break;
    case LineKind::TimeSignature:
        m_clock.SetTimeSignature(line.BeatsInBar, line.BeatUnit);
        m_clock.TempoChange();
        m_voice.Stop();
        m_voice.Play();
        break;
    case LineKind::ChangeInstrument:
        m_voice.Stop();
        m_voice.SetInstrument(line.InstrumentCode);
        m_voice.Play();
        break;
    case LineKind::NoEffect:
        break;
    }
}

void SongPlayer::CheckEvents()
{
    bool barOk = false;
    bool beatOk = false;
    const int bar = m_clock.BarText().toInt(&barOk);
    const int beat = m_clock.BeatText().toInt(&beatOk);
    if (!barOk || !beatOk) return;
    // By index: applying an entry never changes the schedule, but nothing here
    // should break if a hook ever did.
    for (std::size_t i = 0; i < m_schedule.size(); ++i) {
        if (m_schedule[i].Bar == bar && m_schedule[i].Beat == beat) {
            const TLine line = m_schedule[i];
            applyEntry(line);
        }
    }
}

void SongPlayer::SortSong()
{
    const std::size_t n = m_schedule.size();
    for (std::size_t i = 0; i + 1 < n; ++i) {
        for (std::size_t j = i + 1; j < n; ++j) {
            const TLine& a = m_schedule[i];
            const TLine& b = m_schedule[j];
            if (b.Bar < a.Bar || (b.Bar == a.Bar && b.Beat < a.Beat))
                std::swap(m_schedule[i], m_schedule[j]);
        }
    }
    publishEndBar();
}

bool SongPlayer::SaveSong(const QString& path)
{
    if (auto error = WriteSongFile(path, m_properties, m_schedule)) {
        m_hooks.ShowError(*error);
        return false;
    }
    return true;
}

std::optional<LyricPrompt> SongPlayer::BeginLyricInsertion()
{
    if (m_clock.Mode() != PlayMode::Song) return std::nullopt;
    m_clock.PauseLabelClick();
    return LyricPrompt{
        QStringLiteral("Insert Lyrics at %1.%2").arg(m_clock.BarText(), m_clock.BeatText()),
        QStringLiteral("Text:"), m_clock.Lyric()};
}

void SongPlayer::FinishLyricInsertion(const std::optional<QString>& text)
{
    if (!text) {
        m_clock.PauseLabelClick();
        return;
    }
    // The position is the counter's at the moment of OK: when Enter found the song
    // paused, it has been running while the dialog was open.
    bool barOk = false;
    bool beatOk = false;
    const int bar = m_clock.BarText().toInt(&barOk);
    const int beat = m_clock.BeatText().toInt(&beatOk);
    if (barOk && beatOk) {
        bool replaced = false;
        for (TLine& line : m_schedule) {
            if (line.Bar == bar && line.Beat == beat && line.Kind == LineKind::DisplayLyrics) {
                line.Lyric = *text;
                replaced = true;
            }
        }
        if (!replaced) {
            TLine line;
            line.Bar = bar;
            line.Beat = beat;
            line.Kind = LineKind::DisplayLyrics;
            line.Lyric = *text;
            m_schedule.push_back(std::move(line));
        }
    }
    m_clock.SetLyric(*text);
    SortSong();
    // A failed save keeps the new lyric in the schedule and leaves the song paused,
    // so the user sees the error before the music goes on.
    if (!SaveSong(m_currentSongFile)) return;
    m_clock.PauseLabelClick();
}

} // namespace velmora
