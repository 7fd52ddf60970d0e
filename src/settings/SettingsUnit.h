#pragma once

#include "SettingsHost.h"
#include "SettingsMidi.h"
#include "SettingsValues.h"

#include <QColor>
#include <QDialog>
#include <QFont>
#include <QPixmap>
#include <QString>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSettings;
class QSlider;

namespace velmora {
class LyricsFontDialog;
}

// The settings dialog, and while the application runs the holder of the
// user's settings: the beat clock, the lyrics layout and the tips window read
// the current values from here.
//
// It is created once at start-up (which reads the store and puts the device,
// instrument, volumes, font and skin into force) and destroyed once at exit
// (which writes the store). Showing it does not block the caller; while it is
// visible the main window is disabled.
class TSettingsForm : public QDialog
{
    Q_OBJECT
public:
    // store: the open settings store; runtimeDir: the executable's folder, where
    // "skins/<name>" and the preview pictures are found. All references must
    // outlive the dialog.
    //
    // The destructor writes the store and asks the host for the skin in use, so
    // the owner destroys the dialog while the host is still whole (a unique_ptr
    // reset at the start of the main window's destructor), never as a Qt child
    // deleted after the main window's own destructor has run. A parentless
    // dialog also keeps it out of the main window's disabling (see SettingsHost).
    TSettingsForm(QSettings& store, velmora::SettingsHost& host, velmora::SettingsMidi& midi,
                  const QString& runtimeDir, QWidget* parent = nullptr);
    ~TSettingsForm() override;

    void LoadSettings();
    // Writes all thirteen values; on failure tells the host once and returns false.
    bool SaveSettings();
    // The values as they would be written now.
    velmora::SettingsValues CurrentValues() const;

    // --- read while the application runs ------------------------------------
    // Volumes 0..100 (100 − slider position), read by every beat.
    int BeatVolume() const { return m_beatVolume; }
    int BarVolume() const { return m_barVolume; }
    // Selected instrument list position, −1 when none.
    int InstrumentPosition() const;
    // The instrument value the settings last gave the generator (Side Stick
    // until a choice is made), so a list without a selection still names one.
    int InstrumentCode() const { return m_instrumentCode; }
    bool AutoReduceChecked() const;
    bool AutoHideChecked() const;
    bool ShowTipsChecked() const;
    void SetShowTips(bool show);
    bool DoubleFontChecked() const;
    QFont LyricsFont() const { return m_lyricsFont; }
    QColor LyricsColor() const { return m_lyricsColor; }
    int LyricsFontSize() const { return m_lyricsFont.pointSize(); }
    QString PendingSkin() const { return m_pendingSkin; }

    // --- handlers -------------------------------------------------------------
    void FormShow();
    void FormClose();
    void CloseButtonClick();
    void DevicesBoxChange();
    void InstrumentsBoxChange();
    void BeatVolChange();
    void TestButtonClick();
    void FontButtonClick();
    // What confirming the font chooser does.
    void ApplyFont(const QFont& font, const QColor& color);
    void SkinBoxChange();
    void DoubleBoxClick();
    void StandardLabelClick();
    void ExtremeLabelClick();
    void ExtremeClick();

    // The test sound's error text; the two sentences are joined by a single
    // carriage return.
    static QString MidiUnavailableText();

    // --- controls -------------------------------------------------------------
    QComboBox* DevicesBox() const { return m_devicesBox; }
    QComboBox* InstrumentsBox() const { return m_instrumentsBox; }
    QPushButton* TestButton() const { return m_testButton; }
    QSlider* BeatVol() const { return m_beatVol; }
    QSlider* BarVol() const { return m_barVol; }
    QPushButton* FontButton() const { return m_fontButton; }
    QCheckBox* AutoReduce() const { return m_autoReduce; }
    QCheckBox* AutoHide() const { return m_autoHide; }
    QCheckBox* TipsBox() const { return m_tipsBox; }
    QCheckBox* DoubleBox() const { return m_doubleBox; }
    QComboBox* SkinBox() const { return m_skinBox; }
    QLabel* SkinImage() const { return m_skinImage; }
    QPushButton* CloseButton() const { return m_closeButton; }
    QGroupBox* MidiBox() const { return m_midiBox; }
    QGroupBox* LyricsBox() const { return m_lyricsBox; }
    QGroupBox* PrecisionBox() const { return m_precisionBox; }
    QRadioButton* Standard() const { return m_standard; }
    QRadioButton* Extreme() const { return m_extreme; }
    velmora::LyricsFontDialog* FontDialog() const { return m_fontDialog; }

Q_SIGNALS:
    // The auto-hide box changed (by the user or by loading the settings).
    void AutoHideChanged(bool on);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void FormCreate();
    void FillDevices();
    void PruneSkins();
    void SelectDeviceBySearch();
    void ShowFontOnButton();
    void PlaceLyricsLabel();
    QPixmap PreviewFor(const QString& skinName) const;

    QSettings& m_store;
    velmora::SettingsHost& m_host;
    velmora::SettingsMidi& m_midi;
    QString m_runtimeDir;

    QFont m_lyricsFont;
    QColor m_lyricsColor;
    int m_beatVolume = 0;
    int m_barVolume = 0;
    int m_instrumentCode = 0;
    QString m_pendingSkin;
    bool m_saved = false;

    QGroupBox* m_midiBox = nullptr;
    QComboBox* m_devicesBox = nullptr;
    QComboBox* m_instrumentsBox = nullptr;
    QPushButton* m_testButton = nullptr;
    QSlider* m_beatVol = nullptr;
    QSlider* m_barVol = nullptr;
    QGroupBox* m_lyricsBox = nullptr;
    QPushButton* m_fontButton = nullptr;
    QCheckBox* m_autoReduce = nullptr;
    QCheckBox* m_autoHide = nullptr;
    QCheckBox* m_tipsBox = nullptr;
    QCheckBox* m_doubleBox = nullptr;
    QGroupBox* m_skinGroup = nullptr;
    QComboBox* m_skinBox = nullptr;
    QLabel* m_skinImage = nullptr;
    QPushButton* m_closeButton = nullptr;
    QGroupBox* m_precisionBox = nullptr;
    QRadioButton* m_standard = nullptr;
    QRadioButton* m_extreme = nullptr;
    QLabel* m_standardLabel = nullptr;
    QLabel* m_extremeLabel = nullptr;
    velmora::LyricsFontDialog* m_fontDialog = nullptr;
};
