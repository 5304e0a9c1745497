#include "link/port_name.h"

namespace tessaly {

// "COMn" -> "\\.\COMn": the device namespace reaches every port number, where the
// plain name reaches COM1 to COM9 only. Anything else is already a path.
std::string ResolvePortName(const std::string& portName) {
    const std::string prefix = "COM";
    if (portName.size() <= prefix.size() || portName.compare(0, prefix.size(), prefix) != 0) {
        return portName;
    }
    for (std::size_t i = prefix.size(); i < portName.size(); ++i) {
        if (portName[i] < '0' || portName[i] > '9') {
            return portName;
        }
    }
    return "\\\\.\\" + portName;
}

std::string DeviceNameShown(const std::string& devicePath) {
    const std::string deviceNamespace = "\\\\.\\";
    return devicePath.starts_with(deviceNamespace) ? devicePath.substr(deviceNamespace.size())
                                                   : devicePath;
}

const char* ComNameMeaning() {
    return "COMn is the Windows serial port of that name.";
}

}  // namespace tessaly
