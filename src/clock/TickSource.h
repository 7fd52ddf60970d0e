#pragma once

namespace velmora {

// What the beat clock needs of its periodic tick source. The real one is
// TThreadTimer; tests drive the clock by hand through a double of this.
class TickSource
{
public:
    virtual ~TickSource() = default;

    // Period in milliseconds, fractional: tick periods are exact, not rounded.
    virtual void SetInterval(double ms) = 0;
    virtual double Interval() const = 0;

    virtual void SetEnabled(bool enabled) = 0;
    virtual bool Enabled() const = 0;
};

} // namespace velmora
