// Opening, configuring and releasing a serial device with POSIX termios: the platform
// side of CSerialLink::Open and CSerialLink::Close.
#pragma once

#include <string>

#include "link/open_failure.h"
#include "link/serial_link.h"

namespace tessaly {

// Opens `path` exclusively, applies the line settings of `settings` (baud, data bits,
// parity, stop bits, flow control; the timeouts are applied by the link's Read and
// Write) and purges both buffers. Returns the descriptor, or -1 after releasing
// whatever it had opened; `failure` then names the step and keeps its errno.
int OpenTermiosPort(const std::string& path, const LinkSettings& settings, OpenFailure& failure);

// Waits up to `drainMs` for pending output to leave, discards the rest, and closes
// `fd`, which also releases its lock. The discard keeps close() from blocking for the
// driver's closing wait (30 s on Linux) when the line never drains.
void ReleaseTermiosPort(int fd, unsigned drainMs);

}  // namespace tessaly
