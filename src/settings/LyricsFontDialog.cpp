#include "LyricsFontDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>

#include <array>
#include <string_view>

namespace velmora {

namespace {

struct NamedColor
{
    std::string_view name;
    QRgb rgb;
};

constexpr std::array<NamedColor, 16> BasicColors{{
    {"Black", 0x000000},
    {"Maroon", 0x800000},
    {"Green", 0x008000},
    {"Olive", 0x808000},
    {"Navy", 0x000080},
    {"Purple", 0x800080},
    {"Teal", 0x008080},
    {"Gray", 0x808080},
    {"Silver", 0xC0C0C0},
    {"Red", 0xFF0000},
    {"Lime", 0x00FF00},
    {"Yellow", 0xFFFF00},
    {"Blue", 0x0000FF},
    {"Fuchsia", 0xFF00FF},
    {"Aqua", 0x00FFFF},
    {"White", 0xFFFFFF},
}};

QIcon swatch(const QColor& color)
{
    QPixmap pixmap(16, 12);
    pixmap.fill(color);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
    return QIcon(pixmap);
}

} // namespace

LyricsFontDialog::LyricsFontDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("Font"));

    // The font panel is a whole QFontDialog used as a child widget, without its
    // own buttons, so that the colour list and one pair of buttons sit below it.
    m_fontPanel = new QFontDialog(this);
    m_fontPanel->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    m_fontPanel->setWindowFlags(Qt::Widget);
    m_fontPanel->setSizeGripEnabled(false);

    m_colorBox = new QComboBox(this);
    for (const auto& c : BasicColors) {
        const QColor color = QColor::fromRgb(c.rgb);
        m_colorBox->addItem(swatch(color),
                            QString::fromLatin1(c.name.data(), qsizetype(c.name.size())), color);
    }
    auto* colorLabel = new QLabel(tr("&Color:"), this);
    colorLabel->setBuddy(m_colorBox);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* colorRow = new QHBoxLayout;
    colorRow->addWidget(colorLabel);
    colorRow->addWidget(m_colorBox);
    colorRow->addStretch(1);

    // The panel brings its own margins; the rows below line up with them.
    const QMargins panelMargins =
        m_fontPanel->layout() ? m_fontPanel->layout()->contentsMargins() : QMargins(9, 9, 9, 9);
    auto* below = new QVBoxLayout;
    below->setContentsMargins(panelMargins.left(), 0, panelMargins.right(), panelMargins.bottom());
    below->addLayout(colorRow);
    below->addSpacing(6);
    below->addWidget(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_fontPanel);
    layout->addLayout(below);
}

void LyricsFontDialog::setCurrent(const QFont& font, const QColor& color)
{
    // Only installed fonts can be chosen; show the one that stands in for a
    // stored family that is not installed, with the stored style and size.
    QFont shown = font;
    shown.setFamily(QFontInfo(font).family());
    m_fontPanel->setCurrentFont(shown);

    // Drop a custom entry left from an earlier showing before looking again.
    while (m_colorBox->count() > int(BasicColors.size()))
        m_colorBox->removeItem(m_colorBox->count() - 1);
    int index = m_colorBox->findData(color);
    if (index < 0) {
        m_colorBox->addItem(swatch(color), tr("Custom"), color);
        index = m_colorBox->count() - 1;
    }
    m_colorBox->setCurrentIndex(index);
}

QFont LyricsFontDialog::selectedFont() const
{
    return m_fontPanel->currentFont();
}

QColor LyricsFontDialog::selectedColor() const
{
    return m_colorBox->currentData().value<QColor>();
}

} // namespace velmora
