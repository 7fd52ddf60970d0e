#include "Artwork.h"
#include "MainUnit.h"
#include "MidiGen.h"
#include "MidiSystem.h"
#include "RecordingMidiOutput.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QScreen>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A main window on the recording output, started from a foreign working directory.
class MainWindowTest : public ::testing::Test
{
protected:
    MainWindowTest()
    {
        QDir::setCurrent(elsewhere.path());
        std::vector<std::unique_ptr<velmora::MidiOutput>> outputs;
        outputs.push_back(std::make_unique<velmora::RecordingMidiOutput>());
        system = std::make_unique<velmora::MidiSystem>(std::move(outputs));
        form = std::make_unique<TMainForm>(*system, QStringLiteral(VELMORA_RUNTIME_DIR));
        form->LoadSkin(QStringLiteral("metronome"));
        form->show();
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    ~MainWindowTest() override { form->Clock().StopLabelClick(); }

    QSize screen() const { return QGuiApplication::primaryScreen()->geometry().size(); }
    template <class T> T* child(const char* name) const
    {
        return form->findChild<T*>(QLatin1String(name));
    }
    // Through the window, as the system delivers keys: the window passes them on
    // to the focused control.
    void key(Qt::Key k) { QTest::keyClick(form->windowHandle(), k); }

    QTemporaryDir elsewhere;
    std::unique_ptr<velmora::MidiSystem> system;
    std::unique_ptr<TMainForm> form;
};

} // namespace

TEST_F(MainWindowTest, StartsFullScreenAt120BesideItsExecutable)
{
    EXPECT_EQ(QDir::currentPath(), QDir(QStringLiteral(VELMORA_RUNTIME_DIR)).canonicalPath());
    EXPECT_EQ(form->windowTitle(), "Velmora");
    EXPECT_TRUE(form->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(form->geometry().size(), screen());
    EXPECT_EQ(form->Clock().Tempo(), 120);
    EXPECT_EQ(child<QComboBox>("TempoBox")->currentText(), "Allegro (120 bmp)");
    EXPECT_EQ(form->LyricsLabel()->text(), "Welcome to Velmora");
    // The display is centred on the screen; the metronome skin puts the counter
    // 420 pixels below its top.
    EXPECT_EQ(form->Mask()->pos(),
              QPoint((screen().width() - 600) / 2, (screen().height() - 600) / 2));
    EXPECT_EQ(form->BarPanel()->y(), form->Mask()->y() + 420);
}

TEST_F(MainWindowTest, EveryCommandCarriesItsHint)
{
    const std::pair<const char*, const char*> hints[] = {
        {"PlayLabel", "Play and Stop Metronome in Free Mode (Space bar)"},
        {"SettingsLabel", "Configure Velmora"},
        {"SongLabel", "Create and Edit songs"},
        {"ModesLabel", "Change metronome modes"},
        {"HelpLabel", "Open Help Documents"},
        {"AboutLabel", "About Author"},
        {"ExitLabel", "Exit Velmora"},
        {"MinLabel", "Minimize Application"},
        {"CloseLabel", "Close Application"},
        {"Sound", "Toggle Sound Enabled"},
        {"VST", "Sync with server is active, click to disconnect"},
        {"PlayLabel1", "Play selected song from PlayList"},
        {"PauseLabel", "Pause song"},
        {"StopLabel", "Stop"},
        {"NextLabel", "Next Song"},
        {"AddLabel", "Add Song"},
        {"RemoveLabel", "Remove Song"},
        {"LoadLabel", "Load PlayList"},
        {"SaveLabel", "Save PlayList"},
        {"TempoEdit", "Tempo Value"},
        {"Up", "Beats in bar"},
        {"Down", "Beat duration"},
    };
    for (const auto& [name, hint] : hints) {
        QWidget* w = child<QWidget>(name);
        ASSERT_NE(w, nullptr) << name;
        EXPECT_EQ(w->toolTip(), hint) << name;
        const QString n = QString::fromLatin1(name);
        if (n.endsWith("Label") || n == "Sound" || n == "VST") {
            EXPECT_EQ(w->cursor().shape(), Qt::PointingHandCursor) << name;
        }
    }
    EXPECT_EQ(child<QWidget>("Tempo")->toolTip(), "Tempo: 120");
    EXPECT_FALSE(child<QWidget>("VST")->isVisible());

    struct Item
    {
        const char* name;
        const char* text;
        bool checkable;
    };
    const Item items[] = {{"Wait", "Wait for Connections\tF5", true},
                          {"SyncTo", "Sync with Server\tF6", false},
                          {"TextOnly", "Text Only\tF7", true},
                          {"PlaySound1", "Sound Enabled\tF8", false}};
    for (const auto& item : items) {
        auto* action = child<QAction>(item.name);
        ASSERT_NE(action, nullptr) << item.name;
        EXPECT_EQ(action->text(), item.text);
        EXPECT_EQ(action->isCheckable(), item.checkable) << item.name;
    }
}

TEST_F(MainWindowTest, KeysActOnlyWhileTheMainWindowIsActiveAndNotFollowingAServer)
{
    key(Qt::Key_Space);
    EXPECT_TRUE(form->Clock().Playing());
    key(Qt::Key_Space);
    EXPECT_FALSE(form->Clock().Playing());

    key(Qt::Key_F8);
    EXPECT_FALSE(form->Clock().SoundOn());
    key(Qt::Key_F8);
    EXPECT_TRUE(form->Clock().SoundOn());

    // Enter outside song mode opens nothing and changes nothing.
    key(Qt::Key_Return);
    EXPECT_FALSE(form->Clock().Paused());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // Another window active: the table does nothing.
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    form->ApplicationEvents1ShortCut(Qt::Key_Space);
    EXPECT_FALSE(form->Clock().Playing());
    other.close();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));

    // Following a server: no key of the table acts.
    form->Clock().SetMode(velmora::PlayMode::SyncClient);
    key(Qt::Key_Space);
    key(Qt::Key_F7);
    EXPECT_FALSE(form->Clock().Playing());
    EXPECT_FALSE(form->TextOnlyChecked());
    form->Clock().SetMode(velmora::PlayMode::Free);
}

TEST_F(MainWindowTest, SpaceInTheTempoFieldStartsTheClockAndStillReachesTheField)
{
    auto* edit = child<QSpinBox>("TempoEdit");
    edit->setFocus();
    int spacesSeen = 0;
    struct Spy : QObject
    {
        int* seen;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Space)
                ++*seen;
            return false;
        }
    } spy;
    spy.seen = &spacesSeen;
    edit->installEventFilter(&spy);
    key(Qt::Key_Space);
    EXPECT_TRUE(form->Clock().Playing());
    EXPECT_EQ(spacesSeen, 1);
    edit->removeEventFilter(&spy);
}

TEST_F(MainWindowTest, F7TogglesTextOnlyLikeTheMenuItem)
{
    key(Qt::Key_F7);
    EXPECT_TRUE(form->TextOnlyChecked());
    EXPECT_FALSE(form->Mask()->isVisible());
    EXPECT_TRUE(form->LyricsLabel()->wordWrap());
    EXPECT_EQ(form->LyricsLabel()->geometry(),
              QRect(150, 0, screen().width() - 300, screen().height()));
    EXPECT_EQ(form->LyricsLabel()->font().pointSize(), 72); // doubled
    EXPECT_EQ(form->BarPanel()->y(), screen().height() - form->BarPanel()->height() - 16);

    child<QAction>("TextOnly")->trigger(); // the menu item: the same toggle
    EXPECT_FALSE(form->TextOnlyChecked());
    EXPECT_TRUE(form->Mask()->isVisible());
    EXPECT_EQ(form->LyricsLabel()->font().pointSize(), 36);
    EXPECT_EQ(form->BarPanel()->y(), form->Mask()->y() + 420); // the skin placed it again
}

TEST_F(MainWindowTest, ControlsHideWhilePlayingAndComeBackOnAMove)
{
    const QPoint maskAt = form->Mask()->pos();
    const int counterTop = form->BarPanel()->y();
    const char* panels[] = {"MenuPanel", "PlaylistPanel", "TempoPanel", "Sound", "SysPanel"};

    form->HideTimerTimer(); // stopped: never hides
    EXPECT_TRUE(form->ControlsShown());

    form->PlayLabelClick();
    form->ApplicationEvents1Message(QPoint(500, 500)); // sets the last position
    form->HideTimerTimer();
    EXPECT_FALSE(form->ControlsShown());
    for (const char* p : panels)
        EXPECT_FALSE(child<QWidget>(p)->isVisible()) << p;
    EXPECT_EQ(form->Mask()->pos(), maskAt - QPoint(0, 40));
    EXPECT_EQ(form->BarPanel()->y(), counterTop - 40);

    // Small moves add up from the last position: 9 pixels away does nothing,
    // 10 away shows the controls.
    form->ApplicationEvents1Message(QPoint(505, 504));
    EXPECT_FALSE(form->ControlsShown());
    form->ApplicationEvents1Message(QPoint(506, 504));
    EXPECT_TRUE(form->ControlsShown());
    for (const char* p : panels)
        EXPECT_TRUE(child<QWidget>(p)->isVisible()) << p;
    EXPECT_EQ(form->Mask()->pos(), maskAt);
    EXPECT_EQ(form->BarPanel()->y(), counterTop);

    // Stopping brings them back too.
    form->HideTimerTimer();
    EXPECT_FALSE(form->ControlsShown());
    form->PlayLabelClick();
    EXPECT_TRUE(form->ControlsShown());
}

TEST_F(MainWindowTest, CounterStaysCentredAsItsNumbersGrow)
{
    for (const char* bar : {"-1", "9", "10", "128"}) {
        form->Clock().SetCounter(bar, "3");
        form->AlignCounter();
        auto* barLabel = form->BarPanel()->findChild<QLabel*>("BarLabel");
        auto* slash = form->BarPanel()->findChild<QLabel*>("Slash");
        auto* beat = form->BarPanel()->findChild<QLabel*>("BeatLabel");
        EXPECT_EQ(barLabel->text(), bar);
        const int sum = barLabel->width() + slash->width() + beat->width();
        EXPECT_EQ(form->BarPanel()->width(), sum + 32) << bar;
        EXPECT_EQ(barLabel->x(), 12) << bar;
        EXPECT_EQ(slash->x(), 12 + barLabel->width() + 4) << bar;
        EXPECT_EQ(beat->x(), slash->x() + slash->width() + 4) << bar;
        EXPECT_EQ(form->BarPanel()->x(), (screen().width() - form->BarPanel()->width()) / 2) << bar;
    }
}

TEST_F(MainWindowTest, LyricsShrinkToFitAndShowAnAmpersandAsItself)
{
    form->Clock().SetLyric(QStringLiteral("Rock & Roll"));
    form->AutoSizeLyrics();
    EXPECT_EQ(form->LyricsLabel()->text(), "Rock & Roll");
    EXPECT_EQ(form->LyricsLabel()->textFormat(), Qt::PlainText);
    EXPECT_EQ(form->LyricsLabel()->font().pointSize(), 36);

    form->Clock().SetLyric(QString(200, QLatin1Char('W')));
    form->AutoSizeLyrics();
    const int size = form->LyricsLabel()->font().pointSize();
    EXPECT_LT(size, 36);
    QFont measure = form->font();
    measure.setPointSize(size);
    EXPECT_LE(QFontMetrics(measure).horizontalAdvance(form->LyricsLabel()->text()),
              screen().width());
    measure.setPointSize(size + 1);
    EXPECT_GT(QFontMetrics(measure).horizontalAdvance(form->LyricsLabel()->text()),
              screen().width());
}

TEST_F(MainWindowTest, TicksAnimateTheDisplayAndStoppingBlanksIt)
{
    ASSERT_TRUE(form->LoadSkin(QStringLiteral("radar")));
    const QImage blank = form->DisplayImage();
    EXPECT_EQ(form->BarPanel()->y(), form->Mask()->y() + (600 - form->BarPanel()->height()) / 2);
    form->Clock().PlayLabelClick();
    form->Clock().TimerTimer(); // tick 0: frame 0 in the upper-left quadrant
    const QImage frame0 = form->DisplayImage();
    EXPECT_EQ(form->LastDrawnTick(), 0);
    EXPECT_NE(frame0.copy(0, 0, 300, 300), blank.copy(0, 0, 300, 300));
    EXPECT_EQ(frame0.copy(300, 0, 300, 600), blank.copy(300, 0, 300, 600));
    // What the window shows is the display picture.
    EXPECT_EQ(form->Mask()->grab().toImage().convertToFormat(QImage::Format_RGB32).pixel(150, 150),
              frame0.pixel(150, 150));
    form->Clock().StopLabelClick();
    EXPECT_EQ(form->DisplayImage(), blank);
}
