#include "SettingsUnit.h"

#include "Artwork.h"
#include "LyricsFontDialog.h"
#include "PercussionTable.h"
#include "SettingsStore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSlider>
#include <QVBoxLayout>

using velmora::PercussionTable;
using velmora::SettingsValues;
namespace artwork = velmora::artwork;

namespace {

constexpr QSize ClientSize{452, 343};
constexpr int StripWidth = 100;
constexpr int MaxVolume = 100;
constexpr quint32 TestDuration = 100; // one second in generator ticks
constexpr quint32 TestLoops = 3;

// The skin list's entries; the skin names are the same words in lower case.
constexpr std::array<const char*, 4> SkinEntries{"Radar", "Infinity", "Ball", "Metronome"};

QString toQString(std::string_view s)
{
    return QString::fromLatin1(s.data(), qsizetype(s.size()));
}

QSlider* makeVolumeSlider(QWidget* parent, const QString& hint)
{
    auto* slider = new QSlider(Qt::Vertical, parent);
    slider->setRange(0, MaxVolume);
    // Position 0 is at the top and is the loudest; the arrow keys move the
    // handle the way they point.
    slider->setInvertedAppearance(true);
    slider->setInvertedControls(true);
    slider->setPageStep(10);
    slider->setTickPosition(QSlider::TicksRight);
    slider->setTickInterval(25);
    slider->setToolTip(hint);
    return slider;
}

} // namespace

TSettingsForm::TSettingsForm(QSettings& store, velmora::SettingsHost& host,
                             velmora::SettingsMidi& midi, const QString& runtimeDir,
                             QWidget* parent)
    : QDialog(parent), m_store(store), m_host(host), m_midi(midi), m_runtimeDir(runtimeDir),
      m_lyricsColor(velmora::colorFromBgr(SettingsValues::DefaultFontColor)),
      m_instrumentCode(*PercussionTable::valueOf(PercussionTable::DefaultPosition)),
      m_pendingSkin(QStringLiteral("radar"))
{
    // The lyrics font as the dialog is designed: the store only overrides it.
    m_lyricsFont.setFamily(SettingsValues{}.fontName);
    m_lyricsFont.setPointSize(SettingsValues::DefaultFontSize);
    m_lyricsFont.setBold(true);

    BuildControls();
    FormCreate();
}

TSettingsForm::~TSettingsForm()
{
    // Exit is the one time the settings are written.
    if (!m_saved) SaveSettings();
}

void TSettingsForm::BuildControls()
{
    setWindowTitle(tr("Settings"));
    QFont dialogFont;
    dialogFont.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")});
    dialogFont.setPointSize(8);
    setFont(dialogFont);
    setFixedSize(ClientSize);

    // --- decoration strip down the left side ----------------------------------
    auto* strip = new QLabel(this);
    strip->setFixedSize(StripWidth, ClientSize.height());
    {
        QPixmap picture(StripWidth, ClientSize.height());
        const QPixmap drawn(QDir(m_runtimeDir).filePath(toQString(artwork::SettingsStripFile)));
        QPainter painter(&picture);
        if (drawn.isNull()) {
            QLinearGradient gradient(0, 0, 0, picture.height());
            gradient.setColorAt(0, QColor(24, 24, 24));
            gradient.setColorAt(1, Qt::black);
            painter.fillRect(picture.rect(), gradient);
        } else {
            painter.drawPixmap(picture.rect(), drawn);
        }
        const QPixmap icon(QDir(m_runtimeDir).filePath(toQString(artwork::AppIcon64File)));
        if (!icon.isNull()) painter.drawPixmap(QRect((StripWidth - 64) / 2, 16, 64, 64), icon);
        strip->setPixmap(picture);
    }

    // --- MIDI ------------------------------------------------------------------
    m_midiBox = new QGroupBox(tr(" MIDI Configuration "), this);
    m_devicesBox = new QComboBox(m_midiBox);
    m_devicesBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_devicesBox->setMinimumContentsLength(16);
    auto* devicesLabel = new QLabel(tr("Choose MIDI device:"), m_midiBox);
    devicesLabel->setBuddy(m_devicesBox);
    m_instrumentsBox = new QComboBox(m_midiBox);
    m_instrumentsBox->setMaxVisibleItems(16);
    for (int i = 0; i < PercussionTable::Count; ++i)
        m_instrumentsBox->addItem(PercussionTable::nameAt(i));
    auto* instrumentsLabel = new QLabel(tr("Instrument:"), m_midiBox);
    instrumentsLabel->setBuddy(m_instrumentsBox);
    m_testButton = new QPushButton(tr("Test it!"), m_midiBox);
    m_testButton->setAutoDefault(false);

    m_beatVol = makeVolumeSlider(m_midiBox, tr("Set volume for \"usual\" beats"));
    m_barVol = makeVolumeSlider(m_midiBox, tr("Set volume for bar beats"));
    auto* volumeLabel = new QLabel(tr("Volume"), m_midiBox);
    auto* beatLabel = new QLabel(tr("Beat"), m_midiBox);
    auto* barLabel = new QLabel(tr("Bar"), m_midiBox);

    auto* midiChoices = new QVBoxLayout;
    midiChoices->setSpacing(3);
    midiChoices->addWidget(devicesLabel);
    midiChoices->addWidget(m_devicesBox);
    midiChoices->addSpacing(4);
    midiChoices->addWidget(instrumentsLabel);
    auto* instrumentRow = new QHBoxLayout;
    instrumentRow->addWidget(m_instrumentsBox, 1);
    instrumentRow->addWidget(m_testButton);
    midiChoices->addLayout(instrumentRow);
    midiChoices->addStretch(1);

    auto* volumes = new QGridLayout;
    volumes->setHorizontalSpacing(6);
    volumes->setVerticalSpacing(2);
    volumes->addWidget(volumeLabel, 0, 0, 1, 2, Qt::AlignHCenter);
    volumes->addWidget(m_beatVol, 1, 0, Qt::AlignHCenter);
    volumes->addWidget(m_barVol, 1, 1, Qt::AlignHCenter);
    volumes->addWidget(beatLabel, 2, 0, Qt::AlignHCenter);
    volumes->addWidget(barLabel, 2, 1, Qt::AlignHCenter);
    volumes->setRowStretch(1, 1);

    auto* midiLayout = new QHBoxLayout(m_midiBox);
    midiLayout->setContentsMargins(8, 6, 8, 6);
    midiLayout->setSpacing(12);
    midiLayout->addLayout(midiChoices, 1);
    midiLayout->addLayout(volumes);

    // --- display ----------------------------------------------------------------
    m_lyricsBox = new QGroupBox(tr("  Display Settings "), this);
    m_fontButton = new QPushButton(m_lyricsBox);
    m_fontButton->setAutoDefault(false);
    m_autoReduce = new QCheckBox(tr("Auto reduce lyrics font size"), m_lyricsBox);
    m_autoReduce->setToolTip(tr("Reduce font size when whole text can't be displayed"));
    m_autoReduce->setChecked(true);
    m_autoHide = new QCheckBox(tr("Auto hide menus and controls"), m_lyricsBox);
    m_autoHide->setToolTip(
        tr("Hide menus and controls if there is no mouse activity for 5 seconds"));
    m_autoHide->setChecked(SettingsValues{}.autoHide);
    m_tipsBox = new QCheckBox(tr("Show tips on startup"), m_lyricsBox);
    m_tipsBox->setToolTip(
        tr("If this box is checked you will get usefull tips and hints on application startup"));
    m_tipsBox->setChecked(true);
    m_doubleBox = new QCheckBox(tr("Double font size in \"Text Only\""), m_lyricsBox);
    m_doubleBox->setChecked(true);

    auto* lyricsLayout = new QVBoxLayout(m_lyricsBox);
    lyricsLayout->setContentsMargins(8, 6, 8, 6);
    lyricsLayout->setSpacing(4);
    lyricsLayout->addWidget(m_fontButton);
    lyricsLayout->addSpacing(2);
    lyricsLayout->addWidget(m_autoReduce);
    lyricsLayout->addWidget(m_autoHide);
    lyricsLayout->addWidget(m_tipsBox);
    lyricsLayout->addWidget(m_doubleBox);
    lyricsLayout->addStretch(1);

    // --- skin ---------------------------------------------------------------------
    m_skinGroup = new QGroupBox(this);
    m_skinBox = new QComboBox(m_skinGroup);
    for (const char* entry : SkinEntries)
        m_skinBox->addItem(QString::fromLatin1(entry));
    m_skinBox->setToolTip(tr("Set visual style for metronome"));
    auto* skinLabel = new QLabel(tr("Metronome skin:"), m_skinGroup);
    skinLabel->setBuddy(m_skinBox);
    m_skinImage = new QLabel(m_skinGroup);
    // A one-pixel frame around the 100 x 100 picture.
    m_skinImage->setFrameShape(QFrame::Box);
    m_skinImage->setLineWidth(1);
    m_skinImage->setFixedSize(artwork::SkinPreviewSize + QSize(2, 2));
    m_skinImage->setToolTip(tr("Skin preview"));

    auto* skinLayout = new QVBoxLayout(m_skinGroup);
    skinLayout->setContentsMargins(8, 6, 8, 8);
    skinLayout->setSpacing(3);
    skinLayout->addWidget(skinLabel);
    skinLayout->addWidget(m_skinBox);
    skinLayout->addSpacing(4);
    skinLayout->addWidget(m_skinImage, 0, Qt::AlignHCenter);
    skinLayout->addStretch(1);

    m_closeButton = new QPushButton(tr("OK"), this);
    m_closeButton->setDefault(true);
    m_closeButton->setMinimumWidth(75);

    // --- the precision group, built but never shown ---------------------------------
    m_precisionBox = new QGroupBox(tr(" Metronome Precision "), this);
    m_standard = new QRadioButton(tr("Standard"), m_precisionBox);
    m_standard->setChecked(true);
    m_extreme = new QRadioButton(tr("Extreme"), m_precisionBox);
    m_standardLabel = new QLabel(tr("- good precision (±1%) with low CPU ussage"), m_precisionBox);
    m_extremeLabel = new QLabel(tr("- best precision (±0.1%) and high CPU ussage"), m_precisionBox);
    m_standardLabel->installEventFilter(this);
    m_extremeLabel->installEventFilter(this);
    auto* precisionLayout = new QGridLayout(m_precisionBox);
    precisionLayout->addWidget(m_standard, 0, 0);
    precisionLayout->addWidget(m_standardLabel, 0, 1);
    precisionLayout->addWidget(m_extreme, 1, 0);
    precisionLayout->addWidget(m_extremeLabel, 1, 1);
    m_precisionBox->hide();

    // --- layout -----------------------------------------------------------------------
    auto* lowerRow = new QHBoxLayout;
    lowerRow->setSpacing(6);
    lowerRow->addWidget(m_lyricsBox, 1);
    lowerRow->addWidget(m_skinGroup);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(m_closeButton);

    auto* content = new QVBoxLayout;
    content->setContentsMargins(8, 8, 8, 8);
    content->setSpacing(6);
    content->addWidget(m_midiBox);
    content->addLayout(lowerRow, 1);
    content->addLayout(buttonRow);

    auto* root = new QHBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);
    root->addWidget(strip);
    root->addLayout(content, 1);

    m_fontDialog = new velmora::LyricsFontDialog(this);

    // Choices act when the user makes them; the loading code calls the same
    // handlers itself where a stored value must reach the generator.
    connect(m_devicesBox, &QComboBox::activated, this, &TSettingsForm::DevicesBoxChange);
    connect(m_instrumentsBox, &QComboBox::activated, this, &TSettingsForm::InstrumentsBoxChange);
    connect(m_skinBox, &QComboBox::activated, this, &TSettingsForm::SkinBoxChange);
    connect(m_beatVol, &QSlider::valueChanged, this, &TSettingsForm::BeatVolChange);
    connect(m_barVol, &QSlider::valueChanged, this, &TSettingsForm::BeatVolChange);
    connect(m_testButton, &QPushButton::clicked, this, &TSettingsForm::TestButtonClick);
    connect(m_fontButton, &QPushButton::clicked, this, &TSettingsForm::FontButtonClick);
    connect(m_doubleBox, &QCheckBox::toggled, this, &TSettingsForm::DoubleBoxClick);
    connect(m_autoHide, &QCheckBox::toggled, this, &TSettingsForm::AutoHideChanged);
    connect(m_closeButton, &QPushButton::clicked, this, &TSettingsForm::CloseButtonClick);
    connect(m_standard, &QRadioButton::clicked, this, &TSettingsForm::StandardLabelClick);
    connect(m_extreme, &QRadioButton::clicked, this, &TSettingsForm::ExtremeClick);
    connect(m_fontDialog, &QDialog::accepted, this,
            [this] { ApplyFont(m_fontDialog->selectedFont(), m_fontDialog->selectedColor()); });
}

void TSettingsForm::FormCreate()
{
    m_host.ShowSplashText(tr("Loading settings..."));
    FillDevices();
    LoadSettings();
    PruneSkins();
}

void TSettingsForm::FillDevices()
{
    // List position and device identifier are the same number.
    const int count = m_midi.DeviceCount();
    for (int id = 0; id < count; ++id)
        m_devicesBox->addItem(m_midi.DeviceName(id));
}

void TSettingsForm::LoadSettings()
{
    const SettingsValues v = velmora::SettingsStore::Load(m_store);

    m_lyricsFont.setFamily(v.fontName);
    m_lyricsFont.setPointSize(v.fontSize);
    m_lyricsColor = velmora::colorFromBgr(v.fontColor);
    if (v.fontStyle) velmora::applyFontStyleBits(m_lyricsFont, *v.fontStyle);

    PlaceLyricsLabel();
    ShowFontOnButton();
    m_host.SetLyricsFont(m_lyricsFont, m_lyricsColor);

    m_autoReduce->setChecked(v.autoReduce);
    m_tipsBox->setChecked(v.showTips);

    if (v.device) {
        // A position the list does not hold selects nothing, and the generator
        // goes to the system's default device (−1).
        const int position = *v.device;
        m_devicesBox->setCurrentIndex(position >= 0 && position < m_devicesBox->count() ? position
                                                                                        : -1);
        DevicesBoxChange();
    } else {
        SelectDeviceBySearch();
    }

    if (v.instrument) {
        const int position = *v.instrument;
        if (PercussionTable::valueOf(position)) {
            m_instrumentsBox->setCurrentIndex(position);
            InstrumentsBoxChange();
        } else {
            m_instrumentsBox->setCurrentIndex(-1);
        }
    } else {
        // The generator already starts on this sound; it is not told again.
        m_instrumentsBox->setCurrentIndex(PercussionTable::DefaultPosition);
    }

    m_autoHide->setChecked(v.autoHide);

    // The sliders clamp a stored position to 0..100; the volumes follow the
    // clamped position, whether or not the position changed.
    {
        const QSignalBlocker blockBeat(m_beatVol);
        const QSignalBlocker blockBar(m_barVol);
        m_beatVol->setValue(v.beatVolume);
        m_barVol->setValue(v.barVolume);
    }
    BeatVolChange();

    m_host.ShowSplashText(tr("Loading skin..."));
    // The stored text goes to the loader as it stands, even when it names no
    // entry of the list.
    m_host.LoadSkin(v.skin);
    int entry = -1;
    for (int i = 0; i < m_skinBox->count(); ++i) {
        if (m_skinBox->itemText(i).toLower() == v.skin) {
            entry = i;
            break;
        }
    }
    m_skinBox->setCurrentIndex(entry);
    SkinBoxChange();

    m_doubleBox->setChecked(v.doubleFont);
}

void TSettingsForm::SelectDeviceBySearch()
{
    // First run: take the first device that can be opened now, trying each
    // once. Probing may pump the event loop (the generator waits for its
    // device), which is why this is a plain bounded loop.
    const int count = m_devicesBox->count();
    for (int position = 0; position < count; ++position) {
        m_devicesBox->setCurrentIndex(position);
        DevicesBoxChange();
        if (m_midi.MidiAvailable()) return;
    }
    m_devicesBox->setCurrentIndex(-1);
    DevicesBoxChange();
}

void TSettingsForm::PruneSkins()
{
    // Offer only the skins whose folder exists beside the executable. Skin
    // folders carry the lower-case skin name, and Linux file names are
    // case-sensitive, so the entry's text is lowered before looking.
    const QDir skins(QDir(m_runtimeDir).filePath(toQString(artwork::SkinsFolder)));
    bool removedSelected = false;
    for (int i = 0; i < m_skinBox->count();) {
        if (QFileInfo(skins.filePath(m_skinBox->itemText(i).toLower())).isDir()) {
            ++i;
            continue;
        }
        removedSelected = removedSelected || i == m_skinBox->currentIndex();
        const QSignalBlocker block(m_skinBox);
        m_skinBox->removeItem(i);
    }
    // QComboBox moves the selection to a neighbour when the selected entry
    // goes; the list must rather show that the stored skin is not offered.
    if (removedSelected) {
        m_skinBox->setCurrentIndex(-1);
        SkinBoxChange();
    }
}

bool TSettingsForm::SaveSettings()
{
    m_saved = true;
    if (const auto error = velmora::SettingsStore::Save(m_store, CurrentValues())) {
        m_host.ReportError(*error);
        return false;
    }
    return true;
}

SettingsValues TSettingsForm::CurrentValues() const
{
    SettingsValues v;
    v.fontName = m_lyricsFont.family();
    v.fontSize = m_lyricsFont.pointSize();
    v.fontColor = velmora::bgrFromColor(m_lyricsColor);
    v.fontStyle = velmora::fontStyleBits(m_lyricsFont);
    v.autoReduce = m_autoReduce->isChecked();
    v.showTips = m_tipsBox->isChecked();
    v.device = m_devicesBox->currentIndex();
    v.instrument = m_instrumentsBox->currentIndex();
    v.autoHide = m_autoHide->isChecked();
    v.beatVolume = m_beatVol->value();
    v.barVolume = m_barVol->value();
    // The skin in use, not the one chosen in the list and never confirmed.
    v.skin = m_host.CurrentSkinName();
    v.doubleFont = m_doubleBox->isChecked();
    return v;
}

int TSettingsForm::InstrumentPosition() const
{
    return m_instrumentsBox->currentIndex();
}

bool TSettingsForm::AutoReduceChecked() const
{
    return m_autoReduce->isChecked();
}

bool TSettingsForm::AutoHideChecked() const
{
    return m_autoHide->isChecked();
}

bool TSettingsForm::ShowTipsChecked() const
{
    return m_tipsBox->isChecked();
}

void TSettingsForm::SetShowTips(bool show)
{
    m_tipsBox->setChecked(show);
}

bool TSettingsForm::DoubleFontChecked() const
{
    return m_doubleBox->isChecked();
}

void TSettingsForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Spontaneous events come from the window system (a restore after
    // minimizing); only showing the dialog from code opens it.
    if (!event->spontaneous()) FormShow();
}

void TSettingsForm::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    // OK, the close box and Escape all end in a non-spontaneous hide.
    if (!event->spontaneous()) FormClose();
}

bool TSettingsForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == m_standardLabel)
            StandardLabelClick();
        else if (watched == m_extremeLabel)
            ExtremeLabelClick();
    }
    return QDialog::eventFilter(watched, event);
}

void TSettingsForm::FormShow()
{
    m_host.SetMainWindowEnabled(false);
    m_devicesBox->setFocus();
}

void TSettingsForm::FormClose()
{
    m_host.SetMainWindowEnabled(true);
}

void TSettingsForm::CloseButtonClick()
{
    if (m_pendingSkin != m_host.CurrentSkinName()) m_host.LoadSkin(m_pendingSkin);
    accept();
}

void TSettingsForm::DevicesBoxChange()
{
    m_midi.SetDevice(m_devicesBox->currentIndex());
}

void TSettingsForm::InstrumentsBoxChange()
{
    if (const auto value = PercussionTable::valueOf(m_instrumentsBox->currentIndex())) {
        m_instrumentCode = *value;
        m_midi.SetInstrument(*value);
    }
}

void TSettingsForm::BeatVolChange()
{
    m_beatVolume = MaxVolume - m_beatVol->value();
    m_barVolume = MaxVolume - m_barVol->value();
}

QString TSettingsForm::MidiUnavailableText()
{
    return tr("MIDI is not available on selected device!") + QLatin1Char('\r') +
           tr("Try to close other MIDI software or setup your device.");
}

void TSettingsForm::TestButtonClick()
{
    if (!m_midi.MidiAvailable()) {
        QMessageBox::critical(this, tr("Error"), MidiUnavailableText(), QMessageBox::Ok);
        return;
    }
    // Three one-second notes of the current instrument; the generator's own
    // length and repeat count are put back so that the next beat is not
    // affected. Play returns once the stream has opened and taken its repeat
    // count, so restoring Loops straight away does not cut the test short.
    const quint32 duration = m_midi.Duration();
    const quint32 loops = m_midi.Loops();
    m_midi.SetDuration(TestDuration);
    m_midi.SetLoops(TestLoops);
    m_midi.Play();
    m_midi.SetLoops(loops);
    m_midi.SetDuration(duration);
}

void TSettingsForm::FontButtonClick()
{
    m_fontDialog->setCurrent(m_lyricsFont, m_lyricsColor);
    m_fontDialog->open();
}

void TSettingsForm::ApplyFont(const QFont& font, const QColor& color)
{
    m_lyricsFont = font;
    m_lyricsColor = color;
    ShowFontOnButton();
    m_host.SetLyricsFont(m_lyricsFont, m_lyricsColor);
    // In text-only mode the label fills the screen and keeps its place.
    if (!m_host.TextOnlyChecked()) PlaceLyricsLabel();
}

void TSettingsForm::ShowFontOnButton()
{
    m_fontButton->setText(
        QStringLiteral("%1, %2px").arg(m_lyricsFont.family()).arg(m_lyricsFont.pointSize()));
}

void TSettingsForm::PlaceLyricsLabel()
{
    const int height = 2 * m_lyricsFont.pointSize();
    m_host.PlaceLyricsLabel(m_host.MainWindowHeight() - height, height);
}

QPixmap TSettingsForm::PreviewFor(const QString& skinName) const
{
    for (std::size_t i = 0; i < artwork::SkinNames.size(); ++i) {
        if (skinName == toQString(artwork::SkinNames[i])) {
            const QPixmap preview(
                QDir(m_runtimeDir).filePath(toQString(artwork::SkinPreviewFiles[i])));
            if (!preview.isNull()) return preview;
            break;
        }
    }
    // No picture on disk: the name on a grey field, so the choice still shows.
    QPixmap placeholder(artwork::SkinPreviewSize);
    placeholder.fill(QColor(224, 224, 224));
    QPainter painter(&placeholder);
    painter.setPen(Qt::darkGray);
    painter.drawText(placeholder.rect(), Qt::AlignCenter, skinName);
    return placeholder;
}

void TSettingsForm::SkinBoxChange()
{
    // The label draws the frame; the picture starts as a white square.
    QPixmap picture(artwork::SkinPreviewSize);
    picture.fill(Qt::white);
    {
        QPainter painter(&picture);
        // The entry's own text decides the picture and the name, so the right
        // preview shows even after pruning has moved the entries up.
        if (m_skinBox->currentIndex() >= 0) {
            m_pendingSkin = m_skinBox->currentText().toLower();
            painter.drawPixmap(0, 0, PreviewFor(m_pendingSkin));
        }
    }
    m_skinImage->setPixmap(picture);
}

void TSettingsForm::DoubleBoxClick()
{
    if (m_host.TextOnlyChecked())
        m_host.SetLyricsFontSize(m_lyricsFont.pointSize() * (m_doubleBox->isChecked() ? 2 : 1));
}

void TSettingsForm::StandardLabelClick()
{
    m_standard->setChecked(true);
    m_host.SetUltraPrecise(false);
}

void TSettingsForm::ExtremeLabelClick()
{
    ExtremeClick();
}

void TSettingsForm::ExtremeClick()
{
    m_extreme->setChecked(true);
    m_host.SetUltraPrecise(true);
}
