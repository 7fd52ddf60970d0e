#include "LyricsFontDialog.h"
#include "SettingsDoubles.h"
#include "SettingsUnit.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFontDialog>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

// A colour per skin preview, so the picture shown says which file was drawn.
const QColor PreviewColors[] = {Qt::red, Qt::green, Qt::blue, Qt::yellow};
const char* const SkinNames[] = {"radar", "infinity", "ball", "metronome"};

class SettingsFormTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(runtime.isValid());
        QDir root(runtime.path());
        ASSERT_TRUE(root.mkpath(QStringLiteral("images")));
        for (int i = 0; i < 4; ++i) {
            const QString name = QString::fromLatin1(SkinNames[i]);
            ASSERT_TRUE(root.mkpath(QStringLiteral("skins/") + name));
            QImage preview(100, 100, QImage::Format_RGB32);
            preview.fill(PreviewColors[i]);
            ASSERT_TRUE(
                preview.save(root.filePath(QStringLiteral("images/preview_%1.png").arg(name))));
        }
    }

    QString storePath() const { return runtime.filePath(QStringLiteral("Velmora.conf")); }

    std::unique_ptr<QSettings> openStore() const
    {
        return std::make_unique<QSettings>(storePath(), QSettings::IniFormat);
    }

    void store(const char* name, const QVariant& value)
    {
        auto s = openStore();
        s->setValue(QLatin1String(name), value);
    }

    // Ends the previous run (which writes its settings) and empties the store.
    void fresh()
    {
        form.reset();
        settings.reset();
        QFile::remove(storePath());
    }

    TSettingsForm& create()
    {
        form.reset();
        settings = openStore();
        form = std::make_unique<TSettingsForm>(*settings, host, midi, runtime.path());
        return *form;
    }

    // Destroying the form is the application's exit: it writes the store.
    std::unique_ptr<QSettings> exitAndReopen()
    {
        form.reset();
        settings.reset();
        return openStore();
    }

    QTemporaryDir runtime;
    FakeHost host;
    FakeMidi midi;
    std::unique_ptr<QSettings> settings;
    std::unique_ptr<TSettingsForm> form;
};

QColor previewPixel(const TSettingsForm& f)
{
    return f.SkinImage()->pixmap().toImage().pixelColor(50, 50);
}

} // namespace

TEST_F(SettingsFormTest, EmptyStoreGivesTheDefaultsAndWritesAllThirteenValuesAtExit)
{
    midi.devices = {"Busy Port", "Velmora Synth", "USB MIDI"};
    midi.available = {false, true, true};
    host.windowHeight = 800;
    auto& f = create();

    EXPECT_EQ(f.LyricsFont().family(), "Trebuchet MS");
    EXPECT_EQ(f.LyricsFontSize(), 36);
    EXPECT_TRUE(f.LyricsFont().bold());
    EXPECT_EQ(f.LyricsColor(), QColor(0, 255, 255));
    EXPECT_EQ(f.FontButton()->text(), "Trebuchet MS, 36px");
    EXPECT_EQ(host.lyricsFont, f.LyricsFont());
    EXPECT_EQ(host.labelHeight, 72);
    EXPECT_EQ(host.labelTop, 800 - 72);

    EXPECT_TRUE(f.TipsBox()->isChecked());
    EXPECT_TRUE(f.AutoReduce()->isChecked());
    EXPECT_TRUE(f.DoubleBox()->isChecked());
    EXPECT_TRUE(f.AutoHide()->isChecked()); // on by default here; the hiding obeys it

    // "Side Stick" is shown; the generator already has that sound and is not told.
    EXPECT_EQ(f.InstrumentsBox()->currentText(), "Side Stick");
    EXPECT_TRUE(midi.setInstrumentCalls.empty());
    EXPECT_EQ(f.InstrumentCode(), 130);

    EXPECT_EQ(f.BeatVol()->value(), 70);
    EXPECT_EQ(f.BarVol()->value(), 30);
    EXPECT_EQ(f.BeatVolume(), 30);
    EXPECT_EQ(f.BarVolume(), 70);

    EXPECT_EQ(host.loadedSkins, QStringList{"metronome"});
    EXPECT_EQ(f.SkinBox()->currentText(), "Metronome");
    EXPECT_EQ(f.PendingSkin(), "metronome");
    EXPECT_EQ(previewPixel(f), QColor(Qt::yellow));

    // The first device that opens is chosen, after trying the busy one.
    EXPECT_EQ(f.DevicesBox()->currentIndex(), 1);
    EXPECT_EQ(midi.setDeviceCalls, (std::vector<int>{0, 1}));
    EXPECT_EQ(f.DevicesBox()->itemText(2), "USB MIDI");

    EXPECT_EQ(host.log, (QStringList{"splash Loading settings...", "splash Loading skin...",
                                     "load metronome"}));

    const auto s = exitAndReopen();
    for (const char* name :
         {"FontName", "FontSize", "FontColor", "FontStyle", "AutoReduce", "ShowTips", "Device",
          "Instrument", "AutoHide", "BeatVolume", "BarVolume", "Skin", "DoubleFont"})
        EXPECT_TRUE(s->contains(QLatin1String(name))) << name;
    EXPECT_EQ(s->value("FontColor").toInt(), 0xFFFF00);
    EXPECT_EQ(s->value("FontStyle").toInt(), 1);
    EXPECT_EQ(s->value("Device").toInt(), 1);
    EXPECT_EQ(s->value("Instrument").toInt(), 2);
    EXPECT_EQ(s->value("BeatVolume").toInt(), 70);
    EXPECT_EQ(s->value("Skin").toString(), "metronome");
    EXPECT_TRUE(host.errors.isEmpty());
}

TEST_F(SettingsFormTest, FontStyleBitsReplaceTheStyle)
{
    struct Case
    {
        QVariant stored; // invalid = missing
        bool bold, italic, underline, strikeOut;
    };
    const Case cases[] = {
        {6, false, true, true, false},           {0, false, false, false, false},
        {QVariant(), true, false, false, false}, {15, true, true, true, true},
        {9, true, false, false, true},
    };
    for (const auto& c : cases) {
        fresh();
        if (c.stored.isValid()) store("FontStyle", c.stored);
        const QFont font = create().LyricsFont();
        SCOPED_TRACE(c.stored.toString().toStdString());
        EXPECT_EQ(font.bold(), c.bold);
        EXPECT_EQ(font.italic(), c.italic);
        EXPECT_EQ(font.underline(), c.underline);
        EXPECT_EQ(font.strikeOut(), c.strikeOut);
        EXPECT_EQ(host.lyricsFont, font);
    }
}

TEST_F(SettingsFormTest, StoredDeviceTheListCannotHoldSelectsNothing)
{
    store("Device", 5);
    auto& f = create();
    EXPECT_EQ(f.DevicesBox()->count(), 2);
    EXPECT_EQ(f.DevicesBox()->currentIndex(), -1);
    EXPECT_EQ(midi.device, -1);
    EXPECT_EQ(exitAndReopen()->value("Device").toInt(), -1);
}

TEST_F(SettingsFormTest, DeviceSearchTriesEachDeviceOnceThenFallsBackToTheDefault)
{
    midi.available = {false, false};
    auto& f = create();
    EXPECT_EQ(midi.setDeviceCalls, (std::vector<int>{0, 1, -1}));
    EXPECT_EQ(f.DevicesBox()->currentIndex(), -1);

    fresh();
    midi.devices.clear();
    midi.setDeviceCalls.clear();
    auto& empty = create();
    EXPECT_EQ(empty.DevicesBox()->count(), 0);
    EXPECT_EQ(midi.setDeviceCalls, std::vector<int>{-1});
}

TEST_F(SettingsFormTest, ChoosingADeviceTellsTheGenerator)
{
    store("Device", 0);
    auto& f = create();
    QTest::keyClick(f.DevicesBox(), Qt::Key_Down); // as the user moves through the list
    EXPECT_EQ(f.DevicesBox()->currentIndex(), 1);
    EXPECT_EQ(midi.device, 1);
}

TEST_F(SettingsFormTest, StoredInstrumentPositions)
{
    struct Case
    {
        int stored;
        int position;
        QString text;
        std::vector<int> generatorCalls;
        int code;
    };
    const Case cases[] = {
        {23, 23, "Vibraslap ", {151}, 151},
        {0, 0, "Acoustic Bass Drum", {128}, 128},
        {46, 46, "Open Triangle", {174}, 174},
        {47, -1, "", {}, 130},
        {-1, -1, "", {}, 130},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        fresh();
        store("Instrument", c.stored);
        midi.setInstrumentCalls.clear();
        auto& f = create();
        EXPECT_EQ(f.InstrumentsBox()->currentIndex(), c.position);
        EXPECT_EQ(f.InstrumentsBox()->currentText(), c.text);
        EXPECT_EQ(midi.setInstrumentCalls, c.generatorCalls);
        EXPECT_EQ(f.InstrumentCode(), c.code);
    }
}

TEST_F(SettingsFormTest, VolumesAreTheReverseOfTheSliderPositions)
{
    struct Case
    {
        int stored;
        int position;
        int volume;
    };
    const Case cases[] = {{0, 0, 100}, {100, 100, 0}, {150, 100, 0}, {-5, 0, 100}, {35, 35, 65}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        fresh();
        store("BeatVolume", c.stored);
        store("BarVolume", c.stored);
        auto& f = create();
        EXPECT_EQ(f.BeatVol()->value(), c.position);
        EXPECT_EQ(f.BeatVolume(), c.volume);
        EXPECT_EQ(f.BarVol()->value(), c.position);
        EXPECT_EQ(f.BarVolume(), c.volume);
    }
    // The slider's position, not its volume, is what is written back.
    EXPECT_EQ(exitAndReopen()->value("BarVolume").toInt(), 35);
}

TEST_F(SettingsFormTest, MovingASliderChangesTheVolumeAtOnce)
{
    auto& f = create();
    f.BeatVol()->setValue(10);
    EXPECT_EQ(f.BeatVolume(), 90);
    EXPECT_EQ(f.BarVolume(), 70);
    f.BarVol()->setFocus();
    QTest::keyClick(f.BarVol(), Qt::Key_Up); // towards the top: louder
    EXPECT_EQ(f.BarVol()->value(), 29);
    EXPECT_EQ(f.BarVolume(), 71);
}

TEST_F(SettingsFormTest, SkinListOffersOnlySkinsWhoseFolderExists)
{
    ASSERT_TRUE(QDir(runtime.filePath("skins/radar")).removeRecursively());
    store("Skin", "radar");
    auto& f = create();
    QStringList entries;
    for (int i = 0; i < f.SkinBox()->count(); ++i)
        entries << f.SkinBox()->itemText(i);
    EXPECT_EQ(entries, (QStringList{"Infinity", "Ball", "Metronome"}));
    // The stored skin is no longer offered: nothing is selected.
    EXPECT_EQ(f.SkinBox()->currentIndex(), -1);

    f.SkinBox()->setCurrentIndex(0);
    emit f.SkinBox()->activated(0);
    EXPECT_EQ(f.PendingSkin(), "infinity");
    EXPECT_EQ(previewPixel(f), QColor(Qt::green));
}

TEST_F(SettingsFormTest, UnknownSkinTextIsLoadedButSelectsNoEntry)
{
    store("Skin", "neon");
    auto& f = create();
    EXPECT_EQ(host.loadedSkins, QStringList{"neon"});
    EXPECT_EQ(f.SkinBox()->currentIndex(), -1);
    EXPECT_EQ(f.PendingSkin(), "radar");
    EXPECT_EQ(previewPixel(f), QColor(Qt::white));
}

TEST_F(SettingsFormTest, OnlyOkAppliesTheChosenSkin)
{
    auto& f = create(); // loads "metronome"
    host.loadedSkins.clear();
    f.show();
    f.SkinBox()->setCurrentIndex(2);
    emit f.SkinBox()->activated(2);
    f.close(); // the close box
    EXPECT_TRUE(host.loadedSkins.isEmpty());
    EXPECT_EQ(host.currentSkin, "metronome");

    f.show();
    QTest::mouseClick(f.CloseButton(), Qt::LeftButton);
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(host.loadedSkins, QStringList{"ball"});

    // OK again with the same skin in force loads nothing.
    f.show();
    QTest::mouseClick(f.CloseButton(), Qt::LeftButton);
    EXPECT_EQ(host.loadedSkins, QStringList{"ball"});
}

TEST_F(SettingsFormTest, StoredSkinIsTheOneInUseNotTheOneChosen)
{
    auto& f = create();
    f.show();
    f.SkinBox()->setCurrentIndex(1);
    emit f.SkinBox()->activated(1);
    f.close();
    EXPECT_EQ(exitAndReopen()->value("Skin").toString(), "metronome");
}

TEST_F(SettingsFormTest, MainWindowIsDisabledWhileShownAndEnabledOnEveryWayOfClosing)
{
    auto& f = create();
    const std::function<void()> ways[] = {
        [&] { QTest::mouseClick(f.CloseButton(), Qt::LeftButton); },
        [&] { f.close(); },
        [&] { QTest::keyClick(&f, Qt::Key_Escape); },
        [&] { f.hide(); },
    };
    for (std::size_t i = 0; i < std::size(ways); ++i) {
        SCOPED_TRACE(i);
        f.show();
        EXPECT_FALSE(host.mainWindowEnabled);
        ways[i]();
        EXPECT_FALSE(f.isVisible());
        EXPECT_TRUE(host.mainWindowEnabled);
    }
}

TEST_F(SettingsFormTest, TestButtonWithUnavailableDeviceShowsTheErrorAndPlaysNothing)
{
    auto& f = create();
    midi.available = {false, false};
    QString shownText;
    QString shownTitle;
    // The box is modal; read it and close it from inside its event loop.
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        shownText = box->text();
        shownTitle = box->windowTitle();
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        box->accept();
    });
    QTest::mouseClick(f.TestButton(), Qt::LeftButton);
    EXPECT_EQ(shownText, QStringLiteral("MIDI is not available on selected device!\r"
                                        "Try to close other MIDI software or setup your device."));
    EXPECT_EQ(shownTitle, "Error");
    EXPECT_TRUE(midi.plays.empty());
}

TEST_F(SettingsFormTest, TestButtonPlaysThreeSecondsAndRestoresTheGenerator)
{
    auto& f = create();
    midi.duration = 25;
    midi.loops = 1;
    QTest::mouseClick(f.TestButton(), Qt::LeftButton);
    ASSERT_EQ(midi.plays.size(), 1u);
    EXPECT_EQ(midi.plays[0].duration, 100u);
    EXPECT_EQ(midi.plays[0].loops, 3u);
    EXPECT_EQ(midi.duration, 25u);
    EXPECT_EQ(midi.loops, 1u); // later beats sound once
}

TEST_F(SettingsFormTest, ConfirmedFontTakesEffectAtOnce)
{
    host.windowHeight = 600;
    auto& f = create();
    QTest::mouseClick(f.FontButton(), Qt::LeftButton);
    auto* chooser = f.FontDialog();
    ASSERT_TRUE(chooser->isVisible());
    EXPECT_EQ(chooser->colorBox()->currentText(), "Aqua");

    QFont chosen(QStringLiteral("DejaVu Serif"));
    chosen.setPointSize(20);
    chosen.setItalic(true);
    chooser->fontPanel()->setCurrentFont(chosen);
    chooser->colorBox()->setCurrentIndex(chooser->colorBox()->findText("Red"));
    chooser->accept();

    EXPECT_EQ(f.FontButton()->text(), "DejaVu Serif, 20px");
    EXPECT_EQ(host.lyricsFont.family(), "DejaVu Serif");
    EXPECT_EQ(host.lyricsFont.pointSize(), 20);
    EXPECT_TRUE(host.lyricsFont.italic());
    EXPECT_EQ(host.lyricsColor, QColor(Qt::red));
    EXPECT_EQ(host.labelHeight, 40);
    EXPECT_EQ(host.labelTop, 560);

    const auto s = exitAndReopen();
    EXPECT_EQ(s->value("FontName").toString(), "DejaVu Serif");
    EXPECT_EQ(s->value("FontSize").toInt(), 20);
    EXPECT_EQ(s->value("FontColor").toInt(), 0x0000FF);
    EXPECT_EQ(s->value("FontStyle").toInt() & 2, 2);
}

TEST_F(SettingsFormTest, CancelledFontChangesNothing)
{
    auto& f = create();
    const int calls = host.fontCalls;
    QTest::mouseClick(f.FontButton(), Qt::LeftButton);
    f.FontDialog()->colorBox()->setCurrentIndex(0);
    f.FontDialog()->reject();
    EXPECT_EQ(host.fontCalls, calls);
    EXPECT_EQ(f.LyricsColor(), QColor(0, 255, 255));
}

TEST_F(SettingsFormTest, InTextOnlyModeAFontLeavesTheLabelInPlaceAndDoubleSizeApplies)
{
    auto& f = create();
    host.textOnly = true;
    const int places = host.placeCalls;
    QFont chosen = f.LyricsFont();
    chosen.setPointSize(28);
    f.ApplyFont(chosen, Qt::white);
    EXPECT_EQ(host.placeCalls, places);

    f.DoubleBox()->click(); // off
    f.DoubleBox()->click(); // on
    EXPECT_EQ(host.lyricsFontSizes, (std::vector<int>{28, 56}));

    host.textOnly = false;
    f.DoubleBox()->click();
    EXPECT_EQ(host.lyricsFontSizes.size(), 2u);
}

TEST_F(SettingsFormTest, CaptionsAndHints)
{
    auto& f = create();
    EXPECT_EQ(f.windowTitle(), "Settings");
    EXPECT_EQ(f.size(), QSize(452, 343));
    EXPECT_EQ(f.MidiBox()->title(), " MIDI Configuration ");
    EXPECT_EQ(f.LyricsBox()->title(), "  Display Settings ");
    EXPECT_EQ(f.TestButton()->text(), "Test it!");
    EXPECT_EQ(f.CloseButton()->text(), "OK");
    EXPECT_TRUE(f.CloseButton()->isDefault());

    struct Check
    {
        QCheckBox* box;
        const char* caption;
        const char* hint;
    };
    const Check checks[] = {
        {f.AutoReduce(), "Auto reduce lyrics font size",
         "Reduce font size when whole text can't be displayed"},
        {f.AutoHide(), "Auto hide menus and controls",
         "Hide menus and controls if there is no mouse activity for 5 seconds"},
        {f.TipsBox(), "Show tips on startup",
         "If this box is checked you will get usefull tips and hints on application startup"},
        {f.DoubleBox(), "Double font size in \"Text Only\"", ""},
    };
    for (const auto& c : checks) {
        EXPECT_EQ(c.box->text(), c.caption);
        EXPECT_EQ(c.box->toolTip(), c.hint);
    }
    EXPECT_EQ(f.BeatVol()->toolTip(), "Set volume for \"usual\" beats");
    EXPECT_EQ(f.BarVol()->toolTip(), "Set volume for bar beats");
    EXPECT_EQ(f.SkinBox()->toolTip(), "Set visual style for metronome");
    EXPECT_EQ(f.SkinImage()->toolTip(), "Skin preview");
    EXPECT_EQ(f.InstrumentsBox()->count(), 47);

    QStringList labels;
    for (const QLabel* label : f.findChildren<QLabel*>())
        labels << label->text();
    for (const char* text :
         {"Choose MIDI device:", "Instrument:", "Volume", "Beat", "Bar", "Metronome skin:"})
        EXPECT_TRUE(labels.contains(QLatin1String(text))) << text;
}

TEST_F(SettingsFormTest, HiddenPrecisionGroupSetsTheTimerMode)
{
    auto& f = create();
    f.show();
    EXPECT_FALSE(f.PrecisionBox()->isVisible());
    EXPECT_TRUE(f.Standard()->isChecked());
    f.ExtremeLabelClick();
    EXPECT_TRUE(f.Extreme()->isChecked());
    EXPECT_TRUE(host.ultraPrecise);
    f.StandardLabelClick();
    EXPECT_TRUE(f.Standard()->isChecked());
    EXPECT_FALSE(host.ultraPrecise);
    f.ExtremeClick();
    EXPECT_TRUE(host.ultraPrecise);
    f.close();
}

TEST_F(SettingsFormTest, TipsWindowCanChangeTheTipsSetting)
{
    auto& f = create();
    f.SetShowTips(false);
    EXPECT_FALSE(f.ShowTipsChecked());
    EXPECT_EQ(exitAndReopen()->value("ShowTips").toString(), "0");
}

TEST_F(SettingsFormTest, UnwritableStoreAtExitIsReportedOnce)
{
    ASSERT_TRUE(QDir(runtime.path()).mkdir(QStringLiteral("Velmora.conf")));
    create();
    form.reset();
    ASSERT_EQ(host.errors.size(), 1);
    EXPECT_TRUE(host.errors[0].contains("Velmora.conf"));
}
