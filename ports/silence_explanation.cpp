#include "ports/silence_explanation.h"

#include <algorithm>
#include <vector>

#include "files/shown_name.h"
#include "link/port_name.h"
#include "ports/device_presence.h"
#include "ports/port_holders.h"

namespace tessaly {

namespace {

const char* ParityName(int parity) {
    switch (parity) {
        case 1:
            return "odd";
        case 2:
            return "even";
        default:
            return "none";
    }
}

// Empty while the device is there and its line sound.
std::string GoneReason(CSerialLink& link, const std::string& path) {
    if (DeviceIsGone(path)) {
        return "the device no longer exists";
    }
    switch (link.Line()) {
        case LineState::HungUp:
            return "the device hung up";
        case LineState::Failed:
            return "the device reported an error";
        case LineState::Sound:
            break;
    }
    return {};
}

}  // namespace

SilenceExplanation ExplainSilence(CSerialLink& link) {
    const LinkSettings& settings = link.Settings();
    const std::string path = ResolvePortName(settings.portName);
    const std::string shown = ShownName(DeviceNameShown(path));
    if (const std::string gone = GoneReason(link, path); !gone.empty()) {
        return {true, shown + ": " + gone +
                          "\nPlug the adapter in again, choose its port and try once more."};
    }
    // A program that only writes to the port takes nothing away from Tessaly.
    std::vector<PortHolder> readers = FindHolders(path);
    std::erase_if(readers, [](const PortHolder& h) { return !h.reads; });
    if (!readers.empty()) {
        return {false, shown + " is also open in " + HoldersText(readers) +
                           ", which may take the display's answers.\nClose that program and "
                           "try again."};
    }
    return {false, shown + ": no answer at " + std::to_string(settings.baud) + " baud, " +
                       std::to_string(settings.dataBits) + " data bits, parity " +
                       ParityName(settings.parity) +
                       ".\nCheck the cable at both ends, that the display is switched on, and "
                       "that these are the display's line settings; \"tessaly-cli scan\" finds "
                       "the speed it answers at."};
}

}  // namespace tessaly
