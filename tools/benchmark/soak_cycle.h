// One soak cycle: a fresh virtual display with random switches, random settings
// written to it and read back, perhaps under one fault. The cycle decides its
// settings and its fault from (seed, index) alone, so that any cycle of a run can
// be repeated on its own whatever ran beside it.
#pragma once

#include <cstdint>

namespace tessaly {

enum class SoakFault {
    None,
    HangUpInWrites,  // the display hangs up between the first and the last switch write
    HangUpInRead,    // the display hangs up while the switches are read back
    Silent,
    NoiseBeforeSync,
    CutAfterSync,
    EndlessNoise,
    WrongIdentity,
    HangUpInCheck,  // the display hangs up at a byte of the first connection check
};
inline constexpr int kSoakFaultCount = 9;

const char* SoakFaultName(SoakFault fault);

struct CycleResult {
    SoakFault fault = SoakFault::None;
    bool faultDuringCheck = false;        // during the first connection check
    bool faultDuringSet = false;          // otherwise during the read back
    bool connected = false;               // the connection check before the set passed
    bool checkFalseSuccess = false;       // ... though the display hung up during it
    bool setComplete = false;             // the set reported Complete
    bool displayTookAll = false;          // the display holds every switch as it was sent
    bool hungUp = false;                  // the display hung up during the cycle
    bool leftInUserSetting = false;       // still answering, but left in user setting mode
    bool readBack = false;                // the read back reported Complete
    bool readDiffersFromDisplay = false;  // ... with bits the display does not hold
    bool readDiffersFromSet = false;      // ... with bits other than a Complete set sent
    int cutSwitchWrite = 0;  // HangUpInWrites: which of the five switch writes (1..5) it cut
    double seconds = 0;

    // A set reported Complete that the display did not take whole, or a check
    // reported passed by a display that hung up in it.
    bool FalseSuccess() const { return (setComplete && !displayTookAll) || checkFalseSuccess; }
    bool Mismatch() const { return readDiffersFromSet; }
};

CycleResult RunSoakCycle(std::uint64_t seed, std::uint64_t index, double faultShare);

}  // namespace tessaly
