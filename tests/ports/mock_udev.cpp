#include "tests/ports/mock_udev.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include <umockdev.h>

namespace tessaly::testing {

namespace {

constexpr const char* kPreload = "libumockdev-preload.so.0";

std::string UsbPath(int usbPort) {
    return "/devices/pci0000:00/0000:00:14.0/usb1/1-" + std::to_string(usbPort);
}

}  // namespace

void RunUnderUmockdev(int argc, char** argv) {
    // umockdev_in_mock_environment() looks for a full path in LD_PRELOAD.
    const char* old = std::getenv("LD_PRELOAD");
    if (old != nullptr && std::strstr(old, "libumockdev-preload") != nullptr) {
        return;
    }
    const std::string preload =
        old != nullptr && *old != '\0' ? std::string(kPreload) + ":" + old : std::string(kPreload);
    setenv("LD_PRELOAD", preload.c_str(), 1);
    std::vector<char*> args(argv, argv + argc);
    args.push_back(nullptr);
    execv("/proc/self/exe", args.data());
    throw std::runtime_error(std::string("cannot restart the test under umockdev: ") +
                             std::strerror(errno));
}

MockUdev::MockUdev() : m_testbed(umockdev_testbed_new()) {}

MockUdev::~MockUdev() {
    g_object_unref(m_testbed);
}

// Records in umockdev's format: the tty device first, then its parents up to
// the USB device, as umockdev-record writes them.
MockAdapter MockUdev::Plug(const std::string& description, MockAdapter adapter, int usbPort) {
    (void)usbPort;
    GError* error = nullptr;
    if (!umockdev_testbed_add_from_string(m_testbed, description.c_str(), &error)) {
        const std::string message = error != nullptr ? error->message : "unknown";
        g_clear_error(&error);
        throw std::runtime_error("umockdev: " + message);
    }
    return adapter;
}

MockAdapter MockUdev::PlugFtdi(int n, const std::string& serial) {
    const int usbPort = 1 + n;
    const std::string usb = UsbPath(usbPort);
    const std::string intf = usb + "/1-" + std::to_string(usbPort) + ":1.0";
    const std::string name = "ttyUSB" + std::to_string(n);
    MockAdapter adapter{name, "usb-FTDI_FT232R_USB_UART_" + serial + "-if00-port0",
                        "FT232R USB UART", intf + "/" + name + "/tty/" + name};
    const std::string text =
        "P: " + adapter.syspath + "\nN: " + name + "\nS: serial/by-id/" + adapter.byId +
        "\nE: DEVNAME=/dev/" + name +
        "\nE: SUBSYSTEM=tty\nE: MAJOR=188\nE: MINOR=" + std::to_string(n) +
        "\nE: DEVLINKS=/dev/serial/by-id/" + adapter.byId + "\n\n" + "P: " + intf + "/" + name +
        "\nE: SUBSYSTEM=usb-serial\nE: DRIVER=ftdi_sio\n" +
        "L: driver=../../../../../../bus/usb-serial/drivers/ftdi_sio\n\n" + "P: " + intf +
        "\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_interface\nE: DRIVER=ftdi_sio\n"
        "L: driver=../../../../../bus/usb/drivers/ftdi_sio\nA: bInterfaceNumber=00\n\n" +
        "P: " + usb +
        "\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\nE: DRIVER=usb\n"
        "L: driver=../../../../bus/usb/drivers/usb\n"
        "A: idVendor=0403\nA: idProduct=6001\nA: manufacturer=FTDI\nA: product=FT232R USB UART\n"
        "A: serial=" +
        serial + "\n";
    return Plug(text, adapter, usbPort);
}

MockAdapter MockUdev::PlugAcm(int n) {
    const int usbPort = 20 + n;
    const std::string usb = UsbPath(usbPort);
    const std::string intf = usb + "/1-" + std::to_string(usbPort) + ":1.0";
    const std::string name = "ttyACM" + std::to_string(n);
    MockAdapter adapter{name, "usb-Tessaly_Test_CDC_Display_0042-if00", "CDC Display",
                        intf + "/tty/" + name};
    const std::string text =
        "P: " + adapter.syspath + "\nN: " + name + "\nS: serial/by-id/" + adapter.byId +
        "\nE: DEVNAME=/dev/" + name +
        "\nE: SUBSYSTEM=tty\nE: MAJOR=166\nE: MINOR=" + std::to_string(n) +
        "\nE: DEVLINKS=/dev/serial/by-id/" + adapter.byId + "\n\n" + "P: " + intf +
        "\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_interface\nE: DRIVER=cdc_acm\n"
        "L: driver=../../../../../bus/usb/drivers/cdc_acm\nA: bInterfaceNumber=00\n\n" +
        "P: " + usb +
        "\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\nE: DRIVER=usb\n"
        "L: driver=../../../../bus/usb/drivers/usb\n"
        "A: idVendor=1d6b\nA: idProduct=0104\nA: manufacturer=Tessaly Test\n"
        "A: product=CDC Display\nA: serial=0042\n";
    return Plug(text, adapter, usbPort);
}

void MockUdev::AddVirtualTty(const std::string& kernelName) {
    Plug("P: /devices/virtual/tty/" + kernelName + "\nN: " + kernelName + "\nE: DEVNAME=/dev/" +
             kernelName + "\nE: SUBSYSTEM=tty\nE: MAJOR=4\nE: MINOR=1\n",
         {}, 0);
}

void MockUdev::Unplug(const MockAdapter& adapter) {
    // The testbed removes without a word; udev announces it, so the test does too.
    const std::string sysPath = "/sys" + adapter.syspath;
    umockdev_testbed_uevent(m_testbed, sysPath.c_str(), "remove");
    umockdev_testbed_remove_device(m_testbed, sysPath.c_str());
}

int MockUdev::MasterFd(const std::string& kernelName) {
    return umockdev_testbed_get_dev_fd(m_testbed, ("/dev/" + kernelName).c_str());
}

}  // namespace tessaly::testing
