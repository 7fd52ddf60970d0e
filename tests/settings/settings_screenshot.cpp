// Draws the settings dialog (and its font chooser) offscreen, in the
// application's theme, into PNG files for a look by eye: settings_screenshot <output folder>
// [runtime folder]. The runtime folder must hold the generated skins and images; it defaults to the
// build's bin folder (build the velmora_artwork target first).
#include "LyricsFontDialog.h"
#include "SettingsDoubles.h"
#include "SettingsUnit.h"
#include "Theme.h"

#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    velmora::ApplyDarkTheme(app);
    if (argc < 2) {
        std::fprintf(stderr, "usage: settings_screenshot <output folder> [runtime folder]\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QString runtime =
        argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral(VELMORA_RUNTIME_DIR);

    QTemporaryDir storeDir;
    QSettings store(storeDir.filePath(QStringLiteral("Velmora.conf")), QSettings::IniFormat);
    FakeHost host;
    FakeMidi midi;
    midi.devices = {QStringLiteral("Velmora Synth (FluidSynth)"),
                    QStringLiteral("Midi Through Port-0")};
    TSettingsForm form(store, host, midi, runtime);
    form.show();
    QApplication::processEvents();
    bool ok = form.grab().save(out.filePath(QStringLiteral("settings_dialog.png")));

    form.FontButtonClick();
    QApplication::processEvents();
    ok = form.FontDialog()->grab().save(out.filePath(QStringLiteral("settings_font.png"))) && ok;
    form.FontDialog()->reject();
    return ok ? 0 : 1;
}
