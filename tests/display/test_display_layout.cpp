#include "DisplayLayout.h"

#include <QFontMetrics>
#include <gtest/gtest.h>

using namespace velmora;

// ---------------------------------------------------------------- counter

struct CounterCase
{
    CounterWidths w;
    int screen;
    CounterGeometry g;
};

class AlignCounterTest : public ::testing::TestWithParam<CounterCase>
{
};

TEST_P(AlignCounterTest, LaysOutAndCentres)
{
    const CounterCase c = GetParam();
    const CounterGeometry g = AlignCounter(c.w, c.screen);
    EXPECT_EQ(g.panelWidth, c.g.panelWidth);
    EXPECT_EQ(g.panelLeft, c.g.panelLeft);
    EXPECT_EQ(g.barLeft, c.g.barLeft);
    EXPECT_EQ(g.slashLeft, c.g.slashLeft);
    EXPECT_EQ(g.beatLeft, c.g.beatLeft);
}

INSTANTIATE_TEST_SUITE_P(
    Widths, AlignCounterTest,
    ::testing::Values(
        // "-1" "." "1": 32 px wider than the three, 12 px margin, 4 px gaps
        CounterCase{{54, 14, 24}, 1024, {124, 450, 12, 70, 88}},
        // odd leftover halves truncate
        CounterCase{{55, 14, 24}, 1025, {125, 450, 12, 71, 89}},
        // a screen narrower than the panel puts it left of 0, truncating toward 0
        CounterCase{{120, 14, 60}, 200, {226, -13, 12, 136, 154}}));

TEST(AlignCounter, WideningBarStaysCentred)
{
    // "9" -> "10": the panel grows and its middle stays at the screen's middle.
    const int screen = 1280;
    const CounterGeometry nine = AlignCounter({30, 14, 24}, screen);
    const CounterGeometry ten = AlignCounter({60, 14, 24}, screen);
    EXPECT_EQ(ten.panelWidth - nine.panelWidth, 30);
    EXPECT_EQ(nine.panelLeft - ten.panelLeft, 15);
    EXPECT_EQ(ten.panelLeft * 2 + ten.panelWidth, screen);
    EXPECT_EQ(ten.beatLeft + 24 + 12, ten.panelWidth); // same margin on the right
}

// ---------------------------------------------------------------- lyrics

namespace {
QFont measureFont()
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setBold(false);
    return f;
}
int widthAt(const QString& text, int size)
{
    QFont f = measureFont();
    f.setPointSize(size);
    return QFontMetrics(f).horizontalAdvance(text);
}
} // namespace

TEST(AutoSizeLyrics, TextThatFitsKeepsTheSettingsSize)
{
    const QString text = QStringLiteral("Welcome to Velmora");
    const int screen = widthAt(text, 36) + 1;
    EXPECT_EQ(AutoSizeLyrics(text, measureFont(), 36, true, screen), 36);
}

TEST(AutoSizeLyrics, LongerTextGetsTheLargestSizeThatFits)
{
    const QString text =
        QStringLiteral("And the song goes on & on, far past the edge of the screen");
    const int screen = 800;
    ASSERT_GT(widthAt(text, 36), screen);
    const int p = AutoSizeLyrics(text, measureFont(), 36, true, screen);
    EXPECT_LT(p, 36);
    EXPECT_LE(widthAt(text, p), screen);
    EXPECT_GT(widthAt(text, p + 1), screen);
}

TEST(AutoSizeLyrics, OptionOffKeepsTheSettingsSize)
{
    const QString text(400, QLatin1Char('W'));
    EXPECT_EQ(AutoSizeLyrics(text, measureFont(), 36, false, 800), 36);
}

TEST(AutoSizeLyrics, AbsurdlyLongTextStopsAtOne)
{
    const QString text(20000, QLatin1Char('W'));
    EXPECT_EQ(AutoSizeLyrics(text, measureFont(), 36, true, 800), 1);
}

// ---------------------------------------------------------------- auto-hide

TEST(AutoHide, SmallMovesAddUpFromTheLastPosition)
{
    AutoHide h;
    struct Move
    {
        QPoint to;
        bool show;
        QPoint last;
    };
    const Move moves[] = {
        {{5, 4}, false, {0, 0}},  // 9: nothing, position not updated
        {{-4, 5}, false, {0, 0}}, // still 9 from (0, 0)
        {{6, 4}, true, {6, 4}},   // 10 from (0, 0)
        {{12, 7}, false, {6, 4}}, // 9
        {{6, 14}, true, {6, 14}}, // 10 straight down
        {{200, 300}, true, {200, 300}},
    };
    for (const Move& m : moves) {
        EXPECT_EQ(h.mouseMoved(m.to, false), m.show) << m.to.x() << "," << m.to.y();
        EXPECT_EQ(h.lastPosition(), m.last);
    }
}

TEST(AutoHide, FollowingAServerIgnoresTheMouse)
{
    AutoHide h;
    EXPECT_FALSE(h.mouseMoved({500, 500}, true));
    EXPECT_EQ(h.lastPosition(), QPoint(0, 0));
}

TEST(AutoHide, HidesOnlyWhilePlayingWithControlsShown)
{
    EXPECT_TRUE(AutoHide::shouldHide(true, true));
    EXPECT_FALSE(AutoHide::shouldHide(true, false)); // stopped: never hides
    EXPECT_FALSE(AutoHide::shouldHide(false, true)); // already hidden
    EXPECT_EQ(AutoHide::verticalShift(false), -40);
    EXPECT_EQ(AutoHide::verticalShift(true), 0);
}

TEST(TextOnly, LyricsBetweenSidePanelsOnlyWhileTheyShow)
{
    const QSize screen(1280, 1024);
    EXPECT_EQ(TextOnlyLyricsRect(screen, 150, true), QRect(150, 0, 980, 1024));
    EXPECT_EQ(TextOnlyLyricsRect(screen, 150, false), QRect(0, 0, 1280, 1024));
    EXPECT_EQ(TextOnlyCounterTop(1024, 73), 935);
    EXPECT_EQ(TextOnlyFontSize(28, true), 56);
    EXPECT_EQ(TextOnlyFontSize(28, false), 28);
}
