// The names an operator may give a port, and which device each one opens.
#pragma once

#include <string>
#include <vector>

#include "ports/serial_port_info.h"

namespace tessaly {

// "COMn" as the link resolves it; a path as it stands; a by-id name
// ("usb-FTDI_FT232R_USB_UART_A10KZP3S-if00-port0") as /dev/serial/by-id/NAME
// when that exists; any other bare name as a kernel name, /dev/NAME.
std::string ResolveDeviceName(const std::string& name);

// True when the two paths open the same device: the same path, the same
// character device, or a by-id link that leads to the other's kernel name.
bool SameDevice(const std::string& a, const std::string& b);

// True when opening `path` opens `port`: its kernel path or its by-id link.
bool Opens(const std::string& path, const SerialPortInfo& port);

// The COM name ("COM1") that opens `port`, or "" when none of COM1 to COM10 does.
std::string ComNameOf(const SerialPortInfo& port);

// The discovered ports that none of COM1 to COM10 opens, in discovery order.
std::vector<SerialPortInfo> PortsBeyondComNames(const std::vector<SerialPortInfo>& found);

}  // namespace tessaly
