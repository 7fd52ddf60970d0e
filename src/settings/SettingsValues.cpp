#include "SettingsValues.h"

namespace velmora {

namespace {
constexpr int bit(FontStyleBit b)
{
    return static_cast<int>(b);
}
} // namespace

int fontStyleBits(const QFont& font)
{
    return (font.bold() ? bit(FontStyleBit::Bold) : 0) |
           (font.italic() ? bit(FontStyleBit::Italic) : 0) |
           (font.underline() ? bit(FontStyleBit::Underline) : 0) |
           (font.strikeOut() ? bit(FontStyleBit::StrikeOut) : 0);
}

void applyFontStyleBits(QFont& font, int bits)
{
    // The stored bits replace the whole style, so a 0 gives a plain font even
    // though the lyrics font starts bold.
    font.setBold(bits & bit(FontStyleBit::Bold));
    font.setItalic(bits & bit(FontStyleBit::Italic));
    font.setUnderline(bits & bit(FontStyleBit::Underline));
    font.setStrikeOut(bits & bit(FontStyleBit::StrikeOut));
}

QColor colorFromBgr(std::uint32_t bgr)
{
    // The high byte carried palette flags where the format comes from; only the
    // three colour bytes mean anything here.
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

std::uint32_t bgrFromColor(const QColor& color)
{
    return std::uint32_t(color.red()) | (std::uint32_t(color.green()) << 8) |
           (std::uint32_t(color.blue()) << 16);
}

} // namespace velmora
