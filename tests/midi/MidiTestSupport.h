#pragma once

#include "MidiSystem.h"
#include "RecordingMidiOutput.h"
#include "StreamBuffer.h"

#include <array>
#include <cstdint>
#include <iomanip>
#include <memory>
#include <ostream>
#include <vector>

namespace velmora::test {

// One expected stream event: delta, the message bytes (program change has two)
// and whether it carries the callback flag.
struct Ev
{
    quint32 delta;
    std::vector<std::uint8_t> bytes;
    bool callback = false;
};

inline Ev decode(const StreamEvent& e)
{
    const ShortMessage m = DecodeShortMessage(e.event);
    return {e.delta,
            {m.bytes.begin(), m.bytes.begin() + static_cast<long>(m.size)},
            (e.event & CallbackFlag) != 0};
}

inline std::vector<Ev> decodeAll(const std::vector<StreamEvent>& events)
{
    std::vector<Ev> out;
    for (const StreamEvent& e : events)
        out.push_back(decode(e));
    return out;
}

inline bool operator==(const Ev& a, const Ev& b)
{
    return a.delta == b.delta && a.bytes == b.bytes && a.callback == b.callback;
}

inline void PrintTo(const Ev& e, std::ostream* os)
{
    *os << "{" << e.delta << ":";
    for (auto b : e.bytes)
        *os << " " << std::hex << std::setw(2) << std::setfill('0') << int(b) << std::dec;
    if (e.callback) *os << " cb";
    *os << "}";
}

// A system whose devices are recording outputs, device 0 first.
struct RecordingSystem
{
    explicit RecordingSystem(int devices = 1)
    {
        std::vector<std::unique_ptr<MidiOutput>> outputs;
        for (int i = 0; i < devices; ++i) {
            auto output = std::make_unique<RecordingMidiOutput>();
            recorders.push_back(output.get());
            outputs.push_back(std::move(output));
        }
        system = std::make_unique<MidiSystem>(std::move(outputs));
    }
    std::vector<RecordingMidiOutput*> recorders;
    std::unique_ptr<MidiSystem> system;
};

inline std::vector<std::vector<std::uint8_t>>
bytesOf(const std::vector<RecordingMidiOutput::Message>& messages)
{
    std::vector<std::vector<std::uint8_t>> out;
    for (const auto& m : messages)
        out.push_back(m.bytes);
    return out;
}

inline bool isNoteOn(const std::vector<std::uint8_t>& m)
{
    return m.size() == 3 && (m[0] & 0xF0) == 0x90 && m[2] != 0;
}

} // namespace velmora::test
