// Whether an installed printer sits on the serial port the operator chose, so
// that it has to give the port up. Each platform's spooler names ports its own
// way: a device URI under CUPS, a port list such as "COM1:,LPT1:" on Windows.
#pragma once

#include <string>

namespace tessaly {

// `printerPort` as the spooler reports it; `portName` as the operator named it
// ("COM1", or a device path).
bool PrinterUsesPort(const std::string& printerPort, const std::string& portName);

}  // namespace tessaly
