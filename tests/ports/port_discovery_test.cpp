// Discovery and hotplug against a mocked udev: the devices a user plugs in are
// found with their kernel names, stable paths and descriptions.
#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "ports/device_names.h"
#include "ports/port_discovery.h"
#include "ports/port_watcher.h"
#include "tests/ports/mock_udev.h"
#include "tests/transactions/recording_host.h"
#include "tools/virtual_display.h"
#include "transactions/transactions.h"

namespace tessaly::testing {
namespace {

TEST(PortDiscovery, FindsUsbAdaptersWithStablePathsAndDescriptions) {
    MockUdev udev;
    udev.PlugFtdi(0);
    udev.PlugAcm(0);
    const auto ports = DiscoverSerialPorts();
    ASSERT_EQ(ports.size(), 2u);
    EXPECT_EQ(ports[0].kernelName, "ttyACM0");
    EXPECT_EQ(ports[1].kernelName, "ttyUSB0");

    const SerialPortInfo& ftdi = ports[1];
    EXPECT_EQ(ftdi.devicePath, "/dev/ttyUSB0");
    EXPECT_EQ(ftdi.stablePath, "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10KZP3S-if00-port0");
    EXPECT_EQ(ftdi.Label(), "ttyUSB0 (FT232R USB UART)");
    EXPECT_EQ(ftdi.Description(), "FTDI FT232R USB UART, serial A10KZP3S, 0403:6001, ftdi_sio");

    const SerialPortInfo& acm = ports[0];
    EXPECT_EQ(acm.stablePath, "/dev/serial/by-id/usb-Tessaly_Test_CDC_Display_0042-if00");
    EXPECT_EQ(acm.Label(), "ttyACM0 (CDC Display)");
    EXPECT_EQ(acm.Description(), "Tessaly Test CDC Display, serial 0042, 1d6b:0104, cdc_acm");
}

TEST(PortDiscovery, ListsOnlyTtysWithADeviceInTheOrderOfTheirNumbers) {
    MockUdev udev;
    udev.PlugFtdi(10, "S10");
    udev.PlugFtdi(2, "S2");
    udev.AddVirtualTty("tty1");
    std::vector<std::string> names;
    for (const SerialPortInfo& port : DiscoverSerialPorts())
        names.push_back(port.kernelName);
    EXPECT_EQ(names, (std::vector<std::string>{"ttyUSB2", "ttyUSB10"}));
}

TEST(PortDiscovery, KernelNamesAndByIdNamesOpenTheAdapter) {
    MockUdev udev;
    const MockAdapter ftdi = udev.PlugFtdi(0);
    EXPECT_EQ(ResolveDeviceName("ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(ResolveDeviceName(ftdi.byId), "/dev/serial/by-id/" + ftdi.byId);
    EXPECT_EQ(ResolveDeviceName("/dev/ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_TRUE(SameDevice("/dev/serial/by-id/" + ftdi.byId, "/dev/ttyUSB0"));
    EXPECT_FALSE(SameDevice("/dev/serial/by-id/" + ftdi.byId, "/dev/ttyUSB1"));
}

// Adapters named by COM1 to COM10 appear once, under their COM name.
TEST(PortDiscovery, PortsAlreadyNamedByComAreLeftOut) {
    MockUdev udev;
    const MockAdapter ftdi = udev.PlugFtdi(0);
    udev.PlugAcm(0);
    setenv("TESSALY_COM2", ("/dev/serial/by-id/" + ftdi.byId).c_str(), 1);
    const auto beyond = PortsBeyondComNames(DiscoverSerialPorts());
    unsetenv("TESSALY_COM2");
    ASSERT_EQ(beyond.size(), 1u);
    EXPECT_EQ(beyond[0].kernelName, "ttyACM0");
}

// The watcher sleeps until udev speaks; each plug and unplug reaches it.
TEST(PortWatcher, ReportsAdaptersPluggedInAndPulledOut) {
    MockUdev udev;
    std::atomic<int> changes{0};
    PortWatcher watcher([&] { ++changes; });
    ASSERT_TRUE(watcher.Watching());
    const auto waitFor = [&](int count) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (changes < count && std::chrono::steady_clock::now() < end) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return changes.load();
    };
    const MockAdapter ftdi = udev.PlugFtdi(0);
    EXPECT_GE(waitFor(1), 1);
    EXPECT_EQ(DiscoverSerialPorts().size(), 1u);
    const int before = changes;
    udev.Unplug(ftdi);
    EXPECT_GT(waitFor(before + 1), before);
    EXPECT_TRUE(DiscoverSerialPorts().empty());
}

// The mocked node is a pseudo-terminal; a virtual display on its other side
// answers the whole ESC/POS check through the adapter's stable path.
TEST(MockedAdapter, CarriesAFullConnectionCheck) {
    MockUdev udev;
    const MockAdapter ftdi = udev.PlugFtdi(0);
    VirtualDisplay display(dup(udev.MasterFd(ftdi.kernelName)));
    CSerialLink link;
    LinkSettings settings{
        "/dev/serial/by-id/" + ftdi.byId, 115200, 8, 0, 0, 0, kMainWindowTimeouts};
    RecordingHost host;
    EXPECT_EQ(CheckConnection(link, settings, kEscPos, host), CheckOutcome::Connected);
    EXPECT_TRUE(link.IsOpen());
    EXPECT_FALSE(display.InUserSettingMode());
    link.Close();
}

}  // namespace
}  // namespace tessaly::testing
