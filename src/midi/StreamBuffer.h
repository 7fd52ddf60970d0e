#pragma once

#include <QtGlobal>

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace velmora {

// One entry of a stream buffer, laid out as the stream player reads it:
// 12 bytes, little-endian words. The event word's low three bytes are the
// MIDI message (status, first data byte, second data byte); its high byte is
// the event type, 0 for a short message, plus the callback flag.
struct StreamEvent
{
    quint32 delta = 0;    // ticks since the previous event of the buffer
    quint32 streamId = 0; // always 0: one stream
    quint32 event = 0;

    friend bool operator==(const StreamEvent&, const StreamEvent&) = default;
};
static_assert(sizeof(StreamEvent) == 12);

// The player reports reaching an event with this bit; one per buffer, on the first.
constexpr quint32 CallbackFlag = 0x40000000;
constexpr std::size_t MaxStreamBufferBytes = 65535;
constexpr std::size_t MaxStreamEvents = MaxStreamBufferBytes / sizeof(StreamEvent); // 5461

// Message kinds of the one event builder; 6, 8 and 9 are also note-record kinds.
enum class EventKind : quint8
{
    DataEntry = 0,
    RpnLsb = 1,
    RpnMsb = 2,
    Reverb = 3,
    Chorus = 4,
    Sustain = 5,
    ProgramChange = 6,
    ResetControllers = 7,
    NoteOn = 8,
    NoteOff = 9,
    PitchBend = 10,
    Volume = 11,
    Pan = 12,
    Modulation = 13,
};

// The event word for one message: status = base of the kind + channel; the
// parameter's low byte is the first data byte (or the controller's value,
// whose controller number the kind supplies), the high byte the second.
quint32 MakeEventWord(EventKind kind, int channel, quint16 parameter);

// The short message inside an event word: two bytes for program change and
// channel pressure, three for the others. Fixed size, so the player's send
// path allocates nothing.
struct ShortMessage
{
    std::array<std::uint8_t, 3> bytes{};
    std::size_t size = 0;
    std::span<const std::uint8_t> view() const { return {bytes.data(), size}; }
};
ShortMessage DecodeShortMessage(quint32 event);

// The buffer as the player's memory holds it, 12 bytes per event.
std::vector<std::uint8_t> StreamBufferBytes(std::span<const StreamEvent> events);

// The intermediate form of a play: what happens when, before the buffer exists.
struct NoteRecord
{
    quint32 time = 0;                   // ticks from the start of the play
    EventKind kind = EventKind::NoteOn; // ProgramChange, NoteOn or NoteOff
    quint32 value = 0;                  // program, note or instrument number
    quint8 channel = 0;                 // 0..15
};

// The generator's properties that shape a buffer, already clamped.
struct GeneratorSettings
{
    int volume = 100;
    int pan = 0;
    int reverb = 0;
    int chorus = 0;
    bool sustain = false;
    int modulation = 0;
    int pitchBend = 0;
    int pbDelay = 0;
    int pbDuration = 100;
    int instrument = 0; // 0..127 program, 128..174 percussion sound
    int channel = 0;    // 0..15
};

// The records of one note of `duration` ticks on the current channel: a
// percussion instrument on a melodic channel goes to channel 10 with its
// own key, a melodic program on channel 10 plays the note as a percussion key.
std::vector<NoteRecord> SingleNoteRecords(const GeneratorSettings& settings, int note,
                                          quint32 duration);

// The whole buffer of a play: the fifteen-event preamble, the program change,
// the notes and, when allowed and asked for, the pitch bend before the first
// note off. Records must be sorted by time. Events past 65 535 bytes are
// left out.
std::vector<StreamEvent> BuildStreamBuffer(const GeneratorSettings& settings,
                                           std::span<const NoteRecord> records,
                                           bool allowPitchBend);

} // namespace velmora
