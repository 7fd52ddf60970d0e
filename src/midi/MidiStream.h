#pragma once

#include "StreamBuffer.h"

#include <QObject>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

namespace velmora {

class MidiOutput;
class MidiSystem;

// A MIDI stream: plays queued buffers of timed short messages on one output
// device, on its own clock, and reports back through four notices that are
// delivered as queued calls on the thread that owns this object (the
// user-interface thread): opened, positionReached (the event carrying the
// callback flag was sent), done (a buffer was given back, played out or
// stopped) and closed.
//
// Timing: event times are absolute deadlines on the steady clock, each one
// delta × tick after the previous event's deadline, so lateness never
// accumulates. Events that are due when a buffer is started (delta 0 at the
// head of a beat) are sent at once by the caller of restart()/queue(), so the
// note-on of a beat does not wait for a thread to wake; later events are sent
// by a worker thread that lives as long as the stream object (a beat opens and
// closes the stream, and a thread per beat would cost more than the beat).
//
// All methods are for the owning thread. Buffers are shared so that the
// caller's copy stays valid until its done notice, whatever happens.
class MidiStream : public QObject
{
    Q_OBJECT
public:
    using Buffer = std::shared_ptr<const std::vector<StreamEvent>>;

    explicit MidiStream(MidiSystem& system, QObject* parent = nullptr);
    ~MidiStream() override;

    // Opens a device (−1 for the default). The stream starts paused, with the
    // default 96 ticks per quarter note at 500 000 µs per quarter note.
    bool open(int deviceId);
    bool isOpen() const;
    // Closes the device; anything still queued is stopped first.
    bool close();

    bool setTimeDivision(int ticksPerQuarterNote);
    std::chrono::nanoseconds tickDuration() const;

    bool queue(Buffer buffer);
    // Starts (or resumes) playing the queued buffers.
    bool restart();
    // Stops at once: silences the output and gives every queued buffer back.
    bool stop();
    // Silences the output: note off for every sounding note, pedal released.
    bool reset();

signals:
    void opened();
    void positionReached();
    void done();
    void closed();

private:
    using Clock = std::chrono::steady_clock;

    void run();
    void playDue(Clock::time_point now);
    Clock::time_point nextDeadline() const;
    void post(void (MidiStream::*notice)());
    void givePositionNow();

    MidiSystem& m_system;

    // Everything below is shared with the worker and guarded by m_mutex. The
    // worker holds it while it sends, so stop() never races a note on.
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    MidiOutput* m_output = nullptr;
    bool m_open = false;
    bool m_running = false;
    bool m_quit = false;
    // The callback event went out on the owning thread (restart or queue): its
    // notice is given as soon as that call lets go of the lock, not queued, so
    // that a play started in a handler is Sounding when the handler goes on.
    bool m_positionNow = false;
    bool m_openDelivered = false; // owning thread only: notices keep their order
    std::deque<Buffer> m_queue;
    std::size_t m_index = 0; // next event of the front buffer
    bool m_clockRunning = false;
    Clock::time_point m_clock; // deadline of the last event sent
    std::chrono::nanoseconds m_tick;

    std::thread m_worker;
};

} // namespace velmora
