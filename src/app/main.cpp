// VelmoraApp: the application's entry. Shows the splash, creates the windows in
// their order, runs the message loop, and lets the windows close in order.

#include "MainUnit.h"
#include "MidiGen.h"
#include "MidiSystem.h"
#include "SettingsMidi.h"
#include "SettingsStore.h"
#include "SettingsUnit.h"
#include "Theme.h"

#include <QApplication>
#include <QFont>
#include <QPainter>
#include <QScreen>
#include <QSplashScreen>
#include <QWindow>

namespace {

// Until the splash artwork arrives: a plain dark card with the progress line.
QPixmap plainSplash()
{
    QPixmap pm(275, 207);
    pm.fill(QColor(10, 18, 10));
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 200, 0), 2));
    p.drawRoundedRect(QRectF(pm.rect()).adjusted(1, 1, -1, -1), 12, 12);
    QFont title(QStringLiteral("Trebuchet MS"));
    title.setPixelSize(40);
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(0, 255, 0));
    p.drawText(QRect(0, 40, 275, 70), Qt::AlignCenter, QStringLiteral("Velmora"));
    return pm;
}

void showProgress(QSplashScreen& splash, const QString& text)
{
    splash.showMessage(text, Qt::AlignHCenter | Qt::AlignBottom, Qt::white);
    splash.repaint(); // the message loop is not running yet
    QCoreApplication::processEvents();
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    velmora::ApplyDarkTheme(app);
    // The system's faces: where Tahoma or Trebuchet MS are missing, use DejaVu Sans.
    QFont::insertSubstitution(QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"));
    QFont::insertSubstitution(QStringLiteral("Trebuchet MS"), QStringLiteral("DejaVu Sans"));

    QSplashScreen splash(plainSplash());
    splash.show();
    QApplication::setApplicationName(QStringLiteral("VelmoraApp"));
    QApplication::setApplicationDisplayName(QStringLiteral("VelmoraApp"));
    QApplication::setOrganizationName(QStringLiteral("Quorvane"));
    showProgress(splash, QStringLiteral("Loading forms..."));

    const QString appDir = QCoreApplication::applicationDirPath();
    const auto midi = velmora::MidiSystem::createDefault();
    const auto store = velmora::SettingsStore::OpenUserStore();

    // The windows, in their order. The settings dialog is created after the main
    // window and destroyed before it (it writes the store and asks the window
    // for the skin in use as it goes).
    TMainForm mainForm(*midi, appDir);
    mainForm.splashText = [&splash](const QString& text) { showProgress(splash, text); };
    velmora::GeneratorSettingsMidi<TMidiGen, velmora::MidiSystem> settingsMidi(mainForm.MIDI(),
                                                                               *midi);
    auto settings = std::make_unique<TSettingsForm>(*store, mainForm, settingsMidi, appDir);
    mainForm.SetSettingsForm(settings.get());
    // The song editor and the small windows join here as they arrive.

    splash.finish(&mainForm);
    mainForm.show();
    mainForm.activateWindow();
    // The dialog has no Qt parent (disabling the main window must not disable
    // it), but it belongs above the full-screen window.
    settings->winId();
    settings->windowHandle()->setTransientParent(mainForm.windowHandle());
    const int result = QApplication::exec();
    mainForm.SetSettingsForm(nullptr);
    settings.reset(); // writes the settings
    return result;
}
