// What each platform knows about a failed open; ExplainOpenFailure puts it
// together the same way everywhere.
#pragma once

#include <string>

#include "link/open_failure.h"

namespace tessaly {

// The system's own sentence for `error`, with its name or number.
std::string SystemReason(int error);
// How to mend a failed open or line setup, where that is known; else empty.
std::string RemedyForOpen(const OpenFailure& failure);
// What to do when another Tessaly holds the port at `path`.
std::string AnotherTessalyRemedy(const std::string& path);
// True when the error from reading the line state means the device is no serial port.
bool MeansNoSerialPort(int error);

}  // namespace tessaly
