#include "FluidSynthOutput.h"
#include "MidiGen.h"
#include "MidiStream.h"
#include "MidiTestSupport.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace velmora;
using velmora::test::bytesOf;

namespace {

using Bytes = std::vector<std::uint8_t>;

MidiStream::Buffer makeBuffer(std::vector<StreamEvent> events)
{
    return std::make_shared<const std::vector<StreamEvent>>(std::move(events));
}

StreamEvent ev(quint32 delta, EventKind kind, int channel, quint16 parameter, quint32 flags = 0)
{
    return {delta, 0, MakeEventWord(kind, channel, parameter) | flags};
}

struct StreamTest : ::testing::Test
{
    test::RecordingSystem devices;
    RecordingMidiOutput& out = *devices.recorders[0];
    MidiStream stream{*devices.system};
    QSignalSpy opened{&stream, &MidiStream::opened};
    QSignalSpy position{&stream, &MidiStream::positionReached};
    QSignalSpy done{&stream, &MidiStream::done};
    QSignalSpy closed{&stream, &MidiStream::closed};
};

} // namespace

TEST_F(StreamTest, NoticesArriveOnTheOwningThreadInOrder)
{
    std::vector<std::string> order;
    const auto note = [&](const char* what) {
        return [&order, what, this] {
            EXPECT_EQ(QThread::currentThread(), stream.thread());
            order.push_back(what);
        };
    };
    QObject::connect(&stream, &MidiStream::opened, &stream, note("open"));
    QObject::connect(&stream, &MidiStream::positionReached, &stream, note("position"));
    QObject::connect(&stream, &MidiStream::done, &stream, note("done"));
    QObject::connect(&stream, &MidiStream::closed, &stream, note("close"));

    ASSERT_TRUE(stream.open(-1));
    EXPECT_EQ(opened.count(), 0) << "notices are queued, not called from inside open";
    ASSERT_TRUE(stream.setTimeDivision(50));
    EXPECT_EQ(stream.tickDuration(), std::chrono::milliseconds(10));
    ASSERT_TRUE(stream.queue(makeBuffer({ev(0, EventKind::NoteOn, 0, 0x7F3C, CallbackFlag),
                                         ev(2, EventKind::NoteOff, 0, 0x003C)})));
    ASSERT_TRUE(stream.restart());
    ASSERT_TRUE(done.wait(5000));
    ASSERT_TRUE(stream.close());
    ASSERT_TRUE(closed.wait(5000));
    EXPECT_EQ(order, (std::vector<std::string>{"open", "position", "done", "close"}));
    EXPECT_EQ(bytesOf(out.messages()), (std::vector<Bytes>{{0x90, 0x3C, 0x7F}, {0x90, 0x3C, 0}}));
}

TEST_F(StreamTest, EventsDueAtTheStartGoOutBeforeRestartReturns)
{
    ASSERT_TRUE(stream.open(0));
    stream.setTimeDivision(50);
    stream.queue(
        makeBuffer({ev(0, EventKind::ProgramChange, 9, 127, CallbackFlag),
                    ev(0, EventKind::NoteOn, 9, 0x7F25), ev(100, EventKind::NoteOff, 9, 0x0025)}));
    EXPECT_EQ(out.messageCount(), 0u) << "a new stream waits for restart";
    stream.restart();
    EXPECT_EQ(bytesOf(out.messages()), (std::vector<Bytes>{{0xC9, 0x7F}, {0x99, 0x25, 0x7F}}));
}

TEST_F(StreamTest, StopSilencesAndGivesEveryBufferBack)
{
    ASSERT_TRUE(stream.open(0));
    stream.setTimeDivision(50);
    const auto longNote = makeBuffer({ev(0, EventKind::NoteOn, 2, 0x7F40, CallbackFlag),
                                      ev(100000, EventKind::NoteOff, 2, 0x0040)});
    for (int i = 0; i < 3; ++i)
        stream.queue(longNote);
    stream.restart();
    EXPECT_EQ(longNote.use_count(), 4);
    ASSERT_TRUE(stream.stop());
    EXPECT_EQ(longNote.use_count(), 1) << "the player holds no buffer after a stop";
    EXPECT_EQ(out.messages().back().bytes, (Bytes{0x92, 0x40, 0x00}));
    EXPECT_TRUE(QTest::qWaitFor([this] { return done.count() == 3; }, 5000));

    // Stopped, it plays nothing more until restarted.
    const std::size_t sent = out.messageCount();
    stream.queue(makeBuffer({ev(0, EventKind::NoteOn, 0, 0x7F3C)}));
    EXPECT_EQ(out.messageCount(), sent);
    stream.restart();
    EXPECT_EQ(out.messageCount(), sent + 1);
}

TEST_F(StreamTest, BuffersQueuedBehindEachOtherAreAllGivenBack)
{
    ASSERT_TRUE(stream.open(0));
    stream.setTimeDivision(1000); // 0.5 ms ticks
    stream.queue(
        makeBuffer({ev(0, EventKind::NoteOn, 0, 0x7F3C), ev(2, EventKind::NoteOff, 0, 0x3C)}));
    stream.queue(makeBuffer({}));
    stream.queue(makeBuffer({ev(1, EventKind::NoteOn, 0, 0x7F3E, CallbackFlag)}));
    stream.queue(makeBuffer({}));
    stream.restart();
    EXPECT_TRUE(QTest::qWaitFor([this] { return done.count() == 4; }, 5000));
    EXPECT_EQ(position.count(), 1);
    EXPECT_EQ(bytesOf(out.messages()),
              (std::vector<Bytes>{{0x90, 0x3C, 0x7F}, {0x90, 0x3C, 0}, {0x90, 0x3E, 0x7F}}));
}

TEST_F(StreamTest, RefusesWhatAClosedStreamCannotDo)
{
    EXPECT_FALSE(stream.queue(makeBuffer({})));
    EXPECT_FALSE(stream.restart());
    EXPECT_FALSE(stream.stop());
    EXPECT_FALSE(stream.reset());
    EXPECT_FALSE(stream.close());
    EXPECT_FALSE(stream.setTimeDivision(50));
    EXPECT_FALSE(stream.open(1)) << "no such device";
    out.setAvailable(false);
    EXPECT_FALSE(stream.open(0));
    EXPECT_EQ(out.openCount(), 0);
    out.setAvailable(true);
    ASSERT_TRUE(stream.open(0));
    EXPECT_FALSE(stream.open(0)) << "already open";
    EXPECT_FALSE(stream.setTimeDivision(0));
    EXPECT_TRUE(stream.close());
    EXPECT_EQ(out.openCount(), 0);
}

TEST(MidiOutputReset, SilencesOnlyWhatSounds)
{
    RecordingMidiOutput out;
    const std::vector<Bytes> sent = {
        {0x90, 60, 100}, {0x90, 64, 100}, {0x90, 60, 0},  // 64 still on, channel 1
        {0x99, 37, 127},                                  // side stick on channel 10
        {0xB2, 64, 127},                                  // pedal held on channel 3
        {0xB5, 64, 127}, {0xB5, 64, 0},                   // pedal released on channel 6
        {0x83, 70, 0},   {0x93, 70, 90},  {0x83, 70, 64}, // note off by status 0x80
        {0x94, 10, 90},  {0xB4, 123, 0},                  // all notes off by controller
        {0xC0, 5},
    };
    for (const Bytes& m : sent)
        out.send(m);
    out.clear();
    out.allNotesOff();
    EXPECT_EQ(bytesOf(out.messages()),
              (std::vector<Bytes>{{0x90, 64, 0}, {0xB2, 64, 0}, {0x99, 37, 0}}));
    out.clear();
    out.allNotesOff();
    EXPECT_EQ(out.messageCount(), 0u) << "a quiet output gets nothing";
}

TEST(MidiSystemDefault, BuiltInSynthesizerComesFirst)
{
    const auto system = MidiSystem::createDefault();
    ASSERT_GE(system->deviceCount(), 1);
    EXPECT_EQ(system->deviceName(0), QStringLiteral("Built-in Synthesizer"));
    for (int id = 0; id < system->deviceCount(); ++id)
        EXPECT_FALSE(system->deviceName(id).isEmpty()) << id;
    // Whether it sounds depends on the machine's audio; either way a play
    // must be answered and nothing may hang or crash.
    TMidiGen gen(*system);
    gen.SetDuration(0);
    const bool available = gen.MidiAvailable();
    EXPECT_EQ(gen.Play(), available);
    EXPECT_TRUE(QTest::qWaitFor([&] { return gen.State() == MidiGenState::Idle; }, 5000));
}

TEST(MidiSystemDefault, ASynthWithoutSoundFontIsUnavailable)
{
    std::vector<std::unique_ptr<MidiOutput>> outputs;
    outputs.push_back(std::make_unique<FluidSynthOutput>(FluidSynthOutput::Mode::Offline,
                                                         QStringLiteral("/nonexistent/none.sf2")));
    MidiSystem system(std::move(outputs));
    TMidiGen gen(system);
    EXPECT_TRUE(gen.SetDevice(-1));
    EXPECT_FALSE(gen.MidiAvailable());
    EXPECT_FALSE(gen.Play());
    EXPECT_FALSE(gen.Play()) << "asked again, still refused, still no crash";
    EXPECT_EQ(gen.State(), MidiGenState::Idle);
}
