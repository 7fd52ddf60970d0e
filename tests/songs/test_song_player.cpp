#include "SongRig.h"

#include "SongFile.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using namespace velmora;
using namespace velmora::testing;

namespace {

QString ins(int bar, int beat, const char* type, const QString& value)
{
    return QStringLiteral(R"(<Instruction bar="%1" beat="%2" Type="%3" Value="%4"></Instruction>)")
        .arg(bar)
        .arg(beat)
        .arg(QString::fromLatin1(type), value);
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

// The regular beat of each beat tick, without the replays that instructions add.
std::vector<RecordingVoice::Note> regularBeats(const RecordingVoice& voice)
{
    std::vector<RecordingVoice::Note> out;
    for (const auto& n : voice.notes) {
        if (out.empty() || out.back().tick != n.tick) out.push_back(n);
    }
    return out;
}

// Every note sounded at the beat on which the counter first showed `counter`.
std::vector<RecordingVoice::Note> notesAt(const SongRig& rig, const QString& counter)
{
    // beats[i] is recorded after the tick on which the i-th beat fell; the notes of
    // that tick carry the same tick number.
    std::vector<int> beatTicks;
    for (const auto& n : regularBeats(rig.voice))
        beatTicks.push_back(n.tick);
    std::vector<RecordingVoice::Note> out;
    for (std::size_t i = 0; i < rig.beats.size() && i < beatTicks.size(); ++i) {
        if (rig.beats[i].counter != counter) continue;
        for (const auto& n : rig.voice.notes) {
            if (n.tick == beatTicks[i]) out.push_back(n);
        }
        break;
    }
    return out;
}

std::vector<QString> counters(const SongRig& rig)
{
    std::vector<QString> out;
    for (const auto& b : rig.beats)
        out.push_back(b.counter);
    return out;
}

const SongRig::Beat* beatAt(const SongRig& rig, const QString& counter)
{
    for (const auto& b : rig.beats) {
        if (b.counter == counter) return &b;
    }
    return nullptr;
}

class SongPlayerTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    SongRig rig;

    QString song(const QString& name, const QString& instructions)
    {
        const QString path = dir.filePath(name);
        writeBytes(path, utf16File(songXml(instructions)));
        return path;
    }
};

constexpr int RunToEnd = 100000;

} // namespace

// Real songs walked through the real clock: what is heard and what is shown.
TEST_F(SongPlayerTest, SongsWalkedThroughTheClock)
{
    struct Case
    {
        const char* name;
        QString instructions;
        std::function<void(SongRig&)> check;
    };
    const Case cases[] = {
        {"a last instruction in bar 5 stops the song on the first beat of bar 7",
         ins(0, 1, "Change_Tempo", "120") + ins(5, 1, "Display_Lyrics", "end"),
         [](SongRig& r) {
             r.run(RunToEnd);
             EXPECT_FALSE(r.clock.Playing());
             // Opening beat, the count-in bar and bars 0..6 in full, then the beat
             // that opens bar 7, which is heard but never shown.
             const auto heard = regularBeats(r.voice);
             EXPECT_EQ(heard.size(), 1u + 8 * 4);
             EXPECT_EQ(heard.back().volume, BarVolumeSetting);
             ASSERT_GE(r.beats.size(), 2u);
             EXPECT_EQ(r.beats[r.beats.size() - 2].counter, "6.4");
             EXPECT_EQ(r.beats.back().counter, "-1.1");
             EXPECT_EQ(r.clock.Lyric(), "");
             EXPECT_FALSE(r.clock.StopImageVisible());
         }},
        {"6/8 at 120 shows 60 quarter notes and counts six beats in",
         ins(0, 1, "Time_Signature", "6/8") + ins(0, 1, "Change_Tempo", "120"),
         [](SongRig& r) {
             EXPECT_EQ(r.clock.Tempo(), 60);
             EXPECT_NEAR(r.ticks.interval, 41.667, 1e-3);
             r.runBeats(8);
             const std::vector<QString> expected = {"-1.1", "-1.2", "-1.3", "-1.4",
                                                    "-1.5", "-1.6", "0.1",  "0.2"};
             EXPECT_EQ(counters(r), expected);
             const auto heard = regularBeats(r.voice);
             EXPECT_NEAR(heard[3].timeMs - heard[2].timeMs, 500.0, 1e-6);
             EXPECT_EQ(r.beats.back().tempo, 60);
         }},
        {"a tempo of 250 in eighths is clamped to 240 and halved, then reapplied at bar 0",
         ins(0, 1, "Change_Tempo", "250") + ins(0, 1, "Time_Signature", "4/8"),
         [](SongRig& r) {
             EXPECT_EQ(r.clock.Tempo(), 120);
             r.runBeats(5);
             EXPECT_EQ(beatAt(r, "-1.4")->tempo, 120);
             // At bar 0 the tempo is converted with the unit then in force (8),
             // without the opening clamp: 250 eighths are 125 quarters.
             EXPECT_EQ(beatAt(r, "0.1")->tempo, 125);
         }},
        {"4/4 to 3/4 at bar 1 makes bar 1 one beat long, and its next beat is no accent",
         ins(1, 1, "Time_Signature", "3/4"),
         [](SongRig& r) {
             r.run(RunToEnd);
             const std::vector<QString> expected = {"-1.1", "-1.2", "-1.3", "-1.4", "0.1",
                                                    "0.2",  "0.3",  "0.4",  "1.1",  "2.1",
                                                    "2.2",  "2.3",  "-1.1"};
             EXPECT_EQ(counters(r), expected);
             const auto heard = regularBeats(r.voice);
             ASSERT_EQ(heard.size(), expected.size());
             const int volumes[] = {70, 30, 30, 30, 70, 30, 30, 30, 70, 30, 30, 30, 70};
             for (std::size_t i = 0; i < heard.size(); ++i)
                 EXPECT_EQ(heard[i].volume, volumes[i]) << "beat " << i;
             EXPECT_EQ(notesAt(r, "1.1").size(), 2u); // the beat and its replay
         }},
        {"an instrument first set in bar 3 leaves the earlier bars with the previous one",
         ins(3, 1, "Change_Instrument", "Cowbell"),
         [](SongRig& r) {
             r.runBeats(1 + 4 * 4 + 1);
             for (const QString c : {"-1.1", "0.1", "2.4"}) {
                 for (const auto& n : notesAt(r, c))
                     EXPECT_EQ(n.instrument, 133) << c.toStdString();
             }
             const auto at3 = notesAt(r, "3.1");
             ASSERT_EQ(at3.size(), 2u);
             EXPECT_EQ(at3[0].instrument, 133);
             EXPECT_EQ(at3[1].instrument, 149);
             EXPECT_EQ(notesAt(r, "3.2").at(0).instrument, 149);
         }},
        {"the opening instrument sounds from the count-in on",
         ins(0, 1, "Change_Instrument", "claves"),
         [](SongRig& r) {
             EXPECT_EQ(r.voice.instrument, 168);
             r.runBeats(1);
             EXPECT_EQ(r.voice.notes.at(0).instrument, 168);
         }},
        {"of two lyrics at one position the later one stays, each fitted to the screen",
         ins(0, 1, "Display_Lyrics", "opening") + ins(1, 1, "Display_Lyrics", "first") +
             ins(1, 1, "Display_Lyrics", "second"),
         [](SongRig& r) {
             r.runBeats(5);
             EXPECT_EQ(beatAt(r, "-1.4")->lyric, ""); // the opening lyric waits for bar 0
             EXPECT_EQ(beatAt(r, "0.1")->lyric, "opening");
             EXPECT_EQ(r.autoSized, 1);
             r.textOnly = true;
             r.runBeats(4);
             EXPECT_EQ(beatAt(r, "1.1")->lyric, "second");
             EXPECT_EQ(r.autoSized, 1);
             EXPECT_EQ(notesAt(r, "1.1").size(), 1u); // lyrics are not replayed
         }},
        {"an unsorted file ends two bars after the bar of its last entry",
         ins(6, 1, "Display_Lyrics", "never shown") + ins(2, 1, "Display_Lyrics", "early"),
         [](SongRig& r) {
             r.run(RunToEnd);
             EXPECT_EQ(regularBeats(r.voice).size(), 1u + 5 * 4);
             EXPECT_EQ(beatAt(r, "6.1"), nullptr);
             EXPECT_EQ(beatAt(r, "3.4")->lyric, "early");
         }},
        {"an instruction without effect still decides the end",
         ins(0, 1, "Change_Tempo", "90") + ins(1, 2, "Fade_Out", "x"),
         [](SongRig& r) {
             r.run(RunToEnd);
             EXPECT_EQ(regularBeats(r.voice).size(), 1u + 4 * 4);
             EXPECT_EQ(notesAt(r, "1.2").size(), 1u);
         }},
        {"a song without instructions plays until it is stopped", "",
         [](SongRig& r) {
             EXPECT_EQ(r.run(20000), 20000);
             EXPECT_TRUE(r.clock.Playing());
             EXPECT_EQ(r.clock.Tempo(), 120);
             r.clock.StopLabelClick();
             EXPECT_FALSE(r.clock.Playing());
         }},
        {"4/4 to 6/8 without a tempo keeps the quarter tempo: eighths come twice as fast",
         ins(0, 1, "Change_Tempo", "120") + ins(1, 1, "Time_Signature", "6/8"),
         [](SongRig& r) {
             r.runBeats(1 + 8 + 3);
             const auto heard = regularBeats(r.voice);
             EXPECT_NEAR(heard[5].timeMs - heard[4].timeMs, 500.0, 1e-6);
             EXPECT_NEAR(heard[11].timeMs - heard[10].timeMs, 250.0, 1e-6);
             EXPECT_EQ(r.clock.Tempo(), 120);
             EXPECT_EQ(r.clock.Down(), 8);
         }},
        {"a tempo before a time signature is converted with the old beat unit",
         ins(2, 1, "Change_Tempo", "180") + ins(2, 1, "Time_Signature", "6/8"),
         [](SongRig& r) {
             r.runBeats(1 + 12);
             EXPECT_EQ(beatAt(r, "2.1")->tempo, 180);
             EXPECT_EQ(notesAt(r, "2.1").size(), 3u);
         }},
        {"a tempo after a time signature is converted with the new beat unit",
         ins(2, 1, "Time_Signature", "6/8") + ins(2, 1, "Change_Tempo", "180"),
         [](SongRig& r) {
             r.runBeats(1 + 12);
             EXPECT_EQ(beatAt(r, "2.1")->tempo, 90);
         }},
        {"a tempo near the integer limit is clamped, not wrapped",
         ins(1, 1, "Change_Tempo", "2147483647") + ins(1, 2, "Change_Tempo", "-2147483648"),
         [](SongRig& r) {
             r.runBeats(1 + 4 + 4 + 2);
             EXPECT_EQ(beatAt(r, "1.1")->tempo, 240);
             EXPECT_EQ(beatAt(r, "1.2")->tempo, 20);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SongRig r;
        r.voice.instrument = 133; // what the previous song or the settings left
        const QString path = song("walk.xms", c.instructions);
        ASSERT_TRUE(r.player.PlaySong(path));
        EXPECT_TRUE(r.errors.empty());
        c.check(r);
    }
}

TEST_F(SongPlayerTest, StartingASongResetsTheControlsAndMarksThePlaylist)
{
    // What a free-play session left behind.
    rig.clock.SetTempo(200);
    rig.clock.SetUp(7);
    rig.clock.SetDown(8);
    rig.clock.SetLyric("left over");

    const QString path =
        song("Song.xms", ins(0, 1, "Display_Lyrics", "hello") + ins(3, 2, "Change_Tempo", "90"));
    ASSERT_TRUE(rig.player.PlaySong(path));
    EXPECT_EQ(rig.clock.Tempo(), 120);
    EXPECT_EQ(rig.clock.Up(), 4);
    EXPECT_EQ(rig.clock.Down(), 4);
    EXPECT_EQ(rig.clock.Lyric(), "");
    EXPECT_EQ(rig.clock.Mode(), PlayMode::Song);
    EXPECT_TRUE(rig.clock.Playing());
    EXPECT_TRUE(rig.clock.StopImageVisible());
    EXPECT_EQ(rig.player.CurrentSongFile(), path);
    EXPECT_EQ(rig.marks, std::vector<QString>{path});
    EXPECT_EQ(rig.player.SongTitle(), "T");
    EXPECT_EQ(rig.player.SongArtist(), "A");
    EXPECT_EQ(rig.player.SongAuthor(), "U");
    EXPECT_EQ(rig.player.SongSchedule().size(), 2u);
}

TEST_F(SongPlayerTest, ASongThatCannotBeLoadedChangesNothing)
{
    const QString good = song("Good.xms", ins(4, 1, "Display_Lyrics", "x"));
    ASSERT_TRUE(rig.player.PlaySong(good));
    rig.clock.StopLabelClick();
    rig.clock.SetMode(PlayMode::Free);
    rig.marks.clear();
    const TSong before = rig.player.SongSchedule();

    struct Case
    {
        const char* name;
        QString path;
        QString error;
    };
    const QString missing = dir.filePath("Missing.xms");
    const Case cases[] = {
        {"missing file", missing, "File \"" + missing + "\" does not exist!"},
        {"a folder", dir.path(), "File \"" + dir.path() + "\" does not exist!"},
        {"not XML", song("Broken.xms", "<Instruction"), "could not be read as XML"},
        {"a tempo with a fraction", song("Bar.xms", ins(0, 1, "Change_Tempo", "90.0")),
         "'90.0' is not a valid integer value"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rig.errors.clear();
        EXPECT_FALSE(rig.player.PlaySong(c.path));
        ASSERT_EQ(rig.errors.size(), 1u);
        EXPECT_TRUE(rig.errors[0].contains(c.error)) << rig.errors[0].toStdString();
        EXPECT_EQ(rig.player.SongSchedule(), before);
        EXPECT_EQ(rig.player.CurrentSongFile(), good);
        EXPECT_TRUE(rig.marks.empty());
        EXPECT_EQ(rig.clock.Mode(), PlayMode::Free);
        EXPECT_FALSE(rig.clock.Playing());
        EXPECT_FALSE(rig.clock.StopImageVisible());
    }

    // Called on its own, the reader names a missing file without quotes.
    rig.errors.clear();
    TSong schedule;
    EXPECT_FALSE(rig.player.ParseSong(missing, schedule));
    EXPECT_EQ(rig.errors, std::vector<QString>{"File " + missing + " does not exist!"});
}

TEST_F(SongPlayerTest, ASongWithoutPropertiesKeepsThePreviousOnes)
{
    ASSERT_TRUE(rig.player.PlaySong(song("First.xms", "")));
    const QString bare = dir.filePath("Bare.xms");
    writeBytes(bare, utf16File(songXml(ins(0, 1, "Change_Tempo", "100"), "")));
    rig.clock.StopLabelClick();
    ASSERT_TRUE(rig.player.PlaySong(bare));
    EXPECT_EQ(rig.player.SongTitle(), "T");
    EXPECT_EQ(rig.player.SongAuthor(), "U");
}

TEST_F(SongPlayerTest, SortSongIsTheExchangeSortNotAStableOne)
{
    // Loaded in file order: A(2.1) B(1.1) C(1.1) D(0.1). The exchange sort swaps
    // A and B, then B and D, then A and C, then A and B: D C B A. A stable sort
    // would keep B before C.
    const QString path = song(
        "Unsorted.xms", ins(2, 1, "Display_Lyrics", "A") + ins(1, 1, "Display_Lyrics", "B") +
                            ins(1, 1, "Display_Lyrics", "C") + ins(0, 1, "Display_Lyrics", "D"));
    TSong schedule;
    ASSERT_TRUE(rig.player.ParseSong(path, schedule));
    ASSERT_TRUE(rig.player.PlaySong(path));
    rig.player.SortSong();
    QStringList order;
    for (const TLine& l : rig.player.SongSchedule())
        order << l.Lyric;
    EXPECT_EQ(order, QStringList({"D", "C", "B", "A"}));
}

// The Enter key during a song and the input dialog's answer.
TEST_F(SongPlayerTest, LiveLyricInsertion)
{
    struct Case
    {
        const char* name;
        QString instructions;
        std::function<void(SongRig&)> before; // brings the song to where Enter is pressed
        QString caption;
        QString shownInDialog;
        std::optional<QString> answer;
        // Position and text of each lyric in schedule order; the sort is not stable,
        // so two lyrics at one position can swap when an earlier entry moves past them.
        std::vector<std::pair<QString, QString>> lyricsAfter;
        bool pausedAfter;
    };
    const QString two = ins(0, 1, "Change_Tempo", "120") + ins(1, 1, "Display_Lyrics", "a") +
                        ins(1, 1, "Display_Lyrics", "b");
    const Case cases[] = {
        {"at the opening beat: stored at beat 1 of the count-in bar",
         two,
         [](SongRig& r) { r.run(2); },
         "Insert Lyrics at -1.1",
         "",
         "intro",
         {{"-1.1", "intro"}, {"1.1", "b"}, {"1.1", "a"}},
         false},
        {"during the count-in",
         two,
         [](SongRig& r) { r.runBeats(3); },
         "Insert Lyrics at -1.3",
         "",
         "count",
         {{"-1.3", "count"}, {"1.1", "b"}, {"1.1", "a"}},
         false},
        {"at a position with two lyrics both get the text",
         two,
         [](SongRig& r) { r.runBeats(9); },
         "Insert Lyrics at 1.1",
         "b",
         "new",
         {{"1.1", "new"}, {"1.1", "new"}},
         false},
        {"an empty text is stored and clears the line",
         two,
         [](SongRig& r) { r.runBeats(10); },
         "Insert Lyrics at 1.2",
         "b",
         "",
         {{"1.1", "a"}, {"1.1", "b"}, {"1.2", ""}},
         false},
        {"Cancel only resumes",
         two,
         [](SongRig& r) { r.runBeats(10); },
         "Insert Lyrics at 1.2",
         "b",
         std::nullopt,
         {{"1.1", "a"}, {"1.1", "b"}},
         false},
        {"after the song has ended: stored where the stopped counter stands",
         two,
         [](SongRig& r) { r.run(RunToEnd); },
         "Insert Lyrics at -1.1",
         "",
         "late",
         {{"-1.1", "late"}, {"1.1", "b"}, {"1.1", "a"}},
         false},
        {"Enter while paused runs the song during the dialog and pauses it again",
         two,
         [](SongRig& r) {
             r.runBeats(6);
             r.clock.PauseLabelClick();
         },
         "Insert Lyrics at 0.2",
         "",
         "moved on",
         {{"0.4", "moved on"}, {"1.1", "b"}, {"1.1", "a"}},
         true},
        {"an unsorted song is sorted and saved sorted",
         ins(3, 1, "Display_Lyrics", "three") + ins(1, 1, "Display_Lyrics", "one"),
         [](SongRig& r) { r.runBeats(7); },
         "Insert Lyrics at 0.3",
         "",
         "zero",
         {{"0.3", "zero"}, {"1.1", "one"}, {"3.1", "three"}},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SongRig r;
        const QString path = song("Live.xms", c.instructions);
        ASSERT_TRUE(r.player.PlaySong(path));
        c.before(r);
        const bool wasPaused = r.clock.Paused();
        const QByteArray fileBefore = readAll(path);

        const auto prompt = r.player.BeginLyricInsertion();
        ASSERT_TRUE(prompt.has_value());
        EXPECT_EQ(prompt->Caption, c.caption);
        EXPECT_EQ(prompt->Prompt, "Text:");
        EXPECT_EQ(prompt->Text, c.shownInDialog);
        EXPECT_NE(r.clock.Paused(), wasPaused);
        if (wasPaused) r.runBeats(2); // the song goes on while the dialog is open

        r.player.FinishLyricInsertion(c.answer);
        EXPECT_TRUE(r.errors.empty());
        EXPECT_EQ(r.clock.Paused(), c.pausedAfter);

        std::vector<std::pair<QString, QString>> lyrics;
        for (const TLine& l : r.player.SongSchedule()) {
            if (l.Kind == LineKind::DisplayLyrics)
                lyrics.emplace_back(QStringLiteral("%1.%2").arg(l.Bar).arg(l.Beat), l.Lyric);
        }
        if (c.answer) {
            EXPECT_EQ(lyrics, c.lyricsAfter);
            EXPECT_EQ(r.clock.Lyric(), *c.answer);
            // The file holds the schedule as it is now, properties kept.
            TSong onDisk;
            SongProperties props;
            ASSERT_EQ(ReadSongForPlayback(path, onDisk, props), std::nullopt);
            EXPECT_EQ(onDisk, r.player.SongSchedule());
            EXPECT_EQ(props, (SongProperties{"T", "A", "U"}));
        } else {
            EXPECT_EQ(readAll(path), fileBefore);
        }
    }
}

TEST_F(SongPlayerTest, AnInsertedLyricMovesTheEndOfTheSong)
{
    const QString path = song("Grow.xms", ins(1, 1, "Display_Lyrics", "one"));
    ASSERT_TRUE(rig.player.PlaySong(path));
    rig.runBeats(6); // 0.2
    ASSERT_TRUE(rig.player.BeginLyricInsertion());
    rig.player.FinishLyricInsertion(QString("zero"));
    rig.run(RunToEnd);
    // Still the last entry in bar 1 after sorting: the song ends at bar 3.
    EXPECT_EQ(regularBeats(rig.voice).size(), 1u + 4 * 4);

    // An empty song that gets a lyric in bar 2 now ends at bar 4.
    SongRig r;
    ASSERT_TRUE(r.player.PlaySong(song("Empty.xms", "")));
    r.runBeats(1 + 3 + 4 + 4 + 1); // 2.1
    ASSERT_TRUE(r.player.BeginLyricInsertion());
    r.player.FinishLyricInsertion(QString("now it ends"));
    r.run(RunToEnd);
    EXPECT_FALSE(r.clock.Playing());
    EXPECT_EQ(regularBeats(r.voice).size(), 1u + 4 * 5);
}

TEST_F(SongPlayerTest, AFailedSaveKeepsTheLyricAndTheSongPaused)
{
    QDir(dir.path()).mkdir("gone");
    const QString path = dir.filePath("gone/Song.xms");
    writeBytes(path, utf16File(songXml(ins(2, 1, "Display_Lyrics", "x"))));
    ASSERT_TRUE(rig.player.PlaySong(path));
    rig.runBeats(5);
    ASSERT_TRUE(QDir(dir.filePath("gone")).removeRecursively());

    ASSERT_TRUE(rig.player.BeginLyricInsertion());
    rig.player.FinishLyricInsertion(QString("kept"));
    ASSERT_EQ(rig.errors.size(), 1u);
    EXPECT_TRUE(rig.errors[0].contains(path)) << rig.errors[0].toStdString();
    EXPECT_TRUE(rig.clock.Paused());
    EXPECT_EQ(rig.player.SongSchedule().front().Lyric, "kept");
    EXPECT_EQ(rig.clock.Lyric(), "kept");
}

TEST_F(SongPlayerTest, EnterOutsideSongModeDoesNothing)
{
    rig.clock.PlayLabelClick();
    rig.run(30);
    EXPECT_FALSE(rig.player.BeginLyricInsertion().has_value());
    EXPECT_FALSE(rig.clock.Paused());
}
