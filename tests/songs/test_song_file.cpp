#include "SongFile.h"
#include "SongRig.h"
#include "XmlFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

using namespace velmora;
using namespace velmora::testing;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

TLine noEffect(int bar, int beat, const QString& type, const QString& value)
{
    TLine l;
    l.Bar = bar;
    l.Beat = beat;
    l.RawType = type;
    l.RawValue = value;
    return l;
}

const TSong Waltz = {signature(0, 1, 3, 4), tempo(0, 1, 90), lyric(1, 1, "First line"),
                     instrument(3, 1, 149)};
const SongProperties WaltzProperties{"Waltz", "", ""};

class SongFileTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }
    QString fileWith(const QString& name, const QByteArray& bytes) const
    {
        writeBytes(path(name), bytes);
        return path(name);
    }
};

} // namespace

TEST_F(SongFileTest, WaltzIsWrittenByteForByte)
{
    const QByteArray fixture = readAll(VELMORA_TEST_DATA "/waltz.xms");
    ASSERT_FALSE(fixture.isEmpty());
    EXPECT_EQ(EncodeSongFile(WaltzProperties, Waltz), fixture);

    const QString out = path("Waltz.xms");
    EXPECT_EQ(WriteSongFile(out, WaltzProperties, Waltz), std::nullopt);
    EXPECT_EQ(readAll(out), fixture);
}

TEST_F(SongFileTest, WaltzReadsBackInBothReaders)
{
    TSong song;
    SongProperties props{"old", "old", "old"};
    ASSERT_EQ(ReadSongForPlayback(VELMORA_TEST_DATA "/waltz.xms", song, props), std::nullopt);
    EXPECT_EQ(song, Waltz);
    EXPECT_EQ(props, WaltzProperties);

    const EditorSong editor = ReadSongForEditor(VELMORA_TEST_DATA "/waltz.xms");
    ASSERT_TRUE(editor.ok()) << editor.Error.toStdString();
    EXPECT_EQ(editor.Properties.Title, "Waltz");
    EXPECT_EQ(editor.Properties.Artist, "");
    const QList<EditorRow> rows = {{"0.1", "Time Signature", "3/4"},
                                   {"0.1", "Change Tempo", "90"},
                                   {"1.1", "Display Lyrics", "First line"},
                                   {"3.1", "Change Instrument", "Cowbell"}};
    EXPECT_EQ(editor.Rows, rows);

    // What the editor reads, the editor writes back to the same bytes.
    const QString out = path("again.xms");
    ASSERT_EQ(WriteEditorSongFile(out, WaltzProperties, rows), std::nullopt);
    EXPECT_EQ(readAll(out), readAll(VELMORA_TEST_DATA "/waltz.xms"));
}

TEST_F(SongFileTest, TextsSurviveWriteAndReadUnchanged)
{
    const QString texts[] = {
        "",
        "Rock & Roll",
        "<b>not bold</b>",
        R"(say "hi" & 'bye')",
        "Caf\u00e9 cr\u00e8me \u00fcber \u00c5ngstr\u00f6m",
        QString::fromUtf8("Notes \xF0\x9D\x84\x9E and \xF0\x9F\x8E\xB5 outside the BMP"),
        "two\nlines\tand\r\nbreaks",
        "  leading and trailing blanks  ",
        "]]> &amp; &#10; literally",
    };
    for (const QString& text : texts) {
        const SongProperties props{text, text + "!", "by " + text};
        const TSong song = {lyric(0, 1, text), lyric(-1, 1, text)};
        const QString out = path("round.xms");
        ASSERT_EQ(WriteSongFile(out, props, song), std::nullopt);

        TSong back;
        SongProperties backProps;
        ASSERT_EQ(ReadSongForPlayback(out, back, backProps), std::nullopt) << text.toStdString();
        EXPECT_EQ(back, song) << text.toStdString();
        EXPECT_EQ(backProps, props) << text.toStdString();

        const EditorSong editor = ReadSongForEditor(out);
        ASSERT_TRUE(editor.ok());
        EXPECT_EQ(editor.Properties.Title, text);
        EXPECT_EQ(editor.Rows.value(0).Value, text);
    }
}

TEST_F(SongFileTest, CharactersXmlCannotCarryAreDroppedSoTheFileStaysReadable)
{
    const QString text = QString("a") + QChar(0x01) + "b" + QChar(0xD800) + "c" + QChar(0xFFFF);
    const QString out = path("odd.xms");
    ASSERT_EQ(WriteSongFile(out, {text, "", ""}, {lyric(0, 1, text)}), std::nullopt);
    TSong back;
    SongProperties props;
    ASSERT_EQ(ReadSongForPlayback(out, back, props), std::nullopt);
    EXPECT_EQ(props.Title, "abc");
    EXPECT_EQ(back.at(0).Lyric, "abc");
}

TEST_F(SongFileTest, InstructionsWithoutEffectAreWrittenBackAsTheyWereRead)
{
    const QString xml = songXml(
        R"(<Instruction bar="1" beat="2" Type="Fade_Out" Value="slow"></Instruction>)"
        R"(<Instruction bar="2" beat="1"></Instruction>)"
        R"(<Instruction bar="3" beat="1" Type="Change_Instrument" Value="Vibraslap"></Instruction>)"
        R"(<Instruction bar="4" beat="1" Type="Change_Instrument" Value=""></Instruction>)"
        R"(<Instruction bar="5" beat="1" Type="Change_Instrument" Value="vibraslap "></Instruction>)");
    TSong song;
    SongProperties props;
    ASSERT_EQ(ReadSongForPlayback(fileWith("in.xms", utf16File(xml)), song, props), std::nullopt);
    ASSERT_EQ(song.size(), 5u);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(song[i].Kind, LineKind::NoEffect) << i;
    EXPECT_EQ(song[4].Kind, LineKind::ChangeInstrument);
    EXPECT_EQ(song[4].InstrumentCode, 151);

    const QString out = path("out.xms");
    ASSERT_EQ(WriteSongFile(out, props, song), std::nullopt);
    TSong back;
    ASSERT_EQ(ReadSongForPlayback(out, back, props), std::nullopt);
    EXPECT_EQ(back, song);
    // The table's own spelling, trailing blank included, is what goes back.
    EXPECT_TRUE(QString::fromUtf16(reinterpret_cast<const char16_t*>(readAll(out).constData() + 2))
                    .contains(R"(Value="Vibraslap "></Instruction>)"));
}

// What the playback reader makes of files that bend the format.
TEST_F(SongFileTest, PlaybackReaderTolerances)
{
    const QString properties =
        R"(<Song_Properties Title="T" Artist="A" Author="U"></Song_Properties>)";
    struct Case
    {
        const char* name;
        QString xml;
        QString error; // empty: the load succeeds
        TSong song = {};
        SongProperties props = {};
    };
    const SongProperties previous{"prev title", "prev artist", "prev author"};
    const SongProperties read{"T", "A", "U"};
    const Case cases[] = {
        {"root of another name",
         R"(<?xml version="1.0"?><Playlist>)" + properties +
             R"(<Instruction bar="2" beat="3" Type="Change_Tempo" Value="100"></Instruction></Playlist>)",
         "",
         {tempo(2, 3, 100)},
         read},
        {"other children, text and comments ignored",
         songXml(
             R"(text<Note a="1"></Note><!-- c --><Instruction bar="0" beat="1" Type="Display_Lyrics" Value="x"><Extra/></Instruction>)"),
         "",
         {lyric(0, 1, "x")},
         read},
        {"no Song_Properties keeps the previous song's", songXml("", ""), "", {}, previous},
        {"several Song_Properties: the last wins",
         songXml(R"(<Song_Properties Title="2" Artist="3" Author="4"></Song_Properties>)"),
         "",
         {},
         {"2", "3", "4"}},
        {"Artist missing",
         songXml("", R"(<Song_Properties Title="T" Author="U"></Song_Properties>)"),
         "Could not convert variant of type (Null) into type (String)",
         {},
         {}},
        {"bar not a number",
         songXml(
             R"(<Instruction bar="one" beat="1" Type="Change_Tempo" Value="90"></Instruction>)"),
         "'one' is not a valid integer value",
         {},
         {}},
        {"beat missing",
         songXml(R"(<Instruction bar="1" Type="Change_Tempo" Value="90"></Instruction>)"),
         "Could not convert variant of type (Null) into type (Integer)",
         {},
         {}},
        {"tempo with a fraction",
         songXml(
             R"(<Instruction bar="0" beat="1" Type="Change_Tempo" Value="90.5"></Instruction>)"),
         "'90.5' is not a valid integer value",
         {},
         {}},
        {"tempo missing",
         songXml(R"(<Instruction bar="0" beat="1" Type="Change_Tempo"></Instruction>)"),
         "Could not convert variant of type (Null) into type (Integer)",
         {},
         {}},
        {"time signature without slash",
         songXml(
             R"(<Instruction bar="0" beat="1" Type="Time_Signature" Value="34"></Instruction>)"),
         "'' is not a valid integer value",
         {},
         {}},
        {"time signature split at the first slash",
         songXml(
             R"(<Instruction bar="0" beat="1" Type="Time_Signature" Value="6/8/2"></Instruction>)"),
         "'8/2' is not a valid integer value",
         {},
         {}},
        {"time signature 03/4",
         songXml(
             R"(<Instruction bar="0" beat="1" Type="Time_Signature" Value="03/4"></Instruction>)"),
         "",
         {signature(0, 1, 3, 4)},
         read},
        {"lyric without Value",
         songXml(R"(<Instruction bar="0" beat="1" Type="Display_Lyrics"></Instruction>)"),
         "Could not convert variant of type (Null) into type (String)",
         {},
         {}},
        {"instrument name in any case",
         songXml(
             R"(<Instruction bar="0" beat="1" Type="Change_Instrument" Value="sIDE sTICK"></Instruction>)"),
         "",
         {instrument(0, 1, 130)},
         read},
        {"Type compared exactly",
         songXml(R"(<Instruction bar="0" beat="1" Type="change_tempo" Value="x"></Instruction>)"),
         "",
         {noEffect(0, 1, "change_tempo", "x")},
         read},
        {"negative and zero numbers are numbers",
         songXml(R"(<Instruction bar="-1" beat="0" Type="Change_Tempo" Value="-5"></Instruction>)"),
         "",
         {tempo(-1, 0, -5)},
         read},
        {"a number beyond 32 bits",
         songXml(
             R"(<Instruction bar="4294967296" beat="1" Type="Change_Tempo" Value="1"></Instruction>)"),
         "'4294967296' is not a valid integer value",
         {},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TSong song = {lyric(9, 9, "previous song")};
        const TSong before = song;
        SongProperties props = previous;
        const auto error = ReadSongForPlayback(fileWith("case.xms", utf16File(c.xml)), song, props);
        if (!c.error.isEmpty()) {
            EXPECT_EQ(error.value_or("(no error)"), c.error);
            EXPECT_EQ(song, before);
            EXPECT_EQ(props, previous);
            continue;
        }
        ASSERT_EQ(error, std::nullopt) << error->toStdString();
        EXPECT_EQ(song, c.song);
        EXPECT_EQ(props, c.props);
    }
}

TEST_F(SongFileTest, EditorReaderTolerances)
{
    struct Case
    {
        const char* name;
        QString xml;
        QString error;
        QList<EditorRow> rows;
        std::optional<QString> artist;
    };
    const Case cases[] = {
        {"no Song_Properties fails before any row",
         songXml(R"(<Instruction bar="0" beat="1" Type="Change_Tempo" Value="90"></Instruction>)",
                 ""),
         "has no Song_Properties",
         {},
         std::nullopt},
        {"Artist missing is allowed",
         songXml(R"(<Instruction bar="2" beat="3" Type="Any_Thing_Here" Value="v"></Instruction>)",
                 R"(<Song_Properties Title="T" Author="U"></Song_Properties>)"),
         "",
         {{"2.3", "Any Thing Here", "v"}},
         std::nullopt},
        {"the first Song_Properties is used, wherever it stands",
         songXml(R"(<Instruction bar="1" beat="1" Type="Display_Lyrics" Value=""></Instruction>)"
                 R"(<Song_Properties Title="2" Artist="second" Author="4"></Song_Properties>)",
                 R"(<Song_Properties Title="1" Artist="first" Author="3"></Song_Properties>)"),
         "",
         {{"1.1", "Display Lyrics", ""}},
         "first"},
        {"Type missing stops with the rows read so far",
         songXml(R"(<Instruction bar="0" beat="1" Type="Change_Tempo" Value="90"></Instruction>)"
                 R"(<Instruction bar="1" beat="1" Value="x"></Instruction>)"
                 R"(<Instruction bar="2" beat="1" Type="Change_Tempo" Value="90"></Instruction>)"),
         "Could not convert variant of type (Null) into type (String)",
         {{"0.1", "Change Tempo", "90"}},
         "A"},
        {"beat not a number",
         songXml(
             R"(<Instruction bar="0" beat="1.5" Type="Change_Tempo" Value="90"></Instruction>)"),
         "'1.5' is not a valid integer value",
         {},
         "A"},
        {"Value not checked",
         songXml(
             R"(<Instruction bar="0" beat="1" Type="Change_Tempo" Value="fast"></Instruction>)"),
         "",
         {{"0.1", "Change Tempo", "fast"}},
         "A"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const EditorSong song = ReadSongForEditor(fileWith("case.xms", utf16File(c.xml)));
        if (c.error.isEmpty())
            EXPECT_TRUE(song.ok()) << song.Error.toStdString();
        else
            EXPECT_TRUE(song.Error.contains(c.error)) << song.Error.toStdString();
        EXPECT_EQ(song.Rows, c.rows);
        EXPECT_EQ(song.Properties.Artist, c.artist);
    }
}

TEST_F(SongFileTest, EditorWriterWritesTextsAsTheyStand)
{
    const QList<EditorRow> rows = {{"0.1", "Time Signature", "03/4"},
                                   {"2.3", "Something Else", "kept"},
                                   {"4.1", "Change Instrument", ""}};
    const QString out = path("editor.xms");
    ASSERT_EQ(WriteEditorSongFile(out, {"t", "a", "u"}, rows), std::nullopt);
    const QString text =
        QString::fromUtf16(reinterpret_cast<const char16_t*>(readAll(out).constData() + 2));
    EXPECT_TRUE(
        text.contains(R"(<Instruction bar="0" beat="1" Type="Time_Signature" Value="03/4">)"));
    EXPECT_TRUE(text.contains(R"(<Instruction bar="2" beat="3" Value="kept"></Instruction>)"));

    // Playback reads 03/4 as three quarters and writes it back as 3/4; the row
    // without Type plays as nothing; the empty instrument name keeps the sound.
    TSong song;
    SongProperties props;
    ASSERT_EQ(ReadSongForPlayback(out, song, props), std::nullopt);
    ASSERT_EQ(song.size(), 3u);
    EXPECT_EQ(song[0], signature(0, 1, 3, 4));
    EXPECT_EQ(song[1].Kind, LineKind::NoEffect);
    EXPECT_EQ(song[2].Kind, LineKind::NoEffect);
    const QString again = path("again.xms");
    ASSERT_EQ(WriteSongFile(again, props, song), std::nullopt);
    EXPECT_TRUE(
        QString::fromUtf16(reinterpret_cast<const char16_t*>(readAll(again).constData() + 2))
            .contains(R"(Value="3/4")"));

    // The editor cannot read back a row it wrote without Type.
    EXPECT_FALSE(ReadSongForEditor(out).ok());
}

// Files that are not songs at all: one error, and nothing read.
TEST_F(SongFileTest, BrokenAndHostileFilesAreRefusedWhole)
{
    const QByteArray waltz = readAll(VELMORA_TEST_DATA "/waltz.xms");
    QByteArray binary;
    for (int i = 0; i < 4096; ++i)
        binary.append(char((i * 7919 + 13) % 256));
    QByteArray deep = "<?xml version=\"1.0\"?><Velmora_Song>";
    for (int i = 0; i < 200; ++i)
        deep += "<a>";
    for (int i = 0; i < 200; ++i)
        deep += "</a>";
    deep += "</Velmora_Song>";
    const QByteArray bomb = R"(<?xml version="1.0"?>
<!DOCTYPE lolz [<!ENTITY lol "lol"><!ENTITY lol2 "&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;">
<!ENTITY lol3 "&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;">]>
<Velmora_Song><Song_Properties Title="&lol3;" Artist="" Author=""></Song_Properties></Velmora_Song>)";
    const QByteArray external = R"(<?xml version="1.0"?>
<!DOCTYPE s [<!ENTITY x SYSTEM "file:///etc/passwd">]>
<Velmora_Song><Song_Properties Title="&x;" Artist="" Author=""></Song_Properties></Velmora_Song>)";
    const QByteArray undeclared =
        R"(<Velmora_Song><Song_Properties Title="&x;" Artist="" Author=""></Song_Properties></Velmora_Song>)";
    // A UTF-16 file that says it is UTF-8.
    const QByteArray wrongDeclaration = utf16File(
        R"(<?xml version="1.0" encoding="UTF-8"?><Velmora_Song><Song_Properties Title="T" Artist="" Author=""></Song_Properties></Velmora_Song>)");

    struct Case
    {
        const char* name;
        QByteArray bytes;
        const char* errorContains;
    };
    const Case cases[] = {
        {"empty", {}, "is empty"},
        {"truncated", waltz.left(waltz.size() / 2), "could not be read as XML"},
        {"truncated inside a character", waltz.left(waltz.size() - 31), "could not be read as XML"},
        {"binary", binary, "could not be read as XML"},
        {"two roots", utf16File(songXml("") + "<x></x>"), "could not be read as XML"},
        {"unclosed element", "<Velmora_Song><Song_Properties Title='a' Artist='' Author=''>",
         "could not be read as XML"},
        {"only a declaration", utf16File(R"(<?xml version="1.0" encoding="UTF-16"?>)"),
         "could not be read as XML"},
        {"entity bomb", bomb, "document type declaration"},
        {"external entity", external, "document type declaration"},
        {"undeclared entity", undeclared, "could not be read as XML"},
        {"deep nesting", deep, "nested more than"},
        {"UTF-16 declared as UTF-8", wrongDeclaration,
         "stored as UTF-16, but its declaration says UTF-8"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = fileWith("bad.xms", c.bytes);
        TSong song = Waltz;
        SongProperties props = WaltzProperties;
        const auto error = ReadSongForPlayback(file, song, props);
        ASSERT_TRUE(error.has_value());
        EXPECT_TRUE(error->contains(c.errorContains)) << error->toStdString();
        EXPECT_TRUE(error->contains(file)) << error->toStdString();
        EXPECT_EQ(song, Waltz);
        EXPECT_EQ(props, WaltzProperties);

        const EditorSong editor = ReadSongForEditor(file);
        EXPECT_EQ(editor.Error, *error);
        EXPECT_TRUE(editor.Rows.isEmpty());
        EXPECT_FALSE(editor.Properties.Title.has_value());
    }
}

TEST_F(SongFileTest, HugeFilesAndFoldersAreRefusedBeforeParsing)
{
    // A sparse file over the limit: refused by its size, nothing is parsed.
    const QString huge = path("huge.xms");
    {
        QFile f(huge);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(MaxXmlFileBytes + 1));
    }
    TSong song;
    SongProperties props;
    const auto tooBig = ReadSongForPlayback(huge, song, props);
    ASSERT_TRUE(tooBig.has_value());
    EXPECT_TRUE(tooBig->contains("too large")) << tooBig->toStdString();

    const auto folder = ReadSongForPlayback(dir.path(), song, props);
    ASSERT_TRUE(folder.has_value());
    EXPECT_TRUE(folder->contains("directory")) << folder->toStdString();
    EXPECT_TRUE(ReadSongForPlayback(path("missing.xms"), song, props).has_value());
}

TEST_F(SongFileTest, UnmarkedUtf8FilesAreReadToo)
{
    const QByteArray utf8 =
        QString(R"(<?xml version="1.0" encoding="UTF-8"?>
<Velmora_Song><Song_Properties Title="Caf)" +
                QString(QChar(0xE9)) + R"(" Artist="" Author=""></Song_Properties></Velmora_Song>)")
            .toUtf8();
    TSong song;
    SongProperties props;
    ASSERT_EQ(ReadSongForPlayback(fileWith("u8.xms", utf8), song, props), std::nullopt);
    EXPECT_EQ(props.Title, "Caf\u00e9");
}

TEST_F(SongFileTest, AFailedSaveLeavesThePreviousFileIntact)
{
    const QString target = path("Waltz.xms");
    ASSERT_EQ(WriteSongFile(target, WaltzProperties, Waltz), std::nullopt);
    const QByteArray before = readAll(target);

    // A file-size limit below the new song's size makes the write itself fail,
    // which works even where permissions do not stop the test (running as root).
    TSong big;
    for (int i = 0; i < 200; ++i)
        big.push_back(lyric(i, 1, QString(40, QChar('x'))));
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto error = WriteSongFile(target, WaltzProperties, big);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(error->contains(target)) << error->toStdString();
    EXPECT_EQ(readAll(target), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"Waltz.xms"});

    // A folder that does not exist: reported, nothing created.
    const auto noFolder = WriteSongFile(path("no/such/folder/x.xms"), WaltzProperties, Waltz);
    ASSERT_TRUE(noFolder.has_value());
    EXPECT_TRUE(noFolder->contains("no/such/folder")) << noFolder->toStdString();
}

TEST_F(SongFileTest, EmptyRootStillHasStartAndEndTags)
{
    const QByteArray bytes = EncodeXmlDocument("Velmora_PlayList", {});
    EXPECT_EQ(bytes, utf16File("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n"
                               "<Velmora_PlayList>\r\n</Velmora_PlayList>\n"));
}
