// Discovery on Windows. SetupAPI knows the ports that Plug and Play set up, with
// their maker, description, driver and USB identity; the registry's SERIALCOMM
// map lists every COM port a driver created, Plug and Play or not (wine's own
// among them). Which program holds a port Windows does not tell, so heldBy
// stays empty.
#include <windows.h>
// After windows.h: SetupAPI needs its types.
#include <cfgmgr32.h>
#include <devguid.h>
#include <initguid.h>
#include <setupapi.h>

#include <algorithm>
#include <map>
#include <vector>

#include "files/win32_utf16.h"
#include "ports/com_port_ids.h"
#include "ports/port_discovery.h"
#include "ports/win32_com_port_interface.h"

namespace tessaly {
namespace {

// A string property; for a list (hardware ids), its first entry.
std::string Property(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property) {
    wchar_t value[512] = {};
    if (!SetupDiGetDeviceRegistryPropertyW(set, &device, property, nullptr,
                                           reinterpret_cast<BYTE*>(value), sizeof value - 2,
                                           nullptr)) {
        return {};
    }
    return Narrow(value);
}

std::string PortNameOf(HDEVINFO set, SP_DEVINFO_DATA& device) {
    const HKEY key = SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE) {
        return {};
    }
    wchar_t name[64] = {};
    DWORD size = sizeof name - 2;
    DWORD type = 0;
    const LONG read =
        RegQueryValueExW(key, L"PortName", nullptr, &type, reinterpret_cast<BYTE*>(name), &size);
    RegCloseKey(key);
    return read == ERROR_SUCCESS && type == REG_SZ ? Narrow(name) : std::string();
}

std::string InstanceIdOf(DEVINST instance) {
    wchar_t id[MAX_DEVICE_ID_LEN + 1] = {};
    if (CM_Get_Device_IDW(instance, id, MAX_DEVICE_ID_LEN, 0) != CR_SUCCESS) {
        return {};
    }
    return Narrow(id);
}

// The friendly name without the " (COM3)" Windows appends to it.
std::string WithoutComSuffix(std::string name, const std::string& com) {
    const std::string suffix = " (" + com + ")";
    if (name.size() > suffix.size() && name.ends_with(suffix)) {
        name.resize(name.size() - suffix.size());
    }
    return name;
}

SerialPortInfo Describe(HDEVINFO set, SP_DEVINFO_DATA& device, const std::string& com) {
    SerialPortInfo port;
    port.kernelName = com;
    port.devicePath = "\\\\.\\" + com;
    port.stablePath = port.devicePath;
    port.manufacturer = Property(set, device, SPDRP_MFG);
    port.product = WithoutComSuffix(Property(set, device, SPDRP_FRIENDLYNAME), com);
    if (port.product.empty()) {
        port.product = Property(set, device, SPDRP_DEVICEDESC);
    }
    port.driver = Property(set, device, SPDRP_SERVICE);
    UsbIds ids = UsbIdsOf(Property(set, device, SPDRP_HARDWAREID));
    port.vendorId = ids.vendorId;
    port.productId = ids.productId;
    // The serial number is in the USB device's own instance id: the port's
    // for a composite-less adapter, its parent's under a vendor bus driver.
    port.serialNumber = UsbSerialOf(InstanceIdOf(device.DevInst));
    DEVINST parent = 0;
    if (port.serialNumber.empty() && CM_Get_Parent(&parent, device.DevInst, 0) == CR_SUCCESS) {
        port.serialNumber = UsbSerialOf(InstanceIdOf(parent));
    }
    return port;
}

void AddFromSetupApi(const GUID& guid, DWORD flags, std::map<int, SerialPortInfo>& found) {
    const HDEVINFO set = SetupDiGetClassDevsW(&guid, nullptr, nullptr, DIGCF_PRESENT | flags);
    if (set == INVALID_HANDLE_VALUE) {
        return;
    }
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD i = 0; SetupDiEnumDeviceInfo(set, i, &device); ++i) {
        const std::string com = PortNameOf(set, device);
        const int number = ComNumber(com);  // the Ports class holds LPT ports as well
        if (number > 0 && !found.contains(number)) {
            found[number] = Describe(set, device, "COM" + std::to_string(number));
        }
    }
    SetupDiDestroyDeviceInfoList(set);
}

void AddFromSerialComm(std::map<int, SerialPortInfo>& found) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        return;
    }
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        wchar_t value[64] = {};
        DWORD nameLength = 256;
        DWORD size = sizeof value - 2;
        DWORD type = 0;
        const LONG read = RegEnumValueW(key, i, name, &nameLength, nullptr, &type,
                                        reinterpret_cast<BYTE*>(value), &size);
        if (read == ERROR_MORE_DATA) {
            continue;
        }
        if (read != ERROR_SUCCESS) {
            break;
        }
        const int number = type == REG_SZ ? ComNumber(Narrow(value)) : 0;
        if (number > 0 && !found.contains(number)) {
            SerialPortInfo& port = found[number];
            port.kernelName = "COM" + std::to_string(number);
            port.devicePath = "\\\\.\\" + port.kernelName;
            port.stablePath = port.devicePath;
        }
    }
    RegCloseKey(key);
}

}  // namespace

std::vector<SerialPortInfo> DiscoverSerialPorts(PortHolders) {
    std::map<int, SerialPortInfo> found;  // by COM number, so COM2 comes before COM10
    AddFromSetupApi(kComPortInterface, DIGCF_DEVICEINTERFACE, found);
    AddFromSetupApi(GUID_DEVCLASS_PORTS, 0, found);
    AddFromSerialComm(found);
    std::vector<SerialPortInfo> ports;
    for (auto& [number, port] : found) {
        ports.push_back(std::move(port));
    }
    return ports;
}

}  // namespace tessaly
