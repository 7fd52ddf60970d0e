#pragma once

#include "MidiOutput.h"

#include <memory>
#include <string>
#include <vector>

class RtMidiOut;

namespace velmora {

// One output port of the system's MIDI service (ALSA sequencer, or JACK where
// a JACK server runs), reached through RtMidi. The port is looked up by name
// when it is opened, since port numbers shift as devices come and go, and is
// then kept open: the generator opens its device around every beat.
class RtMidiPortOutput : public MidiOutput
{
public:
    RtMidiPortOutput(int api, std::string portName);
    ~RtMidiPortOutput() override;

    QString name() const override;

protected:
    bool openDevice() override;
    void sendMessage(std::span<const std::uint8_t> message) override;

private:
    int m_api;
    std::string m_portName;
    std::unique_ptr<RtMidiOut> m_out;
};

// Every MIDI output port of the system, in the order RtMidi lists them, ALSA
// first. A machine without a sequencer or a JACK server gives none.
std::vector<std::unique_ptr<MidiOutput>> EnumerateRtMidiOutputs();

} // namespace velmora
