#pragma once

#include "MidiStream.h"
#include "MidiSystem.h"
#include "StreamBuffer.h"

#include <QObject>

#include <memory>
#include <vector>

// Plain enumerations: their values are ordinals that the application passes
// around as integers (instrument codes in song files, list positions).
enum TMGNote
{
    mgC,
    mgCsharp,
    mgD,
    mgDsharp,
    mgE,
    mgF,
    mgFsharp,
    mgG,
    mgGsharp,
    mgA,
    mgAsharp,
    mgB
};

enum TMGChannel
{
    mgCh01,
    mgCh02,
    mgCh03,
    mgCh04,
    mgCh05,
    mgCh06,
    mgCh07,
    mgCh08,
    mgCh09,
    mgCh10,
    mgCh11,
    mgCh12,
    mgCh13,
    mgCh14,
    mgCh15,
    mgCh16
};

// 0..127: the General MIDI programs in program order (value = program − 1).
// 128..174: the General MIDI percussion sounds, keys 35..81 (key = value − 93).
enum TMGInstrument
{
    mgAcousticGrandPiano,
    mgBrightAcousticPiano,
    mgElectricGrandPiano,
    mgHonkyTonkPiano,
    mgElectricPiano1,
    mgElectricPiano2,
    mgHarpsichord,
    mgClavinet,
    mgCelesta,
    mgGlockenspiel,
    mgMusicBox,
    mgVibraphone,
    mgMarimba,
    mgXylophone,
    mgTubularBells,
    mgDulcimer,
    mgDrawbarOrgan,
    mgPercussiveOrgan,
    mgRockOrgan,
    mgChurchOrgan,
    mgReedOrgan,
    mgAccordion,
    mgHarmonica,
    mgTangoAccordion,
    mgAcousticNylonGuitar,
    mgAcousticSteelGuitar,
    mgJazzElectricGuitar,
    mgCleanElectricGuitar,
    mgMutedElectricGuitar,
    mgOverdrivenGuitar,
    mgDistortionGuitar,
    mgGuitarHarmonics,
    mgAcousticBass,
    mgFingeredElectricBass,
    mgPickedElectricBass,
    mgFretlessBass,
    mgSlapBass1,
    mgSlapBass2,
    mgSynthBass1,
    mgSynthBass2,
    mgViolin,
    mgViola,
    mgCello,
    mgContrabass,
    mgTremoloStrings,
    mgPizzicatoStrings,
    mgOrchestralHarp,
    mgTimpani,
    mgStringEnsemble1,
    mgStringEnsemble2,
    mgSynthStrings1,
    mgSynthStrings2,
    mgChoirAahs,
    mgVoiceOohs,
    mgSynthVoice,
    mgOrchestraHit,
    mgTrumpet,
    mgTrombone,
    mgTuba,
    mgMutedTrumpet,
    mgFrenchHorn,
    mgBrassSection,
    mgSynthBrass1,
    mgSynthBrass2,
    mgSopranoSax,
    mgAltoSax,
    mgTenorSax,
    mgBaritoneSax,
    mgOboe,
    mgEnglishHorn,
    mgBassoon,
    mgClarinet,
    mgPiccolo,
    mgFlute,
    mgRecorder,
    mgPanFlute,
    mgBlownBottle,
    mgShakuhachi,
    mgWhistle,
    mgOcarina,
    mgSquareLead,
    mgSawtoothLead,
    mgCalliopeLead,
    mgChiffLead,
    mgCharangLead,
    mgVoiceLead,
    mgFifthsLead,
    mgBassandLead,
    mgNewAgePad,
    mgWarmPad,
    mgPolySynthPad,
    mgChoirPad,
    mgBowedPad,
    mgMetallicPad,
    mgHaloPad,
    mgSweepPad,
    mgSynthFXRain,
    mgSynthFXSoundtrack,
    mgSynthFXCrystal,
    mgSynthFXAtmosphere,
    mgSynthFXBrightness,
    mgSynthFXGoblins,
    mgSynthFXEchoes,
    mgSynthFXSciFi,
    mgSitar,
    mgBanjo,
    mgShamisen,
    mgKoto,
    mgKalimba,
    mgBagpipe,
    mgFiddle,
    mgShanai,
    mgTinkleBell,
    mgAgogo,
    mgSteelDrums,
    mgWoodblock,
    mgTaikoDrum,
    mgMelodicTom,
    mgSynthDrum,
    mgReverseCymbal,
    mgGuitarFretNoise,
    mgBreathNoise,
    mgSeashore,
    mgBirdTweet,
    mgTelephoneRing,
    mgHelicopter,
    mgApplause,
    mgGunshot,
    mgAcousticBassDrum,
    mgBassDrum1,
    mgSideStick,
    mgAcousticSnare,
    mgHandClap,
    mgElectricSnare,
    mgLowFloorTom,
    mgClosedHiHat,
    mgHighFloorTom,
    mgPedalHiHat,
    mgLowTom,
    mgOpenHiHat,
    mgLowMidTom,
    mgHiMidTom,
    mgCrashCymbal1,
    mgHighTom,
    mgRideCymbal1,
    mgChineseCymbal,
    mgRideBell,
    mgTambourine,
    mgSplashCymbal,
    mgCowbell,
    mgCrashCymbal2,
    mgVibraslap,
    mgRideCymbal2,
    mgHiBongo,
    mgLowBongo,
    mgMuteHiConga,
    mgOpenHiConga,
    mgLowConga,
    mgHighTimbale,
    mgLowTimbale,
    mgHighAgogo,
    mgLowAgogo,
    mgCabasa,
    mgMaracas,
    mgShortWhistle,
    mgLongWhistle,
    mgShortGuiro,
    mgLongGuiro,
    mgClaves,
    mgHiWoodBlock,
    mgLowWoodBlock,
    mgMuteCuica,
    mgOpenCuica,
    mgMuteTriangle,
    mgOpenTriangle,
};

namespace velmora {

// Where a generator stands in its current play.
enum class MidiGenState
{
    Idle,     // no stream, ready for a play
    Starting, // a play passed the gate; its first event has not been reached
    Sounding, // the stream plays and may repeat
    Closing,  // stopped or played out; waiting for the stream's close notice
};

} // namespace velmora

// Sounds one note on a MIDI output device. Each play builds a fresh buffer
// (a preamble of controller messages, a program change, the note on and off)
// and hands it to a MIDI stream that plays it on its own clock; the stream's
// notices come back on this object's thread, which must be the user-interface
// thread, as must every call.
//
// The waits for the previous stream to close, for the new one to open and, in
// the destructor, for the last one to close, run the thread's event queue
// (notices of this generator's stream first), so timer ticks and clicks can
// run meanwhile; a nested play then meets a cleared ready flag and is refused.
class TMidiGen : public QObject
{
    Q_OBJECT
public:
    explicit TMidiGen(velmora::MidiSystem& system, QObject* parent = nullptr);
    ~TMidiGen() override;

    // Properties. Setters clamp into the property's range and only affect
    // the next play.
    int Volume() const { return m_volume; }
    void SetVolume(int value);
    int Pan() const { return m_pan; }
    void SetPan(int value);
    int Reverb() const { return m_reverb; }
    void SetReverb(int value);
    int Chorus() const { return m_chorus; }
    void SetChorus(int value);
    bool Sustain() const { return m_sustain; }
    void SetSustain(bool value);
    int Modulation() const { return m_modulation; }
    void SetModulation(int value);
    int PitchBend() const { return m_pitchBend; }
    void SetPitchBend(int value);
    int PBDelay() const { return m_pbDelay; }
    void SetPBDelay(int value);
    int PBDuration() const { return m_pbDuration; }
    void SetPBDuration(int value);
    quint32 Duration() const { return m_duration; }
    void SetDuration(quint32 value);
    int Note() const { return m_note; }
    void SetNote(int value);
    int Octave() const { return m_octave; }
    void SetOctave(int value);
    int Instrument() const { return m_instrument; }
    void SetInstrument(int value);
    int Channel() const { return m_channel; }
    void SetChannel(int value);
    quint32 Loops() const { return m_loops; }
    void SetLoops(quint32 value);

    // True from the stream's open notice to its close notice.
    bool IsPlaying() const { return m_isPlaying; }

    // Whether the selected device can be opened now (true at once while this
    // generator's own stream is open).
    bool MidiAvailable();
    // Stores the identifier, valid or not; true when it names a device or is
    // −1, the default device, and at least one device exists.
    bool SetDevice(int deviceId);
    int Device() const { return m_device; }

    // Plays Note + 12 × Octave.
    bool Play();
    // Plays one note of Duration ticks (10 ms each). True when the stream started.
    bool PlayNote(int note);
    // Ends repeating; a sounding stream is stopped at once.
    void Stop();

    // Not part of the component's published face: for tests and tools.
    velmora::MidiGenState State() const { return m_state; }
    velmora::GeneratorSettings Settings() const;
    // The buffer PlayNote(note) would build with the current properties.
    std::vector<velmora::StreamEvent> BuildNoteBuffer(int note) const;
    // The buffer of the last play that got as far as building one.
    std::vector<velmora::StreamEvent> LastBuffer() const;
    int InstanceNumber() const { return m_instance; }

signals:
    void playingChanged(bool playing);

private:
    using Buffer = velmora::MidiStream::Buffer;

    bool beginPlay();
    bool startRecords(const std::vector<velmora::NoteRecord>& records, bool allowPitchBend);
    bool failStart();
    template <typename Condition> void waitPumping(Condition done);

    // Notices of the stream.
    void onOpen();
    void onPosition();
    void onDone();
    void onClose();

    velmora::MidiSystem& m_system;

    int m_volume = 100;
    int m_pan = 0;
    int m_reverb = 0;
    int m_chorus = 0;
    bool m_sustain = false;
    int m_modulation = 0;
    int m_pitchBend = 0;
    int m_pbDelay = 0;
    int m_pbDuration = 100;
    quint32 m_duration = 50;
    int m_note = mgC;
    int m_octave = 4;
    int m_instrument = mgAcousticGrandPiano;
    int m_channel = mgCh01;
    quint32 m_loops = 1;

    int m_device = -1;
    int m_instance = 0;
    quint8 m_currentChannel = 0;
    bool m_streamOpen = false;
    bool m_isPlaying = false;
    bool m_keepLooping = false;
    bool m_ready = true;
    quint32 m_remainingLoops = 0;
    velmora::MidiGenState m_state = velmora::MidiGenState::Idle;

    // The stream object lives as long as the generator (its worker thread
    // with it); m_stream is the handle of an open stream, null otherwise.
    std::unique_ptr<velmora::MidiStream> m_streamObject;
    quint64 m_noticesHandled = 0; // counts the stream's notices as they are handled
    velmora::MidiStream* m_stream = nullptr;
    Buffer m_buffer;     // the playing buffer, held until its last done notice
    Buffer m_lastBuffer; // kept for LastBuffer()
};
