#include "CounterPanel.h"

#include <QPaintEvent>
#include <QPainter>

namespace velmora {

namespace {
QLabel* counterLabel(const char* name, const QString& text, int pixelSize, bool bold,
                     QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    QFont font(QStringLiteral("Trebuchet MS"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    label->setFont(font);
    label->setStyleSheet(QStringLiteral("color: #00ff00; background: transparent;"));
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    CounterPanel::setCaption(label, text);
    return label;
}
} // namespace

CounterPanel::CounterPanel(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("BarPanel"));
    setAttribute(Qt::WA_TranslucentBackground);
    resize(164, 73);
    m_bar = counterLabel("BarLabel", QStringLiteral("-1"), 57, true, this);
    m_slash = counterLabel("Slash", QStringLiteral("."), 57, false, this);
    m_beat = counterLabel("BeatLabel", QStringLiteral("1"), 40, true, this);
    m_bar->move(12, 1);
    m_slash->move(m_bar->x() + m_bar->width() + 4, 1);
    m_beat->move(m_slash->x() + m_slash->width() + 4, 16);
}

void CounterPanel::setCaption(QLabel* label, const QString& text)
{
    label->setText(text);
    const QFontMetrics fm(label->font());
    label->resize(fm.horizontalAdvance(text), fm.height());
}

void CounterPanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(QColor(0, 255, 0));
    pen.setStyle(Qt::DotLine);
    pen.setWidthF(1.5);
    p.setPen(pen);
    p.setBrush(Qt::black);
    p.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 14, 14);
}

DisplayView::DisplayView(const QImage& image, QWidget* parent) : QWidget(parent), m_image(image)
{
    setObjectName(QStringLiteral("Mask"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(600, 600);
    m_flushTimer.setSingleShot(true);
    m_flushTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_flushTimer, &QTimer::timeout, this, &DisplayView::flush);
    m_sinceFlush.start();
}

void DisplayView::changed(const QRect& rect)
{
    m_dirty += rect;
    if (m_flushTimer.isActive()) return;
    const qint64 wait = MinFrameMs - m_sinceFlush.elapsed();
    if (wait <= 0)
        flush();
    else
        m_flushTimer.start(int(wait));
}

void DisplayView::flush()
{
    update(m_dirty);
    m_dirty = QRegion();
    m_sinceFlush.restart();
}

void DisplayView::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    const QRect r = event->rect();
    p.drawImage(r, m_image, r);
}

} // namespace velmora
