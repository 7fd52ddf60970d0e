#pragma once

#include <QColor>
#include <QFont>
#include <QString>

namespace velmora {

// The main window as the settings dialog sees it. The dialog changes the
// window's skin, lyrics label and enabled state through these calls, so it
// never depends on the window class itself.
class SettingsHost
{
public:
    virtual ~SettingsHost() = default;

    // The skin loader; CurrentSkinName() changes only when a load succeeds.
    virtual bool LoadSkin(const QString& name) = 0;
    virtual QString CurrentSkinName() const = 0;

    // The lyrics label: its font and colour, its font size alone (text-only
    // mode doubles it), and its place along the bottom of the window.
    virtual void SetLyricsFont(const QFont& font, const QColor& color) = 0;
    virtual void SetLyricsFontSize(int pointSize) = 0;
    virtual void PlaceLyricsLabel(int top, int height) = 0;
    virtual int MainWindowHeight() const = 0;
    virtual bool TextOnlyChecked() const = 0;

    // The dialog is modeless but keeps the main window disabled while shown.
    // The host must not disable the dialog with it: Qt disables a parent's
    // child windows too, so either leave the dialog without a parent or
    // disable only the main window's contents.
    virtual void SetMainWindowEnabled(bool enabled) = 0;

    // The splash window's status line, repainted at once.
    virtual void ShowSplashText(const QString& text) = 0;

    // The beat timer's polling mode.
    virtual void SetUltraPrecise(bool ultraPrecise) = 0;

    // A failure the user must hear about (the store could not be written).
    virtual void ReportError(const QString& text) = 0;
};

} // namespace velmora
