// The settings dialog driving the real note generator and beat clock, heard on
// a recording MIDI output.
#include "BeatClock.h"
#include "ManualTicks.h"
#include "MidiGen.h"
#include "MidiSystem.h"
#include "RecordingMidiOutput.h"
#include "SettingsDoubles.h"
#include "SettingsUnit.h"

#include <QComboBox>
#include <QSettings>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using velmora::RecordingMidiOutput;

using velmora::testing::ManualTicks;

namespace {

using Bytes = std::vector<std::uint8_t>;

// The main window's part: the clock reads the volumes and the instrument from
// the settings dialog on every beat.
class SettingsHooks : public velmora::BeatClockHooks
{
public:
    explicit SettingsHooks(const TSettingsForm& form) : m_form(form) {}
    int BarVolume() const override { return m_form.BarVolume(); }
    int BeatVolume() const override { return m_form.BeatVolume(); }
    int InstrumentCode() const override { return m_form.InstrumentCode(); }

private:
    const TSettingsForm& m_form;
};

class SettingsWithGeneratorTest : public ::testing::Test
{
protected:
    SettingsWithGeneratorTest()
    {
        std::vector<std::unique_ptr<velmora::MidiOutput>> outputs;
        auto output = std::make_unique<RecordingMidiOutput>(QStringLiteral("Recorder"));
        out = output.get();
        outputs.push_back(std::move(output));
        system = std::make_unique<velmora::MidiSystem>(std::move(outputs));
        gen = std::make_unique<TMidiGen>(*system);
        // As the main window's generator is set up.
        gen->SetInstrument(mgSideStick);
        gen->SetDuration(36);
        gen->SetPBDuration(0);
        midi = std::make_unique<velmora::GeneratorSettingsMidi<TMidiGen, velmora::MidiSystem>>(
            *gen, *system);
        store = std::make_unique<QSettings>(dir.filePath(QStringLiteral("Velmora.conf")),
                                            QSettings::IniFormat);
        form = std::make_unique<TSettingsForm>(*store, host, *midi, dir.path());
    }

    ~SettingsWithGeneratorTest() override
    {
        form.reset();
        if (gen) gen->Stop();
    }

    // Channel-10 volume controller values sent so far, one per play.
    std::vector<int> percussionVolumes() const
    {
        std::vector<int> values;
        for (const auto& m : out->messages()) {
            if (m.bytes.size() == 3 && m.bytes[0] == 0xB9 && m.bytes[1] == 0x07)
                values.push_back(m.bytes[2]);
        }
        return values;
    }

    std::vector<Bytes> noteOns() const
    {
        std::vector<Bytes> notes;
        for (const auto& m : out->messages()) {
            if (m.bytes.size() == 3 && (m.bytes[0] & 0xF0) == 0x90 && m.bytes[2] != 0)
                notes.push_back(m.bytes);
        }
        return notes;
    }

    // Between two beats the real clock leaves the event loop a whole beat to
    // deliver the stream's notices; here the test waits for them.
    bool waitForPlays(std::size_t n) const
    {
        return QTest::qWaitFor(
            [&] {
                return percussionVolumes().size() >= n &&
                       gen->State() != velmora::MidiGenState::Starting;
            },
            5000);
    }

    QTemporaryDir dir;
    FakeHost host;
    RecordingMidiOutput* out = nullptr;
    std::unique_ptr<velmora::MidiSystem> system;
    std::unique_ptr<TMidiGen> gen;
    std::unique_ptr<velmora::SettingsMidi> midi;
    std::unique_ptr<QSettings> store;
    std::unique_ptr<TSettingsForm> form;
};

} // namespace

TEST_F(SettingsWithGeneratorTest, MovingTheBeatSliderChangesTheVeryNextBeat)
{
    // The chosen instrument reaches the beats through the free-mode start.
    form->InstrumentsBox()->setCurrentIndex(21); // Cowbell, key 56
    emit form->InstrumentsBox()->activated(21);

    ManualTicks ticks;
    velmora::GeneratorVoice<TMidiGen> voice(*gen);
    SettingsHooks hooks(*form);
    velmora::BeatClock clock(ticks, voice, hooks);
    clock.PlayLabelClick();

    const auto tickUntil = [&](int tick) {
        while (clock.TickCount() < tick)
            clock.TimerTimer();
    };
    tickUntil(1); // the opening beat is a bar beat
    ASSERT_TRUE(waitForPlays(1));
    tickUntil(11); // an ordinary beat at the stored default
    ASSERT_TRUE(waitForPlays(2));

    form->BeatVol()->setValue(0); // to the top: volume 100
    tickUntil(23);
    ASSERT_TRUE(waitForPlays(3));

    form->BeatVol()->setValue(100); // to the bottom: silent
    tickUntil(35);
    ASSERT_TRUE(waitForPlays(4));
    clock.StopLabelClick();

    // Volume × 127 / 100: bar 70 → 88, beat 30 → 38, 100 → 127, 0 → 0.
    EXPECT_EQ(percussionVolumes(), (std::vector<int>{88, 38, 127, 0}));
    const auto notes = noteOns();
    ASSERT_FALSE(notes.empty());
    EXPECT_EQ(notes.front(), (Bytes{0x99, 56, 0x7F}));
}

TEST_F(SettingsWithGeneratorTest, TestSoundPlaysThreeTimesAndLeavesTheGeneratorAsItWas)
{
    gen->SetLoops(1);
    form->TestButtonClick();
    EXPECT_EQ(gen->Duration(), 36u);
    EXPECT_EQ(gen->Loops(), 1u);
    // The stream took its repeat count when it opened, before Loops was put back.
    ASSERT_TRUE(QTest::qWaitFor([&] { return noteOns().size() >= 3; }, 10000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return gen->State() == velmora::MidiGenState::Idle; }, 5000));
    EXPECT_EQ(noteOns().size(), 3u);
    EXPECT_EQ(noteOns().front(), (Bytes{0x99, 37, 0x7F})); // Side Stick
}

TEST_F(SettingsWithGeneratorTest, DeviceSearchSkipsADeviceThatCannotBeOpened)
{
    out->setAvailable(false);
    // A second run of the search, as on a first start with the one device busy.
    form.reset();
    QFile::remove(dir.filePath(QStringLiteral("Velmora.conf")));
    store->clear();
    form = std::make_unique<TSettingsForm>(*store, host, *midi, dir.path());
    EXPECT_EQ(form->DevicesBox()->currentIndex(), -1);
    EXPECT_EQ(gen->Device(), -1);
    EXPECT_EQ(form->DevicesBox()->itemText(0), "Recorder");
}
