#pragma once

#include "TickSource.h"

namespace velmora::testing {

// A tick source the test drives by hand: it only remembers what the clock asked.
class ManualTicks : public TickSource
{
public:
    double interval = 0;
    bool enabled = false;
    void SetInterval(double ms) override { interval = ms; }
    double Interval() const override { return interval; }
    void SetEnabled(bool on) override { enabled = on; }
    bool Enabled() const override { return enabled; }
};

} // namespace velmora::testing
