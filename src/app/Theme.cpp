#include "Theme.h"

#include <QApplication>
#include <QPalette>
#include <QStyleFactory>

namespace velmora {

void ApplyDarkTheme(QApplication& app)
{
    app.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QPalette p;
    const QColor text(232, 255, 232);
    p.setColor(QPalette::Window, QColor(18, 22, 18));
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, QColor(11, 20, 11));
    p.setColor(QPalette::AlternateBase, QColor(20, 32, 20));
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, QColor(24, 36, 24));
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::Highlight, QColor(31, 111, 31));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::ToolTipBase, QColor(16, 32, 16));
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::Light, QColor(60, 110, 60));
    p.setColor(QPalette::Midlight, QColor(40, 70, 40));
    p.setColor(QPalette::Mid, QColor(30, 50, 30));
    p.setColor(QPalette::Dark, QColor(10, 16, 10));
    p.setColor(QPalette::Shadow, Qt::black);
    p.setColor(QPalette::PlaceholderText, QColor(120, 150, 120));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(100, 120, 100));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(100, 120, 100));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(100, 120, 100));
    app.setPalette(p);
}

} // namespace velmora
