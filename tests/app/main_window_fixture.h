// The main window, shown for real, with COM1 pointing at an in-process virtual
// display on a pseudo-terminal.
#pragma once

#include <cstdlib>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "app/main_dlg.h"
#include "printers/printer_borrowing.h"
#include "protocol/commands.h"
#include "resources/control_ids.h"
#include "tests/support/recording_window_services.h"
#include "tests/support/window_driver.h"
#include "tools/virtual_display.h"

namespace tessaly::testing {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("TESSALY_COM1", display.DevicePath().c_str(), 1);
        window = std::make_unique<CMainDlg>(services, printers);
        ShowForTest(*window);
    }
    void TearDown() override {
        window.reset();
        ::unsetenv("TESSALY_COM1");
    }

    // Presses "Check Communication" and returns the one message it showed.
    RecordedMessage Check() {
        services.messages.clear();
        EXPECT_TRUE(Click(*window, IDC_CHECK_COMM));
        EXPECT_EQ(services.messages.size(), 1u);
        return services.messages.empty() ? RecordedMessage{} : services.messages.back();
    }

    bool ShowsConnected() const {
        return window->Connected() == 1 && window->Link().IsOpen() &&
               !window->IsControlEnabled(IDC_CHECK_COMM) &&
               window->IsControlEnabled(IDC_SELF_TEST) && window->IsControlEnabled(IDC_RUN_MANAGER);
    }
    bool ShowsNotConnected() const {
        return window->Connected() == 0 && !window->Link().IsOpen() &&
               window->IsControlEnabled(IDC_CHECK_COMM) &&
               !window->IsControlEnabled(IDC_SELF_TEST) &&
               !window->IsControlEnabled(IDC_RUN_MANAGER);
    }

    VirtualDisplay display;
    RecordingWindowServices services;
    // The machine's scheduler (the test command's private one) and journal folder.
    PrinterBorrowing printers;
    std::unique_ptr<CMainDlg> window;
};

// The bytes of commands sent one after another.
inline std::vector<Byte> Bytes(std::initializer_list<CommandRow> rows) {
    std::vector<Byte> bytes;
    for (const CommandRow& row : rows) {
        bytes.insert(bytes.end(), row.view().begin(), row.view().end());
    }
    return bytes;
}

inline const RecordedMessage kConnected{"Printer is connected.", MessageIcon::Information};
inline const RecordedMessage kNoAnswer{
    "The display did not answer. Check the cable and the line settings.", MessageIcon::Exclamation};
inline const RecordedMessage kWrongIdentity{"This printer don't match our company name.",
                                            MessageIcon::Exclamation};
inline const RecordedMessage kCannotOpen{"Can't open port and Printer is disconnected",
                                         MessageIcon::Exclamation};
inline const RecordedMessage kPortError{"Port error! Check printer's port, please.",
                                        MessageIcon::Exclamation};
inline const RecordedMessage kConfigureError{"Port Configuration Set Error!", MessageIcon::None};

}  // namespace tessaly::testing
