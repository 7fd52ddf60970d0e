#pragma once

#include <cstdint>

// Stopwatch over the monotonic clock. Elapsed is a fraction of a day, the unit
// of the system's date-time values; the sync server turns it into milliseconds.
// No lock of its own: the beat clock restarts it and the sync server reads it
// under the beat state's lock.
class THighResTimer
{
public:
    THighResTimer() = default;
    virtual ~THighResTimer() = default;

    virtual void Start();
    virtual void Stop();
    double Elapsed() const;

    // Elapsed time from the last Start to the last Stop, in milliseconds.
    double ElapsedMs() const;

private:
    std::int64_t FStartCount = 0; // nanoseconds of the monotonic clock
    std::int64_t FStopCount = 0;
};
