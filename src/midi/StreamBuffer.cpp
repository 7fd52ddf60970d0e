#include "StreamBuffer.h"

#include <algorithm>

namespace velmora {

namespace {

struct KindInfo
{
    quint8 statusBase;
    qint16 controller; // -1: the kind is no controller
};

constexpr KindInfo kindInfo(EventKind kind)
{
    switch (kind) {
    case EventKind::DataEntry:
        return {0xB0, 6};
    case EventKind::RpnLsb:
        return {0xB0, 100};
    case EventKind::RpnMsb:
        return {0xB0, 101};
    case EventKind::Reverb:
        return {0xB0, 91};
    case EventKind::Chorus:
        return {0xB0, 93};
    case EventKind::Sustain:
        return {0xB0, 64};
    case EventKind::ProgramChange:
        return {0xC0, -1};
    case EventKind::ResetControllers:
        return {0xB0, 121};
    case EventKind::NoteOn:
    case EventKind::NoteOff:
        return {0x90, -1};
    case EventKind::PitchBend:
        return {0xE0, -1};
    case EventKind::Volume:
        return {0xB0, 7};
    case EventKind::Pan:
        return {0xB0, 10};
    case EventKind::Modulation:
        return {0xB0, 1};
    }
    return {0xB0, 0};
}

constexpr int PercussionChannel = 9;
constexpr int FirstPercussionValue = 128;
constexpr int PercussionKeyOffset = 93; // instrument value − key
constexpr int PitchBendCentre = 8192;
constexpr int MaxBendSteps = 8191;

// Percent of a 7-bit value, truncated toward zero.
quint16 percentOf127(int percent)
{
    return static_cast<quint16>(percent * 127 / 100);
}

class BufferWriter
{
public:
    void append(quint32 delta, EventKind kind, int channel, quint16 parameter, quint32 flags = 0)
    {
        // The player's buffer ends at 65 535 bytes; what does not fit is
        // left out and the rest still plays.
        if (m_events.size() >= MaxStreamEvents) return;
        m_events.push_back({delta, 0, MakeEventWord(kind, channel, parameter) | flags});
    }
    std::vector<StreamEvent> take() { return std::move(m_events); }

private:
    std::vector<StreamEvent> m_events;
};

quint16 noteParameter(int key, int velocity)
{
    return static_cast<quint16>((key & 0x7F) | ((velocity & 0x7F) << 8));
}

} // namespace

quint32 MakeEventWord(EventKind kind, int channel, quint16 parameter)
{
    const KindInfo info = kindInfo(kind);
    const quint32 status = info.statusBase | (static_cast<quint32>(channel) & 0x0F);
    quint32 data1 = parameter & 0x7F;
    quint32 data2 = (parameter >> 8) & 0x7F;
    if (info.controller >= 0) {
        data2 = data1;
        data1 = static_cast<quint32>(info.controller);
    } else if (kind == EventKind::ProgramChange) {
        data2 = 0;
    }
    return status | (data1 << 8) | (data2 << 16);
}

ShortMessage DecodeShortMessage(quint32 event)
{
    ShortMessage message;
    message.bytes = {static_cast<std::uint8_t>(event & 0xFF),
                     static_cast<std::uint8_t>((event >> 8) & 0xFF),
                     static_cast<std::uint8_t>((event >> 16) & 0xFF)};
    const int type = message.bytes[0] & 0xF0;
    message.size = (type == 0xC0 || type == 0xD0) ? 2 : 3;
    return message;
}

std::vector<std::uint8_t> StreamBufferBytes(std::span<const StreamEvent> events)
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve(events.size() * sizeof(StreamEvent));
    const auto putWord = [&bytes](quint32 word) {
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<std::uint8_t>((word >> shift) & 0xFF));
    };
    for (const StreamEvent& e : events) {
        putWord(e.delta);
        putWord(e.streamId);
        putWord(e.event);
    }
    return bytes;
}

std::vector<NoteRecord> SingleNoteRecords(const GeneratorSettings& settings, int note,
                                          quint32 duration)
{
    std::vector<NoteRecord> records;
    const int current = settings.channel;
    int noteChannel = PercussionChannel;
    if (current != PercussionChannel) {
        noteChannel = settings.instrument >= FirstPercussionValue ? PercussionChannel : current;
        records.push_back({0, EventKind::ProgramChange, static_cast<quint32>(settings.instrument),
                           static_cast<quint8>(noteChannel)});
    }
    note = std::clamp(note, 0, 127);
    // A percussion sound asked for on a melodic channel carries its instrument
    // value; the buffer builder turns it into the key on channel 10.
    const quint32 value = (current != PercussionChannel && noteChannel == PercussionChannel)
                              ? static_cast<quint32>(settings.instrument)
                              : static_cast<quint32>(note);
    records.push_back({0, EventKind::NoteOn, value, static_cast<quint8>(noteChannel)});
    records.push_back({duration, EventKind::NoteOff, value, static_cast<quint8>(noteChannel)});
    return records;
}

namespace {

void appendBend(BufferWriter& out, const GeneratorSettings& s, quint32 delta, int channel)
{
    if (delta == 0 || s.pbDuration == 0 || s.pbDelay == 100 || s.pitchBend == 0) return;
    // 64-bit: a note may last up to 2^32 − 1 ticks.
    const qint64 delay = static_cast<qint64>(delta) * s.pbDelay / 100;
    const qint64 steps = (static_cast<qint64>(delta) - delay) * s.pbDuration / 100;
    if (steps == 0 || steps > MaxBendSteps) return;
    const qint64 step = (static_cast<qint64>(s.pitchBend) * MaxBendSteps / 120) / steps;
    for (qint64 k = 1; k <= steps; ++k) {
        const auto value = static_cast<quint32>(PitchBendCentre + k * step);
        const auto parameter = static_cast<quint16>((value & 0x7F) | (((value >> 7) & 0x7F) << 8));
        out.append(k == 1 ? static_cast<quint32>(delay + 1) : 1, EventKind::PitchBend, channel,
                   parameter);
    }
}

} // namespace

std::vector<StreamEvent> BuildStreamBuffer(const GeneratorSettings& s,
                                           std::span<const NoteRecord> records, bool allowPitchBend)
{
    BufferWriter out;
    const int current = s.channel;
    const bool bendActive = allowPitchBend && s.pitchBend != 0;

    const auto pan = static_cast<quint16>(s.pan * 63 / 100 + 64);
    const quint16 volume = percentOf127(s.volume);
    out.append(0, EventKind::ResetControllers, current, 0, CallbackFlag);
    out.append(0, EventKind::ResetControllers, PercussionChannel, 0);
    // Registered parameter 0, the pitch-bend sensitivity: 12 semitones, so that
    // a bend of 120 tenths reaches the octave; then deselect the parameter.
    out.append(0, EventKind::RpnLsb, current, 0);
    out.append(0, EventKind::RpnMsb, current, 0);
    out.append(0, EventKind::DataEntry, current, 12);
    out.append(0, EventKind::RpnLsb, current, 127);
    out.append(0, EventKind::RpnMsb, current, 127);
    out.append(0, EventKind::Pan, current, pan);
    out.append(0, EventKind::Pan, PercussionChannel, pan);
    out.append(0, EventKind::Modulation, current, percentOf127(s.modulation));
    out.append(0, EventKind::Volume, current, volume);
    out.append(0, EventKind::Volume, PercussionChannel, volume);
    out.append(0, EventKind::Sustain, current, s.sustain ? 127 : 0);
    out.append(0, EventKind::Reverb, current, percentOf127(s.reverb));
    out.append(0, EventKind::Chorus, current, percentOf127(s.chorus));

    const auto programOf = [](qint64 value) {
        return static_cast<quint16>(std::min<qint64>(value, 127));
    };
    const auto keyOf = [current](const NoteRecord& r) {
        if (r.channel == PercussionChannel && current != PercussionChannel)
            return std::clamp<qint64>(static_cast<qint64>(r.value) - PercussionKeyOffset, 35, 81);
        return std::min<qint64>(r.value, 127);
    };

    quint32 previous = 0;
    bool first = true;
    bool bent = false;
    for (const NoteRecord& r : records) {
        const quint32 delta = r.time - previous;
        if (first && r.kind != EventKind::ProgramChange)
            out.append(0, EventKind::ProgramChange, current, programOf(s.instrument));
        first = false;
        switch (r.kind) {
        case EventKind::ProgramChange:
            out.append(delta, EventKind::ProgramChange, r.channel, programOf(r.value));
            break;
        case EventKind::NoteOn:
            out.append(delta, EventKind::NoteOn, r.channel,
                       noteParameter(static_cast<int>(keyOf(r)), 127));
            break;
        case EventKind::NoteOff:
            // The bend rides on the first note off only; its ticks come on top
            // of the note's length, and the next play's controller reset
            // returns the wheel to the centre.
            if (bendActive && !bent) {
                bent = true;
                appendBend(out, s, delta, r.channel);
            }
            out.append(delta, EventKind::NoteOff, r.channel,
                       noteParameter(static_cast<int>(keyOf(r)), 0));
            break;
        default:
            break;
        }
        previous = r.time;
    }
    return out.take();
}

} // namespace velmora
