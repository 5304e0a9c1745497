// The soak: many get/set cycles with random settings against fresh virtual
// displays, a share of them under faults, with the real waits. It counts what a
// careful operator would never want to see: a set reported done that the display
// did not take, values read back that differ from what was set, and cycles that
// hang.
#pragma once

#include <cstdint>
#include <cstdio>

namespace tessaly {

struct SoakOptions {
    int cycles = 100;
    long long first = 0;  // number of the first cycle, so that one cycle can be run again alone
    std::uint64_t seed = 1;
    double faultShare = 0.3;  // share of cycles that run under a fault
    int lanes = 1;            // cycles run side by side, each against its own display
    double hangBoundSeconds = 15.0;
};

// Runs the soak, prints its figures to `out` and returns the exit status: 0 when
// nothing was wrong, 1 when any cycle mismatched, falsely succeeded or hung.
int RunSoak(const SoakOptions& options, std::FILE* out);

}  // namespace tessaly
