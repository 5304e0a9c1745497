// Whether a printer's device URI names the serial device Tessaly is about to
// open, so that only printers really on that device are borrowed.
#pragma once

#include <string>

namespace tessaly {

// True when `deviceUri` is a serial: or file: URI (one or three slashes,
// options after '?' ignored) whose path is `devicePath`, both compared after
// symbolic links are resolved. /dev/ttyS10 never matches /dev/ttyS1.
bool DeviceUriNamesDevice(const std::string& deviceUri, const std::string& devicePath);

}  // namespace tessaly
