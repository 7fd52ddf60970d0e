#pragma once

#include "SongFile.h"

#include <QString>

#include <optional>

namespace velmora {

class BeatClock;
class BeatVoice;

// Where song playback reaches the main window. Every default does nothing, so a
// player runs without a window (tests, a build without the display).
class SongPlayerHooks
{
public:
    virtual ~SongPlayerHooks() = default;
    // One error box (error icon, OK button) with this text.
    virtual void ShowError(const QString& /*message*/) {}
    // Marks every playlist row whose file is exactly this path, unmarks the rest.
    virtual void MarkPlaylist(const QString& /*path*/) {}
    // Fits the lyric line to the screen.
    virtual void AutoSizeLyrics() {}
    // Whether the mode menu's "Text Only" is checked.
    virtual bool TextOnly() const { return false; }
};

// The input dialog's texts for a live lyric insertion.
struct LyricPrompt
{
    QString Caption; // "Insert Lyrics at <bar>.<beat>"
    QString Prompt;  // "Text:"
    QString Text;    // the lyric line shown now
};

// The loaded song and its playback: loads a song file into the schedule, starts
// the beat clock in song mode, applies the instructions due at every beat, and
// takes live lyric insertions, which are saved into the song file at once.
//
// Runs on the user-interface thread, like the clock. The sync server reads only
// the clock's values (tempo, time signature, counter, lyric), and the clock's
// setters take its state lock themselves; the schedule and the song's properties
// are never read off this thread, so they need no lock of their own.
class SongPlayer
{
public:
    SongPlayer(BeatClock& clock, BeatVoice& voice, SongPlayerHooks& hooks);

    // Loads the file and starts it. Callers stop the clock first. Returns whether
    // the song started; on failure one error box has been shown and the previous
    // song, its file name, the playlist marks and the play mode are as they were.
    bool PlaySong(const QString& path);

    // Reads the file into `schedule` and into SongTitle/SongArtist/SongAuthor, all
    // or nothing; shows one error box and returns false when it cannot.
    bool ParseSong(const QString& path, TSong& schedule);

    // Applies the entries at the position the counter shows, in schedule order.
    // The main window forwards the clock's CheckEvents hook here.
    void CheckEvents();

    // Orders the schedule by bar, then beat, with the exchange sort the songs have
    // always been sorted with: it is not stable, and entries at one position end up
    // in the order this sort leaves them, which decides which lyric stays shown.
    void SortSong();

    // Writes the schedule, as it is ordered now, and the properties to path.
    // Shows the error box and returns false when the file cannot be written.
    bool SaveSong(const QString& path);

    // The Enter key in song mode: toggles the pause and returns the texts for the
    // input dialog. Nothing (and no pause) outside song mode.
    std::optional<LyricPrompt> BeginLyricInsertion();

    // The input dialog's OK (with its text) or Cancel (nothing). OK stores the text
    // as the lyric at the counter's position, shows it, sorts and saves the song,
    // and toggles the pause back; when the save fails the song stays paused. Cancel
    // only toggles the pause back.
    void FinishLyricInsertion(const std::optional<QString>& text);

    const TSong& SongSchedule() const { return m_schedule; }
    QString SongTitle() const { return m_properties.Title; }
    QString SongArtist() const { return m_properties.Artist; }
    QString SongAuthor() const { return m_properties.Author; }
    const SongProperties& Properties() const { return m_properties; }
    QString CurrentSongFile() const { return m_currentSongFile; }

private:
    void applyEntry(const TLine& line);
    void publishEndBar();
    static int quarterNoteTempo(qint64 tempo, int beatUnit);

    BeatClock& m_clock;
    BeatVoice& m_voice;
    SongPlayerHooks& m_hooks;

    TSong m_schedule;
    SongProperties m_properties;
    QString m_currentSongFile;
};

} // namespace velmora
