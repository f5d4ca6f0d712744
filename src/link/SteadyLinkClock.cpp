#include "link/SteadyLinkClock.h"

#include <chrono>
#include <thread>

qint64 SteadyLinkClock::nowMs() const
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void SteadyLinkClock::sleepMs(qint64 ms)
{
    using namespace std::chrono;
    // The deadline is kept at the clock's full resolution: comparing whole milliseconds
    // would let a wait end up to one millisecond early.
    const steady_clock::time_point deadline = steady_clock::now() + milliseconds(ms);
    while (steady_clock::now() < deadline)
        std::this_thread::sleep_until(deadline);
}
