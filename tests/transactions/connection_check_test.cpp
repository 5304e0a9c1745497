#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "tests/transactions/recording_host.h"
#include "tools/virtual_display.h"
#include "transactions/transactions.h"

namespace tessaly {
namespace {

using namespace tessaly::testing;
using Clock = std::chrono::steady_clock;
using Fault = VirtualDisplay::Fault;

class ConnectionCheckTest : public ::testing::Test {
protected:
    CheckOutcome Check(EmulationMode mode = kEscPos) {
        return CheckConnection(link, SettingsFor(display.DevicePath()), mode, host);
    }

    VirtualDisplay display;
    CSerialLink link;
    RecordingHost host;
};

const Bytes kGreeting = Concat({BytesOf(CMD_INITIALIZE), BytesOf(CMD_INITIALIZE),
                                BytesOf(CMD_SELECT_DISPLAY), BytesOf(CMD_ENTER_USER_SETTING)});

TEST_F(ConnectionCheckTest, AcceptsTheDisplayAndLeavesUserSettingModeAgain) {
    EXPECT_EQ(Check(), CheckOutcome::Connected);
    EXPECT_TRUE(link.IsOpen());
    EXPECT_EQ(display.Received(), Concat({kGreeting, BytesOf(CMD_EXIT_USER_SETTING)}));
    EXPECT_EQ(host.waits, (std::vector<int>{300, 300}));
    EXPECT_FALSE(display.InUserSettingMode());
}

TEST_F(ConnectionCheckTest, SkipsBytesBeforeTheSyncByte) {
    display.SetFault(Fault::NoiseBeforeSync);
    EXPECT_EQ(Check(), CheckOutcome::Connected);
    EXPECT_TRUE(link.IsOpen());
}

TEST_F(ConnectionCheckTest, RefusesAnotherIdentityAndClosesThePort) {
    display.SetFault(Fault::WrongIdentity);
    EXPECT_EQ(Check(), CheckOutcome::WrongIdentity);
    EXPECT_FALSE(link.IsOpen());
    EXPECT_EQ(display.Received(), kGreeting);  // no exit: the check stops there
}

TEST_F(ConnectionCheckTest, RefusesALoneSyncByte) {
    display.SetFault(Fault::CutAfterSync);
    EXPECT_EQ(Check(), CheckOutcome::WrongIdentity);
    EXPECT_FALSE(link.IsOpen());
}

TEST_F(ConnectionCheckTest, SilentDisplayEndsAtTheTimeBoundWithThePortClosed) {
    display.SetFault(Fault::Silent);
    const auto start = Clock::now();
    EXPECT_EQ(Check(), CheckOutcome::NoAnswer);
    const auto took = Clock::now() - start;
    EXPECT_FALSE(link.IsOpen());
    EXPECT_GE(took, std::chrono::milliseconds(500));
    EXPECT_LT(took, std::chrono::seconds(5));
}

TEST_F(ConnectionCheckTest, EndlessNoiseEndsAtTheByteBoundLongBeforeTheTimeBound) {
    display.SetFault(Fault::EndlessNoise);
    const auto start = Clock::now();
    EXPECT_EQ(Check(), CheckOutcome::NoAnswer);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(800));
    EXPECT_FALSE(link.IsOpen());
}

TEST_F(ConnectionCheckTest, CanBeRunAgainAfterAFailure) {
    display.SetFault(Fault::Silent);
    ASSERT_EQ(Check(), CheckOutcome::NoAnswer);
    display.SetFault(Fault::None);
    EXPECT_EQ(Check(), CheckOutcome::Connected);
}

TEST_F(ConnectionCheckTest, FramedEmulationsAcceptAnyDeviceThatTakesTwoBytes) {
    display.SetFault(Fault::Silent);
    for (EmulationMode mode : {kQuelmar, kOthers}) {
        display.ClearReceived();
        EXPECT_EQ(Check(mode), CheckOutcome::Connected) << mode;
        EXPECT_TRUE(link.IsOpen());
        EXPECT_EQ(display.Received(), BytesOf(CMD_INITIALIZE));
        link.Close();
    }
    EXPECT_TRUE(host.waits.empty());
}

TEST(ConnectionCheckPort, EmptyPortNameIsAConfigurationError) {
    CSerialLink link;
    RecordingHost host;
    EXPECT_EQ(CheckConnection(link, SettingsFor(""), kEscPos, host), CheckOutcome::ConfigureError);
    EXPECT_FALSE(link.IsOpen());
}

TEST(ConnectionCheckPort, MissingDeviceFailsToOpen) {
    CSerialLink link;
    RecordingHost host;
    EXPECT_EQ(CheckConnection(link, SettingsFor("/dev/tessaly-no-such-port"), kEscPos, host),
              CheckOutcome::OpenFailed);
    EXPECT_FALSE(link.IsOpen());
}

// A pseudo-terminal has no modem lines; a device that holds CTS low is what makes
// the first write come back short on a real port.
class HeldLowLines : public ModemLines {
public:
    State ClearToSend(int) override { return State::Low; }
};

TEST(ConnectionCheckPort, FirstWriteThatDoesNotGoOutIsAPortError) {
    VirtualDisplay display;
    CSerialLink link(std::make_unique<HeldLowLines>());
    RecordingHost host;
    EXPECT_EQ(CheckConnection(link, SettingsFor(display.DevicePath()), kEscPos, host),
              CheckOutcome::PortError);
    EXPECT_FALSE(link.IsOpen());
    EXPECT_TRUE(display.Received().empty());
}

}  // namespace
}  // namespace tessaly
