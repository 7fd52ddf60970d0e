#include "DisplayLayout.h"

#include <QFontMetrics>

namespace velmora {

int AutoSizeLyrics(const QString& text, const QFont& measureFont, int settingsSize, bool autoReduce,
                   int screenWidth)
{
    int size = settingsSize;
    if (!autoReduce) return size;
    QFont font = measureFont;
    while (size > 1) {
        font.setPointSize(size);
        if (QFontMetrics(font).horizontalAdvance(text) <= screenWidth) break;
        --size;
    }
    return size;
}

} // namespace velmora
