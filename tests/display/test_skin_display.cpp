// The beat display on small synthetic skins: every frame and the blank picture
// are flat, distinct colours, so each pixel of the display tells which picture
// it was last copied from.

#include "SkinDisplay.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using velmora::DrawState;
using velmora::SkinDisplay;

namespace {

constexpr QRect Whole(0, 0, 600, 600);
constexpr QRect UL(0, 0, 300, 300), UR(300, 0, 300, 300), LR(300, 300, 300, 300),
    LL(0, 300, 300, 300);

// Colours of skin number `seed`: frames 0..12 and the blank picture.
QRgb frameColour(int seed, int frame)
{
    return qRgb(seed * 40, 10 + frame * 18, 200 - frame * 11);
}
QRgb blankColour(int seed)
{
    return qRgb(seed * 40, 250, 250);
}

struct SkinFolder
{
    QTemporaryDir root;

    // Writes skins/<name>/ with flat pictures. `skip` names a file left out,
    // `garbage` a file written with bytes that are no picture.
    void write(const QString& name, int seed, const QString& skip = {}, const QString& garbage = {})
    {
        const QString dir = root.path() + "/skins/" + name;
        QDir().mkpath(dir);
        std::vector<std::pair<QString, QRgb>> files;
        for (int i = 0; i <= 12; ++i)
            files.emplace_back(name + QString::number(i) + ".bmp", frameColour(seed, i));
        files.emplace_back(name + ".bmp", blankColour(seed));
        for (const auto& [file, colour] : files) {
            if (file == skip) continue;
            if (file == garbage) {
                QFile f(dir + '/' + file);
                ASSERT_TRUE(f.open(QIODevice::WriteOnly));
                f.write("this is not a bitmap");
                continue;
            }
            QImage img(600, 600, QImage::Format_RGB32);
            img.fill(colour);
            ASSERT_TRUE(img.save(dir + '/' + file, "BMP"));
        }
    }
};

// The test's own picture of what the display should show.
struct Model
{
    QImage img{600, 600, QImage::Format_RGB32};
    explicit Model(QRgb fill = qRgb(0, 0, 0)) { img.fill(fill); }
    void paint(QRect r, QRgb c)
    {
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                img.setPixel(x, y, c);
    }
};

::testing::AssertionResult sameImage(const QImage& actual, const QImage& expected)
{
    const QImage a = actual.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 600; ++x)
            if (a.pixel(x, y) != expected.pixel(x, y))
                return ::testing::AssertionFailure()
                       << "pixel (" << x << ", " << y << ") is " << std::hex << a.pixel(x, y)
                       << ", expected " << expected.pixel(x, y);
    return ::testing::AssertionSuccess();
}

// Draws one frame and checks that the repaint notice covers every changed
// pixel: the window repaints only that rectangle.
::testing::AssertionResult drawAndCheckNotice(SkinDisplay& d, unsigned frame,
                                              const DrawState& s = {})
{
    const QImage before = d.image().copy();
    QSignalSpy spy(&d, &SkinDisplay::changed);
    d.DrawRadar(frame, s);
    QRect noticed;
    for (const auto& args : spy)
        noticed |= args.at(0).toRect();
    const QImage& after = d.image();
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 600; ++x)
            if (before.pixel(x, y) != after.pixel(x, y) && !noticed.contains(x, y))
                return ::testing::AssertionFailure()
                       << "frame " << frame << ": pixel (" << x << ", " << y
                       << ") changed outside the repaint notice";
    return ::testing::AssertionSuccess();
}

} // namespace

// ---------------------------------------------------------------- loading

struct LoadCase
{
    const char* name;
    int counterHeight;
    std::optional<int> counterTop;
};

class LoadSkinTest : public ::testing::TestWithParam<LoadCase>
{
};

TEST_P(LoadSkinTest, BlanksDisplayAndPlacesCounter)
{
    const LoadCase c = GetParam();
    SkinFolder skins;
    skins.write(c.name, 1);
    SkinDisplay d(skins.root.path());
    QSignalSpy spy(&d, &SkinDisplay::changed);

    const auto result = d.LoadSkin(c.name, c.counterHeight);

    EXPECT_TRUE(result.loaded);
    EXPECT_EQ(result.counterTop, c.counterTop);
    EXPECT_EQ(d.currentSkin(), c.name);
    EXPECT_TRUE(sameImage(d.image(), Model(blankColour(1)).img));
    ASSERT_EQ(spy.size(), 1);
    EXPECT_EQ(spy.at(0).at(0).toRect(), Whole);
}

INSTANTIATE_TEST_SUITE_P(Names, LoadSkinTest,
                         ::testing::Values(LoadCase{"radar", 73, 263}, LoadCase{"radar", 80, 260},
                                           LoadCase{"infinity", 73, 400}, LoadCase{"ball", 73, 10},
                                           LoadCase{"metronome", 73, 420},
                                           LoadCase{"Radar", 73, std::nullopt},
                                           LoadCase{"neon", 73, std::nullopt}));

struct BrokenCase
{
    const char* name;
    const char* skip;
    const char* garbage;
    int firstOld; // frames from here on keep the previous skin's pictures
};

class BrokenSkinTest : public ::testing::TestWithParam<BrokenCase>
{
};

// A file that is missing or unreadable stops loading there, silently: the
// pictures before it are new, the later ones and the blank stay, the display is
// not blanked and the skin name stays.
TEST_P(BrokenSkinTest, KeepsLaterPicturesAndName)
{
    const BrokenCase c = GetParam();
    SkinFolder skins;
    skins.write("plain", 1);
    skins.write(c.name, 2, c.skip, c.garbage);
    SkinDisplay d(skins.root.path());
    ASSERT_TRUE(d.LoadSkin("plain", 73).loaded);
    d.DrawRadar(3, {});
    const QImage shown = d.image().copy();

    const auto result = d.LoadSkin(c.name, 73);

    EXPECT_FALSE(result.loaded);
    EXPECT_FALSE(result.counterTop.has_value());
    EXPECT_EQ(d.currentSkin(), "plain");
    EXPECT_TRUE(sameImage(d.image(), shown)) << "display must not be blanked";
    // Still drawn as "plain" (whole frames), from a mix of both skins.
    for (int f = 0; f < 12; ++f) {
        d.DrawRadar(unsigned(f), {});
        EXPECT_TRUE(sameImage(d.image(), Model(frameColour(f < c.firstOld ? 2 : 1, f)).img))
            << "frame " << f;
    }
    d.BlankRadar();
    EXPECT_TRUE(sameImage(d.image(), Model(blankColour(c.firstOld <= 12 ? 1 : 2)).img));
}

INSTANTIATE_TEST_SUITE_P(Files, BrokenSkinTest,
                         ::testing::Values(BrokenCase{"radar", "radar7.bmp", "", 7},
                                           BrokenCase{"radar", "", "radar7.bmp", 7},
                                           BrokenCase{"ball", "ball0.bmp", "", 0},
                                           BrokenCase{"ball", "ball.bmp", "", 12},
                                           BrokenCase{"metronome", "metronome12.bmp", "", 99}));

TEST(SkinDisplay, MissingFolderChangesNothing)
{
    SkinFolder skins;
    skins.write("radar", 1);
    SkinDisplay d(skins.root.path());
    ASSERT_TRUE(d.LoadSkin("radar", 73).loaded);
    EXPECT_FALSE(d.LoadSkin("nowhere", 73).loaded);
    EXPECT_EQ(d.currentSkin(), "radar");
}

// ---------------------------------------------------------------- drawing

TEST(SkinDisplay, RadarResetsTheQuadrantItLeaves)
{
    SkinFolder skins;
    skins.write("radar", 1);
    SkinDisplay d(skins.root.path());
    ASSERT_TRUE(d.LoadSkin("radar", 73).loaded);
    const QRgb blank = blankColour(1);
    Model m(blank);

    struct Step
    {
        unsigned frame;
        std::vector<std::pair<QRect, QRgb>> expect; // quadrants that changed
    };
    const std::vector<Step> steps = {
        {9, {{LL, frameColour(1, 9)}}},
        {10, {{LL, blank}, {UL, frameColour(1, 10)}}},
        {11, {{UL, frameColour(1, 11)}}},
        {0, {{UL, frameColour(1, 0)}}},
        // frame 0's quadrant stays until frame 1 resets it
        {1, {{UL, blank}, {UR, frameColour(1, 1)}}},
        {2, {{UR, frameColour(1, 2)}}},
        {3, {{UR, frameColour(1, 3)}}},
        {4, {{UR, blank}, {LR, frameColour(1, 4)}}},
        {5, {{LR, frameColour(1, 5)}}},
        {6, {{LR, frameColour(1, 6)}}},
        {7, {{LR, blank}, {LL, frameColour(1, 7)}}},
        {8, {{LL, frameColour(1, 8)}}},
    };
    for (const Step& s : steps) {
        EXPECT_TRUE(drawAndCheckNotice(d, s.frame));
        for (const auto& [r, c] : s.expect)
            m.paint(r, c);
        EXPECT_TRUE(sameImage(d.image(), m.img)) << "after frame " << s.frame;
        EXPECT_EQ(d.LastDrawnTick(), int(s.frame));
    }
}

struct RegionCase
{
    const char* skin;
    std::vector<std::pair<std::vector<unsigned>, QRect>> regions;
};

class RegionTest : public ::testing::TestWithParam<RegionCase>
{
};

// Two beats from the blank picture: each frame replaces exactly its region.
TEST_P(RegionTest, EachFrameReplacesExactlyItsRegion)
{
    const RegionCase c = GetParam();
    SkinFolder skins;
    skins.write(c.skin, 1);
    SkinDisplay d(skins.root.path());
    ASSERT_TRUE(d.LoadSkin(c.skin, 73).loaded);
    Model m(blankColour(1));
    for (int beat = 0; beat < 2; ++beat)
        for (unsigned f = 0; f < 12; ++f) {
            EXPECT_TRUE(drawAndCheckNotice(d, f));
            for (const auto& [frames, region] : c.regions)
                if (std::find(frames.begin(), frames.end(), f) != frames.end())
                    m.paint(region, frameColour(1, int(f)));
            ASSERT_TRUE(sameImage(d.image(), m.img)) << c.skin << " frame " << f;
        }
}

INSTANTIATE_TEST_SUITE_P(
    Skins, RegionTest,
    ::testing::Values(
        // never rows 0..99; the loops live in one half each
        RegionCase{"infinity",
                   {{{0, 1, 6}, QRect(0, 100, 600, 500)},
                    {{2, 3, 4, 5}, QRect(300, 100, 300, 500)},
                    {{7, 8, 9, 10, 11}, QRect(0, 100, 300, 500)}}},
        RegionCase{"ball",
                   {{{0, 1}, QRect(100, 300, 400, 300)},
                    {{2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, QRect(220, 0, 180, 600)}}},
        // names are compared exactly: these get whole frames
        RegionCase{"Radar", {{{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, Whole}}},
        RegionCase{"Ball", {{{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, Whole}}},
        RegionCase{"neon", {{{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, Whole}}}),
    [](const auto& info) { return std::string(info.param.skin) + std::to_string(info.index); });

struct MetronomeCase
{
    const char* bar;
    const char* beat;
    int beatsPerBar;
    unsigned frame;
    int shown;
};

class MetronomeTest : public ::testing::TestWithParam<MetronomeCase>
{
};

// K = beat + bar x beats-per-bar: even K runs 0..11, odd K shows 12 - frame.
TEST_P(MetronomeTest, DirectionFollowsBeatParity)
{
    const MetronomeCase c = GetParam();
    SkinFolder skins;
    skins.write("metronome", 1);
    SkinDisplay d(skins.root.path());
    ASSERT_TRUE(d.LoadSkin("metronome", 73).loaded);
    d.DrawRadar(c.frame, {false, false, c.bar, c.beat, c.beatsPerBar});
    EXPECT_TRUE(sameImage(d.image(), Model(frameColour(1, c.shown)).img));
    EXPECT_EQ(d.LastDrawnTick(), int(c.frame));
}

INSTANTIATE_TEST_SUITE_P(Counters, MetronomeTest,
                         ::testing::Values(MetronomeCase{"0", "1", 4, 3, 9},  // K 1
                                           MetronomeCase{"0", "2", 4, 3, 3},  // K 2
                                           MetronomeCase{"0", "1", 4, 0, 12}, // far end
                                           MetronomeCase{"0", "1", 4, 11, 1},
                                           MetronomeCase{"1", "1", 3, 5, 5},   // K 4
                                           MetronomeCase{"2", "1", 3, 5, 7},   // K 7
                                           MetronomeCase{"-1", "1", 4, 2, 10}, // K -3
                                           MetronomeCase{"-1", "2", 4, 2, 2},  // K -2
                                           MetronomeCase{"", "", 4, 4, 4}));   // no numbers

class SyncClientTest : public ::testing::TestWithParam<const char*>
{
};

// Following a server, every skin shows whole frames in order, whatever the
// counter says.
TEST_P(SyncClientTest, DrawsWholeFrames)
{
    const char* name = GetParam();
    SkinFolder skins;
    skins.write(name, 1);
    SkinDisplay d(skins.root.path());
    ASSERT_TRUE(d.LoadSkin(name, 73).loaded);
    for (unsigned f = 0; f < 12; ++f) {
        EXPECT_TRUE(drawAndCheckNotice(d, f, {false, true, "0", "1", 4}));
        EXPECT_TRUE(sameImage(d.image(), Model(frameColour(1, int(f))).img)) << name << f;
    }
}

INSTANTIATE_TEST_SUITE_P(Skins, SyncClientTest,
                         ::testing::Values("radar", "infinity", "ball", "metronome", "neon"));

TEST(SkinDisplay, TextOnlyDrawsNothingButRecordsTheFrame)
{
    SkinFolder skins;
    skins.write("radar", 1);
    SkinDisplay d(skins.root.path());
    ASSERT_TRUE(d.LoadSkin("radar", 73).loaded);
    const QImage before = d.image().copy();
    QSignalSpy spy(&d, &SkinDisplay::changed);
    for (const bool sync : {false, true}) {
        d.DrawRadar(5, {true, sync, "0", "1", 4});
        EXPECT_EQ(d.LastDrawnTick(), 5);
        d.DrawRadar(7, {true, sync, "0", "1", 4});
        EXPECT_EQ(d.LastDrawnTick(), 7);
    }
    EXPECT_TRUE(sameImage(d.image(), before));
    EXPECT_EQ(spy.size(), 0);
}

TEST(SkinDisplay, BlankRadarRestoresTheWholePicture)
{
    SkinFolder skins;
    skins.write("ball", 1);
    SkinDisplay d(skins.root.path());
    ASSERT_TRUE(d.LoadSkin("ball", 73).loaded);
    d.DrawRadar(0, {});
    d.DrawRadar(5, {});
    d.BlankRadar();
    EXPECT_TRUE(sameImage(d.image(), Model(blankColour(1)).img));
}

TEST(SkinDisplay, FrameBeyondTheBeatFoldsBack)
{
    // Frames come as a tick count modulo 12; a larger one must not read past
    // the pictures.
    SkinFolder skins;
    skins.write("neon", 1);
    SkinDisplay d(skins.root.path());
    ASSERT_TRUE(d.LoadSkin("neon", 73).loaded);
    d.DrawRadar(14, {});
    EXPECT_EQ(d.LastDrawnTick(), 14);
    EXPECT_TRUE(sameImage(d.image(), Model(frameColour(1, 2)).img));
}

TEST(SkinDisplay, PictureOfOtherSizeIsPlacedTopLeft)
{
    SkinFolder skins;
    skins.write("neon", 1);
    QImage small(200, 100, QImage::Format_RGB32);
    small.fill(qRgb(9, 9, 9));
    ASSERT_TRUE(small.save(skins.root.path() + "/skins/neon/neon4.bmp", "BMP"));
    SkinDisplay d(skins.root.path());
    ASSERT_TRUE(d.LoadSkin("neon", 73).loaded);
    d.DrawRadar(4, {});
    Model m(qRgb(0, 0, 0));
    m.paint(QRect(0, 0, 200, 100), qRgb(9, 9, 9));
    EXPECT_TRUE(sameImage(d.image(), m.img));
}
