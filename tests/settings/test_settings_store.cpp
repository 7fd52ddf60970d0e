#include "SettingsStore.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using velmora::SettingsStore;
using velmora::SettingsValues;

namespace {

class SettingsStoreTest : public ::testing::Test
{
protected:
    QString iniPath() const { return dir.filePath(QStringLiteral("Velmora.conf")); }
    QSettings open() const { return QSettings(iniPath(), QSettings::IniFormat); }

    QTemporaryDir dir;
};

constexpr std::array<const char*, 13> AllNames{
    SettingsStore::FontName,   SettingsStore::FontSize,   SettingsStore::FontColor,
    SettingsStore::FontStyle,  SettingsStore::AutoReduce, SettingsStore::ShowTips,
    SettingsStore::Device,     SettingsStore::Instrument, SettingsStore::AutoHide,
    SettingsStore::BeatVolume, SettingsStore::BarVolume,  SettingsStore::Skin,
    SettingsStore::DoubleFont};

} // namespace

TEST_F(SettingsStoreTest, EmptyStoreGivesEveryDefault)
{
    auto store = open();
    const SettingsValues v = SettingsStore::Load(store);
    EXPECT_EQ(v.fontName, "Trebuchet MS");
    EXPECT_EQ(v.fontSize, 36);
    EXPECT_EQ(v.fontColor, 0xFFFF00u);
    EXPECT_EQ(v.fontStyle, std::nullopt);
    EXPECT_TRUE(v.autoReduce);
    EXPECT_TRUE(v.showTips);
    EXPECT_EQ(v.device, std::nullopt);
    EXPECT_EQ(v.instrument, std::nullopt);
    EXPECT_TRUE(v.autoHide);
    EXPECT_EQ(v.beatVolume, 70);
    EXPECT_EQ(v.barVolume, 30);
    EXPECT_EQ(v.skin, "metronome");
    EXPECT_TRUE(v.doubleFont);
}

TEST_F(SettingsStoreTest, SaveWritesAllThirteenValuesInTheirStoredForms)
{
    SettingsValues v;
    v.fontName = QStringLiteral("DejaVu Sans, Bold"); // a comma must survive the INI format
    v.fontSize = 28;
    v.fontColor = 0x0000FF; // red
    v.fontStyle = 6;
    v.autoReduce = false;
    v.showTips = false;
    v.device = std::nullopt; // nothing selected is written as -1
    v.instrument = 23;
    v.autoHide = false;
    v.beatVolume = 0;
    v.barVolume = 100;
    v.skin = QStringLiteral("ball");
    v.doubleFont = false;
    {
        auto store = open();
        ASSERT_EQ(SettingsStore::Save(store, v), std::nullopt);
    }

    auto store = open();
    for (const char* name : AllNames)
        EXPECT_TRUE(store.contains(QLatin1String(name))) << name;
    // Booleans as 1/0, the colour as the 0x00BBGGRR number.
    EXPECT_EQ(store.value("AutoReduce").toString(), "0");
    EXPECT_EQ(store.value("FontColor").toString(), "255");
    EXPECT_EQ(store.value("Device").toString(), "-1");

    const SettingsValues back = SettingsStore::Load(store);
    EXPECT_EQ(back.fontName, v.fontName);
    EXPECT_EQ(back.fontSize, 28);
    EXPECT_EQ(back.fontColor, 0x0000FFu);
    EXPECT_EQ(back.fontStyle, 6);
    EXPECT_FALSE(back.autoReduce);
    EXPECT_FALSE(back.showTips);
    EXPECT_EQ(back.device, -1);
    EXPECT_EQ(back.instrument, 23);
    EXPECT_FALSE(back.autoHide);
    EXPECT_EQ(back.beatVolume, 0);
    EXPECT_EQ(back.barVolume, 100);
    EXPECT_EQ(back.skin, "ball");
    EXPECT_FALSE(back.doubleFont);
}

// Values as a user might have left them in the file by hand.
TEST_F(SettingsStoreTest, ReadsHandEditedValues)
{
    {
        QFile file(iniPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[General]\n"
                   "FontSize=abc\n"   // not a number: default
                   "FontColor=aqua\n" // not a number: default
                   "FontStyle=0x6\n"  // hexadecimal is still a number
                   "AutoReduce=2\n"   // non-zero is true
                   "ShowTips=false\n" // QSettings' own bool form
                   "Device=5\n"       // kept: the device list decides
                   "Instrument=99\n"  // kept: the instrument list decides
                   "AutoHide=maybe\n" // not a bool: default
                   "BeatVolume=150\n" // kept: the slider clamps
                   "BarVolume=-3\n"
                   "Skin=neon\n" // kept: passed on to the skin loader
                   "DoubleFont=0\n");
    }
    auto store = open();
    const SettingsValues v = SettingsStore::Load(store);
    EXPECT_EQ(v.fontSize, 36);
    EXPECT_EQ(v.fontColor, 0xFFFF00u);
    EXPECT_EQ(v.fontStyle, 6);
    EXPECT_TRUE(v.autoReduce);
    EXPECT_FALSE(v.showTips);
    EXPECT_EQ(v.device, 5);
    EXPECT_EQ(v.instrument, 99);
    EXPECT_TRUE(v.autoHide);
    EXPECT_EQ(v.beatVolume, 150);
    EXPECT_EQ(v.barVolume, -3);
    EXPECT_EQ(v.skin, "neon");
    EXPECT_FALSE(v.doubleFont);
}

TEST_F(SettingsStoreTest, UnusableFontSizesKeepTheDefault)
{
    for (const char* text : {"0", "-12", "99999999999", "12.5", ""}) {
        auto store = open();
        store.setValue("FontSize", QString::fromLatin1(text));
        EXPECT_EQ(SettingsStore::Load(store).fontSize, 36) << text;
    }
}

TEST_F(SettingsStoreTest, FirstSaveCreatesTheMissingFolders)
{
    // On a first run the organisation's folder does not exist yet.
    const QString path = dir.filePath(QStringLiteral("config/Quorvane/Velmora.conf"));
    {
        QSettings store(path, QSettings::IniFormat);
        EXPECT_EQ(SettingsStore::Save(store, SettingsValues{}), std::nullopt);
    }
    QSettings store(path, QSettings::IniFormat);
    EXPECT_EQ(SettingsStore::Load(store).skin, "metronome");
    EXPECT_TRUE(store.contains(QStringLiteral("DoubleFont")));
}

TEST_F(SettingsStoreTest, UnwritableStoreIsReported)
{
    // The store's file name is taken by a folder, so the file cannot be
    // replaced (this holds even for root, unlike a read-only permission).
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("Velmora.conf")));
    auto store = open();
    const auto error = SettingsStore::Save(store, SettingsValues{});
    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(error->contains(iniPath())) << error->toStdString();
}
