// tessaly-cli against a mocked udev: `ports`, and device names for --port
// reaching a display through a mocked adapter.
#include <unistd.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/cli/cli_fixture.h"
#include "tests/ports/mock_udev.h"

namespace tessaly::testing {
namespace {

const std::string kFtdiById = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10KZP3S-if00-port0";

class CliPorts : public CliTest {
protected:
    MockUdev udev;
};

TEST_F(CliPorts, ListsTheAdaptersPresentWithTheirFields) {
    udev.PlugFtdi(0);
    udev.PlugAcm(0);
    const CliResult result = Run({"ports", "--json"});
    ASSERT_EQ(result.status, 0) << result.err;
    const auto ports = nlohmann::json::parse(result.out);
    ASSERT_EQ(ports.size(), 2u);
    EXPECT_EQ(ports[0]["kernel_name"], "ttyACM0");
    const auto& ftdi = ports[1];
    EXPECT_EQ(ftdi["kernel_name"], "ttyUSB0");
    EXPECT_EQ(ftdi["device_path"], "/dev/ttyUSB0");
    EXPECT_EQ(ftdi["stable_path"], kFtdiById);
    EXPECT_EQ(ftdi["manufacturer"], "FTDI");
    EXPECT_EQ(ftdi["product"], "FT232R USB UART");
    EXPECT_EQ(ftdi["serial_number"], "A10KZP3S");
    EXPECT_EQ(ftdi["vendor_id"], "0403");
    EXPECT_EQ(ftdi["product_id"], "6001");
    EXPECT_EQ(ftdi["driver"], "ftdi_sio");
    EXPECT_TRUE(ftdi["held_by"].empty());

    const CliResult text = Run({"ports"});
    EXPECT_NE(text.out.find("ttyUSB0  " + kFtdiById +
                            "\n    FTDI FT232R USB UART, serial A10KZP3S, 0403:6001, ftdi_sio\n"),
              std::string::npos)
        << text.out;
}

// Through the mocked adapter's pseudo-terminal to a virtual display.
TEST_F(CliPorts, KernelAndByIdNamesReachTheDisplay) {
    const MockAdapter ftdi = udev.PlugFtdi(0);
    VirtualDisplay display(dup(udev.MasterFd(ftdi.kernelName)));
    for (const std::string& name : {std::string("ttyUSB0"), ftdi.byId, kFtdiById}) {
        const CliResult result = Run({"--port", name, "check"});
        EXPECT_EQ(result.status, 0) << name << ": " << result.err;
        EXPECT_EQ(result.out, "Printer is connected.\n") << name;
    }
}

TEST_F(CliPorts, UnpluggedAdapterExitsThreeAskingForIt) {
    const CliResult result = Run({"--port", "ttyUSB7", "check"});
    EXPECT_EQ(result.status, 3);
    EXPECT_EQ(result.err,
              "Can't open port and Printer is disconnected\n/dev/ttyUSB7: No such file or "
              "directory (ENOENT)\nNo such device: is the adapter plugged in? Choose the port "
              "again once it is.\n");
}

}  // namespace
}  // namespace tessaly::testing
