#pragma once

#include "MidiOutput.h"

#include <QStringList>

#include <chrono>
#include <span>

struct _fluid_hashtable_t;
struct _fluid_synth_t;
struct _fluid_audio_driver_t;

namespace velmora {

// The built-in synthesizer: FluidSynth with a General MIDI soundfont found on
// the system. The synth, its soundfont and its audio output are created at the
// first open and then kept for the life of the output, because the generator
// opens and closes its device around every beat and a soundfont load takes far
// longer than a beat may.
//
// Live mode sounds through FluidSynth's default audio driver. Where no
// soundfont or no audio output can be had, open() fails and the beats are
// silent. Offline mode creates no audio driver; render() pulls the sound into
// memory instead (tests, tools).
class FluidSynthOutput : public MidiOutput
{
public:
    enum class Mode
    {
        Live,
        Offline
    };

    // An empty soundFont means: search with findSoundFont() at the first open.
    explicit FluidSynthOutput(Mode mode = Mode::Live, QString soundFont = {});
    ~FluidSynthOutput() override;

    QString name() const override;

    // The folders and files searched, in order: every .sf2/.sf3 beside the
    // executable (and in its "soundfonts" folder), then the usual system places.
    static QStringList soundFontCandidates();
    // The first candidate that exists, or an empty string.
    static QString findSoundFont();

    QString soundFont() const { return m_soundFont; }
    double sampleRate() const;

    // Offline mode: synthesises the next left.size() frames (left and right of
    // the same size). False when the synth could not be created.
    bool render(std::span<float> left, std::span<float> right);

protected:
    bool openDevice() override;
    void sendMessage(std::span<const std::uint8_t> message) override;

private:
    bool createSynth();
    bool createAudioDriver();

    Mode m_mode;
    QString m_soundFont;
    bool m_synthFailed = false;
    std::chrono::steady_clock::time_point m_lastDriverAttempt;
    bool m_driverTried = false;
    _fluid_hashtable_t* m_settings = nullptr;
    _fluid_synth_t* m_synth = nullptr;
    _fluid_audio_driver_t* m_driver = nullptr;
};

} // namespace velmora
