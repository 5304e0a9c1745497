// Whether an open serial descriptor's device is still there: the platform side of
// CSerialLink::Line.
#pragma once

#include "link/serial_link.h"

namespace tessaly {

// Asks the device without waiting. HungUp when it reports a hang-up (a pulled
// adapter, a pseudo-terminal whose other side closed), Failed when it reports
// any other error.
LineState ProbeLine(int fd);

}  // namespace tessaly
