#include "MidiGen.h"

#include <QCoreApplication>

#include <algorithm>

using velmora::MidiGenState;

namespace {

// Ticks per quarter note of every stream; at the player's fixed 500 000 µs
// per quarter note one tick lasts 10 ms, the unit of Duration.
constexpr int TimeDivision = 50;

} // namespace

TMidiGen::TMidiGen(velmora::MidiSystem& system, QObject* parent)
    : QObject(parent), m_system(system), m_instance(system.takeInstanceNumber()),
      m_streamObject(std::make_unique<velmora::MidiStream>(system))
{
    velmora::MidiStream* stream = m_streamObject.get();
    connect(stream, &velmora::MidiStream::opened, this, &TMidiGen::onOpen);
    connect(stream, &velmora::MidiStream::positionReached, this, &TMidiGen::onPosition);
    connect(stream, &velmora::MidiStream::done, this, &TMidiGen::onDone);
    connect(stream, &velmora::MidiStream::closed, this, &TMidiGen::onClose);
}

TMidiGen::~TMidiGen()
{
    Stop();
    // A play still Starting would otherwise run to its end (Stop cannot cut
    // it short); at destruction nobody is left to hear it, so cut it.
    if (m_stream) m_stream->stop();
    waitPumping([this] { return !m_streamOpen; });
}

// Runs the thread's event queue until `done` holds. The stream's own notices
// are delivered first: they are what the wait is for, and the beat's sound
// should not wait behind a repaint that happens to be queued.
template <typename Condition> void TMidiGen::waitPumping(Condition done)
{
    while (!done()) {
        // A notice can post the next one (done closes the stream, which posts
        // close): keep delivering the stream's own notices while they come, and
        // run the rest of the queue only when there is truly something to wait
        // for, so that a beat's note never waits behind a repaint.
        const quint64 before = m_noticesHandled;
        QCoreApplication::sendPostedEvents(m_streamObject.get(), QEvent::MetaCall);
        if (done() || m_noticesHandled != before) continue;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
}

void TMidiGen::SetVolume(int value)
{
    m_volume = std::clamp(value, 0, 100);
}

void TMidiGen::SetPan(int value)
{
    m_pan = std::clamp(value, -100, 100);
}

void TMidiGen::SetReverb(int value)
{
    m_reverb = std::clamp(value, 0, 100);
}

void TMidiGen::SetChorus(int value)
{
    m_chorus = std::clamp(value, 0, 100);
}

void TMidiGen::SetSustain(bool value)
{
    m_sustain = value;
}

void TMidiGen::SetModulation(int value)
{
    m_modulation = std::clamp(value, 0, 100);
}

void TMidiGen::SetPitchBend(int value)
{
    m_pitchBend = std::clamp(value, -120, 120);
}

void TMidiGen::SetPBDelay(int value)
{
    m_pbDelay = std::clamp(value, 0, 100);
}

void TMidiGen::SetPBDuration(int value)
{
    m_pbDuration = std::clamp(value, 0, 100);
}

void TMidiGen::SetDuration(quint32 value)
{
    m_duration = value;
}

void TMidiGen::SetNote(int value)
{
    m_note = std::clamp(value, static_cast<int>(mgC), static_cast<int>(mgB));
}

void TMidiGen::SetOctave(int value)
{
    m_octave = std::clamp(value, 0, 10);
}

void TMidiGen::SetInstrument(int value)
{
    m_instrument =
        std::clamp(value, static_cast<int>(mgAcousticGrandPiano), static_cast<int>(mgOpenTriangle));
}

void TMidiGen::SetChannel(int value)
{
    m_channel = std::clamp(value, static_cast<int>(mgCh01), static_cast<int>(mgCh16));
}

void TMidiGen::SetLoops(quint32 value)
{
    m_loops = value;
}

bool TMidiGen::MidiAvailable()
{
    if (m_streamOpen) return true;
    return m_system.probe(m_device);
}

bool TMidiGen::SetDevice(int deviceId)
{
    m_device = deviceId;
    const int count = m_system.deviceCount();
    return count > 0 && deviceId < count;
}

velmora::GeneratorSettings TMidiGen::Settings() const
{
    velmora::GeneratorSettings s;
    s.volume = m_volume;
    s.pan = m_pan;
    s.reverb = m_reverb;
    s.chorus = m_chorus;
    s.sustain = m_sustain;
    s.modulation = m_modulation;
    s.pitchBend = m_pitchBend;
    s.pbDelay = m_pbDelay;
    s.pbDuration = m_pbDuration;
    s.instrument = m_instrument;
    s.channel = m_channel;
    return s;
}

std::vector<velmora::StreamEvent> TMidiGen::BuildNoteBuffer(int note) const
{
    const velmora::GeneratorSettings settings = Settings();
    const auto records = velmora::SingleNoteRecords(settings, note, m_duration);
    return velmora::BuildStreamBuffer(settings, records, true);
}

std::vector<velmora::StreamEvent> TMidiGen::LastBuffer() const
{
    return m_lastBuffer ? *m_lastBuffer : std::vector<velmora::StreamEvent>{};
}

bool TMidiGen::Play()
{
    return PlayNote(m_note + 12 * m_octave);
}

bool TMidiGen::PlayNote(int note)
{
    if (!beginPlay()) return false;
    velmora::GeneratorSettings settings = Settings();
    settings.channel = m_currentChannel;
    return startRecords(velmora::SingleNoteRecords(settings, note, m_duration), true);
}

void TMidiGen::Stop()
{
    m_keepLooping = false;
    // Before the first event has been reached the stream cannot be stopped;
    // the play then runs to its end without repeating.
    if (m_stream && m_streamOpen && m_ready) {
        m_stream->stop();
        if (m_state == MidiGenState::Sounding) m_state = MidiGenState::Closing;
    }
}

// The gate every play passes first.
bool TMidiGen::beginPlay()
{
    if (!m_ready || !MidiAvailable()) return false;
    m_ready = false;
    m_keepLooping = false;
    if (m_stream) {
        m_state = MidiGenState::Closing;
        m_stream->stop();
        waitPumping([this] { return !m_streamOpen; });
    }
    m_remainingLoops = m_loops;
    m_currentChannel = static_cast<quint8>(m_channel);
    m_state = MidiGenState::Starting;
    return true;
}

bool TMidiGen::startRecords(const std::vector<velmora::NoteRecord>& records, bool allowPitchBend)
{
    // The output belongs to the first generator that ever opened a stream.
    if (m_system.owner() != 0 && m_system.owner() != m_instance) return failStart();
    m_currentChannel = static_cast<quint8>(m_channel);
    velmora::GeneratorSettings settings = Settings();
    settings.channel = m_currentChannel;
    m_lastBuffer = std::make_shared<const std::vector<velmora::StreamEvent>>(
        velmora::BuildStreamBuffer(settings, records, allowPitchBend));

    waitPumping([this] { return !m_streamOpen; });
    if (!m_streamObject->open(m_device)) return failStart();
    m_stream = m_streamObject.get();
    waitPumping([this] { return m_streamOpen; });
    m_system.setOwner(m_instance);

    m_buffer = m_lastBuffer;
    if (!m_stream->reset() || !m_stream->setTimeDivision(TimeDivision) ||
        !m_stream->queue(m_buffer) || !m_stream->restart())
        return failStart();
    return true;
}

// A play that failed after the gate closes whatever it opened and leaves the
// generator ready again: a metronome must not fall silent for good because
// one beat found its device busy.
bool TMidiGen::failStart()
{
    m_keepLooping = false;
    m_buffer.reset();
    if (m_stream) {
        m_stream->close();
        waitPumping([this] { return !m_streamOpen; });
    }
    m_ready = true;
    m_state = MidiGenState::Idle;
    return false;
}

void TMidiGen::onOpen()
{
    ++m_noticesHandled;
    m_streamOpen = true;
    m_isPlaying = true;
    m_keepLooping = true;
    m_remainingLoops = m_loops;
    emit playingChanged(true);
}

void TMidiGen::onPosition()
{
    ++m_noticesHandled;
    m_ready = true;
    if (m_state == MidiGenState::Starting)
        m_state = m_keepLooping ? MidiGenState::Sounding : MidiGenState::Closing;
}

void TMidiGen::onDone()
{
    ++m_noticesHandled;
    if (m_keepLooping && (m_remainingLoops > 1 || m_remainingLoops == 0) && m_stream && m_buffer) {
        m_stream->queue(m_buffer);
        m_stream->restart();
        if (m_remainingLoops > 1) --m_remainingLoops;
        return;
    }
    if (m_stream) {
        m_stream->stop();
        m_stream->reset();
    }
    m_buffer.reset();
    if (m_stream) m_stream->close();
    if (m_state != MidiGenState::Starting) m_state = MidiGenState::Closing;
}

void TMidiGen::onClose()
{
    ++m_noticesHandled;
    m_streamOpen = false;
    m_isPlaying = false;
    m_keepLooping = false;
    m_stream = nullptr;
    if (m_state != MidiGenState::Starting) m_state = MidiGenState::Idle;
    emit playingChanged(false);
}
