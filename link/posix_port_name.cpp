#include "link/port_name.h"

#include <cstdlib>

namespace tessaly {

std::string ResolvePortName(const std::string& portName) {
    const std::string prefix = "COM";
    if (portName.size() <= prefix.size() || portName.compare(0, prefix.size(), prefix) != 0 ||
        portName.size() > prefix.size() + 4) {
        return portName;
    }
    int number = 0;
    for (std::size_t i = prefix.size(); i < portName.size(); ++i) {
        if (portName[i] < '0' || portName[i] > '9') {
            return portName;
        }
        number = number * 10 + (portName[i] - '0');
    }
    if (number < 1) {
        return portName;
    }
    const std::string variable = "TESSALY_COM" + std::to_string(number);
    const char* mapped = std::getenv(variable.c_str());
    if (mapped != nullptr && *mapped != '\0') {
        return mapped;
    }
    return "/dev/ttyS" + std::to_string(number - 1);
}

std::string DeviceNameShown(const std::string& devicePath) {
    return devicePath;
}

const char* ComNameMeaning() {
    return "COMn is the device in TESSALY_COMn, or /dev/ttyS(n-1).";
}

}  // namespace tessaly
