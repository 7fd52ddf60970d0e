#pragma once

#include <QLabel>
#include <QMouseEvent>

namespace velmora {

// A transparent clickable area laid over a button picture: hand cursor, a hint,
// and a click on release inside the area, as the picture buttons of the main
// window behave.
class ClickArea : public QLabel
{
    Q_OBJECT
public:
    ClickArea(const QString& objectName, const QString& hint, QWidget* parent) : QLabel(parent)
    {
        setObjectName(objectName);
        setToolTip(hint);
        setCursor(Qt::PointingHandCursor);
        setAttribute(Qt::WA_TranslucentBackground);
        setStyleSheet(QStringLiteral("background: transparent;"));
    }

Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
            Q_EMIT clicked();
        QLabel::mouseReleaseEvent(event);
    }
};

} // namespace velmora
