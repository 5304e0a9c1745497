// The connection check and the framed family's basic settings against a virtual
// display: exactly what goes on the line, and the bounds on a display that fails.
#include <gtest/gtest.h>

#include <chrono>
#include <utility>
#include <vector>

#include "tests/transactions/recording_host.h"
#include "tools/virtual_display.h"

namespace tessaly::testing {
namespace {

using Clock = std::chrono::steady_clock;
using Fault = VirtualDisplay::Fault;

class ConnectionCheckTest : public ::testing::Test {
protected:
    CheckOutcome Check() {
        return CheckConnection(link, SettingsFor(display.DevicePath()), kEscPos, host);
    }

    VirtualDisplay display;
    CSerialLink link;
    RecordingHost host;
};

const Bytes kGreeting =
    BytesOf({CMD_INITIALIZE, CMD_INITIALIZE, CMD_SELECT_DISPLAY, CMD_ENTER_USER_SETTING});

TEST_F(ConnectionCheckTest, AcceptsTheDisplayAndLeavesUserSettingModeAgain) {
    Bytes beforeAnnouncing;
    const auto announce = [&] { beforeAnnouncing = display.Received(); };
    EXPECT_EQ(CheckConnection(link, SettingsFor(display.DevicePath()), kEscPos, host, announce),
              CheckOutcome::Connected);
    EXPECT_EQ(beforeAnnouncing, kGreeting) << "announced before the exit is written";
    EXPECT_TRUE(link.IsOpen());
    EXPECT_EQ(display.Received(), Concat({kGreeting, BytesOf({CMD_EXIT_USER_SETTING})}));
    EXPECT_EQ(host.waits, (std::vector<int>{300, 300}));
    EXPECT_FALSE(display.InUserSettingMode());
}

// Another identity is another maker's display; a lone sync byte is a line that
// failed. Either is reported while the port is still held; the display is then
// told to leave user setting mode, and the port is closed.
TEST_F(ConnectionCheckTest,
       RefusesAnotherIdentityAndTakesALoneSyncByteForNoAnswerAndLeavesTheMode) {
    const std::pair<Fault, CheckOutcome> cases[] = {
        {Fault::WrongIdentity, CheckOutcome::WrongIdentity},
        {Fault::CutAfterSync, CheckOutcome::NoAnswer}};
    for (const auto& [fault, expected] : cases) {
        display.SetFault(fault);
        display.ClearReceived();
        std::vector<bool> openWhenReported;
        const CheckReport report = [&](CheckOutcome outcome) {
            EXPECT_EQ(outcome, expected);
            openWhenReported.push_back(link.IsOpen());
        };
        EXPECT_EQ(CheckConnection(link, SettingsFor(display.DevicePath()), kEscPos, host, report),
                  expected);
        EXPECT_EQ(openWhenReported, std::vector{true});
        EXPECT_FALSE(link.IsOpen());
        EXPECT_EQ(display.Received(), Concat({kGreeting, BytesOf({CMD_EXIT_USER_SETTING})}));
    }
}

TEST_F(ConnectionCheckTest, SilenceEndsAtTheTimeBoundNoiseAtTheByteBoundAndBothMayBeRetried) {
    display.SetFault(Fault::Silent);
    auto start = Clock::now();
    EXPECT_EQ(Check(), CheckOutcome::NoAnswer);
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
    EXPECT_FALSE(link.IsOpen());

    display.SetFault(Fault::EndlessNoise);
    start = Clock::now();
    EXPECT_EQ(Check(), CheckOutcome::NoAnswer);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
    EXPECT_FALSE(link.IsOpen());

    display.SetFault(Fault::None);
    EXPECT_EQ(Check(), CheckOutcome::Connected);
}

TEST(ConnectionCheckPort, EmptyPortNameIsAConfigurationError) {
    CSerialLink link;
    RecordingHost host;
    EXPECT_EQ(CheckConnection(link, SettingsFor(""), kEscPos, host), CheckOutcome::ConfigureError);
    EXPECT_FALSE(link.IsOpen());
}

// The byte examples themselves are checked through the basic settings window.
TEST(BasicSettings, OnlyTheLowEightBitsOfTheCharacterSetGoOnTheLine) {
    VirtualDisplay display;
    CSerialLink link;
    ASSERT_TRUE(link.Configure(SettingsFor(display.DevicePath())));
    ASSERT_TRUE(link.Open());
    SendBasicSettings(link, 0, 0x10F);
    EXPECT_EQ(display.Received(),
              (Bytes{0x02, 0x05, 0x53, 0x0F, 0x03, 0x02, 0x05, 0x46, 0x00, 0x03}));
}

TEST(BasicSettings, AClosedLinkCompletesSilently) {
    CSerialLink link;
    SendBasicSettings(link, 0, 0);
    ShowInformation(link);
    SelfTest(link, kEscPos);
    EXPECT_FALSE(link.IsOpen());
}

}  // namespace
}  // namespace tessaly::testing
