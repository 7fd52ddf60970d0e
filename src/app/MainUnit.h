#pragma once

#include "BeatClock.h"
#include "BeatVoice.h"
#include "DisplayLayout.h"
#include "SettingsHost.h"
#include "SongPlayer.h"
#include "ThreadTimer.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QListWidget;
class QMenu;
class QSlider;
class QSpinBox;
class QTimer;
class TMidiGen;
class TSettingsForm;

namespace velmora {
class ClickArea;
class CounterPanel;
class DisplayView;
class MidiSystem;
class SkinDisplay;
} // namespace velmora

// The main window: a borderless black window over the whole primary screen with
// the beat display in its middle, the counter on it, the lyric line at the bottom
// and the command panels around the edges. It owns the beat clock, its timer, the
// note generator and the skin pictures; its handlers keep the names of the
// controls and events they answer.
class TMainForm : public QWidget,
                  public velmora::BeatClockHooks,
                  public velmora::SongPlayerHooks,
                  public velmora::SettingsHost
{
    Q_OBJECT
public:
    // midi: the MIDI devices the generator plays on. applicationDir: where skins,
    // pictures and "playlist.xmp" live (the executable's folder).
    TMainForm(velmora::MidiSystem& midi, const QString& applicationDir, QWidget* parent = nullptr);
    ~TMainForm() override;

    // --- start-up and closing ------------------------------------------------
    void FormCreate();
    void FormDestroy();

    // --- commands --------------------------------------------------------------
    void PlayLabelClick();
    void StopLabelClick();
    void PauseLabelClick();
    void SoundClick();
    void SettingsLabelClick();
    void SongLabelClick();
    void ModesLabelClick();
    void HelpLabelClick();
    void AboutLabelClick();
    void ExitLabelClick();
    void MinLabelClick();
    void CloseLabelClick();
    void WaitClick();
    void SyncToClick();
    void TextOnlyClick();
    void VSTClick();

    // --- tempo controls ----------------------------------------------------------
    void TempoChange();
    void TempoEditChange();
    void TempoBoxChange();
    void DownChange();

    // --- display -------------------------------------------------------------------
    bool LoadSkin(const QString& name) override;
    void DrawRadar(int frame) override;
    void BlankRadar() override;
    void FormResize();
    void AlignCounter() override;
    void AutoSizeLyrics() override;
    void ShowControls() override;
    void HideTimerTimer();
    // The mouse-activity watch; position in screen coordinates.
    void ApplicationEvents1Message(const QPoint& globalPos);
    // The keyboard table; returns nothing and never consumes the key.
    void ApplicationEvents1ShortCut(int key);

    // --- songs ---------------------------------------------------------------------
    bool PlaySong(const QString& path);
    void CheckEvents() override;
    velmora::SongPlayer& Songs() { return *m_songs; }
    // Enter in song mode: pause and ask for the lyric at the counter's position.
    void InsertLyric();

    // SongPlayerHooks
    void ShowError(const QString& message) override;
    void MarkPlaylist(const QString& path) override;
    bool TextOnly() const override { return TextOnlyChecked(); }

    // --- what other parts and tests reach ------------------------------------------
    velmora::BeatClock& Clock() { return *m_clock; }
    TMidiGen& MIDI() { return *m_midi; }
    TThreadTimer& Timer() { return *m_timer; }
    QString CurrentSkinName() const override;
    int LastDrawnTick() const;
    bool TextOnlyChecked() const override;
    bool ControlsShown() const;
    QImage DisplayImage() const;
    QWidget* Mask() const;
    QWidget* BarPanel() const;
    QLabel* LyricsLabel() const { return m_lyricsLabel; }
    QFont LyricsFont() const { return m_lyricsFont; }
    QColor LyricsColor() const { return m_lyricsColor; }

    // The settings dialog holds the live settings; the window reads them from it.
    // Until one is attached (tests), the stored defaults apply.
    void SetSettingsForm(TSettingsForm* settings) { m_settings = settings; }
    TSettingsForm* SettingsForm() const { return m_settings; }
    // Shows a start-up progress text on the splash window.
    std::function<void(const QString&)> splashText;

    // BeatClockHooks
    bool ApplicationActive() const override;
    int BarVolume() const override;
    int BeatVolume() const override;
    int InstrumentCode() const override;

    // SettingsHost
    void SetLyricsFont(const QFont& font, const QColor& color) override;
    void SetLyricsFontSize(int pointSize) override;
    void PlaceLyricsLabel(int top, int height) override;
    int MainWindowHeight() const override { return height(); }
    void SetMainWindowEnabled(bool enabled) override { setEnabled(enabled); }
    void ShowSplashText(const QString& text) override;
    void SetUltraPrecise(bool ultraPrecise) override;
    void ReportError(const QString& text) override { ShowError(text); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildWindow();
    void buildMenuPanel();
    void buildPlaylistPanel();
    void buildTempoPanel();
    void buildSystemPanel();
    void buildModeMenu();
    void bindClock();
    void refreshTempoControls();
    void refreshCounter();
    void refreshSound();
    void placeSidePanels();
    bool autoReduce() const;
    bool autoHide() const;
    bool doubleFontInTextOnly() const;
    void centreDisplay();
    QPixmap picture(std::string_view file) const;
    QSize screenSize() const;

    QString m_appDir;
    velmora::MidiSystem& m_midiSystem;
    std::unique_ptr<TMidiGen> m_midi;
    std::unique_ptr<velmora::GeneratorVoice<TMidiGen>> m_voice;
    std::unique_ptr<TThreadTimer> m_timer;
    std::unique_ptr<velmora::BeatClock> m_clock;
    std::unique_ptr<velmora::SkinDisplay> m_skin;
    std::unique_ptr<velmora::SongPlayer> m_songs;
    TSettingsForm* m_settings = nullptr;

    // panels and controls
    QWidget* m_menuPanel = nullptr;
    QLabel* m_stopImage = nullptr;
    QWidget* m_playlistPanel = nullptr;
    QListWidget* m_playList = nullptr;
    QWidget* m_tempoPanel = nullptr;
    QSlider* m_tempo = nullptr;
    QSpinBox* m_tempoEdit = nullptr;
    QComboBox* m_tempoBox = nullptr;
    QLabel* m_tempoBoxLabel = nullptr;
    QSpinBox* m_up = nullptr;
    QSpinBox* m_down = nullptr;
    QWidget* m_sysPanel = nullptr;
    velmora::ClickArea* m_sound = nullptr;
    velmora::ClickArea* m_vst = nullptr;
    velmora::DisplayView* m_mask = nullptr;
    velmora::CounterPanel* m_barPanel = nullptr;
    QLabel* m_lyricsLabel = nullptr;
    QFont m_lyricsFont;
    QColor m_lyricsColor;
    QMenu* m_modePopup = nullptr;
    QAction* m_wait = nullptr;
    QAction* m_syncTo = nullptr;
    QAction* m_textOnly = nullptr;
    QAction* m_playSound1 = nullptr;
    QTimer* m_hideTimer = nullptr;

    std::function<void()> m_placeTempoGroups;
    bool m_firstResize = true;
    velmora::AutoHide m_autoHide;
    bool m_updatingControls = false;
};
