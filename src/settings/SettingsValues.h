#pragma once

#include <QColor>
#include <QFont>
#include <QString>

#include <cstdint>
#include <optional>

namespace velmora {

// Bits of the stored lyrics font style.
enum class FontStyleBit : int
{
    Bold = 1,
    Italic = 2,
    Underline = 4,
    StrikeOut = 8
};

// The thirteen user settings as plain values, in the order they are read.
// Every member starts at the value that applies when the store lacks it.
struct SettingsValues
{
    static constexpr int DefaultFontSize = 36;
    // 0x00BBGGRR: blue and green full, red 0 (aqua).
    static constexpr std::uint32_t DefaultFontColor = 0xFFFF00;
    static constexpr int DefaultBeatVolume = 70; // slider positions, not volumes
    static constexpr int DefaultBarVolume = 30;

    QString fontName = QStringLiteral("Trebuchet MS");
    int fontSize = DefaultFontSize;
    std::uint32_t fontColor = DefaultFontColor;
    // Missing means: keep the style the lyrics font starts with (bold).
    std::optional<int> fontStyle;
    bool autoReduce = true;
    bool showTips = true;
    // Missing means: search for the first device that can be opened.
    std::optional<int> device;
    // Missing means: show "Side Stick" and leave the generator as it is.
    std::optional<int> instrument;
    // On by default: the main window hides its controls only when this is set.
    bool autoHide = true;
    int beatVolume = DefaultBeatVolume;
    int barVolume = DefaultBarVolume;
    QString skin = QStringLiteral("metronome");
    bool doubleFont = true;
};

// Conversions between the stored forms and Qt's.
int fontStyleBits(const QFont& font);
void applyFontStyleBits(QFont& font, int bits);
QColor colorFromBgr(std::uint32_t bgr);
std::uint32_t bgrFromColor(const QColor& color);

} // namespace velmora
