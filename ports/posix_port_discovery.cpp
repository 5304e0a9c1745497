#include "ports/port_discovery.h"

#include <fcntl.h>
#include <libudev.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>

#include "ports/port_holders.h"

namespace tessaly {

namespace {

constexpr const char* kByIdDir = "/dev/serial/by-id/";

struct UdevDeleter {
    void operator()(udev* u) const { udev_unref(u); }
    void operator()(udev_enumerate* e) const { udev_enumerate_unref(e); }
    void operator()(udev_device* d) const { udev_device_unref(d); }
};
template <typename T>
using UdevPtr = std::unique_ptr<T, UdevDeleter>;

std::string Text(const char* value) {
    return value != nullptr ? value : "";
}

// The 8250 driver registers ttyS0..ttyS31 whether or not a UART answers at their
// addresses; only one whose type the driver recognised is a port.
bool IsPlaceholderUart(const std::string& syspath, const std::string& devnode) {
    if (syspath.find("/serial8250") == std::string::npos) {
        return false;
    }
    const int fd = open(devnode.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return true;  // cannot be told, and cannot be used by this user either
    }
    serial_struct info{};
    const bool unknown = ioctl(fd, TIOCGSERIAL, &info) != 0 || info.type == PORT_UNKNOWN;
    close(fd);
    return unknown;
}

// The /dev/serial/by-id/ link udev made for this device, from its database, or
// else from the folder itself.
std::string StablePath(udev_device* device, const std::string& kernelName) {
    for (udev_list_entry* link = udev_device_get_devlinks_list_entry(device); link != nullptr;
         link = udev_list_entry_get_next(link)) {
        const std::string path = Text(udev_list_entry_get_name(link));
        if (path.rfind(kByIdDir, 0) == 0) {
            return path;
        }
    }
    std::error_code error;
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(kByIdDir, error)) {
        std::error_code linkError;
        const auto target = std::filesystem::read_symlink(entry.path(), linkError);
        if (!linkError && target.filename() == kernelName) {
            found.push_back(entry.path().string());
        }
    }
    std::sort(found.begin(), found.end());
    return found.empty() ? std::string() : found.front();
}

// The first driver up the device's ancestry: the USB serial driver for an
// adapter's port, the ACM driver for its interface, the UART's platform driver.
// The serial core's own "port" and "ctrl" devices say nothing about the hardware.
std::string DriverOf(udev_device* device) {
    for (udev_device* d = udev_device_get_parent(device); d != nullptr;
         d = udev_device_get_parent(d)) {
        const char* subsystem = udev_device_get_subsystem(d);
        if (subsystem != nullptr && std::strcmp(subsystem, "serial-base") == 0) {
            continue;
        }
        if (const char* driver = udev_device_get_driver(d)) {
            return driver;
        }
    }
    return {};
}

void DescribeUsb(udev_device* device, SerialPortInfo& info) {
    udev_device* usb = udev_device_get_parent_with_subsystem_devtype(device, "usb", "usb_device");
    if (usb == nullptr) {
        return;
    }
    info.manufacturer = Text(udev_device_get_sysattr_value(usb, "manufacturer"));
    info.product = Text(udev_device_get_sysattr_value(usb, "product"));
    info.serialNumber = Text(udev_device_get_sysattr_value(usb, "serial"));
    info.vendorId = Text(udev_device_get_sysattr_value(usb, "idVendor"));
    info.productId = Text(udev_device_get_sysattr_value(usb, "idProduct"));
}

std::optional<SerialPortInfo> Describe(udev_device* device) {
    const char* devnode = udev_device_get_devnode(device);
    const char* sysname = udev_device_get_sysname(device);
    // Virtual terminals, pseudo-terminals and the console have no device behind them.
    if (devnode == nullptr || sysname == nullptr || udev_device_get_parent(device) == nullptr) {
        return std::nullopt;
    }
    SerialPortInfo info;
    info.kernelName = sysname;
    info.devicePath = devnode;
    if (IsPlaceholderUart(Text(udev_device_get_syspath(device)), info.devicePath)) {
        return std::nullopt;
    }
    info.stablePath = StablePath(device, info.kernelName);
    if (info.stablePath.empty()) {
        info.stablePath = info.devicePath;
    }
    DescribeUsb(device, info);
    info.driver = DriverOf(device);
    return info;
}

// Orders "ttyUSB2" before "ttyUSB10".
bool KernelNameLess(const std::string& a, const std::string& b) {
    const auto split = [](const std::string& name) {
        std::size_t digits = name.size();
        while (digits > 0 && std::isdigit(static_cast<unsigned char>(name[digits - 1]))) {
            --digits;
        }
        const std::string number = name.substr(digits);
        return std::make_pair(name.substr(0, digits),
                              number.empty() ? -1L : std::stol(number.substr(0, 9)));
    };
    const auto left = split(a);
    const auto right = split(b);
    return left != right ? left < right : a < b;
}

}  // namespace

std::vector<SerialPortInfo> DiscoverSerialPorts(PortHolders findHolders) {
    std::vector<SerialPortInfo> ports;
    const UdevPtr<udev> context(udev_new());
    if (!context) {
        return ports;
    }
    const UdevPtr<udev_enumerate> scan(udev_enumerate_new(context.get()));
    if (!scan || udev_enumerate_add_match_subsystem(scan.get(), "tty") < 0 ||
        udev_enumerate_scan_devices(scan.get()) < 0) {
        return ports;
    }
    std::vector<dev_t> numbers;
    for (udev_list_entry* entry = udev_enumerate_get_list_entry(scan.get()); entry != nullptr;
         entry = udev_list_entry_get_next(entry)) {
        const UdevPtr<udev_device> device(
            udev_device_new_from_syspath(context.get(), udev_list_entry_get_name(entry)));
        if (!device) {
            continue;
        }
        if (auto info = Describe(device.get())) {
            ports.push_back(std::move(*info));
            numbers.push_back(udev_device_get_devnum(device.get()));
        }
    }
    const auto holders = findHolders == PortHolders::Find
                             ? FindHolders(std::set<dev_t>(numbers.begin(), numbers.end()))
                             : std::map<dev_t, std::vector<PortHolder>>{};
    for (std::size_t i = 0; i < ports.size(); ++i) {
        if (const auto found = holders.find(numbers[i]); found != holders.end()) {
            ports[i].heldBy = found->second;
        }
    }
    std::sort(ports.begin(), ports.end(), [](const SerialPortInfo& a, const SerialPortInfo& b) {
        return KernelNameLess(a.kernelName, b.kernelName);
    });
    return ports;
}

}  // namespace tessaly
