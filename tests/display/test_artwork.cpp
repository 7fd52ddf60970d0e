// Checks of the pictures tools/velmora_artgen drew into the runtime folder:
// every file is there with its size and format, and each skin really animates
// inside the regions the display copies, leaving nothing behind outside them.

#include "Artwork.h"
#include "SkinDisplay.h"

#include <QFile>
#include <QImageReader>
#include <QtEndian>
#include <gtest/gtest.h>

#include <vector>

using namespace velmora;
using namespace velmora::artwork;

namespace {

QString runtimePath(std::string_view rel)
{
    return QStringLiteral(VELMORA_RUNTIME_DIR "/") +
           QString::fromLatin1(rel.data(), qsizetype(rel.size()));
}

QString skinFile(const QString& skin, const QString& suffix)
{
    return QStringLiteral(VELMORA_RUNTIME_DIR "/skins/") + skin + '/' + skin + suffix + ".bmp";
}

QString str(std::string_view s)
{
    return QString::fromLatin1(s.data(), qsizetype(s.size()));
}

} // namespace

TEST(Artwork, SkinFilesAre24BitBitmapsOf600Square)
{
    for (const std::string_view name : SkinNames) {
        const QString skin = str(name);
        QStringList suffixes{QString()};
        for (int i = 0; i < SkinFrames; ++i)
            suffixes << QString::number(i);
        if (skin == "metronome") suffixes << "12";
        for (const QString& suffix : suffixes) {
            const QString path = skinFile(skin, suffix);
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
            const QByteArray head = f.read(54);
            ASSERT_EQ(head.size(), 54) << path.toStdString();
            EXPECT_TRUE(head.startsWith("BM")) << path.toStdString();
            const auto u16 = [&](int at) { return qFromLittleEndian<quint16>(head.data() + at); };
            const auto i32 = [&](int at) { return qFromLittleEndian<qint32>(head.data() + at); };
            EXPECT_EQ(i32(18), 600) << path.toStdString();
            EXPECT_EQ(std::abs(i32(22)), 600) << path.toStdString();
            EXPECT_EQ(u16(28), 24) << path.toStdString();
            EXPECT_FALSE(QImage(path).isNull()) << path.toStdString();
        }
    }
}

TEST(Artwork, PanelPicturesHaveTheirSizes)
{
    struct Pic
    {
        std::string_view file;
        QSize size;
    };
    std::vector<Pic> pics = {{MenuImageFile, MenuPanelSize},
                             {StopImageFile, StopImageRect.size()},
                             {PlaylistImageFile, PlaylistPanelSize},
                             {SysImageFile, SysPanelSize},
                             {SoundOnFile, SoundSize},
                             {SoundOffFile, SoundSize},
                             {SyncImageFile, SyncSize},
                             {TempoPanelFile, TempoPanelSize},
                             {SettingsStripFile, SettingsStripSize},
                             {AppIconFile, QSize(256, 256)},
                             {AppIcon64File, QSize(64, 64)}};
    for (auto f : PopupImageFiles)
        pics.push_back({f, PopupIconSize});
    for (auto f : RowIconFiles)
        pics.push_back({f, RowIconSize});
    for (auto f : SkinPreviewFiles)
        pics.push_back({f, SkinPreviewSize});
    for (const Pic& p : pics) {
        const QImage img(runtimePath(p.file));
        ASSERT_FALSE(img.isNull()) << p.file;
        EXPECT_EQ(img.size(), p.size) << p.file;
    }
}

TEST(Artwork, ButtonRectanglesLieInsideTheirPanelsAndApart)
{
    struct Panel
    {
        QSize size;
        std::vector<QRect> buttons;
    };
    const Panel panels[] = {
        {MenuPanelSize, {MenuButtonRects.begin(), MenuButtonRects.end()}},
        {PlaylistPanelSize,
         {PlaylistPlayRect, PlaylistPauseRect, PlaylistStopRect, PlaylistNextRect, PlaylistAddRect,
          PlaylistRemoveRect, PlaylistLoadRect, PlaylistSaveRect, PlayListRect}},
        {SysPanelSize, {SysMinRect, SysCloseRect}},
    };
    for (const Panel& p : panels)
        for (std::size_t i = 0; i < p.buttons.size(); ++i) {
            EXPECT_TRUE(QRect(QPoint(0, 0), p.size).contains(p.buttons[i])) << i;
            for (std::size_t j = i + 1; j < p.buttons.size(); ++j)
                EXPECT_FALSE(p.buttons[i].intersects(p.buttons[j])) << i << " and " << j;
        }
}

// The regions the display copies for each frame.
QRect copyRegion(const QString& skin, unsigned f)
{
    if (skin == "radar") {
        if (f == 10 || f == 11 || f == 0) return {0, 0, 300, 300};
        if (f <= 3) return {300, 0, 300, 300};
        if (f <= 6) return {300, 300, 300, 300};
        return {0, 300, 300, 300};
    }
    if (skin == "infinity") {
        if (f <= 1 || f == 6) return {0, 100, 600, 500};
        return f <= 5 ? QRect(300, 100, 300, 500) : QRect(0, 100, 300, 500);
    }
    if (skin == "ball") return f <= 1 ? QRect(100, 300, 400, 300) : QRect(220, 0, 180, 600);
    return {0, 0, 600, 600};
}

class SkinArtTest : public ::testing::TestWithParam<const char*>
{
};

// Played from the blank picture for two beats, the display must show the
// current frame inside its region and the blank picture everywhere else:
// anything a frame draws outside its region would be cut off, and anything an
// earlier frame left behind would linger as a ghost.
TEST_P(SkinArtTest, NothingLingersOutsideTheCopiedRegion)
{
    const QString skin = GetParam();
    SkinDisplay d(QStringLiteral(VELMORA_RUNTIME_DIR));
    ASSERT_TRUE(d.LoadSkin(skin, 73).loaded);
    const QImage blank = QImage(skinFile(skin, "")).convertToFormat(QImage::Format_RGB32);
    std::vector<QImage> frames;
    for (int i = 0; i < SkinFrames; ++i)
        frames.push_back(
            QImage(skinFile(skin, QString::number(i))).convertToFormat(QImage::Format_RGB32));

    for (int beat = 0; beat < 2; ++beat)
        for (unsigned f = 0; f < SkinFrames; ++f) {
            const QImage before = d.image().copy();
            d.DrawRadar(f, {false, false, "0", "0", 4});
            const QRect r = copyRegion(skin, f);
            const QImage& shown = d.image();
            int stray = 0, moved = 0;
            for (int y = 0; y < 600; ++y)
                for (int x = 0; x < 600; ++x) {
                    const QRgb want = r.contains(x, y) ? frames[f].pixel(x, y) : blank.pixel(x, y);
                    stray += shown.pixel(x, y) != want;
                    moved += shown.pixel(x, y) != before.pixel(x, y);
                }
            EXPECT_EQ(stray, 0) << skin.toStdString() << " frame " << f;
            EXPECT_GT(moved, 200) << skin.toStdString() << " frame " << f << " shows no motion";
        }
}

INSTANTIATE_TEST_SUITE_P(Skins, SkinArtTest,
                         ::testing::Values("radar", "infinity", "ball", "metronome"));

TEST(Artwork, MetronomeEndsLieOnOppositeSides)
{
    // Forward beats run 0 -> 11 and backward beats 12 -> 1, so frame 0 must be
    // the left end of the swing and frame 12 the right end.
    const QImage blank(skinFile("metronome", ""));
    const auto leftHeavy = [&](const QString& n) {
        const QImage f(skinFile("metronome", n));
        int left = 0, right = 0;
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 600; ++x)
                if (f.pixel(x, y) != blank.pixel(x, y)) ++(x < 300 ? left : right);
        return left - right;
    };
    EXPECT_GT(leftHeavy("0"), 500);
    EXPECT_LT(leftHeavy("12"), -500);
}
