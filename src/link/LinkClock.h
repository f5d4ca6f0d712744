#pragma once

#include <QtGlobal>

// The time base of every wait of the print-manager link. The link blocks the user-interface
// thread while it waits, so an implementation must neither process events nor return early;
// tests put in a clock whose time moves only when the link waits.
class LinkClock
{
public:
    virtual ~LinkClock() = default;

    // Milliseconds since an arbitrary fixed start; never goes backwards.
    virtual qint64 nowMs() const = 0;
    // Returns once at least `ms` milliseconds have passed; zero or less returns at once.
    virtual void sleepMs(qint64 ms) = 0;
};
