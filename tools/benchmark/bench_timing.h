// The clock and the summary the window benchmarks share.
#pragma once

#include <time.h>

#include <algorithm>
#include <cstddef>
#include <vector>

namespace tessaly::bench {

// Seconds on the monotonic clock.
inline double Now() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace tessaly::bench
