#pragma once

#include <cmath>

namespace velmora {

constexpr int TicksPerBeat = 12;
constexpr int MinTempo = 20;
constexpr int MaxTempo = 240;
constexpr int MinBeatsOrUnit = 1;
constexpr int MaxBeatsOrUnit = 32;

// Rounds to the nearest integer, halves to the even neighbour (62.5 -> 62).
inline long long roundHalfEven(double v)
{
    return std::llrint(v); // the default rounding mode is to-nearest-even
}

// Tick period for tempo T (quarter notes per minute) and beat unit D, exact:
// a beat lasts 60000 / T * 4 / D ms and carries twelve ticks.
inline double tickIntervalMs(int tempo, int beatUnit)
{
    return 60000.0 / tempo / TicksPerBeat * 4 / beatUnit;
}

// The same period rounded to whole milliseconds, the older timer policy; kept for
// the benchmark's comparison only.
inline int roundedTickIntervalMs(int tempo, int beatUnit)
{
    return int(roundHalfEven(tickIntervalMs(tempo, beatUnit)));
}

// Note length of one beat in the generator's 10 ms ticks.
inline unsigned noteDurationTicks(int tempo, int beatUnit)
{
    return unsigned(roundHalfEven(6000.0 / tempo * 4 / beatUnit));
}

} // namespace velmora
