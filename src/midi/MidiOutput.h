#pragma once

#include <QString>

#include <array>
#include <bitset>
#include <cstdint>
#include <mutex>
#include <span>

namespace velmora {

// One MIDI output device. The stream player sends from its own thread while the
// user-interface thread probes, resets and opens, so send() and allNotesOff()
// are serialised here, and the backends only ever see one call at a time.
//
// open()/close() are counted: the generator probes the device (open, close) and
// then opens it again for the stream on every beat, so a backend keeps its
// expensive resources (a loaded soundfont, an audio stream, a sequencer port)
// alive across those calls instead of tearing them down when the count drops
// to zero.
class MidiOutput
{
public:
    MidiOutput() = default;
    virtual ~MidiOutput() = default;
    MidiOutput(const MidiOutput&) = delete;
    MidiOutput& operator=(const MidiOutput&) = delete;

    // The product name shown in the device list.
    virtual QString name() const = 0;

    // True when the device can be used now. Every call, successful or not, is
    // balanced by one close().
    bool open();
    void close();
    int openCount() const;

    // One short message: status byte and its one or two data bytes.
    void send(std::span<const std::uint8_t> message);

    // Silences the output the way a driver's reset does: a note off for every
    // note still sounding and the sustain pedal released where it is held.
    // Nothing is sent for channels that are already quiet, so a reset on every
    // beat costs no bandwidth on a slow hardware port.
    void allNotesOff();

protected:
    // Called with the output's lock held.
    virtual bool openDevice() = 0;
    virtual void closeDevice() {}
    virtual void sendMessage(std::span<const std::uint8_t> message) = 0;

private:
    void track(std::span<const std::uint8_t> message);

    mutable std::mutex m_mutex;
    int m_openCount = 0;
    std::array<std::bitset<128>, 16> m_sounding;
    std::bitset<16> m_sustained;
};

} // namespace velmora
