// The default source of the CTS and DSR lines: the TIOCMGET ioctl of the open device.
#pragma once

#include "link/serial_link.h"

namespace tessaly {

// A device without modem lines (a pseudo-terminal answers ENOTTY) reports Unsupported,
// which the link treats as both lines asserted; any other ioctl failure reports Failed.
class TermiosModemLines : public ModemLines {
public:
    State ClearToSend(int fd) override;
};

}  // namespace tessaly
