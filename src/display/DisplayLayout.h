#pragma once

// Geometry rules of the main window's display area, kept apart from the widgets
// so that they can be checked without a screen: the counter's layout, the lyric
// line's fitting, text-only placement and the auto-hiding of the controls.

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

namespace velmora {

// ---------------------------------------------------------------- counter

struct CounterWidths
{
    int bar = 0;   // BarLabel
    int slash = 0; // Slash, the "."
    int beat = 0;  // BeatLabel
};

struct CounterGeometry
{
    int panelWidth = 0; // BarPanel
    int panelLeft = 0;  // in window coordinates
    int barLeft = 0;    // the rest in panel coordinates
    int slashLeft = 0;
    int beatLeft = 0;
};

// Lays out bar number, 4 px, dot, 4 px, beat number with 12 px margins and
// centres the panel on the screen, however wide the numbers have grown.
// Integer halves truncate towards zero, as the window's own arithmetic does.
constexpr CounterGeometry AlignCounter(CounterWidths w, int screenWidth)
{
    const int s = w.bar + w.slash + w.beat;
    CounterGeometry g;
    g.panelWidth = s + 32;
    g.panelLeft = (screenWidth - g.panelWidth) / 2;
    g.barLeft = (g.panelWidth - s - 8) / 2; // 12
    g.slashLeft = g.barLeft + w.bar + 4;
    g.beatLeft = g.slashLeft + w.slash + 4;
    return g;
}

// ---------------------------------------------------------------- lyrics

// The lyric font size for `text`: the settings size, lowered one point at a
// time while the text, measured in `measureFont` at that size, is wider than
// the screen. Never below 1, where a text too long for any size stops.
// With autoReduce off the settings size is returned unchanged.
int AutoSizeLyrics(const QString& text, const QFont& measureFont, int settingsSize, bool autoReduce,
                   int screenWidth);

// Where the lyric line goes outside text-only mode: full width, two lines of
// the font size high, at the window's bottom.
constexpr QRect NormalLyricsRect(int windowHeight, int screenWidth, int fontSize)
{
    return {0, windowHeight - 2 * fontSize, screenWidth, 2 * fontSize};
}

// Text-only mode: the lyrics fill the screen height, between the side panels
// while they are shown and over the full width while they are hidden.
constexpr QRect TextOnlyLyricsRect(QSize screen, int menuPanelWidth, bool controlsShown)
{
    if (!controlsShown) return {0, 0, screen.width(), screen.height()};
    return {menuPanelWidth, 0, screen.width() - 2 * menuPanelWidth, screen.height()};
}

// Text-only mode puts the counter 16 px above the bottom of the screen.
constexpr int TextOnlyCounterTop(int screenHeight, int counterHeight)
{
    return screenHeight - counterHeight - 16;
}

constexpr int TextOnlyFontSize(int settingsSize, bool doubleInTextOnly)
{
    return doubleInTextOnly ? settingsSize * 2 : settingsSize;
}

// The display's top-left when centred on the screen.
constexpr QPoint CentredDisplay(QSize screen, int displaySize = 600)
{
    return {(screen.width() - displaySize) / 2, (screen.height() - displaySize) / 2};
}

// ---------------------------------------------------------------- auto-hide

// Mouse-activity watch and hiding rules of the controls (menu, playlist, tempo
// panels, sound switch, system panel). The window owns the 5 s timer; this
// class decides.
class AutoHide
{
public:
    static constexpr int PeriodMs = 5000;
    static constexpr int Threshold = 10; // Manhattan distance in pixels
    static constexpr int Shift = 40;     // display and counter rise this much when hidden

    // A mouse move to `pos` (screen coordinates). Returns true when the window
    // should restart its timer and show the controls. Small moves do not update
    // the remembered position, so they add up until one ends 10 px from it.
    // Moves are ignored while following a sync server.
    bool mouseMoved(QPoint pos, bool syncClient)
    {
        if (syncClient) return false;
        if ((pos - last_).manhattanLength() < Threshold) return false;
        last_ = pos;
        return true;
    }

    QPoint lastPosition() const { return last_; }

    // Whether the timer's tick hides the controls now.
    static constexpr bool shouldHide(bool controlsShown, bool playing)
    {
        return controlsShown && playing;
    }

    // Vertical offset of the display and the counter.
    static constexpr int verticalShift(bool controlsShown) { return controlsShown ? 0 : -Shift; }

private:
    QPoint last_{0, 0};
};

} // namespace velmora
