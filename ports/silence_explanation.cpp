#include "ports/silence_explanation.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "link/port_name.h"
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
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 && (errno == ENOENT || errno == ENODEV || errno == ENXIO)) {
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
    if (const std::string gone = GoneReason(link, path); !gone.empty()) {
        return {true, path + ": " + gone +
                          "\nPlug the adapter in again, choose its port and try once more."};
    }
    // A program that only writes to the port takes nothing away from Tessaly.
    std::vector<PortHolder> readers = FindHolders(path);
    std::erase_if(readers, [](const PortHolder& h) { return !h.reads; });
    if (!readers.empty()) {
        return {false, path + " is also open in " + HoldersText(readers) +
                           ", which may take the display's answers.\nClose that program and "
                           "try again."};
    }
    return {false, path + ": no answer at " + std::to_string(settings.baud) + " baud, " +
                       std::to_string(settings.dataBits) + " data bits, parity " +
                       ParityName(settings.parity) +
                       ".\nCheck the cable at both ends, that the display is switched on, and "
                       "that these are the display's line settings; \"tessaly-cli scan\" finds "
                       "the speed it answers at."};
}

}  // namespace tessaly
