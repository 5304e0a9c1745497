// What the operator reads under "Can't open port and Printer is disconnected":
// the device, the system's reason as the failing call gave it, and how to mend
// it where that is known.
#pragma once

#include <string>

#include "link/open_failure.h"

namespace tessaly {

struct OpenFailureExplanation {
    std::string path;    // the device that was opened
    std::string reason;  // "Permission denied (EACCES)"
    std::string remedy;  // empty when none is known

    // "PATH: REASON" and, on a line of its own, the remedy.
    std::string Text() const;
};

// Reads holders from /proc and the device's group from the file system, now;
// the errno is the one the failing call left.
OpenFailureExplanation ExplainOpenFailure(const OpenFailure& failure);

}  // namespace tessaly
