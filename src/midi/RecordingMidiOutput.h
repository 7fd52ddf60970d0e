#pragma once

#include "MidiOutput.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <vector>

namespace velmora {

// An output that keeps every message with the steady-clock time it was sent,
// for tests and benchmarks. It can be told to refuse opening, which stands in
// for a device that another program holds or that has been unplugged.
class RecordingMidiOutput : public MidiOutput
{
public:
    struct Message
    {
        std::chrono::steady_clock::time_point time;
        std::vector<std::uint8_t> bytes;
    };

    explicit RecordingMidiOutput(QString name = QStringLiteral("Recording Output"));

    QString name() const override { return m_name; }

    std::vector<Message> messages() const;
    std::size_t messageCount() const;
    void clear();

    void setAvailable(bool available) { m_available = available; }
    // How often the device has been opened, counting refused attempts.
    int openAttempts() const { return m_openAttempts; }

protected:
    bool openDevice() override;
    void sendMessage(std::span<const std::uint8_t> message) override;

private:
    QString m_name;
    std::atomic<bool> m_available{true};
    std::atomic<int> m_openAttempts{0};
    mutable std::mutex m_recordMutex;
    std::vector<Message> m_messages;
};

} // namespace velmora
