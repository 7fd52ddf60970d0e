#include "RecordingMidiOutput.h"

namespace velmora {

RecordingMidiOutput::RecordingMidiOutput(QString name) : m_name(std::move(name)) {}

bool RecordingMidiOutput::openDevice()
{
    ++m_openAttempts;
    return m_available;
}

void RecordingMidiOutput::sendMessage(std::span<const std::uint8_t> message)
{
    // Take the time first so that the lock does not show up in the timing.
    const auto now = std::chrono::steady_clock::now();
    std::lock_guard lock(m_recordMutex);
    m_messages.push_back({now, {message.begin(), message.end()}});
}

std::vector<RecordingMidiOutput::Message> RecordingMidiOutput::messages() const
{
    std::lock_guard lock(m_recordMutex);
    return m_messages;
}

std::size_t RecordingMidiOutput::messageCount() const
{
    std::lock_guard lock(m_recordMutex);
    return m_messages.size();
}

void RecordingMidiOutput::clear()
{
    std::lock_guard lock(m_recordMutex);
    m_messages.clear();
}

} // namespace velmora
