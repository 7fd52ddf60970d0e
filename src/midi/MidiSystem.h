#pragma once

#include "MidiOutput.h"

#include <QString>

#include <memory>
#include <vector>

namespace velmora {

// The device list and the process-wide state of the MIDI platform: the
// generators' instance counter and the owner of the output. The application
// has exactly one; tests make their own so that the owner rule of one test
// case does not leak into the next.
class MidiSystem
{
public:
    explicit MidiSystem(std::vector<std::unique_ptr<MidiOutput>> outputs);
    ~MidiSystem();
    MidiSystem(const MidiSystem&) = delete;
    MidiSystem& operator=(const MidiSystem&) = delete;

    // The built-in synthesizer first, then every MIDI output port of the system.
    static std::unique_ptr<MidiSystem> createDefault();

    int deviceCount() const;
    // Product name of a device, empty for an identifier outside the list.
    QString deviceName(int id) const;

    // The output behind a device identifier: −1, the default device, is
    // device 0. Null for any other identifier outside the list.
    MidiOutput* output(int id) const;

    // Opens the device for plain output and closes it again; true when the
    // open succeeded. This is what the generator's availability check asks.
    bool probe(int id) const;

    // Generators number themselves from 1 upward.
    int takeInstanceNumber() { return m_nextInstance++; }
    // The instance whose stream first opened; 0 while none has.
    int owner() const { return m_owner; }
    void setOwner(int instance) { m_owner = instance; }

private:
    std::vector<std::unique_ptr<MidiOutput>> m_outputs;
    int m_nextInstance = 1;
    int m_owner = 0;
};

} // namespace velmora
