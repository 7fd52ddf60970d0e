#include "MidiGen.h"
#include "MidiTestSupport.h"

#include <gtest/gtest.h>

using namespace velmora;
using velmora::test::decodeAll;
using velmora::test::Ev;

namespace {

// The buffers are built by the generator itself, with the properties the
// callers set; the system behind it is never opened here.
struct BufferTest : ::testing::Test
{
    test::RecordingSystem devices;
    TMidiGen gen{*devices.system};
};

std::vector<Ev> preamble(int ch, int pan, int mod, int vol, int sustain, int reverb, int chorus)
{
    const auto c = static_cast<std::uint8_t>(0xB0 + ch);
    const auto u8 = [](int v) { return static_cast<std::uint8_t>(v); };
    return {{0, {c, 0x79, 0}, true},     {0, {0xB9, 0x79, 0}},       {0, {c, 0x64, 0}},
            {0, {c, 0x65, 0}},           {0, {c, 0x06, 12}},         {0, {c, 0x64, 127}},
            {0, {c, 0x65, 127}},         {0, {c, 0x0A, u8(pan)}},    {0, {0xB9, 0x0A, u8(pan)}},
            {0, {c, 0x01, u8(mod)}},     {0, {c, 0x07, u8(vol)}},    {0, {0xB9, 0x07, u8(vol)}},
            {0, {c, 0x40, u8(sustain)}}, {0, {c, 0x5B, u8(reverb)}}, {0, {c, 0x5D, u8(chorus)}}};
}

std::vector<Ev> tail(const std::vector<Ev>& all)
{
    return {all.begin() + 15, all.end()};
}

} // namespace

static_assert(mgAcousticBassDrum == 128 && mgSideStick == 130 && mgOpenTriangle == 174);
static_assert(mgGunshot == 127 && mgViolin == 40 && mgA == 9 && mgCh10 == 9 && mgCh16 == 15);

TEST_F(BufferTest, OneMetronomeBeatIsEighteenEventsOf216Bytes)
{
    gen.SetInstrument(mgSideStick);
    gen.SetVolume(30);
    gen.SetDuration(50);
    const auto buffer = gen.BuildNoteBuffer(gen.Note() + 12 * gen.Octave());

    std::vector<Ev> expected = preamble(0, 0x40, 0, 0x26, 0, 0, 0);
    expected.push_back({0, {0xC9, 0x7F}});
    expected.push_back({0, {0x99, 0x25, 0x7F}});
    expected.push_back({50, {0x99, 0x25, 0x00}});
    EXPECT_EQ(decodeAll(buffer), expected);

    // As the player reads it: 12 bytes per event, little-endian words.
    const auto bytes = StreamBufferBytes(buffer);
    ASSERT_EQ(bytes.size(), 216u);
    const std::vector<std::uint8_t> first(bytes.begin(), bytes.begin() + 12);
    EXPECT_EQ(first, (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0, 0, 0, 0xB0, 0x79, 0x00, 0x40}));
    const std::vector<std::uint8_t> last(bytes.end() - 12, bytes.end());
    EXPECT_EQ(last, (std::vector<std::uint8_t>{50, 0, 0, 0, 0, 0, 0, 0, 0x99, 0x25, 0x00, 0x00}));
    const std::vector<std::uint8_t> program(bytes.begin() + 15 * 12, bytes.begin() + 16 * 12);
    EXPECT_EQ(program, (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0, 0, 0, 0xC9, 0x7F, 0, 0}));
}

TEST_F(BufferTest, PreambleCarriesEveryPropertyScaledAndTruncated)
{
    struct Case
    {
        int channel, pan, modulation, volume;
        bool sustain;
        int reverb, chorus;
        std::vector<Ev> expected;
    };
    const Case cases[] = {
        {2, -100, 50, 70, true, 100, 1, preamble(2, 1, 63, 88, 127, 127, 1)},
        {15, 100, 100, 100, false, 0, 99, preamble(15, 127, 127, 127, 0, 0, 125)},
        {0, -1, 1, 0, false, 50, 0, preamble(0, 64, 1, 0, 0, 63, 0)},
        {9, 50, 0, 30, false, 0, 0, preamble(9, 95, 0, 38, 0, 0, 0)},
    };
    for (const Case& c : cases) {
        gen.SetChannel(c.channel);
        gen.SetPan(c.pan);
        gen.SetModulation(c.modulation);
        gen.SetVolume(c.volume);
        gen.SetSustain(c.sustain);
        gen.SetReverb(c.reverb);
        gen.SetChorus(c.chorus);
        const auto all = decodeAll(gen.BuildNoteBuffer(60));
        ASSERT_GE(all.size(), 15u);
        EXPECT_EQ(std::vector<Ev>(all.begin(), all.begin() + 15), c.expected)
            << "channel " << c.channel << " pan " << c.pan;
    }
}

TEST_F(BufferTest, ProgramAndNoteFollowInstrumentAndChannel)
{
    struct Case
    {
        const char* what;
        int channel, instrument, note;
        quint32 duration;
        std::vector<Ev> expected;
    };
    const Case cases[] = {
        {"side stick on channel 1, low note",
         mgCh01,
         mgSideStick,
         0,
         50,
         {{0, {0xC9, 0x7F}}, {0, {0x99, 0x25, 0x7F}}, {50, {0x99, 0x25, 0x00}}}},
        {"side stick on channel 1, high note",
         mgCh01,
         mgSideStick,
         127,
         50,
         {{0, {0xC9, 0x7F}}, {0, {0x99, 0x25, 0x7F}}, {50, {0x99, 0x25, 0x00}}}},
        {"open triangle on channel 5",
         mgCh05,
         mgOpenTriangle,
         60,
         7,
         {{0, {0xC9, 0x7F}}, {0, {0x99, 0x51, 0x7F}}, {7, {0x99, 0x51, 0x00}}}},
        {"piano on channel 10 plays the note as a key",
         mgCh10,
         mgAcousticGrandPiano,
         38,
         36,
         {{0, {0xC9, 0x00}}, {0, {0x99, 0x26, 0x7F}}, {36, {0x99, 0x26, 0x00}}}},
        {"side stick on channel 10 plays the note, not the sound",
         mgCh10,
         mgSideStick,
         42,
         36,
         {{0, {0xC9, 0x7F}}, {0, {0x99, 0x2A, 0x7F}}, {36, {0x99, 0x2A, 0x00}}}},
        {"violin on channel 1",
         mgCh01,
         mgViolin,
         60,
         50,
         {{0, {0xC0, 0x28}}, {0, {0x90, 0x3C, 0x7F}}, {50, {0x90, 0x3C, 0x00}}}},
        {"gunshot on channel 16, note above range",
         mgCh16,
         mgGunshot,
         131,
         0,
         {{0, {0xCF, 0x7F}}, {0, {0x9F, 0x7F, 0x7F}}, {0, {0x9F, 0x7F, 0x00}}}},
        {"note below range",
         mgCh01,
         mgViolin,
         -5,
         4294967295u,
         {{0, {0xC0, 0x28}}, {0, {0x90, 0x00, 0x7F}}, {4294967295u, {0x90, 0x00, 0x00}}}},
    };
    for (const Case& c : cases) {
        gen.SetChannel(c.channel);
        gen.SetInstrument(c.instrument);
        gen.SetDuration(c.duration);
        EXPECT_EQ(tail(decodeAll(gen.BuildNoteBuffer(c.note))), c.expected) << c.what;
    }
}

TEST_F(BufferTest, PitchBendRisesInEvenStepsBeforeTheNoteOff)
{
    struct Case
    {
        int bend, delay, length;
        quint32 duration;
        int channel, instrument;
        std::uint8_t bendStatus;
        quint32 steps, firstDelta;
        int step;
    };
    const Case cases[] = {
        {120, 0, 100, 50, mgCh01, mgViolin, 0xE0, 50, 1, 163},
        {-120, 0, 100, 50, mgCh01, mgViolin, 0xE0, 50, 1, -163},
        {60, 50, 100, 50, mgCh03, mgViolin, 0xE2, 25, 26, 163},
        {120, 20, 50, 100, mgCh01, mgViolin, 0xE0, 40, 21, 204},
        {1, 0, 100, 1, mgCh01, mgViolin, 0xE0, 1, 1, 68},
        // A percussion sound on a melodic channel bends on channel 10.
        {120, 0, 100, 10, mgCh01, mgSideStick, 0xE9, 10, 1, 819},
    };
    for (const Case& c : cases) {
        gen.SetPitchBend(c.bend);
        gen.SetPBDelay(c.delay);
        gen.SetPBDuration(c.length);
        gen.SetDuration(c.duration);
        gen.SetChannel(c.channel);
        gen.SetInstrument(c.instrument);
        const auto events = tail(decodeAll(gen.BuildNoteBuffer(60)));
        ASSERT_EQ(events.size(), 3 + c.steps) << c.bend << "/" << c.delay << "/" << c.length;
        for (quint32 k = 1; k <= c.steps; ++k) {
            const Ev& e = events[1 + k];
            const int value = 8192 + static_cast<int>(k) * c.step;
            const Ev expected{k == 1 ? c.firstDelta : 1,
                              {c.bendStatus, static_cast<std::uint8_t>(value & 0x7F),
                               static_cast<std::uint8_t>(value >> 7)}};
            ASSERT_EQ(e, expected) << "step " << k;
        }
        // The note off keeps its full length after the bend.
        EXPECT_EQ(events.back().delta, c.duration);
        EXPECT_EQ(events.back().bytes[2], 0);
    }
}

TEST_F(BufferTest, PitchBendEdgeValues)
{
    gen.SetPitchBend(120);
    gen.SetDuration(50);
    const auto events = tail(decodeAll(gen.BuildNoteBuffer(60)));
    ASSERT_EQ(events.size(), 53u);
    EXPECT_EQ(events[2], (Ev{1, {0xE0, 0x23, 0x41}}));   // 8355
    EXPECT_EQ(events[51], (Ev{1, {0xE0, 0x56, 0x7F}}));  // 16342, the last
    EXPECT_EQ(events[52], (Ev{50, {0x90, 0x3C, 0x00}})); // 50 ticks after the last bend
}

TEST_F(BufferTest, NoBendWhereThereIsNothingToBend)
{
    struct Case
    {
        int bend, delay, length;
        quint32 duration;
    };
    const Case cases[] = {
        {120, 100, 100, 50}, // starts at the very end
        {120, 0, 0, 50},     // lasts nothing
        {0, 0, 100, 50},     // no bend asked
        {120, 0, 100, 0},    // no note length
        {120, 0, 1, 50},     // half a tick of bend is no step
        {120, 0, 100, 8192}, // more steps than the wheel has values
    };
    for (const Case& c : cases) {
        gen.SetPitchBend(c.bend);
        gen.SetPBDelay(c.delay);
        gen.SetPBDuration(c.length);
        gen.SetDuration(c.duration);
        const auto events = tail(decodeAll(gen.BuildNoteBuffer(60)));
        const bool bends = std::any_of(events.begin(), events.end(),
                                       [](const Ev& e) { return (e.bytes[0] & 0xF0) == 0xE0; });
        EXPECT_FALSE(bends) << c.bend << "/" << c.delay << "/" << c.length << "/" << c.duration;
        EXPECT_EQ(events.size(), 3u);
    }
}

TEST_F(BufferTest, BufferStopsAt65535Bytes)
{
    // 8191 bend steps would make 8209 events; 5461 fit.
    gen.SetPitchBend(120);
    gen.SetDuration(8191);
    const auto buffer = gen.BuildNoteBuffer(60);
    EXPECT_EQ(buffer.size(), MaxStreamEvents);
    EXPECT_EQ(StreamBufferBytes(buffer).size(), 65532u);
    const auto last = test::decode(buffer.back());
    EXPECT_EQ(last.bytes[0], 0xE0)
        << "the events past the limit, the note off among them, are left out";

    // The same limit for a long list of notes built directly.
    std::vector<NoteRecord> records;
    for (quint32 t = 0; t < 4000; ++t) {
        records.push_back({t, EventKind::NoteOn, 60, 0});
        records.push_back({t + 1, EventKind::NoteOff, 60, 0});
    }
    std::stable_sort(records.begin(), records.end(),
                     [](const NoteRecord& a, const NoteRecord& b) { return a.time < b.time; });
    EXPECT_EQ(BuildStreamBuffer(GeneratorSettings{}, records, false).size(), 5461u);
}

TEST(StreamBufferBuilder, RecordsOfAPhrase)
{
    // Records as a phrase would hand them over: a program change of its own
    // first, then notes; percussion values on channel 10 become keys kept
    // within 35..81, and every delta counts from the previous record.
    GeneratorSettings s;
    s.channel = 1;
    s.instrument = mgViolin;
    const std::vector<NoteRecord> records = {
        {0, EventKind::ProgramChange, 200, 9}, {0, EventKind::NoteOn, 100, 9},
        {5, EventKind::NoteOff, 100, 9},       {5, EventKind::NoteOn, 300, 9},
        {9, EventKind::NoteOn, 64, 1},         {12, EventKind::NoteOff, 64, 1},
    };
    const auto all = decodeAll(BuildStreamBuffer(s, records, true));
    const std::vector<Ev> expected = {
        {0, {0xC9, 0x7F}},       {0, {0x99, 0x23, 0x7F}}, {5, {0x99, 0x23, 0x00}},
        {0, {0x99, 0x51, 0x7F}}, {4, {0x91, 0x40, 0x7F}}, {3, {0x91, 0x40, 0x00}},
    };
    EXPECT_EQ(std::vector<Ev>(all.begin() + 15, all.end()), expected);

    // Without a program change of its own, the instrument's goes first.
    const std::vector<NoteRecord> plain = {{3, EventKind::NoteOn, 64, 1}};
    const auto withProgram = decodeAll(BuildStreamBuffer(s, plain, true));
    ASSERT_EQ(withProgram.size(), 17u);
    EXPECT_EQ(withProgram[15], (Ev{0, {0xC1, 0x28}}));
    EXPECT_EQ(withProgram[16], (Ev{3, {0x91, 0x40, 0x7F}}));
}
