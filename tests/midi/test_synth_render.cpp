#include "FluidSynthOutput.h"
#include "MidiGen.h"
#include "MidiTestSupport.h"

#include <QSaveFile>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace velmora;

namespace {

struct Render
{
    double rate = 44100.0;
    std::vector<float> left, right;

    float level(std::size_t frame) const
    {
        return std::max(std::fabs(left[frame]), std::fabs(right[frame]));
    }
    float peak(std::size_t from, std::size_t to) const
    {
        float p = 0;
        for (std::size_t f = from; f < std::min(to, left.size()); ++f)
            p = std::max(p, level(f));
        return p;
    }
    double rms(std::size_t from, std::size_t to) const
    {
        double sum = 0;
        for (std::size_t f = from; f < to; ++f)
            sum += 0.5 * (double(left[f]) * left[f] + double(right[f]) * right[f]);
        return std::sqrt(sum / double(to - from));
    }
    std::size_t frameAt(double seconds) const
    {
        return static_cast<std::size_t>(std::llround(seconds * rate));
    }
};

// 16-bit stereo WAV, for a person to listen to (sox's play, aplay).
bool writeWav(const QString& path, const Render& r)
{
    QByteArray data;
    const auto put16 = [&data](int v) {
        data.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
    };
    const auto put32 = [&data](quint32 v) {
        for (int s = 0; s < 32; s += 8)
            data.append(char((v >> s) & 0xFF));
    };
    const auto rate = static_cast<quint32>(r.rate);
    const auto bytes = static_cast<quint32>(r.left.size() * 4);
    data.append("RIFF");
    put32(36 + bytes);
    data.append("WAVEfmt ");
    put32(16);
    put16(1);
    put16(2);
    put32(rate);
    put32(rate * 4);
    put16(4);
    put16(16);
    data.append("data");
    put32(bytes);
    const auto sample = [](float x) {
        return static_cast<int>(std::lround(std::clamp(x, -1.0f, 1.0f) * 32767.0f));
    };
    for (std::size_t f = 0; f < r.left.size(); ++f) {
        put16(sample(r.left[f]));
        put16(sample(r.right[f]));
    }
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit();
}

} // namespace

// One bar of four at 120 as the beat clock plays it (side stick, note length
// 50 ticks, bar beat at volume 70, the others at 30): the generator's buffers,
// decoded as the stream player decodes them, sent to the built-in synthesizer
// at their times and rendered to memory.
TEST(BuiltInSynthesizer, OneBarSoundsFourClicksWithTheBarBeatLoudest)
{
    const QString soundFont = FluidSynthOutput::findSoundFont();
    if (soundFont.isEmpty())
        GTEST_SKIP() << "no General MIDI soundfont found (Debian: timgm6mb-soundfont)";
    FluidSynthOutput synth(FluidSynthOutput::Mode::Offline, soundFont);
    ASSERT_TRUE(synth.open()) << soundFont.toStdString();

    test::RecordingSystem devices;
    TMidiGen gen(*devices.system);
    gen.SetInstrument(mgSideStick);
    gen.SetDuration(50);

    constexpr double lead = 0.1; // seconds of silence before the bar
    constexpr double beat = 0.5;
    constexpr double tick = 0.010;
    struct Timed
    {
        double seconds;
        ShortMessage message;
    };
    std::vector<Timed> schedule;
    for (int k = 0; k < 4; ++k) {
        gen.SetVolume(k == 0 ? 70 : 30);
        double t = lead + k * beat;
        for (const StreamEvent& e : gen.BuildNoteBuffer(gen.Note() + 12 * gen.Octave())) {
            t += e.delta * tick;
            schedule.push_back({t, DecodeShortMessage(e.event)});
        }
    }

    Render r;
    r.rate = synth.sampleRate();
    const std::size_t total = r.frameAt(lead + 4 * beat + 0.3);
    r.left.resize(total);
    r.right.resize(total);
    std::size_t done = 0;
    const auto renderTo = [&](std::size_t frame) {
        if (frame <= done) return;
        ASSERT_TRUE(synth.render(std::span(r.left).subspan(done, frame - done),
                                 std::span(r.right).subspan(done, frame - done)));
        done = frame;
    };
    for (const Timed& m : schedule) {
        renderTo(r.frameAt(m.seconds));
        synth.send(m.message.view());
    }
    renderTo(total);
    synth.close();

    if (const QByteArray wav = qgetenv("VELMORA_WAV_OUT"); !wav.isEmpty()) {
        EXPECT_TRUE(writeWav(QString::fromLocal8Bit(wav), r));
    }

    EXPECT_LT(r.peak(0, r.frameAt(lead - 0.01)), 1e-4) << "silence before the bar";
    const auto ms = [&r](double m) { return r.frameAt(m / 1000.0); };
    double loudness[4] = {};
    for (int k = 0; k < 4; ++k) {
        const std::size_t expected = r.frameAt(lead + k * beat);
        const float peak = r.peak(expected - ms(50), expected + ms(100));
        ASSERT_GT(peak, 0.01f) << "beat " << k << " is missing";
        std::size_t onset = expected - ms(50);
        while (r.level(onset) < 0.1f * peak)
            ++onset;
        const double offsetMs = (double(onset) - double(expected)) * 1000.0 / r.rate;
        EXPECT_LE(std::fabs(offsetMs), 3.0) << "beat " << k << " sounds " << offsetMs << " ms off";
        // A click, not a tone: the second half of the beat is quiet.
        EXPECT_LT(r.peak(expected + ms(250), expected + ms(480)), 0.1f * peak) << "beat " << k;
        loudness[k] = r.rms(onset, onset + ms(50));
    }
    for (int k = 1; k < 4; ++k) {
        EXPECT_GT(loudness[0], 2.0 * loudness[k]) << "bar beat against beat " << k;
        EXPECT_NEAR(loudness[k], loudness[1], 0.1 * loudness[1]) << "beat " << k;
    }
}
