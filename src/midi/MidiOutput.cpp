#include "MidiOutput.h"

namespace velmora {

bool MidiOutput::open()
{
    std::lock_guard lock(m_mutex);
    ++m_openCount;
    return openDevice();
}

void MidiOutput::close()
{
    std::lock_guard lock(m_mutex);
    if (m_openCount == 0) return;
    if (--m_openCount == 0) closeDevice();
}

int MidiOutput::openCount() const
{
    std::lock_guard lock(m_mutex);
    return m_openCount;
}

void MidiOutput::send(std::span<const std::uint8_t> message)
{
    if (message.empty()) return;
    std::lock_guard lock(m_mutex);
    track(message);
    sendMessage(message);
}

void MidiOutput::track(std::span<const std::uint8_t> message)
{
    const std::uint8_t status = message[0];
    const int channel = status & 0x0F;
    switch (status & 0xF0) {
    case 0x80:
        if (message.size() >= 2) m_sounding[channel].reset(message[1] & 0x7F);
        break;
    case 0x90:
        if (message.size() >= 3) m_sounding[channel].set(message[1] & 0x7F, message[2] != 0);
        break;
    case 0xB0:
        if (message.size() >= 3 && message[1] == 64)
            m_sustained.set(channel, message[2] >= 64);
        else if (message.size() >= 2 && (message[1] == 120 || message[1] == 123))
            m_sounding[channel].reset();
        break;
    default:
        break;
    }
}

void MidiOutput::allNotesOff()
{
    std::lock_guard lock(m_mutex);
    for (int channel = 0; channel < 16; ++channel) {
        const auto status = static_cast<std::uint8_t>(0x90 | channel);
        for (int key = 0; key < 128; ++key) {
            if (!m_sounding[channel].test(key)) continue;
            const std::array<std::uint8_t, 3> off{status, static_cast<std::uint8_t>(key), 0};
            sendMessage(off);
        }
        m_sounding[channel].reset();
        if (m_sustained.test(channel)) {
            const std::array<std::uint8_t, 3> pedal{static_cast<std::uint8_t>(0xB0 | channel), 64,
                                                    0};
            sendMessage(pedal);
            m_sustained.reset(channel);
        }
    }
}

} // namespace velmora
