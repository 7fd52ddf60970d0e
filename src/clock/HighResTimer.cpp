#include "HighResTimer.h"

#include <chrono>

namespace {
std::int64_t nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
constexpr double NsPerDay = 86'400.0 * 1e9;
} // namespace

void THighResTimer::Start()
{
    FStartCount = nowNs();
    FStopCount = FStartCount;
}

void THighResTimer::Stop()
{
    FStopCount = nowNs();
}

double THighResTimer::Elapsed() const
{
    return double(FStopCount - FStartCount) / NsPerDay;
}

double THighResTimer::ElapsedMs() const
{
    return double(FStopCount - FStartCount) / 1e6;
}
