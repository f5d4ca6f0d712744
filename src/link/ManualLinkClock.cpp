#include "link/ManualLinkClock.h"

void ManualLinkClock::sleepMs(qint64 ms)
{
    if (ms <= 0)
        return;
    m_nowMs += ms;
    m_sleeps.append(ms);
    if (m_hook)
        m_hook(m_nowMs);
}
