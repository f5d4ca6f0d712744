#pragma once

#include "link/LinkClock.h"

// The process's monotonic clock. Sleeping hands the processor to others instead of
// spinning; the thread still processes no events meanwhile.
class SteadyLinkClock : public LinkClock
{
public:
    qint64 nowMs() const override;
    void sleepMs(qint64 ms) override;
};
