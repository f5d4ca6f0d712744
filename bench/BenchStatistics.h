#pragma once

#include <algorithm>
#include <vector>

// Figures of a series of timings, as the targets name them.
namespace BenchStatistics {

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

inline double percentile90(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() * 9 / 10];
}

} // namespace BenchStatistics
