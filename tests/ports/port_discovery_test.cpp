// Discovery and hotplug against a mocked udev: the devices a user plugs in are
// found with their kernel names, stable paths and descriptions.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "ports/device_names.h"
#include "ports/port_discovery.h"
#include "ports/port_watcher.h"
#include "tests/ports/mock_udev.h"

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

}  // namespace
}  // namespace tessaly::testing
