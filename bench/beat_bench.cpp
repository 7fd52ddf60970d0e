// Tempo accuracy of free play, measured where the sound leaves: the note-on
// times of a recording MIDI output behind the real main window (offscreen).
//
//   beat_bench --tempo 120 --unit 4 --beats 200 [--literal]
//
// Prints one line: the tempo measured from a least-squares fit of note-on times
// against beat index, its error against the set tempo, the p50/p99/max deviation
// of onsets from that fit, and the process's CPU use. --literal measures the
// older timer policy instead (period rounded to whole milliseconds and restarted
// at each pass), on the same beat clock and generator, for comparison.

#include "BeatClock.h"
#include "MainUnit.h"
#include "MidiGen.h"
#include "MidiSystem.h"
#include "RecordingMidiOutput.h"
#include "TempoMath.h"
#include "TickSource.h"

#include <QAction>
#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>

#include <sys/resource.h>

namespace {

double cpuSeconds()
{
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return double(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) +
           double(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}

// The older policy: a whole-millisecond period that restarts when each pass
// begins, so every late wake-up and every rounding is kept.
class LiteralTimer : public QObject, public velmora::TickSource
{
public:
    std::function<void()> onTimer;

    ~LiteralTimer() override { SetEnabled(false); }
    void SetInterval(double ms) override { m_interval = int(velmora::roundHalfEven(ms)); }
    double Interval() const override { return m_interval; }
    bool Enabled() const override { return m_running; }
    void SetEnabled(bool on) override
    {
        if (on == m_running) return;
        m_running = on;
        if (!on) {
            m_stop = true;
            if (m_thread.joinable()) m_thread.join();
            return;
        }
        m_stop = false;
        m_thread = std::thread([this] {
            using clock = std::chrono::steady_clock;
            while (!m_stop) {
                const auto start = clock::now();
                std::atomic<bool> handled{false};
                QMetaObject::invokeMethod(
                    this,
                    [this, &handled] {
                        if (!m_stop && onTimer) onTimer();
                        handled = true;
                    },
                    Qt::QueuedConnection);
                while (!handled && !m_stop)
                    std::this_thread::sleep_for(std::chrono::microseconds(50));
                do {
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                } while (!m_stop &&
                         std::chrono::duration<double, std::milli>(clock::now() - start).count() <
                             m_interval);
            }
        });
    }

private:
    std::atomic<int> m_interval{50};
    std::atomic<bool> m_stop{false};
    bool m_running = false;
    std::thread m_thread;
};

struct Fit
{
    double beatMs = 0;
    double p50 = 0, p99 = 0, max = 0;
};

Fit fitOnsets(const std::vector<double>& t)
{
    // t[i] against i, least squares.
    const double n = double(t.size());
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (size_t i = 0; i < t.size(); ++i) {
        sx += double(i);
        sy += t[i];
        sxx += double(i) * double(i);
        sxy += double(i) * t[i];
    }
    Fit f;
    f.beatMs = (n * sxy - sx * sy) / (n * sxx - sx * sx);
    const double a = (sy - f.beatMs * sx) / n;
    std::vector<double> dev;
    for (size_t i = 0; i < t.size(); ++i)
        dev.push_back(std::abs(t[i] - (a + f.beatMs * double(i))));
    std::sort(dev.begin(), dev.end());
    auto pct = [&](double p) {
        return dev[std::min(dev.size() - 1, size_t(p * double(dev.size())))];
    };
    f.p50 = pct(0.50);
    f.p99 = pct(0.99);
    f.max = dev.back();
    return f;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOptions({{"tempo", "quarter notes per minute", "T", "120"},
                       {"unit", "beat unit", "D", "4"},
                       {"beats", "beats to measure", "N", "200"},
                       {"literal", "measure the older timer policy"},
                       {"text-only", "run the window in text-only mode (no beat display)"},
                       {"dump", "print every onset's deviation from the fit"},
                       {"keep-controls", "never hide the controls during the run"}});
    parser.process(app);
    const int tempo = parser.value("tempo").toInt();
    const int unit = parser.value("unit").toInt();
    const int beats = parser.value("beats").toInt();
    const bool literal = parser.isSet("literal");

    auto recorder = std::make_unique<velmora::RecordingMidiOutput>();
    velmora::RecordingMidiOutput* rec = recorder.get();
    std::vector<std::unique_ptr<velmora::MidiOutput>> outputs;
    outputs.push_back(std::move(recorder));
    velmora::MidiSystem system(std::move(outputs));

    // Either the real main window, or the same clock and generator on the older timer.
    std::unique_ptr<TMainForm> form;
    std::unique_ptr<TMidiGen> gen;
    std::unique_ptr<velmora::GeneratorVoice<TMidiGen>> voice;
    std::unique_ptr<LiteralTimer> literalTimer;
    velmora::BeatClockHooks hooks;
    std::unique_ptr<velmora::BeatClock> literalClock;
    velmora::BeatClock* clock = nullptr;
    if (!literal) {
        form = std::make_unique<TMainForm>(system, QCoreApplication::applicationDirPath());
        form->show();
        clock = &form->Clock();
        if (parser.isSet("keep-controls"))
            form->findChild<QTimer*>(QStringLiteral("HideTimer"))->stop();
        if (parser.isSet("text-only"))
            form->findChild<QAction*>(QStringLiteral("TextOnly"))->trigger();
    } else {
        gen = std::make_unique<TMidiGen>(system);
        gen->SetInstrument(mgSideStick);
        voice = std::make_unique<velmora::GeneratorVoice<TMidiGen>>(*gen);
        literalTimer = std::make_unique<LiteralTimer>();
        literalClock = std::make_unique<velmora::BeatClock>(*literalTimer, *voice, hooks);
        literalTimer->onTimer = [&] { literalClock->TimerTimer(); };
        clock = literalClock.get();
    }
    // Let the window finish its first full paint, as it has long before a user
    // presses Space.
    QTimer::singleShot(1000, &app, &QApplication::quit);
    QApplication::exec();
    clock->SetDown(unit);
    clock->SetTempo(tempo);

    auto noteOns = [&] {
        std::vector<double> t;
        for (const auto& m : rec->messages())
            if (m.bytes.size() == 3 && (m.bytes[0] & 0xF0) == 0x90 && m.bytes[2] > 0)
                t.push_back(
                    std::chrono::duration<double, std::milli>(m.time.time_since_epoch()).count());
        return t;
    };

    const double cpu0 = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    clock->PlayLabelClick();
    // Each beat sends at most 19 messages (18 of its own, and a note off if the
    // previous note still sounds); counting them costs nothing, while reading the
    // recording during the run would hold its lock against the notes.
    // The opening beat comes ten ticks before the second; it is left out of the fit.
    const double beatMs = 60000.0 / tempo * 4 / unit;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (rec->messageCount() >= std::size_t(19 * (beats + 2))) QApplication::quit();
    });
    poll.start(100);
    QApplication::exec();
    clock->StopLabelClick();
    const double cpu = (cpuSeconds() - cpu0) / (double(wall.elapsed()) / 1000.0) * 100.0;

    std::vector<double> t = noteOns();
    if (int(t.size()) < beats + 1) {
        std::fprintf(stderr, "only %zu beats were heard\n", t.size());
        return 1;
    }
    t.erase(t.begin());
    t.resize(size_t(beats));
    const Fit f = fitOnsets(t);
    if (parser.isSet("dump")) {
        for (size_t i = 0; i < t.size(); ++i)
            std::printf("%zu %.3f\n", i, t[i] - t[0] - f.beatMs * double(i));
    }
    const double measuredTempo = tempo * beatMs / f.beatMs;
    const double errorPct = (measuredTempo - tempo) / tempo * 100.0;
    std::printf("%-8s %3d/%-2d beats %3d  tempo %9.4f (set %3d, error %+8.4f %%)  "
                "onset dev p50 %.3f p99 %.3f max %.3f ms  cpu %.2f %%\n",
                literal ? "literal" : "exact", tempo, unit, beats, measuredTempo, tempo, errorPct,
                f.p50, f.p99, f.max, cpu);
    return 0;
}
