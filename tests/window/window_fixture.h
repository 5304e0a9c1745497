// An editing window against a virtual display on a pseudo-terminal, through a
// real link opened with the main window's timeouts. Message boxes and file
// dialogs are recorded and waits only advance a virtual clock, so nothing blocks.
#pragma once

#include <vector>

#include <gtest/gtest.h>

#include "resources/control_ids.h"
#include "tests/support/bytes.h"
#include "tests/support/recording_window_services.h"
#include "tests/support/window_driver.h"
#include "tools/virtual_display.h"

namespace tessaly::testing {

using Fault = VirtualDisplay::Fault;

template <class Window>
class EditingWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(link.Configure(SettingsFor(display.DevicePath())));
        ASSERT_TRUE(link.Open());
        window.m_pLink = &link;
    }

    // The messages shown since the last call, and forgets them.
    std::vector<RecordedMessage> TakeMessages() {
        std::vector<RecordedMessage> shown = services.messages;
        services.messages.clear();
        return shown;
    }

    // Declared in this order so that the window goes first and the display last.
    VirtualDisplay display;
    CSerialLink link;
    RecordingWindowServices services;
    Window window{services};
};

inline int GaugeValue(CTemplateDialog& window) {
    return GaugeValue(window, IDC_PROGRESS);
}

}  // namespace tessaly::testing
