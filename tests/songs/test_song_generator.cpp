#include "SongRig.h"

#include "MidiGen.h"
#include "MidiSystem.h"
#include "RecordingMidiOutput.h"

#include "StreamBuffer.h"
#include <algorithm>

#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;

namespace {

// The real generator behind the voice; after every play it notes what the
// generator built for the output: the percussion key and the channel volume.
class ListeningVoice : public BeatVoice
{
public:
    struct Heard
    {
        int tick;
        bool started;
        int key;
        int volume;
    };
    int tick = 0;
    explicit ListeningVoice(TMidiGen& gen) : m_gen(gen), m_voice(gen) {}
    std::vector<Heard> heard;

    void Stop() override { m_voice.Stop(); }
    void SetVolume(int v) override { m_voice.SetVolume(v); }
    void SetDuration(quint32 ticks) override { m_voice.SetDuration(ticks); }
    void SetInstrument(int i) override { m_voice.SetInstrument(i); }
    bool Play() override
    {
        const bool started = m_voice.Play();
        Heard h{tick, started, -1, -1};
        for (const StreamEvent& e : m_gen.LastBuffer()) {
            const ShortMessage m = DecodeShortMessage(e.event);
            if (m.size == 3 && m.bytes[0] == 0x99 && m.bytes[2] != 0) h.key = m.bytes[1];
            if (m.size == 3 && m.bytes[0] == 0xB9 && m.bytes[1] == 7) h.volume = m.bytes[2];
        }
        heard.push_back(h);
        return started;
    }

private:
    TMidiGen& m_gen;
    GeneratorVoice<TMidiGen> m_voice;
};

struct Forward : BeatClockHooks
{
    SongPlayer* player = nullptr;
    void CheckEvents() override { player->CheckEvents(); }
};

} // namespace

// One song through the clock and the real note generator into a recording output.
TEST(SongWithGenerator, InstrumentChangesReachTheOutput)
{
    std::vector<std::unique_ptr<MidiOutput>> outputs;
    auto recorder = std::make_unique<RecordingMidiOutput>();
    RecordingMidiOutput& out = *recorder;
    outputs.push_back(std::move(recorder));
    MidiSystem system(std::move(outputs));
    TMidiGen gen(system);
    ListeningVoice voice(gen);
    ManualTicks ticks;
    Forward hooks;
    BeatClock clock(ticks, voice, hooks);
    SongPlayerHooks quiet;
    SongPlayer player(clock, voice, quiet);
    hooks.player = &player;

    QTemporaryDir dir;
    const QString path = dir.filePath("Two sounds.xms");
    writeBytes(
        path,
        utf16File(songXml(
            R"(<Instruction bar="0" beat="1" Type="Change_Instrument" Value="Cowbell"></Instruction>)"
            R"(<Instruction bar="1" beat="1" Type="Change_Instrument" Value="Claves"></Instruction>)")));
    ASSERT_TRUE(player.PlaySong(path));
    for (int i = 0; i < 100000 && ticks.enabled; ++i) {
        // Time passes between ticks: the generator takes a new play only once the
        // previous stream has reached its first event.
        ASSERT_TRUE(QTest::qWaitFor([&] { return gen.State() != MidiGenState::Starting; }, 5000));
        voice.tick = i;
        clock.TimerTimer();
    }
    ASSERT_FALSE(clock.Playing());

    // The regular beat of each beat tick (an instruction's replay may follow it in
    // the same tick): cowbell (key 56) from the opening beat through the first beat
    // of bar 1, where the change to claves (key 75) comes after the beat has sounded,
    // then claves up to the beat that ends the song at bar 3.
    std::vector<ListeningVoice::Heard> beats;
    for (const auto& h : voice.heard) {
        if (beats.empty() || beats.back().tick != h.tick) beats.push_back(h);
    }
    std::vector<int> keys;
    for (const auto& h : beats) {
        EXPECT_TRUE(h.started) << "tick " << h.tick;
        keys.push_back(h.key);
    }
    std::vector<int> expected(9, 56);
    expected.insert(expected.end(), 8, 75);
    EXPECT_EQ(keys, expected);
    // The change sounds that beat again at once with the claves, in the same tick.
    const auto firstClaves = std::find_if(voice.heard.begin(), voice.heard.end(),
                                          [](const auto& h) { return h.key == 75; });
    ASSERT_NE(firstClaves, voice.heard.end());
    EXPECT_TRUE(firstClaves->started);
    EXPECT_EQ(firstClaves->tick, beats.at(8).tick);
    // Bar beats at the bar volume (70 % of 127), the others at the beat volume.
    EXPECT_EQ(beats.at(0).volume, 88);
    EXPECT_EQ(beats.at(1).volume, 38);
    EXPECT_EQ(beats.at(4).volume, 88);

    EXPECT_TRUE(QTest::qWaitFor([&] { return gen.State() == MidiGenState::Idle; }, 5000));
    bool heardClaves = false;
    for (const auto& m : out.messages())
        heardClaves |= m.bytes.size() == 3 && m.bytes[0] == 0x99 && m.bytes[1] == 75;
    EXPECT_TRUE(heardClaves);
}
