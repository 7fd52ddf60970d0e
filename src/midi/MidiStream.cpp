#include "MidiStream.h"

#include <QThread>

#include "MidiOutput.h"
#include "MidiSystem.h"

#include <pthread.h>
#include <sys/prctl.h>

namespace velmora {

namespace {

constexpr std::chrono::nanoseconds DefaultTempo =
    std::chrono::microseconds(500000); // per quarter note; never changed
constexpr int DefaultTimeDivision = 96;

// Lets the worker meet its deadlines on a busy machine: the kernel's default
// 50 µs timer slack goes, and a real-time priority is taken where the system
// grants one (it usually does not for a desktop user; then the thread stays
// an ordinary one and the absolute deadlines still keep the average exact).
void tuneWorkerThread()
{
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    sched_param param{};
    param.sched_priority = 10;
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);
}

} // namespace

MidiStream::MidiStream(MidiSystem& system, QObject* parent)
    : QObject(parent), m_system(system), m_tick(DefaultTempo / DefaultTimeDivision)
{
}

MidiStream::~MidiStream()
{
    close();
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_wake.notify_all();
    if (m_worker.joinable()) m_worker.join();
}

void MidiStream::post(void (MidiStream::*notice)())
{
    QMetaObject::invokeMethod(
        this,
        [this, notice] {
            if (notice == &MidiStream::opened) m_openDelivered = true;
            (this->*notice)();
        },
        Qt::QueuedConnection);
}

bool MidiStream::open(int deviceId)
{
    MidiOutput* output = m_system.output(deviceId);
    {
        std::lock_guard lock(m_mutex);
        if (m_open || !output) return false;
        if (!output->open()) {
            output->close();
            return false;
        }
        m_output = output;
        m_open = true;
        m_openDelivered = false;
        m_running = false;
        m_clockRunning = false;
        m_index = 0;
        m_tick = DefaultTempo / DefaultTimeDivision;
    }
    if (!m_worker.joinable()) m_worker = std::thread(&MidiStream::run, this);
    post(&MidiStream::opened);
    return true;
}

bool MidiStream::isOpen() const
{
    std::lock_guard lock(m_mutex);
    return m_open;
}

bool MidiStream::close()
{
    if (!isOpen()) return false;
    stop();
    {
        std::lock_guard lock(m_mutex);
        m_output->close();
        m_output = nullptr;
        m_open = false;
    }
    post(&MidiStream::closed);
    return true;
}

bool MidiStream::setTimeDivision(int ticksPerQuarterNote)
{
    if (ticksPerQuarterNote <= 0) return false;
    std::lock_guard lock(m_mutex);
    if (!m_open) return false;
    m_tick = DefaultTempo / ticksPerQuarterNote;
    return true;
}

std::chrono::nanoseconds MidiStream::tickDuration() const
{
    std::lock_guard lock(m_mutex);
    return m_tick;
}

bool MidiStream::queue(Buffer buffer)
{
    if (!buffer) return false;
    {
        std::lock_guard lock(m_mutex);
        if (!m_open) return false;
        m_queue.push_back(std::move(buffer));
        if (m_running) playDue(Clock::now());
    }
    m_wake.notify_all();
    givePositionNow();
    return true;
}

bool MidiStream::restart()
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_open) return false;
        m_running = true;
        playDue(Clock::now());
    }
    m_wake.notify_all();
    givePositionNow();
    return true;
}

void MidiStream::givePositionNow()
{
    bool due = false;
    {
        std::lock_guard lock(m_mutex);
        due = std::exchange(m_positionNow, false);
    }
    if (due) emit positionReached();
}

bool MidiStream::stop()
{
    std::size_t givenBack = 0;
    {
        std::lock_guard lock(m_mutex);
        if (!m_open) return false;
        m_running = false;
        m_clockRunning = false;
        m_index = 0;
        givenBack = m_queue.size();
        m_queue.clear();
        m_output->allNotesOff();
    }
    m_wake.notify_all();
    for (std::size_t i = 0; i < givenBack; ++i)
        post(&MidiStream::done);
    return true;
}

bool MidiStream::reset()
{
    std::lock_guard lock(m_mutex);
    if (!m_open) return false;
    m_output->allNotesOff();
    return true;
}

MidiStream::Clock::time_point MidiStream::nextDeadline() const
{
    const Buffer& buffer = m_queue.front();
    // An empty buffer behind another is due at once, to be given back.
    if (!m_clockRunning || m_index >= buffer->size()) return Clock::time_point::min();
    const StreamEvent& next = (*buffer)[m_index];
    return m_clock + next.delta * m_tick;
}

// Sends every event that is due at `now`, in order; called with m_mutex held,
// by the worker or by whoever just queued or restarted.
void MidiStream::playDue(Clock::time_point now)
{
    while (m_running && !m_queue.empty()) {
        const Buffer& buffer = m_queue.front();
        if (!m_clockRunning) {
            // Nothing was playing: the stream's time begins with this buffer.
            m_clockRunning = true;
            m_clock = now;
        }
        while (m_index < buffer->size()) {
            const StreamEvent& event = (*buffer)[m_index];
            const Clock::time_point deadline = m_clock + event.delta * m_tick;
            if (deadline > now) return;
            m_output->send(DecodeShortMessage(event.event).view());
            m_clock = deadline;
            ++m_index;
            if (event.event & CallbackFlag) {
                if (QThread::currentThread() == thread() && m_openDelivered)
                    m_positionNow = true;
                else
                    post(&MidiStream::positionReached);
            }
        }
        m_queue.pop_front();
        m_index = 0;
        // A buffer queued behind this one continues the stream's time; after
        // a gap the next buffer starts its own.
        m_clockRunning = !m_queue.empty();
        post(&MidiStream::done);
    }
}

void MidiStream::run()
{
    tuneWorkerThread();
    std::unique_lock lock(m_mutex);
    while (!m_quit) {
        if (!m_running || m_queue.empty()) {
            m_wake.wait(lock);
            continue;
        }
        const Clock::time_point deadline = nextDeadline();
        if (deadline > Clock::now()) m_wake.wait_until(lock, deadline);
        playDue(Clock::now());
    }
}

} // namespace velmora
