// On Windows a port has one name, COMn, for any n; "\\.\COMn" is the same port.
#include "ports/device_names.h"

#include "link/port_name.h"
#include "ports/com_port_ids.h"
#include "resources/main_lists.h"

namespace tessaly {

std::string ResolveDeviceName(const std::string& name) {
    const int number = ComNumber(name);
    return number > 0 ? ResolvePortName("COM" + std::to_string(number)) : name;
}

bool SameDevice(const std::string& a, const std::string& b) {
    const int number = ComNumber(a);
    return number > 0 ? number == ComNumber(b) : a == b;
}

bool Opens(const std::string& path, const SerialPortInfo& port) {
    return SameDevice(path, port.devicePath);
}

std::string ComNameOf(const SerialPortInfo& port) {
    const int number = ComNumber(port.kernelName);
    return number > 0 ? "COM" + std::to_string(number) : std::string();
}

std::vector<SerialPortInfo> PortsBeyondComNames(const std::vector<SerialPortInfo>& found) {
    std::vector<SerialPortInfo> beyond;
    for (const SerialPortInfo& port : found) {
        bool listed = false;
        for (const char* com : kPortItems) {
            listed = listed || SameDevice(com, port.devicePath);
        }
        if (!listed) {
            beyond.push_back(port);
        }
    }
    return beyond;
}

}  // namespace tessaly
