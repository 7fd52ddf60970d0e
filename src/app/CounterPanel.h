#pragma once

#include <QElapsedTimer>
#include <QLabel>
#include <QRegion>
#include <QTimer>
#include <QWidget>

namespace velmora {

// The bar counter: bar number, a dot and the beat number in lime on a black
// rounded shape with a dotted lime outline. The labels size themselves to their
// text; the main window's AlignCounter places them.
class CounterPanel : public QWidget
{
    Q_OBJECT
public:
    explicit CounterPanel(QWidget* parent);

    QLabel* BarLabel() const { return m_bar; }
    QLabel* Slash() const { return m_slash; }
    QLabel* BeatLabel() const { return m_beat; }

    // Sets a caption and resizes its label to the text, as a self-sizing label does.
    static void setCaption(QLabel* label, const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override; // BlackShape

private:
    QLabel* m_bar;
    QLabel* m_slash;
    QLabel* m_beat;
};

// The beat display widget (Mask): shows the skin display's picture and repaints
// only the part that a drawing operation changed. At the fastest tempos ticks
// come every 2.6 ms, far faster than a screen refreshes; changes are then
// gathered and shown at most every MinFrameMs, which keeps the user-interface
// thread free for the ticks themselves.
class DisplayView : public QWidget
{
    Q_OBJECT
public:
    static constexpr int MinFrameMs = 8;

    DisplayView(const QImage& image, QWidget* parent);

    // A drawing operation changed this part of the picture.
    void changed(const QRect& rect);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void flush();

    const QImage& m_image;
    QRegion m_dirty;
    QElapsedTimer m_sinceFlush;
    QTimer m_flushTimer;
};

} // namespace velmora
