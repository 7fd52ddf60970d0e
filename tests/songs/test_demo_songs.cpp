#include "SongRig.h"

#include "SongFile.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;

namespace {

// The songs shipped beside the executable, so that a new user can play one at
// once. The files in data/songs are exactly what our writer makes of these; run
// the test with VELMORA_WRITE_DEMO_SONGS=1 to write them again after a change.
struct Demo
{
    QString file;
    SongProperties properties;
    TSong song;
};

std::vector<Demo> demos()
{
    const SongProperties ours{"", "Velmora", "Velmora demo songs"};
    auto props = [&](const QString& title) {
        SongProperties p = ours;
        p.Title = title;
        return p;
    };
    return {
        {"Evening Waltz.xms",
         props("Evening Waltz"),
         {signature(0, 1, 3, 4), tempo(0, 1, 90), instrument(0, 1, 169),
          lyric(0, 1, "One, two, three \u2014 the evening starts"),
          lyric(2, 1, "Turn and glide across the floor"),
          lyric(4, 1, "Caf\u00e9 lights are glowing warm"),
          lyric(6, 1, "One more turn before the door"), lyric(8, 1, "")}},
        {"Tarantella.xms",
         props("Tarantella"),
         {signature(0, 1, 6, 8), tempo(0, 1, 180), instrument(0, 1, 168), lyric(0, 1, "Verse"),
          lyric(8, 1, "Chorus \u2014 faster!"), tempo(8, 1, 216), instrument(8, 1, 147),
          lyric(16, 1, "")}},
        {"Tempo Ladder.xms",
         props("Tempo Ladder"),
         {signature(0, 1, 4, 4), tempo(0, 1, 80), instrument(0, 1, 130),
          lyric(0, 1, "80 \u2014 settle in"), tempo(4, 1, 100), instrument(4, 1, 149),
          lyric(4, 1, "100 \u2014 cowbell"), tempo(8, 1, 120), instrument(8, 1, 135),
          lyric(8, 1, "120 \u2014 hi-hat"), signature(12, 1, 3, 4),
          lyric(12, 1, "Three beats to the bar"), signature(16, 1, 4, 4), tempo(16, 1, 140),
          instrument(16, 1, 168), lyric(16, 1, "140 \u2014 claves, four again"), lyric(20, 1, "")}},
    };
}

QString shippedFolder()
{
    return QDir::cleanPath(QStringLiteral(VELMORA_TEST_DATA "/../../../data/songs"));
}

} // namespace

TEST(DemoSongs, ShippedFilesAreWhatOurWriterWrites)
{
    const bool regenerate = qEnvironmentVariableIsSet("VELMORA_WRITE_DEMO_SONGS");
    for (const Demo& demo : demos()) {
        SCOPED_TRACE(demo.file.toStdString());
        const QString path = QDir(shippedFolder()).filePath(demo.file);
        if (regenerate) {
            ASSERT_EQ(WriteSongFile(path, demo.properties, demo.song), std::nullopt);
        }
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), EncodeSongFile(demo.properties, demo.song));
    }
}

TEST(DemoSongs, EachPlaysToItsEndWithoutAnError)
{
    for (const Demo& demo : demos()) {
        SCOPED_TRACE(demo.file.toStdString());
        SongRig rig;
        ASSERT_TRUE(rig.player.PlaySong(QDir(shippedFolder()).filePath(demo.file)));
        EXPECT_EQ(rig.player.SongSchedule(), demo.song);
        EXPECT_LT(rig.run(1000000), 1000000);
        EXPECT_FALSE(rig.clock.Playing());
        EXPECT_TRUE(rig.errors.empty());
        EXPECT_EQ(rig.beats[rig.beats.size() - 2].counter.section('.', 0, 0),
                  QString::number(demo.song.back().Bar + 1));
    }
}
