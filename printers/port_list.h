// The Windows spooler gives a printer a list of port names ("COM1:,LPT1:").
// Which of them is the serial port the operator chose is plain text work, kept
// here so that it is tested on every platform.
#pragma once

#include <string_view>

namespace tessaly {

// True when one port of the comma-separated `portList` is the COM port
// `portName` names ("COM1", "com1", "\\.\COM1"). Port names are compared as
// Windows compares device names, ignoring case and the trailing ':'; COM10
// is never COM1.
bool PortListNamesPort(std::string_view portList, std::string_view portName);

}  // namespace tessaly
