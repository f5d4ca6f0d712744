#include "link/LinkTiming.h"

#include <algorithm>

int LinkTiming::repeatPeriod(int configuredMs)
{
    return configuredMs > 0 ? configuredMs : FallbackRepeatPeriodMs;
}

int LinkTiming::pollCount(int timeoutMs, int configuredPeriodMs)
{
    return std::max(0, timeoutMs / repeatPeriod(configuredPeriodMs));
}
