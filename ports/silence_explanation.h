// What the operator reads when a port opened but the display did not answer:
// the cause where it can be seen, else what to try next.
#pragma once

#include <string>

#include "link/serial_link.h"

namespace tessaly {

// The sentence that replaces "did not answer" when the device itself went away.
inline constexpr const char* kPortGoneText =
    "The port is gone: the adapter was pulled out or the device failed.";

struct SilenceExplanation {
    bool portGone = false;  // show kPortGoneText instead of the no-answer sentence
    std::string detail;     // the device and the cause or the advice, one line each
};

// Looks at the line (while the link is still open, so that a hang-up is seen),
// whether the device is still there, and which other programs read it, now.
SilenceExplanation ExplainSilence(CSerialLink& link);

}  // namespace tessaly
