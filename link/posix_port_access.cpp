// The POSIX side of link/port_access.h: termios ports behind the operator's names.
#include "link/port_access.h"

#include "link/port_name.h"
#include "link/posix_modem_lines.h"
#include "link/posix_port_setup.h"

namespace tessaly {

int OpenPort(const std::string& portName, const LinkSettings& settings, OpenFailure& failure) {
    return OpenTermiosPort(ResolvePortName(portName), settings, failure);
}

void ReleasePort(int port, unsigned drainMs) {
    ReleaseTermiosPort(port, drainMs);
}

std::unique_ptr<ModemLines> PlatformModemLines() {
    return std::make_unique<TermiosModemLines>();
}

}  // namespace tessaly
