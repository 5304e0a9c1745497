// The operator names a port the way the display's own tools do ("COM1"); the
// serial link and the printer borrowing both need the device behind that name.
#pragma once

#include <string>

namespace tessaly {

// On Linux: "COMn" -> $TESSALY_COMn (when set and not empty), else /dev/ttyS(n-1);
// a name starting with '/' is a path; any other name is returned as it is.
// On Windows: "COMn" -> "\\.\COMn"; any other name is returned as it is.
std::string ResolvePortName(const std::string& portName);

// A device path as messages name it: on Linux the path; on Windows "COMn" for
// "\\.\COMn", the name the operator knows.
std::string DeviceNameShown(const std::string& devicePath);

// What a "COMn" name opens on this system, as a sentence for help texts.
const char* ComNameMeaning();

}  // namespace tessaly
