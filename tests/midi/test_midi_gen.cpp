#include "MidiGen.h"
#include "MidiTestSupport.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

using namespace velmora;
using velmora::test::bytesOf;
using velmora::test::isNoteOn;

namespace {

using Bytes = std::vector<std::uint8_t>;

struct GeneratorTest : ::testing::Test
{
    test::RecordingSystem devices;
    RecordingMidiOutput& out = *devices.recorders[0];
    TMidiGen gen{*devices.system};

    std::size_t count(const Bytes& message) const
    {
        const auto all = bytesOf(out.messages());
        return static_cast<std::size_t>(std::count(all.begin(), all.end(), message));
    }
    std::size_t noteOns() const
    {
        const auto all = bytesOf(out.messages());
        return static_cast<std::size_t>(std::count_if(all.begin(), all.end(), isNoteOn));
    }
    bool waitIdle(TMidiGen& g) const
    {
        return QTest::qWaitFor([&g] { return g.State() == MidiGenState::Idle; }, 5000);
    }
};

// An output that opens for the availability probe and then refuses the
// stream, like a device another program grabs in between.
class RefusesSecondOpen : public RecordingMidiOutput
{
public:
    bool refuse = true;

protected:
    bool openDevice() override
    {
        ++m_opens;
        return !(refuse && m_opens % 2 == 0);
    }

private:
    int m_opens = 0;
};

} // namespace

TEST_F(GeneratorTest, DefaultsAreThoseOfTheComponent)
{
    EXPECT_EQ(gen.Volume(), 100);
    EXPECT_EQ(gen.Pan(), 0);
    EXPECT_EQ(gen.PBDuration(), 100);
    EXPECT_EQ(gen.Duration(), 50u);
    EXPECT_EQ(gen.Note(), mgC);
    EXPECT_EQ(gen.Octave(), 4);
    EXPECT_EQ(gen.Instrument(), mgAcousticGrandPiano);
    EXPECT_EQ(gen.Channel(), mgCh01);
    EXPECT_EQ(gen.Loops(), 1u);
    EXPECT_EQ(gen.Device(), -1);
    EXPECT_FALSE(gen.IsPlaying());
    EXPECT_EQ(gen.State(), MidiGenState::Idle);
}

TEST_F(GeneratorTest, SettersClampIntoTheirRanges)
{
    struct Case
    {
        const char* name;
        void (TMidiGen::*set)(int);
        int (TMidiGen::*get)() const;
        int low, high;
    };
    const Case cases[] = {
        {"Volume", &TMidiGen::SetVolume, &TMidiGen::Volume, 0, 100},
        {"Pan", &TMidiGen::SetPan, &TMidiGen::Pan, -100, 100},
        {"Reverb", &TMidiGen::SetReverb, &TMidiGen::Reverb, 0, 100},
        {"Chorus", &TMidiGen::SetChorus, &TMidiGen::Chorus, 0, 100},
        {"Modulation", &TMidiGen::SetModulation, &TMidiGen::Modulation, 0, 100},
        {"PitchBend", &TMidiGen::SetPitchBend, &TMidiGen::PitchBend, -120, 120},
        {"PBDelay", &TMidiGen::SetPBDelay, &TMidiGen::PBDelay, 0, 100},
        {"PBDuration", &TMidiGen::SetPBDuration, &TMidiGen::PBDuration, 0, 100},
        {"Note", &TMidiGen::SetNote, &TMidiGen::Note, 0, 11},
        {"Octave", &TMidiGen::SetOctave, &TMidiGen::Octave, 0, 10},
        {"Instrument", &TMidiGen::SetInstrument, &TMidiGen::Instrument, 0, 174},
        {"Channel", &TMidiGen::SetChannel, &TMidiGen::Channel, 0, 15},
    };
    for (const Case& c : cases) {
        const std::pair<int, int> probes[] = {
            {c.low, c.low},
            {c.high, c.high},
            {c.low - 1, c.low},
            {c.high + 1, c.high},
            {c.high + 50, c.high},
            {c.low - 50, c.low},
            {INT_MIN, c.low},
            {INT_MAX, c.high},
            {(c.low + c.high) / 2, (c.low + c.high) / 2},
        };
        for (const auto& [given, stored] : probes) {
            (gen.*c.set)(given);
            EXPECT_EQ((gen.*c.get)(), stored) << c.name << " given " << given;
        }
    }
    gen.SetDuration(4294967295u);
    EXPECT_EQ(gen.Duration(), 4294967295u);
    gen.SetLoops(0);
    EXPECT_EQ(gen.Loops(), 0u);
    gen.SetLoops(4000000000u);
    EXPECT_EQ(gen.Loops(), 4000000000u);
}

TEST_F(GeneratorTest, OneBeatSoundsItsBufferOnTheDevice)
{
    gen.SetInstrument(mgSideStick);
    gen.SetVolume(30);
    ASSERT_TRUE(gen.Play());
    EXPECT_EQ(gen.LastBuffer().size(), 18u);
    EXPECT_TRUE(gen.IsPlaying());
    ASSERT_TRUE(waitIdle(gen));
    EXPECT_FALSE(gen.IsPlaying());

    // Exactly the buffer's messages, in order: nothing was left sounding for
    // the resets to silence.
    std::vector<Bytes> expected;
    for (const StreamEvent& e : gen.LastBuffer()) {
        const auto m = DecodeShortMessage(e.event);
        expected.emplace_back(m.bytes.begin(), m.bytes.begin() + static_cast<long>(m.size));
    }
    EXPECT_EQ(bytesOf(out.messages()), expected);
    EXPECT_EQ(out.openCount(), 0);
}

TEST_F(GeneratorTest, PlayUsesNoteAndOctaveClampedToTheKeyRange)
{
    gen.SetNote(mgB);
    gen.SetOctave(10); // note 131
    gen.SetDuration(0);
    ASSERT_TRUE(gen.Play());
    ASSERT_TRUE(waitIdle(gen));
    EXPECT_EQ(count({0x90, 0x7F, 0x7F}), 1u);
    EXPECT_EQ(count({0x90, 0x7F, 0x00}), 1u);
}

TEST_F(GeneratorTest, LoopsRepeatTheWholeBuffer)
{
    const std::pair<quint32, std::size_t> cases[] = {{1, 1}, {3, 3}, {2, 2}};
    for (const auto& [loops, passes] : cases) {
        out.clear();
        gen.SetDuration(1);
        gen.SetLoops(loops);
        ASSERT_TRUE(gen.Play());
        ASSERT_TRUE(waitIdle(gen));
        EXPECT_EQ(noteOns(), passes) << "Loops " << loops;
        EXPECT_EQ(count({0xB0, 0x79, 0x00}), passes) << "the preamble goes with every pass";
        EXPECT_EQ(count({0x90, 0x30, 0x00}), passes); // C4, note 48
    }
}

TEST_F(GeneratorTest, LoopsZeroRepeatsUntilStopped)
{
    gen.SetDuration(1);
    gen.SetLoops(0);
    ASSERT_TRUE(gen.Play());
    ASSERT_TRUE(QTest::qWaitFor([this] { return noteOns() >= 5; }, 5000));
    EXPECT_EQ(gen.State(), MidiGenState::Sounding);
    gen.Stop();
    ASSERT_TRUE(waitIdle(gen));
    const std::size_t heard = noteOns();
    QTest::qWait(50);
    EXPECT_EQ(noteOns(), heard);
    EXPECT_EQ(out.openCount(), 0);
}

TEST_F(GeneratorTest, StopCutsASoundingNoteAndTheNextPlayStartsAfresh)
{
    gen.SetDuration(100000); // 1000 s
    ASSERT_TRUE(gen.Play());
    ASSERT_TRUE(QTest::qWaitFor([this] { return gen.State() == MidiGenState::Sounding; }, 5000));
    gen.Stop();
    ASSERT_TRUE(waitIdle(gen));
    EXPECT_EQ(count({0x90, 0x30, 0x00}), 1u) << "the stop silences the note";

    // Stop then Play on one beat: the old note ends before the new begins.
    out.clear();
    gen.SetNote(mgD);
    ASSERT_TRUE(gen.Play());
    ASSERT_TRUE(QTest::qWaitFor([this] { return gen.State() == MidiGenState::Sounding; }, 5000));
    gen.Stop();
    gen.SetNote(mgE);
    ASSERT_TRUE(gen.Play());
    const auto messages = bytesOf(out.messages());
    const auto offD = std::find(messages.begin(), messages.end(), Bytes{0x90, 0x32, 0x00});
    const auto onE = std::find(messages.begin(), messages.end(), Bytes{0x90, 0x34, 0x7F});
    ASSERT_NE(offD, messages.end());
    ASSERT_NE(onE, messages.end());
    EXPECT_LT(offD, onE);
    gen.SetDuration(0);
}

TEST_F(GeneratorTest, TheFirstEventSoundsBeforePlayReturnsSoAStopAndPlayReplaysAtOnce)
{
    // A song instruction sounds its beat again within the same tick: the stream
    // has reached its first event when Play returns, so Stop can cut it and the
    // next Play starts afresh instead of being refused.
    gen.SetDuration(100000);
    ASSERT_TRUE(gen.Play());
    EXPECT_EQ(gen.State(), MidiGenState::Sounding);
    gen.Stop();
    gen.SetNote(mgE);
    ASSERT_TRUE(gen.Play());
    EXPECT_EQ(noteOns(), 2u);
    const auto messages = bytesOf(out.messages());
    const auto offC = std::find(messages.begin(), messages.end(), Bytes{0x90, 0x30, 0x00});
    const auto onE = std::find(messages.begin(), messages.end(), Bytes{0x90, 0x34, 0x7F});
    ASSERT_NE(offC, messages.end());
    ASSERT_NE(onE, messages.end());
    EXPECT_LT(offC, onE);
    gen.Stop();
    ASSERT_TRUE(waitIdle(gen));
}

TEST_F(GeneratorTest, StopBeforeTheFirstEventOnlyEndsTheRepeating)
{
    // Between the open notice and the first event the player cannot be stopped;
    // a Stop there (from a nested dispatch) only ends the repeating.
    std::vector<MidiGenState> atStop;
    QObject::connect(&gen, &TMidiGen::playingChanged, &gen, [&](bool playing) {
        if (!playing) return;
        gen.Stop();
        atStop.push_back(gen.State());
    });
    gen.SetDuration(1);
    gen.SetLoops(0);
    ASSERT_TRUE(gen.Play());
    EXPECT_EQ(atStop, std::vector<MidiGenState>{MidiGenState::Starting});
    ASSERT_TRUE(waitIdle(gen));
    EXPECT_EQ(noteOns(), 1u) << "played to its end once, not repeated";
    EXPECT_EQ(count({0x90, 0x30, 0x00}), 1u);
}

TEST_F(GeneratorTest, APlayWalksThroughTheStates)
{
    std::vector<MidiGenState> seen;
    QObject::connect(&gen, &TMidiGen::playingChanged, &gen,
                     [&](bool) { seen.push_back(gen.State()); });
    gen.SetDuration(100000);
    ASSERT_TRUE(gen.Play());
    EXPECT_EQ(gen.State(), MidiGenState::Sounding);
    EXPECT_TRUE(gen.IsPlaying());
    gen.Stop();
    EXPECT_EQ(gen.State(), MidiGenState::Closing);
    ASSERT_TRUE(waitIdle(gen));
    EXPECT_FALSE(gen.IsPlaying());
    // Opened while starting, closed into idle.
    EXPECT_EQ(seen, (std::vector<MidiGenState>{MidiGenState::Starting, MidiGenState::Idle}));
}

TEST_F(GeneratorTest, PlayFromInsideANestedDispatchIsRefused)
{
    std::vector<bool> nested;
    QObject::connect(&gen, &TMidiGen::playingChanged, &gen, [&](bool playing) {
        if (playing) nested.push_back(gen.Play());
    });
    gen.SetDuration(1);
    ASSERT_TRUE(gen.Play());
    EXPECT_EQ(nested, std::vector<bool>{false});
    ASSERT_TRUE(waitIdle(gen));
    EXPECT_EQ(noteOns(), 1u);
}

TEST_F(GeneratorTest, StopWithoutAStreamDoesNothing)
{
    gen.Stop();
    EXPECT_EQ(gen.State(), MidiGenState::Idle);
    EXPECT_EQ(out.openAttempts(), 0);
    EXPECT_EQ(out.messageCount(), 0u);
    gen.SetDuration(0);
    EXPECT_TRUE(gen.Play()) << "still ready";
}

TEST_F(GeneratorTest, MidiAvailableAsksTheDeviceUnlessItsOwnStreamIsOpen)
{
    EXPECT_TRUE(gen.MidiAvailable());
    EXPECT_EQ(out.openAttempts(), 1);
    EXPECT_EQ(out.openCount(), 0) << "the probe closes what it opened";

    gen.SetDuration(100000);
    ASSERT_TRUE(gen.Play());
    out.setAvailable(false);
    const int attempts = out.openAttempts();
    EXPECT_TRUE(gen.MidiAvailable());
    EXPECT_EQ(out.openAttempts(), attempts);

    ASSERT_TRUE(QTest::qWaitFor([this] { return gen.State() == MidiGenState::Sounding; }, 5000));
    gen.Stop();
    ASSERT_TRUE(waitIdle(gen));
    EXPECT_FALSE(gen.MidiAvailable());
    EXPECT_FALSE(gen.Play()) << "an unavailable device refuses the play at the gate";
    EXPECT_EQ(gen.State(), MidiGenState::Idle);
}

TEST(Generator, SetDeviceAcceptsListedDevicesAndTheDefault)
{
    test::RecordingSystem two(2);
    TMidiGen gen(*two.system);
    const std::pair<int, bool> cases[] = {{-1, true}, {0, true},   {1, true},
                                          {2, false}, {99, false}, {-7, true}};
    for (const auto& [id, accepted] : cases) {
        EXPECT_EQ(gen.SetDevice(id), accepted) << id;
        EXPECT_EQ(gen.Device(), id) << "stored all the same";
    }
    gen.SetDevice(-7);
    EXPECT_FALSE(gen.MidiAvailable());

    test::RecordingSystem none(0);
    TMidiGen lonely(*none.system);
    EXPECT_FALSE(lonely.SetDevice(-1));
    EXPECT_FALSE(lonely.MidiAvailable());
    EXPECT_FALSE(lonely.Play());
}

TEST(Generator, TheDefaultDeviceIsDeviceZero)
{
    test::RecordingSystem two(2);
    EXPECT_EQ(two.system->deviceName(0), QStringLiteral("Recording Output"));
    EXPECT_EQ(two.system->deviceName(2), QString());
    TMidiGen gen(*two.system);
    gen.SetDuration(0);
    const std::pair<int, int> cases[] = {{-1, 0}, {1, 1}, {0, 0}};
    for (const auto& [device, heard] : cases) {
        two.recorders[0]->clear();
        two.recorders[1]->clear();
        gen.SetDevice(device);
        ASSERT_TRUE(gen.Play());
        ASSERT_TRUE(QTest::qWaitFor([&] { return gen.State() == MidiGenState::Idle; }, 5000));
        EXPECT_GT(two.recorders[static_cast<std::size_t>(heard)]->messageCount(), 0u) << device;
        EXPECT_EQ(two.recorders[static_cast<std::size_t>(1 - heard)]->messageCount(), 0u) << device;
    }
}

TEST(Generator, AFailedStartLeavesTheGeneratorReady)
{
    auto flaky = std::make_unique<RefusesSecondOpen>();
    RefusesSecondOpen& out = *flaky;
    std::vector<std::unique_ptr<MidiOutput>> outputs;
    outputs.push_back(std::move(flaky));
    MidiSystem system(std::move(outputs));
    TMidiGen gen(system);
    gen.SetDuration(0);

    for (int attempt = 0; attempt < 3; ++attempt) {
        EXPECT_FALSE(gen.Play());
        EXPECT_EQ(gen.State(), MidiGenState::Idle);
        EXPECT_FALSE(gen.IsPlaying());
        EXPECT_EQ(out.openCount(), 0);
    }
    EXPECT_EQ(system.owner(), 0);
    out.refuse = false;
    EXPECT_TRUE(gen.Play());
    EXPECT_TRUE(QTest::qWaitFor([&] { return gen.State() == MidiGenState::Idle; }, 5000));
    EXPECT_EQ(out.messageCount(), 18u);
}

TEST(Generator, TheFirstGeneratorToOpenOwnsTheOutput)
{
    test::RecordingSystem devices;
    TMidiGen first(*devices.system);
    TMidiGen second(*devices.system);
    EXPECT_EQ(first.InstanceNumber(), 1);
    EXPECT_EQ(second.InstanceNumber(), 2);
    first.SetDuration(0);
    second.SetDuration(0);

    ASSERT_TRUE(first.Play());
    ASSERT_TRUE(QTest::qWaitFor([&] { return first.State() == MidiGenState::Idle; }, 5000));
    EXPECT_EQ(devices.system->owner(), 1);
    const std::size_t heard = devices.recorders[0]->messageCount();

    EXPECT_FALSE(second.Play());
    EXPECT_EQ(second.State(), MidiGenState::Idle);
    EXPECT_FALSE(second.Play()) << "the owner is kept for good";
    EXPECT_EQ(devices.recorders[0]->messageCount(), heard);
    EXPECT_TRUE(first.Play());
}

TEST(Generator, DestructionStopsTheStreamAndClosesTheDevice)
{
    test::RecordingSystem devices;
    {
        TMidiGen gen(*devices.system);
        gen.SetDuration(100000);
        gen.SetLoops(0);
        ASSERT_TRUE(gen.Play());
        EXPECT_EQ(devices.recorders[0]->openCount(), 1);
    }
    EXPECT_EQ(devices.recorders[0]->openCount(), 0);
    const auto messages = bytesOf(devices.recorders[0]->messages());
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back(), (Bytes{0x90, 0x30, 0x00})) << "the note is silenced";
}
