// The main window's port list against a mocked udev, under a real display:
// adapters listed after "COM10", followed as they are plugged in and pulled
// out without moving the operator's choice, and a check through an adapter.
#include <gtest/gtest.h>
#include <wx/choice.h>
#include <wx/tooltip.h>

#include <unistd.h>
#include <cstdlib>
#include <memory>

#include "app/main_dlg.h"
#include "printers/printer_borrowing.h"
#include "resources/control_ids.h"
#include "tests/ports/mock_udev.h"
#include "tests/support/recording_window_services.h"
#include "tests/support/toolkit_test_environment.h"
#include "tests/support/window_driver.h"
#include "tools/virtual_display.h"

namespace tessaly::testing {
namespace {

class MainWindowPortsTest : public ::testing::Test {
protected:
    void OpenWindow() {
        window = std::make_unique<CMainDlg>(services, printers);
        ShowForTest(*window);
    }
    void TearDown() override { window.reset(); }

    int Items() const { return window->GetListCount(IDC_PORT); }
    std::string Selected() const {
        return window->GetListText(IDC_PORT, window->GetListIndex(IDC_PORT));
    }
    std::string Tooltip() const { return TooltipText(*window, IDC_PORT); }

    MockUdev udev;
    RecordingWindowServices services;
    PrinterBorrowing printers;
    std::unique_ptr<CMainDlg> window;
};

TEST_F(MainWindowPortsTest, AdaptersFollowComNamesAndHotplugKeepsTheChoice) {
    udev.PlugFtdi(0);
    OpenWindow();
    ASSERT_EQ(Items(), 11);
    EXPECT_EQ(window->GetListText(IDC_PORT, 9), "COM10");
    EXPECT_EQ(window->GetListText(IDC_PORT, 10), "ttyUSB0 (FT232R USB UART)");
    EXPECT_EQ(Selected(), "COM1");

    // Chosen, the adapter is opened by its stable path.
    ASSERT_TRUE(Select(*window, IDC_PORT, 10));
    EXPECT_EQ(Tooltip(),
              "Opens /dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10KZP3S-if00-port0\n"
              "ttyUSB0: FTDI FT232R USB UART, serial A10KZP3S, 0403:6001, ftdi_sio");

    // ttyACM0 sorts first and pushes the adapter down; the choice follows it.
    const MockAdapter acm = udev.PlugAcm(0);
    ASSERT_TRUE(RunWindowThreadUntil([&] { return Items() == 12; }, 5000));
    EXPECT_EQ(window->GetListText(IDC_PORT, 10), "ttyACM0 (CDC Display)");
    EXPECT_EQ(window->GetListIndex(IDC_PORT), 11);
    EXPECT_EQ(Selected(), "ttyUSB0 (FT232R USB UART)");

    ASSERT_TRUE(Select(*window, IDC_PORT, 2));
    udev.Unplug(acm);
    ASSERT_TRUE(RunWindowThreadUntil([&] { return Items() == 11; }, 5000));
    EXPECT_EQ(Selected(), "COM3");
}

TEST_F(MainWindowPortsTest, ComTooltipNamesTheDeviceItOpens) {
    const MockAdapter ftdi = udev.PlugFtdi(0);
    setenv("TESSALY_COM2", ("/dev/serial/by-id/" + ftdi.byId).c_str(), 1);
    OpenWindow();
    EXPECT_EQ(Items(), 10) << "an adapter that COM2 opens is not listed twice";
    ASSERT_TRUE(Select(*window, IDC_PORT, 1));
    EXPECT_EQ(Tooltip(), "COM2 opens /dev/serial/by-id/" + ftdi.byId +
                             " (FTDI FT232R USB UART, serial A10KZP3S, 0403:6001, ftdi_sio)");
    ASSERT_TRUE(Select(*window, IDC_PORT, 3));
    EXPECT_EQ(Tooltip().rfind("COM4 opens /dev/ttyS3", 0), 0u) << Tooltip();
    unsetenv("TESSALY_COM2");
}

// The whole check runs through the mocked adapter; pulling it out disconnects.
TEST_F(MainWindowPortsTest, PullingOutTheChosenAdapterDisconnects) {
    const MockAdapter ftdi = udev.PlugFtdi(0);
    VirtualDisplay display(dup(udev.MasterFd(ftdi.kernelName)));
    OpenWindow();
    ASSERT_TRUE(Select(*window, IDC_PORT, 10));
    ASSERT_TRUE(Click(*window, IDC_CHECK_COMM));
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].sentence, "Printer is connected.");
    EXPECT_EQ(window->PortName(), "/dev/serial/by-id/" + ftdi.byId);
    ASSERT_EQ(window->Connected(), 1);

    udev.Unplug(ftdi);
    ASSERT_TRUE(RunWindowThreadUntil([&] { return Items() == 10; }, 5000));
    EXPECT_EQ(window->GetListIndex(IDC_PORT), -1) << "no other port is chosen in its place";
    EXPECT_EQ(window->Connected(), 0);
    EXPECT_FALSE(window->Link().IsOpen());
    EXPECT_TRUE(window->IsControlEnabled(IDC_CHECK_COMM));
    EXPECT_FALSE(window->IsControlEnabled(IDC_RUN_MANAGER));
}

}  // namespace
}  // namespace tessaly::testing

int main(int argc, char** argv) {
    tessaly::testing::RunUnderUmockdev(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    tessaly::testing::AddToolkitTestEnvironment(argc, argv);
    return RUN_ALL_TESTS();
}
