#pragma once

#include <QColor>
#include <QDialog>
#include <QFont>

class QComboBox;
class QFontDialog;

namespace velmora {

// The lyrics font chooser: Qt's font panel (existing fonts only, with the
// underline and strike-out effects) and a colour list of the sixteen basic
// colours, the way the lyrics font has always been chosen. A colour outside
// those sixteen (from a hand-edited store) is kept as an extra "Custom" entry
// so that confirming the dialog without touching it does not change it.
class LyricsFontDialog : public QDialog
{
    Q_OBJECT
public:
    explicit LyricsFontDialog(QWidget* parent = nullptr);

    void setCurrent(const QFont& font, const QColor& color);
    QFont selectedFont() const;
    QColor selectedColor() const;

    QFontDialog* fontPanel() const { return m_fontPanel; }
    QComboBox* colorBox() const { return m_colorBox; }

private:
    QFontDialog* m_fontPanel = nullptr;
    QComboBox* m_colorBox = nullptr;
};

} // namespace velmora
