// An editing window against a virtual display on a pseudo-terminal, through a
// real link opened with the main window's timeouts. Message boxes and file
// dialogs are recorded and waits only advance a virtual clock, so nothing blocks.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/gauge.h>

#include "link/serial_link.h"
#include "protocol/commands.h"
#include "resources/control_ids.h"
#include "tests/support/recording_window_services.h"
#include "tests/support/window_driver.h"
#include "tools/virtual_display.h"

namespace tessaly::testing {

using Bytes = std::vector<Byte>;
using Digits = std::array<std::uint8_t, 8>;
using Fault = VirtualDisplay::Fault;

// Eight reply digits as the display sends them, bit 8 first.
inline Digits D(const char (&text)[9]) {
    Digits digits{};
    for (int i = 0; i < 8; ++i) {
        digits[i] = static_cast<std::uint8_t>(text[i]);
    }
    return digits;
}

inline LinkSettings SettingsFor(const std::string& device) {
    LinkSettings settings;
    settings.portName = device;
    settings.baud = 115200;
    settings.dataBits = 8;
    settings.timeouts = kMainWindowTimeouts;
    return settings;
}

inline Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

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
    auto* gauge = dynamic_cast<wxGauge*>(window.Control(IDC_PROGRESS));
    return gauge == nullptr ? -1 : gauge->GetValue();
}

}  // namespace tessaly::testing
