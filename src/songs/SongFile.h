#pragma once

#include <QList>
#include <QString>

#include <optional>
#include <span>
#include <vector>

namespace velmora {

// What an instruction of the schedule does; the numbers are those of the file's
// history (0 tempo, 1 lyric, 2 time signature, 3 instrument).
enum class LineKind : quint8
{
    ChangeTempo = 0,
    DisplayLyrics = 1,
    TimeSignature = 2,
    ChangeInstrument = 3,
    // A `Type` that is missing or unknown, or an instrument name that is not in
    // the percussion table: the entry keeps its place (it counts for the end of
    // the song) and does nothing when its beat comes.
    NoEffect = 255,
};

} // namespace velmora

// One instruction of a song schedule.
struct TLine
{
    qint32 Beat = 1; // 1-based beat within the bar
    qint32 Bar = 0;  // 0 is the song's first bar; -1 the count-in bar
    velmora::LineKind Kind = velmora::LineKind::NoEffect;
    QString Lyric;          // DisplayLyrics
    int InstrumentCode = 0; // ChangeInstrument: 128..174
    qint32 TempoValue = 0;  // ChangeTempo: beats per minute of the beat unit then in force
    qint32 BeatsInBar = 4;  // TimeSignature
    qint32 BeatUnit = 4;    // TimeSignature

    // NoEffect entries remember the `Type` and `Value` texts they were read with
    // (nothing when the attribute was missing), so that writing the schedule back
    // after a live lyric insertion does not throw away what we could not interpret.
    std::optional<QString> RawType;
    std::optional<QString> RawValue;

    friend bool operator==(const TLine&, const TLine&) = default;
};

using TSong = std::vector<TLine>;

namespace velmora {

struct SongProperties
{
    QString Title;
    QString Artist;
    QString Author;
    friend bool operator==(const SongProperties&, const SongProperties&) = default;
};

// Writes a song file from a schedule, in the schedule's order. Returns an error
// text for the error box, or nothing on success; a failed save leaves any previous
// file at that path untouched.
std::optional<QString> WriteSongFile(const QString& path, const SongProperties& properties,
                                     const TSong& song);

// The bytes WriteSongFile puts on disk.
QByteArray EncodeSongFile(const SongProperties& properties, const TSong& song);

// The playback reader. On success `song` is replaced by the file's instructions in
// file order, and `properties` by the last `Song_Properties` of the file; a file
// without `Song_Properties` leaves `properties` as it was. On failure neither is
// touched and the error text is returned.
std::optional<QString> ReadSongForPlayback(const QString& path, TSong& song,
                                           SongProperties& properties);

// --- the song editor's view of a file --------------------------------------------

// One row of the editor's list: position "bar.beat", the instruction text with
// blanks for underscores ("Change Tempo"), and the value text.
struct EditorRow
{
    QString Position;
    QString Instruction;
    QString Value;
    friend bool operator==(const EditorRow&, const EditorRow&) = default;
};

// The properties as the editor reads them: a missing attribute leaves the dialog's
// field as it was, hence optional.
struct EditorSongProperties
{
    std::optional<QString> Title;
    std::optional<QString> Artist;
    std::optional<QString> Author;
};

struct EditorSong
{
    EditorSongProperties Properties;
    // On a conversion failure: the rows read before it.
    QList<EditorRow> Rows;
    QString Error; // empty on success
    bool ok() const { return Error.isEmpty(); }
};

// The editor's reader: fails without rows when the file has no `Song_Properties`
// or cannot be parsed; uses the first `Song_Properties`; takes `Type` and `Value`
// as texts.
EditorSong ReadSongForEditor(const QString& path);

// The editor's writer: bar and beat are the position text before and after its
// first "."; the four instruction texts become their `Type` words and any other
// text writes no `Type`; the value text is written unchanged.
std::optional<QString> WriteEditorSongFile(const QString& path, const SongProperties& properties,
                                           std::span<const EditorRow> rows);

// The messages of a failed conversion while reading.
QString NotAnIntegerMessage(const QString& text);
QString MissingAttributeMessage(bool wantedInteger);

// "Change_Tempo" and the other three words of a file for each kind; empty for
// NoEffect.
QString TypeWord(LineKind kind);

} // namespace velmora
