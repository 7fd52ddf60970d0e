#pragma once

#include <QtGlobal>

namespace velmora {

// What the beat clock and song playback ask of the note generator. The
// application passes its TMidiGen through GeneratorVoice; tests may record calls.
class BeatVoice
{
public:
    virtual ~BeatVoice() = default;
    virtual void Stop() = 0;
    virtual void SetVolume(int volume) = 0;
    virtual bool Play() = 0;
    virtual void SetDuration(quint32 ticks) = 0; // in the generator's 10 ms ticks
    virtual void SetInstrument(int instrument) = 0;
};

template <class Generator> class GeneratorVoice final : public BeatVoice
{
public:
    explicit GeneratorVoice(Generator& generator) : m_generator(generator) {}
    void Stop() override { m_generator.Stop(); }
    void SetVolume(int volume) override { m_generator.SetVolume(volume); }
    bool Play() override { return m_generator.Play(); }
    void SetDuration(quint32 ticks) override { m_generator.SetDuration(ticks); }
    void SetInstrument(int instrument) override { m_generator.SetInstrument(instrument); }

private:
    Generator& m_generator;
};

} // namespace velmora
