// The serial link on the Win32 serial API, against a silent virtual display (it
// takes bytes and answers none) that windows_link_test.sh puts behind COM5.
#include <windows.h>

#include <gtest/gtest.h>

#include "link/serial_link.h"

namespace tessaly {
namespace {

LinkSettings On(const std::string& port, LinkTimeouts timeouts = kMainWindowTimeouts) {
    LinkSettings settings;
    settings.portName = port;
    settings.baud = 115200;
    settings.dataBits = 8;
    settings.timeouts = timeouts;
    return settings;
}

// Wine's serial driver keeps no port to one opener, as Windows' drivers do.
bool UnderWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

TEST(Win32SerialLink, MovesBytesAndARunOutReadIsNoFailure) {
    CSerialLink link;
    ASSERT_TRUE(link.Configure(On("COM5")));
    ASSERT_TRUE(link.Open()) << "error " << link.LastFailure().error;
    const std::uint8_t bytes[] = {0x1B, 0x40};
    EXPECT_EQ(link.Write(bytes, sizeof bytes), sizeof bytes);
    std::uint8_t reply[3] = {};
    EXPECT_EQ(link.Read(reply, sizeof reply, 0), 0u);
    EXPECT_EQ(link.Line(), LineState::Sound) << "neither the timeout nor missing modem lines";
}

TEST(Win32SerialLink, HoldsThePortAloneWhileOpen) {
    if (UnderWine()) {
        GTEST_SKIP() << "wine lets a port be opened twice";
    }
    CSerialLink link;
    ASSERT_TRUE(link.Configure(On("COM5")));
    ASSERT_TRUE(link.Open());
    CSerialLink second;
    ASSERT_TRUE(second.Configure(On("COM5")));
    EXPECT_FALSE(second.Open());
    EXPECT_EQ(second.LastFailure().step, OpenStep::Open);
    EXPECT_EQ(second.LastFailure().error, ERROR_ACCESS_DENIED);
    link.Close();
    EXPECT_TRUE(second.Open()) << "closing gives the port back";
}

// Timeouts that set no total bound make Windows wait for ever; the link stops at
// its cap instead (a read that hung would run into the test's own time limit).
TEST(Win32SerialLink, ReadsWithoutATotalBoundEnd) {
    for (const LinkTimeouts timeouts :
         {LinkTimeouts{0, 0, 0, 0, 0}, LinkTimeouts{10, 0, 0, 0, 0}}) {
        CSerialLink link;
        ASSERT_TRUE(link.Configure(On("COM5", timeouts)));
        ASSERT_TRUE(link.Open());
        std::uint8_t reply[3] = {};
        EXPECT_EQ(link.Read(reply, sizeof reply, 0), 0u);
    }
}

TEST(Win32SerialLink, AFailedOpenNamesItsStepAndLeavesThePortFree) {
    LinkSettings nineBits = On("COM5");
    nineBits.dataBits = 9;
    LinkSettings markParity = On("COM5");
    markParity.parity = 3;
    const struct {
        LinkSettings settings;
        OpenStep step;
    } cases[] = {{On("COM77"), OpenStep::Open},
                 {nineBits, OpenStep::LineItems},
                 {markParity, OpenStep::LineItems}};
    for (const auto& c : cases) {
        CSerialLink link;
        ASSERT_TRUE(link.Configure(c.settings));
        EXPECT_FALSE(link.Open()) << c.settings.portName;
        EXPECT_EQ(link.LastFailure().step, c.step) << c.settings.portName;
        CSerialLink after;
        ASSERT_TRUE(after.Configure(On("COM5")));
        EXPECT_TRUE(after.Open()) << "after " << c.settings.portName;
    }
}

}  // namespace
}  // namespace tessaly
