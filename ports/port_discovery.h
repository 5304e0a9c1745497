// The serial devices present on the machine, found through udev: built-in UARTs
// that really exist, USB adapters and any other tty with a device behind it.
#pragma once

#include <vector>

#include "ports/serial_port_info.h"

namespace tessaly {

enum class PortHolders { Find, Skip };

// In kernel name order (ttyACM0, ttyS0, ttyUSB0, ttyUSB1, ttyUSB10). Empty when udev
// cannot be read. Finding the holders reads every process's descriptors in /proc;
// Skip leaves heldBy empty for callers that do not show it.
std::vector<SerialPortInfo> DiscoverSerialPorts(PortHolders holders = PortHolders::Find);

}  // namespace tessaly
