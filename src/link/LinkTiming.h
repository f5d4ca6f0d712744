#pragma once

namespace LinkTiming {

// Stands in for a LAN_REPEAT of zero or less, which would make every division by the
// period fail. 50 ms keeps a misconfigured link responsive while the number of file
// operations per time-out stays small (160 polls for 8000 ms).
inline constexpr int FallbackRepeatPeriodMs = 50;

// The configured period, or the fallback when it is zero or less.
int repeatPeriod(int configuredMs);

// How many polls, one period each, fit into a time-out: time-out / period, truncated;
// never negative.
int pollCount(int timeoutMs, int configuredPeriodMs);

} // namespace LinkTiming
