#include "RtMidiOutputs.h"

#include <rtmidi/RtMidi.h>

namespace velmora {

namespace {

constexpr const char* ClientName = "Velmora";

// RtMidi reports failures through exceptions and, for warnings, a callback
// that prints by default; the warnings (a port that vanished) change nothing
// for us, so they are dropped.
void ignoreWarning(RtMidiError::Type, const std::string&, void*) {}

} // namespace

RtMidiPortOutput::RtMidiPortOutput(int api, std::string portName)
    : m_api(api), m_portName(std::move(portName))
{
}

RtMidiPortOutput::~RtMidiPortOutput() = default;

QString RtMidiPortOutput::name() const
{
    return QString::fromStdString(m_portName);
}

bool RtMidiPortOutput::openDevice()
{
    if (m_out && m_out->isPortOpen()) return true;
    try {
        if (!m_out)
            m_out = std::make_unique<RtMidiOut>(static_cast<RtMidi::Api>(m_api), ClientName);
        m_out->setErrorCallback(&ignoreWarning, nullptr);
        const unsigned int count = m_out->getPortCount();
        for (unsigned int port = 0; port < count; ++port) {
            if (m_out->getPortName(port) == m_portName) {
                m_out->openPort(port, "Velmora Output");
                return m_out->isPortOpen();
            }
        }
    } catch (const RtMidiError&) {
        m_out.reset();
    }
    return false;
}

void RtMidiPortOutput::sendMessage(std::span<const std::uint8_t> message)
{
    if (!m_out || !m_out->isPortOpen()) return;
    try {
        m_out->sendMessage(message.data(), message.size());
    } catch (const RtMidiError&) {
        // A port that went away mid-play: the beat is lost, the clock goes on.
    }
}

std::vector<std::unique_ptr<MidiOutput>> EnumerateRtMidiOutputs()
{
    std::vector<std::unique_ptr<MidiOutput>> outputs;
    std::vector<RtMidi::Api> apis;
    RtMidi::getCompiledApi(apis);
    for (const RtMidi::Api api : apis) {
        if (api != RtMidi::LINUX_ALSA && api != RtMidi::UNIX_JACK) continue;
        try {
            // Virtual ports are never used: on JACK without a server opening
            // one crashes inside the library.
            RtMidiOut probe(api, ClientName);
            probe.setErrorCallback(&ignoreWarning, nullptr);
            const unsigned int count = probe.getPortCount();
            for (unsigned int port = 0; port < count; ++port) {
                std::string portName = probe.getPortName(port);
                if (!portName.empty())
                    outputs.push_back(
                        std::make_unique<RtMidiPortOutput>(static_cast<int>(api), portName));
            }
        } catch (const RtMidiError&) {
            // No sequencer on this machine (or no access to it): no ports.
        }
    }
    return outputs;
}

} // namespace velmora
