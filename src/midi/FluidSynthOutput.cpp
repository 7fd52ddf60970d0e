#include "FluidSynthOutput.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <fluidsynth.h>

#include <string>
#include <vector>

namespace velmora {

namespace {

// An audio output that could not be opened (no sound card, sound server not
// up yet) is tried again at most this often, so that a machine without sound
// does not pay for a failing driver on every beat.
constexpr auto DriverRetryInterval = std::chrono::seconds(30);

QStringList soundFontsIn(const QString& folder)
{
    QStringList found;
    const QDir dir(folder);
    for (const QString& file :
         dir.entryList({QStringLiteral("*.sf2"), QStringLiteral("*.sf3")}, QDir::Files, QDir::Name))
        found << dir.filePath(file);
    return found;
}

} // namespace

FluidSynthOutput::FluidSynthOutput(Mode mode, QString soundFont)
    : m_mode(mode), m_soundFont(std::move(soundFont))
{
}

FluidSynthOutput::~FluidSynthOutput()
{
    // The driver pulls audio from the synth on its own thread: it goes first.
    if (m_driver) delete_fluid_audio_driver(m_driver);
    if (m_synth) delete_fluid_synth(m_synth);
    if (m_settings) delete_fluid_settings(m_settings);
}

QString FluidSynthOutput::name() const
{
    return QStringLiteral("Built-in Synthesizer");
}

QStringList FluidSynthOutput::soundFontCandidates()
{
    QStringList candidates;
    if (QCoreApplication::instance()) {
        const QString appDir = QCoreApplication::applicationDirPath();
        candidates << soundFontsIn(appDir) << soundFontsIn(appDir + QStringLiteral("/soundfonts"));
    }
    // Debian's default-GM.sf2 is the alternative the packages point at; the
    // named ones follow in order of quality, then whatever else is installed.
    const QStringList folders = {
        QStringLiteral("/usr/share/sounds/sf2"), QStringLiteral("/usr/share/soundfonts"),
        QStringLiteral("/usr/share/sounds/sf3"), QStringLiteral("/usr/local/share/soundfonts"),
        QDir::homePath() + QStringLiteral("/.local/share/soundfonts")};
    const QStringList preferred = {QStringLiteral("default-GM.sf2"), QStringLiteral("default.sf2"),
                                   QStringLiteral("FluidR3_GM.sf2"),
                                   QStringLiteral("TimGM6mb.sf2")};
    for (const QString& folder : folders)
        for (const QString& file : preferred)
            candidates << folder + QLatin1Char('/') + file;
    for (const QString& folder : folders)
        candidates << soundFontsIn(folder);
    return candidates;
}

QString FluidSynthOutput::findSoundFont()
{
    for (const QString& candidate : soundFontCandidates()) {
        const QFileInfo info(candidate);
        if (info.isFile() && info.isReadable()) return info.absoluteFilePath();
    }
    return {};
}

double FluidSynthOutput::sampleRate() const
{
    double rate = 44100.0;
    if (m_settings) fluid_settings_getnum(m_settings, "synth.sample-rate", &rate);
    return rate;
}

bool FluidSynthOutput::createSynth()
{
    if (m_synth) return true;
    // Every beat changes the program on channel 10 to 127, a drum kit most
    // General MIDI soundfonts lack; FluidSynth then uses the standard kit, as
    // intended, but warns on each beat. Its warnings go nowhere (errors still
    // reach the console). FluidSynth's log is process-wide, and only this
    // output uses FluidSynth.
    fluid_set_log_function(FLUID_WARN, nullptr, nullptr);
    if (m_synthFailed) return false;
    if (m_soundFont.isEmpty()) m_soundFont = findSoundFont();
    if (!m_soundFont.isEmpty()) {
        m_settings = new_fluid_settings();
        if (m_settings) {
            fluid_settings_setint(m_settings, "synth.threadsafe-api", 1);
            // The default gain (0.2) leaves room for a full orchestra; one
            // click at a time is far from clipping at 1.0, and at 0.2 a
            // quiet beat of the side stick sits near -40 dBFS.
            fluid_settings_setnum(m_settings, "synth.gain", 1.0);
            m_synth = new_fluid_synth(m_settings);
        }
        if (m_synth && fluid_synth_sfload(m_synth, QFile::encodeName(m_soundFont).constData(), 1) ==
                           FLUID_FAILED) {
            delete_fluid_synth(m_synth);
            m_synth = nullptr;
        }
    }
    if (!m_synth) {
        if (m_settings) delete_fluid_settings(m_settings);
        m_settings = nullptr;
        m_synthFailed = true;
        return false;
    }
    return true;
}

bool FluidSynthOutput::createAudioDriver()
{
    if (m_driver) return true;
    const auto now = std::chrono::steady_clock::now();
    if (m_driverTried && now - m_lastDriverAttempt < DriverRetryInterval) return false;
    m_driverTried = true;
    m_lastDriverAttempt = now;
    // FluidSynth's default is ALSA; a desktop that runs only a PulseAudio (or
    // PipeWire-Pulse) server without the ALSA bridge is reached directly.
    char* standard = nullptr;
    fluid_settings_getstr_default(m_settings, "audio.driver", &standard);
    std::vector<std::string> drivers{standard ? standard : "alsa"};
    if (drivers.front() != "pulseaudio") drivers.emplace_back("pulseaudio");
    for (const std::string& driver : drivers) {
        fluid_settings_setstr(m_settings, "audio.driver", driver.c_str());
        m_driver = new_fluid_audio_driver(m_settings, m_synth);
        if (m_driver) break;
    }
    return m_driver != nullptr;
}

bool FluidSynthOutput::openDevice()
{
    if (!createSynth()) return false;
    return m_mode == Mode::Offline || createAudioDriver();
}

void FluidSynthOutput::sendMessage(std::span<const std::uint8_t> message)
{
    if (!m_synth) return;
    const int channel = message[0] & 0x0F;
    const int data1 = message.size() > 1 ? message[1] & 0x7F : 0;
    const int data2 = message.size() > 2 ? message[2] & 0x7F : 0;
    switch (message[0] & 0xF0) {
    case 0x80:
        fluid_synth_noteoff(m_synth, channel, data1);
        break;
    case 0x90:
        // FluidSynth treats velocity 0 as a note off, as MIDI does.
        fluid_synth_noteon(m_synth, channel, data1, data2);
        break;
    case 0xA0:
        fluid_synth_key_pressure(m_synth, channel, data1, data2);
        break;
    case 0xB0:
        fluid_synth_cc(m_synth, channel, data1, data2);
        break;
    case 0xC0:
        fluid_synth_program_change(m_synth, channel, data1);
        break;
    case 0xD0:
        fluid_synth_channel_pressure(m_synth, channel, data1);
        break;
    case 0xE0:
        fluid_synth_pitch_bend(m_synth, channel, data1 | (data2 << 7));
        break;
    default:
        break;
    }
}

bool FluidSynthOutput::render(std::span<float> left, std::span<float> right)
{
    if (!m_synth || left.size() != right.size()) return false;
    return fluid_synth_write_float(m_synth, static_cast<int>(left.size()), left.data(), 0, 1,
                                   right.data(), 0, 1) == FLUID_OK;
}

} // namespace velmora
