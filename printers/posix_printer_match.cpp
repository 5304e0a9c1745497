#include "printers/printer_match.h"

#include "link/port_name.h"
#include "printers/device_match.h"

namespace tessaly {

bool PrinterUsesPort(const std::string& printerPort, const std::string& portName) {
    return DeviceUriNamesDevice(printerPort, ResolvePortName(portName));
}

}  // namespace tessaly
