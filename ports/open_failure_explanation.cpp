// The explanation's shape is the same everywhere; the system's reasons and
// remedies come from each platform's file.
#include "ports/open_failure_parts.h"
#include "ports/open_failure_text.h"

#include "files/shown_name.h"
#include "link/port_name.h"

namespace tessaly {

std::string OpenFailureExplanation::Text() const {
    std::string text = path.empty() ? reason : ShownName(DeviceNameShown(path)) + ": " + reason;
    if (!remedy.empty()) {
        text += "\n" + remedy;
    }
    return text;
}

OpenFailureExplanation ExplainOpenFailure(const OpenFailure& failure) {
    OpenFailureExplanation e{failure.path, SystemReason(failure.error), {}};
    switch (failure.step) {
        case OpenStep::None:
            e.reason = "no failure";
            break;
        case OpenStep::NoName:
            e.reason = "no port is chosen";
            e.remedy = "Choose a port in the list.";
            break;
        case OpenStep::Open:
        case OpenStep::Exclusive:
            e.remedy = RemedyForOpen(failure);
            break;
        case OpenStep::Lock:
            e.reason = "held by another Tessaly: " + SystemReason(failure.error);
            e.remedy = AnotherTessalyRemedy(failure.path);
            break;
        case OpenStep::ReadLineState:
            if (MeansNoSerialPort(failure.error)) {
                e.reason = "not a terminal: " + SystemReason(failure.error);
                e.remedy = "This is not a serial port; choose a serial device.";
            } else {
                e.remedy = RemedyForOpen(failure);
            }
            break;
        case OpenStep::LineItems:
            e.reason = "the line settings have no form on this system (" +
                       std::to_string(failure.baud) + " baud)";
            break;
        case OpenStep::SpeedNotTaken:
            e.reason = "the device does not run at " + std::to_string(failure.baud) + " baud";
            e.remedy = "Choose another baud rate.";
            break;
        case OpenStep::ApplyLineState:
        case OpenStep::ModemOutputs:
            e.reason = "the device refused the line settings: " + SystemReason(failure.error);
            e.remedy = RemedyForOpen(failure);
            break;
    }
    return e;
}

}  // namespace tessaly
