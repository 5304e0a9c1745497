// One serial device present on the machine, as discovery found it.
#pragma once

#include <sys/types.h>
#include <string>
#include <vector>

namespace tessaly {

// A process that has the device open.
struct PortHolder {
    pid_t pid = 0;
    std::string program;  // its program name, whole, e.g. "minicom"
    bool reads = true;    // opened for reading: it may take the display's answers
};

struct SerialPortInfo {
    std::string kernelName;  // "ttyUSB0"
    std::string devicePath;  // "/dev/ttyUSB0"
    std::string stablePath;  // "/dev/serial/by-id/..." where udev made one, else devicePath
    std::string manufacturer;
    std::string product;
    std::string serialNumber;
    std::string vendorId;            // "0403"
    std::string productId;           // "6001"
    std::string driver;              // "ftdi_sio", "cdc_acm", "serial"
    std::vector<PortHolder> heldBy;  // processes that have it open, where they can be seen

    // "ttyUSB0 (FT232R USB UART)"; the kernel name alone when nothing more is known.
    std::string Label() const;
    // "FTDI FT232R USB UART, serial A10KZP3S, 0403:6001, ftdi_sio": what is known, in
    // that order.
    std::string Description() const;
};

// "minicom (pid 4711)", several joined by ", ".
std::string HoldersText(const std::vector<PortHolder>& holders);

}  // namespace tessaly
