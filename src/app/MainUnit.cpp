#include "MainUnit.h"

#include "Artwork.h"
#include "ClickArea.h"
#include "CounterPanel.h"
#include "DisplayLayout.h"
#include "MidiGen.h"
#include "MidiSystem.h"
#include "SettingsUnit.h"
#include "SkinDisplay.h"
#include "TempoMath.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>
#include <QWindow>

using velmora::ClickArea;
using velmora::PlayMode;

namespace {

constexpr int MenuPanelWidth = 150;

// The tempo panel's picture stretches with the window: its ends stay, its
// middle columns are tiled.
class TempoPanelBackground : public QWidget
{
public:
    TempoPanelBackground(QPixmap picture, QWidget* parent)
        : QWidget(parent), m_picture(std::move(picture))
    {
        setObjectName(QStringLiteral("TempoPanel"));
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        if (m_picture.isNull()) {
            p.fillRect(rect(), QColor(16, 16, 16));
            return;
        }
        using namespace velmora::artwork;
        const int left = TempoPanelStretchLeft;
        const int right = m_picture.width() - TempoPanelStretchRight;
        const int h = m_picture.height();
        p.drawPixmap(0, 0, m_picture, 0, 0, left, h);
        p.drawPixmap(QRect(left, 0, width() - left - right, h), m_picture,
                     QRect(left, 0, TempoPanelStretchRight - left, h));
        p.drawPixmap(width() - right, 0, m_picture, TempoPanelStretchRight, 0, right, h);
    }

private:
    QPixmap m_picture;
};

const char* const ControlStyle = R"(
QWidget#TempoPanel QLabel { color: #b8f5b8; font: 8pt "Tahoma"; background: transparent; }
QSlider::groove:horizontal { height: 6px; background: #173017; border-radius: 3px; }
QSlider::sub-page:horizontal { background: #2fa82f; border-radius: 3px; }
QSlider::handle:horizontal { width: 14px; margin: -6px 0; border-radius: 7px;
    background: #00ff00; border: 1px solid #0a3a0a; }
QListWidget { color: #d8ffd8; background: transparent; border: none; font: 8pt "Tahoma"; }
QToolTip { color: #e8ffe8; background: #102010; border: 1px solid #2fa82f; padding: 3px; }
QMenu { color: #e8ffe8; background: #0b140b; border: 1px solid #2f7a2f; padding: 4px; }
QMenu::item { padding: 5px 28px 5px 8px; }
QMenu::item:selected { background: #1f6f1f; }
QMenu::separator { height: 1px; background: #2f7a2f; margin: 4px 6px; }
)";

} // namespace

TMainForm::TMainForm(velmora::MidiSystem& midi, const QString& applicationDir, QWidget* parent)
    : QWidget(parent), m_appDir(applicationDir), m_midiSystem(midi)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Velmora"));
    setWindowFlags(Qt::FramelessWindowHint | Qt::Window);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setStyleSheet(QLatin1String(ControlStyle));
    resize(792, 605);

    m_midi = std::make_unique<TMidiGen>(m_midiSystem, this);
    m_midi->SetPBDuration(0);
    m_midi->SetDuration(36);
    m_midi->SetNote(mgA);
    m_midi->SetInstrument(mgSideStick);
    m_voice = std::make_unique<velmora::GeneratorVoice<TMidiGen>>(*m_midi);

    m_timer = std::make_unique<TThreadTimer>(this);
    m_timer->SetInterval(50);
    m_timer->SetThreadPriority(tpHigher);

    m_clock = std::make_unique<velmora::BeatClock>(*m_timer, *m_voice, *this, this);
    m_timer->OnTimer = [this](TThreadTimer*) { m_clock->TimerTimer(); };

    m_skin = std::make_unique<velmora::SkinDisplay>(m_appDir);
    m_songs = std::make_unique<velmora::SongPlayer>(*m_clock, *m_voice, *this);

    buildWindow();
    bindClock();

    m_hideTimer = new QTimer(this);
    m_hideTimer->setObjectName(QStringLiteral("HideTimer"));
    m_hideTimer->setInterval(5000);
    connect(m_hideTimer, &QTimer::timeout, this, &TMainForm::HideTimerTimer);
    m_hideTimer->start();

    qApp->installEventFilter(this);
    FormCreate();
}

TMainForm::~TMainForm()
{
    qApp->removeEventFilter(this);
    FormDestroy();
}

// ---------------------------------------------------------------------------
// Start-up and closing

void TMainForm::FormCreate()
{
    // Every relative path (skins, pictures, "playlist.xmp") resolves beside the
    // executable, wherever Velmora was started from.
    QDir::setCurrent(m_appDir);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    // Set the geometry first: without a window manager a full-screen request
    // alone keeps the old size.
    setGeometry(screen);
    setWindowState(Qt::WindowFullScreen);
    m_lyricsLabel->setGeometry(
        velmora::NormalLyricsRect(screen.height(), screen.width(), m_lyricsFont.pointSize()));
    if (QFile::exists(QStringLiteral("playlist.xmp"))) {
        // The playlist loader attaches here.
    }
}

void TMainForm::FormDestroy()
{
    m_timer->SetEnabled(false);
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    // FormClose: the playlist is saved and the network endpoints close here once
    // those parts exist; the settings are written when the settings dialog goes.
    event->accept();
}

// ---------------------------------------------------------------------------
// Building the window

QPixmap TMainForm::picture(std::string_view file) const
{
    return QPixmap(m_appDir + QLatin1Char('/') +
                   QString::fromLatin1(file.data(), qsizetype(file.size())));
}

QSize TMainForm::screenSize() const
{
    return QGuiApplication::primaryScreen()->geometry().size();
}

void TMainForm::buildWindow()
{
    m_mask = new velmora::DisplayView(m_skin->image(), this);
    connect(m_skin.get(), &velmora::SkinDisplay::changed, m_mask,
            [this](const QRect& r) { m_mask->changed(r); });

    m_barPanel = new velmora::CounterPanel(this);

    m_lyricsLabel = new QLabel(QStringLiteral("Welcome to Velmora"), this);
    m_lyricsLabel->setObjectName(QStringLiteral("LyricsLabel"));
    m_lyricsLabel->setAlignment(Qt::AlignCenter);
    m_lyricsLabel->setTextFormat(Qt::PlainText); // an ampersand is shown as itself
    m_lyricsLabel->setWordWrap(false);
    m_lyricsLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    SetLyricsFont(QFont(QStringLiteral("Trebuchet MS"), 36, QFont::Bold), QColor(0, 255, 255));
    m_lyricsLabel->setGeometry(0, 499, 800, 45);
    m_barPanel->raise(); // the counter stands on the display and the lyric line

    buildMenuPanel();
    buildPlaylistPanel();
    buildTempoPanel();
    buildSystemPanel();
    buildModeMenu();

    m_sound = new ClickArea(QStringLiteral("Sound"), QStringLiteral("Toggle Sound Enabled"), this);
    m_sound->setGeometry(24, 16, velmora::artwork::SoundSize.width(),
                         velmora::artwork::SoundSize.height());
    connect(m_sound, &ClickArea::clicked, this, &TMainForm::SoundClick);

    m_vst = new ClickArea(QStringLiteral("VST"),
                          QStringLiteral("Sync with server is active, click to disconnect"), this);
    m_vst->setPixmap(picture(velmora::artwork::SyncImageFile));
    m_vst->setGeometry(QRect(QPoint(16, 72), velmora::artwork::SyncSize));
    m_vst->hide();
    connect(m_vst, &ClickArea::clicked, this, &TMainForm::VSTClick);

    refreshSound();
    refreshTempoControls();
    refreshCounter();
}

void TMainForm::buildMenuPanel()
{
    using namespace velmora::artwork;
    m_menuPanel = new QWidget(this);
    m_menuPanel->setObjectName(QStringLiteral("MenuPanel"));
    m_menuPanel->resize(MenuPanelSize);
    auto* image = new QLabel(m_menuPanel);
    image->setObjectName(QStringLiteral("MenuImage"));
    image->setPixmap(picture(MenuImageFile));
    image->setGeometry(QRect(QPoint(0, 0), MenuPanelSize));

    m_stopImage = new QLabel(m_menuPanel);
    m_stopImage->setObjectName(QStringLiteral("StopImage"));
    m_stopImage->setPixmap(picture(StopImageFile));
    m_stopImage->setGeometry(StopImageRect);
    m_stopImage->hide();

    struct Command
    {
        const char* name;
        const char* hint;
        MenuButton button;
        void (TMainForm::*handler)();
    };
    const Command commands[] = {
        {"PlayLabel", "Play and Stop Metronome in Free Mode (Space bar)", MenuButton::Play,
         &TMainForm::PlayLabelClick},
        {"SettingsLabel", "Configure Velmora", MenuButton::Settings,
         &TMainForm::SettingsLabelClick},
        {"SongLabel", "Create and Edit songs", MenuButton::SongEditor, &TMainForm::SongLabelClick},
        {"ModesLabel", "Change metronome modes", MenuButton::Modes, &TMainForm::ModesLabelClick},
        {"HelpLabel", "Open Help Documents", MenuButton::Help, &TMainForm::HelpLabelClick},
        {"AboutLabel", "About Author", MenuButton::About, &TMainForm::AboutLabelClick},
        {"ExitLabel", "Exit Velmora", MenuButton::Exit, &TMainForm::ExitLabelClick},
    };
    for (const auto& c : commands) {
        auto* area = new ClickArea(QLatin1String(c.name), QLatin1String(c.hint), m_menuPanel);
        area->setGeometry(menuButtonRect(c.button));
        connect(area, &ClickArea::clicked, this, c.handler);
    }
}

void TMainForm::buildPlaylistPanel()
{
    using namespace velmora::artwork;
    m_playlistPanel = new QWidget(this);
    m_playlistPanel->setObjectName(QStringLiteral("PlaylistPanel"));
    m_playlistPanel->resize(PlaylistPanelSize);
    auto* image = new QLabel(m_playlistPanel);
    image->setObjectName(QStringLiteral("PlaylistImage"));
    image->setPixmap(picture(PlaylistImageFile));
    image->setGeometry(QRect(QPoint(0, 0), PlaylistPanelSize));

    m_playList = new QListWidget(m_playlistPanel);
    m_playList->setObjectName(QStringLiteral("PlayList"));
    m_playList->setGeometry(PlayListRect);

    struct Command
    {
        const char* name;
        const char* hint;
        QRect rect;
        void (TMainForm::*handler)();
    };
    // The playlist's own commands (play, next, add, remove, load, save) attach
    // with the playlist; pause and stop belong to the clock.
    const Command commands[] = {
        {"PlayLabel1", "Play selected song from PlayList", PlaylistPlayRect, nullptr},
        {"PauseLabel", "Pause song", PlaylistPauseRect, &TMainForm::PauseLabelClick},
        {"StopLabel", "Stop", PlaylistStopRect, &TMainForm::StopLabelClick},
        {"NextLabel", "Next Song", PlaylistNextRect, nullptr},
        {"AddLabel", "Add Song", PlaylistAddRect, nullptr},
        {"RemoveLabel", "Remove Song", PlaylistRemoveRect, nullptr},
        {"LoadLabel", "Load PlayList", PlaylistLoadRect, nullptr},
        {"SaveLabel", "Save PlayList", PlaylistSaveRect, nullptr},
    };
    for (const auto& c : commands) {
        auto* area = new ClickArea(QLatin1String(c.name), QLatin1String(c.hint), m_playlistPanel);
        area->setGeometry(c.rect);
        if (c.handler) connect(area, &ClickArea::clicked, this, c.handler);
    }
}

void TMainForm::buildTempoPanel()
{
    m_tempoPanel = new TempoPanelBackground(picture(velmora::artwork::TempoPanelFile), this);
    m_tempoPanel->setGeometry(144, 8, 505, 81);

    auto caption = [this](const QString& text, const char* name = nullptr) {
        auto* l = new QLabel(text, m_tempoPanel);
        if (name) l->setObjectName(QLatin1String(name));
        l->adjustSize();
        return l;
    };
    caption(QStringLiteral("Tempo:"))->move(18, 12);
    m_tempo = new QSlider(Qt::Horizontal, m_tempoPanel);
    m_tempo->setObjectName(QStringLiteral("Tempo"));
    m_tempo->setRange(velmora::MinTempo, velmora::MaxTempo);
    m_tempo->setFocusPolicy(Qt::NoFocus);
    m_tempo->setGeometry(18, 38, 230, 24);

    m_tempoEdit = new QSpinBox(m_tempoPanel);
    m_tempoEdit->setObjectName(QStringLiteral("TempoEdit"));
    m_tempoEdit->setRange(velmora::MinTempo, velmora::MaxTempo);
    m_tempoEdit->setToolTip(QStringLiteral("Tempo Value"));
    m_tempoEdit->setGeometry(258, 36, 64, 26);

    m_tempoBoxLabel = caption(QStringLiteral("Predefined tempo values:"), "TempoBoxLabel");
    m_tempoBox = new QComboBox(m_tempoPanel);
    m_tempoBox->setObjectName(QStringLiteral("TempoBox"));
    m_tempoBox->addItems(m_clock->PresetTexts());
    m_tempoBox->setFocusPolicy(Qt::NoFocus); // Space must start the clock, not open the list
    m_tempoBox->resize(190, 26);

    auto* sigCaption = caption(QStringLiteral("Time signature:"), "TimeSignatureLabel");
    m_up = new QSpinBox(m_tempoPanel);
    m_up->setObjectName(QStringLiteral("Up"));
    m_up->setRange(velmora::MinBeatsOrUnit, velmora::MaxBeatsOrUnit);
    m_up->setToolTip(QStringLiteral("Beats in bar"));
    m_up->resize(54, 26);
    auto* slash = caption(QStringLiteral("/"), "SignatureSlash");
    slash->setStyleSheet(QStringLiteral("font: 14pt 'Tahoma';"));
    slash->adjustSize();
    m_down = new QSpinBox(m_tempoPanel);
    m_down->setObjectName(QStringLiteral("Down"));
    m_down->setRange(velmora::MinBeatsOrUnit, velmora::MaxBeatsOrUnit);
    m_down->setToolTip(QStringLiteral("Beat duration"));
    m_down->resize(54, 26);

    // Right-hand group stays at the panel's right edge as the panel stretches.
    auto placeRightGroup = [=, this] {
        const int w = m_tempoPanel->width();
        sigCaption->move(w - 150, 12);
        m_up->move(w - 150, 36);
        slash->move(w - 150 + 54 + 6, 36);
        m_down->move(w - 150 + 54 + 20, 36);
        const int boxLeft = (w - m_tempoBox->width()) / 2;
        m_tempoBox->move(boxLeft, 36);
        m_tempoBoxLabel->move(boxLeft, 12);
    };
    placeRightGroup();
    m_placeTempoGroups = placeRightGroup;

    connect(m_tempo, &QSlider::valueChanged, this, [this](int) {
        if (!m_updatingControls) TempoChange();
    });
    connect(m_tempoEdit, &QSpinBox::textChanged, this, [this](const QString&) {
        if (!m_updatingControls) TempoEditChange();
    });
    connect(m_tempoBox, &QComboBox::activated, this, [this](int) { TempoBoxChange(); });
    connect(m_up, &QSpinBox::valueChanged, this, [this](int) {
        if (!m_updatingControls) DownChange();
    });
    connect(m_down, &QSpinBox::valueChanged, this, [this](int) {
        if (!m_updatingControls) DownChange();
    });
}

void TMainForm::buildSystemPanel()
{
    using namespace velmora::artwork;
    m_sysPanel = new QWidget(this);
    m_sysPanel->setObjectName(QStringLiteral("SysPanel"));
    m_sysPanel->resize(SysPanelSize);
    auto* image = new QLabel(m_sysPanel);
    image->setObjectName(QStringLiteral("SysImage"));
    image->setPixmap(picture(SysImageFile));
    image->setGeometry(QRect(QPoint(0, 0), SysPanelSize));
    auto* min = new ClickArea(QStringLiteral("MinLabel"), QStringLiteral("Minimize Application"),
                              m_sysPanel);
    min->setGeometry(SysMinRect);
    connect(min, &ClickArea::clicked, this, &TMainForm::MinLabelClick);
    auto* close = new ClickArea(QStringLiteral("CloseLabel"), QStringLiteral("Close Application"),
                                m_sysPanel);
    close->setGeometry(SysCloseRect);
    connect(close, &ClickArea::clicked, this, &TMainForm::CloseLabelClick);
}

void TMainForm::buildModeMenu()
{
    using namespace velmora::artwork;
    m_modePopup = new QMenu(this);
    m_modePopup->setObjectName(QStringLiteral("ModePopup"));
    auto icon = [this](int index) { return QIcon(picture(PopupImageFiles[size_t(index)])); };
    // The key after the tab is only shown; the keys themselves act through the
    // keyboard table, so they are no menu shortcuts.
    m_wait = m_modePopup->addAction(icon(ModeIconWait), QStringLiteral("Wait for Connections\tF5"));
    m_wait->setObjectName(QStringLiteral("Wait"));
    m_wait->setCheckable(true);
    connect(m_wait, &QAction::triggered, this, &TMainForm::WaitClick);
    m_syncTo = m_modePopup->addAction(icon(ModeIconSync), QStringLiteral("Sync with Server\tF6"));
    m_syncTo->setObjectName(QStringLiteral("SyncTo"));
    connect(m_syncTo, &QAction::triggered, this, &TMainForm::SyncToClick);
    m_textOnly = m_modePopup->addAction(icon(ModeIconTextOnly), QStringLiteral("Text Only\tF7"));
    m_textOnly->setObjectName(QStringLiteral("TextOnly"));
    m_textOnly->setCheckable(true);
    connect(m_textOnly, &QAction::triggered, this, &TMainForm::TextOnlyClick);
    m_playSound1 =
        m_modePopup->addAction(icon(ModeIconSoundOn), QStringLiteral("Sound Enabled\tF8"));
    m_playSound1->setObjectName(QStringLiteral("PlaySound1"));
    connect(m_playSound1, &QAction::triggered, this, &TMainForm::SoundClick);
}

// ---------------------------------------------------------------------------
// Mirroring the clock

void TMainForm::bindClock()
{
    connect(m_clock.get(), &velmora::BeatClock::tempoControlsChanged, this,
            &TMainForm::refreshTempoControls);
    connect(m_clock.get(), &velmora::BeatClock::timeSignatureChanged, this,
            &TMainForm::refreshTempoControls);
    connect(m_clock.get(), &velmora::BeatClock::counterChanged, this, &TMainForm::refreshCounter);
    connect(m_clock.get(), &velmora::BeatClock::lyricChanged, this,
            [this] { m_lyricsLabel->setText(m_clock->Lyric()); });
    connect(m_clock.get(), &velmora::BeatClock::soundChanged, this, &TMainForm::refreshSound);
    connect(m_clock.get(), &velmora::BeatClock::stopImageChanged, this,
            [this] { m_stopImage->setVisible(m_clock->StopImageVisible()); });
}

void TMainForm::refreshTempoControls()
{
    // Writing the controls must not echo back as user changes.
    m_updatingControls = true;
    const auto& c = *m_clock;
    m_tempo->setValue(c.Tempo());
    m_tempo->setToolTip(c.TempoHint());
    if (m_tempoEdit->text() != c.TempoEditText()) {
        bool ok = false;
        const int typed = c.TempoEditText().toInt(&ok);
        if (ok && typed != m_tempoEdit->value()) m_tempoEdit->setValue(typed);
    }
    m_tempoBox->setItemText(0, c.PresetText(0));
    m_tempoBox->setCurrentIndex(c.PresetIndex());
    m_up->setValue(c.Up());
    m_down->setValue(c.Down());
    m_updatingControls = false;
}

void TMainForm::refreshCounter()
{
    velmora::CounterPanel::setCaption(m_barPanel->BarLabel(), m_clock->BarText());
    velmora::CounterPanel::setCaption(m_barPanel->BeatLabel(), m_clock->BeatText());
}

void TMainForm::refreshSound()
{
    using namespace velmora::artwork;
    const bool on = m_clock->SoundOn();
    m_sound->setPixmap(picture(on ? SoundOnFile : SoundOffFile));
    m_playSound1->setIcon(
        QIcon(picture(PopupImageFiles[size_t(on ? ModeIconSoundOn : ModeIconSoundOff)])));
}

// ---------------------------------------------------------------------------
// Commands

void TMainForm::PlayLabelClick()
{
    m_clock->PlayLabelClick();
}
void TMainForm::StopLabelClick()
{
    m_clock->StopLabelClick();
}
void TMainForm::PauseLabelClick()
{
    m_clock->PauseLabelClick();
}
void TMainForm::SoundClick()
{
    m_clock->SoundClick();
}

void TMainForm::SettingsLabelClick()
{
    if (m_settings) m_settings->show();
}

void TMainForm::SongLabelClick()
{
    // The song editor attaches here.
}

void TMainForm::ModesLabelClick()
{
    // At the right edge of the command, level with its top: window coordinates,
    // which are screen coordinates for the full-screen window.
    QWidget* modes = m_menuPanel->findChild<QWidget*>(QStringLiteral("ModesLabel"));
    const QPoint at(modes->x() + modes->width(), m_menuPanel->y() + modes->y());
    m_modePopup->popup(mapToGlobal(at));
}

void TMainForm::HelpLabelClick()
{
    // The help window attaches here.
}

void TMainForm::AboutLabelClick()
{
    // The about window attaches here.
}

void TMainForm::ExitLabelClick()
{
    close();
}

void TMainForm::MinLabelClick()
{
    showMinimized();
}

void TMainForm::CloseLabelClick()
{
    m_timer->SetEnabled(false);
    close();
}

void TMainForm::WaitClick()
{
    // The sync server attaches here.
}

void TMainForm::SyncToClick()
{
    // The sync client attaches here.
}

void TMainForm::VSTClick()
{
    // The sync client's disconnection attaches here.
}

void TMainForm::TempoChange()
{
    m_clock->SetTempo(m_tempo->value());
}

void TMainForm::TempoEditChange()
{
    m_clock->TempoEditChange(m_tempoEdit->text());
}

void TMainForm::TempoBoxChange()
{
    m_clock->TempoBoxChange(m_tempoBox->currentIndex());
}

void TMainForm::DownChange()
{
    // Both spin boxes answer here.
    m_clock->SetTimeSignature(m_up->value(), m_down->value());
}

bool TMainForm::ApplicationActive() const
{
    return QApplication::applicationState() == Qt::ApplicationActive;
}

// ---------------------------------------------------------------------------
// Keys and mouse

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    // Key and mouse events reach the window object first and the widgets after
    // it; watching the window sees each press or move exactly once.
    if (watched->isWindowType()) {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (!key->isAutoRepeat() && watched == windowHandle())
                ApplicationEvents1ShortCut(key->key());
        } else if (event->type() == QEvent::MouseMove) {
            ApplicationEvents1Message(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
        }
    }
    return QWidget::eventFilter(watched, event); // never consumes the event
}

void TMainForm::ApplicationEvents1ShortCut(int key)
{
    if (!isActiveWindow() || m_clock->Mode() == PlayMode::SyncClient) return;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_clock->Mode() == PlayMode::Song) InsertLyric();
        break;
    case Qt::Key_Space:
        PlayLabelClick();
        break;
    case Qt::Key_F5:
        m_wait->trigger(); // flips the check, then WaitClick
        break;
    case Qt::Key_F6:
        m_syncTo->trigger();
        break;
    case Qt::Key_F7:
        m_textOnly->trigger(); // flips the check, then TextOnlyClick
        break;
    case Qt::Key_F8:
        SoundClick();
        break;
    default:
        break;
    }
}

void TMainForm::ApplicationEvents1Message(const QPoint& globalPos)
{
    if (!m_autoHide.mouseMoved(globalPos, m_clock->Mode() == PlayMode::SyncClient)) return;
    m_hideTimer->start(); // a full five seconds from now
    ShowControls();
}

void TMainForm::HideTimerTimer()
{
    if (!autoHide() || !velmora::AutoHide::shouldHide(ControlsShown(), m_clock->Playing())) return;
    m_menuPanel->hide();
    m_playlistPanel->hide();
    m_tempoPanel->hide();
    m_sound->hide();
    m_sysPanel->hide();
    m_mask->move(m_mask->x(), m_mask->y() - velmora::AutoHide::Shift);
    m_barPanel->move(m_barPanel->x(), m_barPanel->y() - velmora::AutoHide::Shift);
    if (TextOnlyChecked())
        m_lyricsLabel->setGeometry(
            velmora::TextOnlyLyricsRect(screenSize(), MenuPanelWidth, false));
}

void TMainForm::ShowControls()
{
    if (ControlsShown()) return;
    m_menuPanel->show();
    m_playlistPanel->show();
    m_mask->update();
    m_sound->show();
    m_sysPanel->show();
    m_mask->move(m_mask->x(), m_mask->y() + velmora::AutoHide::Shift);
    m_barPanel->move(m_barPanel->x(), m_barPanel->y() + velmora::AutoHide::Shift);
    m_tempoPanel->show();
    if (TextOnlyChecked())
        m_lyricsLabel->setGeometry(velmora::TextOnlyLyricsRect(screenSize(), MenuPanelWidth, true));
}

bool TMainForm::ControlsShown() const
{
    // Hidden by the auto-hide, not merely not yet on screen.
    return !m_menuPanel->isHidden();
}

// ---------------------------------------------------------------------------
// Layout

void TMainForm::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeSidePanels();
    FormResize();
}

void TMainForm::placeSidePanels()
{
    const int w = width();
    const int h = height();
    m_menuPanel->move(0, (h - m_menuPanel->height()) / 2);
    m_playlistPanel->move(w - m_playlistPanel->width(), (h - m_playlistPanel->height()) / 2);
    m_tempoPanel->setGeometry(144, 8, std::max(505, w - 144 - 143), 81);
    if (m_placeTempoGroups) m_placeTempoGroups();
    m_sysPanel->move(w - m_sysPanel->width(), 0);
    if (!TextOnlyChecked() && m_lyricsLabel->y() + m_lyricsLabel->height() > h)
        m_lyricsLabel->move(m_lyricsLabel->x(), h - m_lyricsLabel->height());
}

void TMainForm::FormResize()
{
    const QSize screen = screenSize();
    centreDisplay();
    if (!m_firstResize || width() != screen.width()) return;
    // Once, when the window first takes the screen's size.
    m_firstResize = false;
    AlignCounter();
    m_tempoBox->setCurrentIndex(5); // "Allegro (120 bmp)"
    TempoBoxChange();
    m_lyricsLabel->setGeometry(0, m_lyricsLabel->y(), screen.width(), m_lyricsLabel->height());
}

void TMainForm::AlignCounter()
{
    QLabel* bar = m_barPanel->BarLabel();
    QLabel* slash = m_barPanel->Slash();
    QLabel* beat = m_barPanel->BeatLabel();
    const velmora::CounterGeometry g =
        velmora::AlignCounter({bar->width(), slash->width(), beat->width()}, screenSize().width());
    m_barPanel->setGeometry(g.panelLeft, m_barPanel->y(), g.panelWidth, m_barPanel->height());
    bar->move(g.barLeft, bar->y());
    slash->move(g.slashLeft, slash->y());
    beat->move(g.beatLeft, beat->y());
    m_barPanel->update();
}

void TMainForm::centreDisplay()
{
    // Centred on the screen, and 40 px higher while the controls are hidden, so
    // that showing them again brings the display back to the centre.
    const QPoint at = velmora::CentredDisplay(screenSize());
    m_mask->move(at.x(), at.y() + velmora::AutoHide::verticalShift(ControlsShown()));
}

void TMainForm::SetLyricsFont(const QFont& font, const QColor& color)
{
    m_lyricsFont = font;
    m_lyricsColor = color;
    m_lyricsLabel->setFont(font);
    m_lyricsLabel->setStyleSheet(
        QStringLiteral("color: %1; background: transparent;").arg(color.name()));
}

void TMainForm::AutoSizeLyrics()
{
    // Measured in the window's own face; only the size comes from the lyric font.
    const int size =
        velmora::AutoSizeLyrics(m_lyricsLabel->text(), font(), m_lyricsFont.pointSize(),
                                autoReduce(), screenSize().width());
    QFont f = m_lyricsLabel->font();
    f.setPointSize(size);
    m_lyricsLabel->setFont(f);
}

void TMainForm::TextOnlyClick()
{
    const QSize screen = screenSize();
    const int settingsSize = m_lyricsFont.pointSize();
    QFont f = m_lyricsLabel->font();
    if (TextOnlyChecked()) {
        f.setPointSize(velmora::TextOnlyFontSize(settingsSize, doubleFontInTextOnly()));
        m_lyricsLabel->setFont(f);
        m_lyricsLabel->setWordWrap(true);
        m_lyricsLabel->setGeometry(velmora::TextOnlyLyricsRect(screen, MenuPanelWidth, true));
        m_mask->hide();
        m_barPanel->move(m_barPanel->x(),
                         velmora::TextOnlyCounterTop(screen.height(), m_barPanel->height()));
        return;
    }
    f.setPointSize(settingsSize);
    m_lyricsLabel->setFont(f);
    m_lyricsLabel->setWordWrap(false);
    m_lyricsLabel->setGeometry(velmora::NormalLyricsRect(height(), screen.width(), settingsSize));
    m_mask->show();
    LoadSkin(CurrentSkinName());
}

bool TMainForm::TextOnlyChecked() const
{
    return m_textOnly->isChecked();
}

// ---------------------------------------------------------------------------
// The beat display

bool TMainForm::LoadSkin(const QString& name)
{
    centreDisplay();
    const velmora::SkinLoadResult result = m_skin->LoadSkin(name, m_barPanel->height());
    if (result.loaded && result.counterTop && !TextOnlyChecked())
        m_barPanel->move(m_barPanel->x(), m_mask->y() + *result.counterTop);
    return result.loaded;
}

void TMainForm::DrawRadar(int frame)
{
    velmora::DrawState state;
    state.textOnly = TextOnlyChecked();
    state.syncClient = m_clock->Mode() == PlayMode::SyncClient;
    state.barText = m_clock->BarText();
    state.beatText = m_clock->BeatText();
    state.beatsPerBar = m_clock->Up();
    m_skin->DrawRadar(unsigned(frame), state);
}

void TMainForm::BlankRadar()
{
    m_skin->BlankRadar();
}

QString TMainForm::CurrentSkinName() const
{
    return m_skin->currentSkin();
}

int TMainForm::LastDrawnTick() const
{
    return m_skin->LastDrawnTick();
}

QImage TMainForm::DisplayImage() const
{
    return m_skin->image();
}

QWidget* TMainForm::Mask() const
{
    return m_mask;
}

QWidget* TMainForm::BarPanel() const
{
    return m_barPanel;
}

// ---------------------------------------------------------------------------
// Songs

bool TMainForm::PlaySong(const QString& path)
{
    return m_songs->PlaySong(path);
}

void TMainForm::CheckEvents()
{
    m_songs->CheckEvents();
}

void TMainForm::InsertLyric()
{
    const std::optional<velmora::LyricPrompt> prompt = m_songs->BeginLyricInsertion();
    if (!prompt) return;
    // A plain prompt until the input dialog arrives: OK stores the lyric, Cancel
    // resumes the song.
    auto* dialog = new QInputDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(prompt->Caption);
    dialog->setLabelText(prompt->Prompt);
    dialog->setTextValue(prompt->Text);
    connect(dialog, &QInputDialog::accepted, this,
            [this, dialog] { m_songs->FinishLyricInsertion(dialog->textValue()); });
    connect(dialog, &QInputDialog::rejected, this,
            [this] { m_songs->FinishLyricInsertion(std::nullopt); });
    dialog->open();
}

void TMainForm::ShowError(const QString& message)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Velmora"), message, QMessageBox::Ok,
                    this);
    box.exec();
}

void TMainForm::MarkPlaylist(const QString& /*path*/)
{
    // The playlist's rows are marked here once the playlist exists.
}

// ---------------------------------------------------------------------------
// Settings

int TMainForm::BarVolume() const
{
    return m_settings ? m_settings->BarVolume() : 70;
}

int TMainForm::BeatVolume() const
{
    return m_settings ? m_settings->BeatVolume() : 30;
}

int TMainForm::InstrumentCode() const
{
    return m_settings ? m_settings->InstrumentCode() : int(mgSideStick);
}

bool TMainForm::autoReduce() const
{
    return m_settings ? m_settings->AutoReduceChecked() : true;
}

bool TMainForm::autoHide() const
{
    return m_settings ? m_settings->AutoHideChecked() : true;
}

bool TMainForm::doubleFontInTextOnly() const
{
    return m_settings ? m_settings->DoubleFontChecked() : true;
}

void TMainForm::SetLyricsFontSize(int pointSize)
{
    QFont f = m_lyricsLabel->font();
    f.setPointSize(pointSize);
    m_lyricsLabel->setFont(f);
}

void TMainForm::PlaceLyricsLabel(int top, int height)
{
    m_lyricsLabel->setGeometry(m_lyricsLabel->x(), top, m_lyricsLabel->width(), height);
}

void TMainForm::ShowSplashText(const QString& text)
{
    if (splashText) splashText(text);
}

void TMainForm::SetUltraPrecise(bool ultraPrecise)
{
    m_timer->SetUltraPrecise(ultraPrecise);
}
