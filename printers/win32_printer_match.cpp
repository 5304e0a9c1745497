#include "printers/printer_match.h"

#include "printers/port_list.h"

namespace tessaly {

bool PrinterUsesPort(const std::string& printerPort, const std::string& portName) {
    return PortListNamesPort(printerPort, portName);
}

}  // namespace tessaly
