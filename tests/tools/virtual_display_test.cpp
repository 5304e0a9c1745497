#include "tools/virtual_display.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/tools/pty_client.h"

namespace tessaly {
namespace {

using testing::Bytes;
using testing::PtyClient;
using namespace std::chrono_literals;
using Fault = VirtualDisplay::Fault;

const Bytes kInitialize{0x1B, 0x40};
const Bytes kSelectDisplay{0x1B, 0x3D, 0x02};
const Bytes kSelfTest{0x1F, 0x40};
const Bytes kEnter{0x1F, 0x28, 0x45, 0x03, 0x00, 0x01, 0x49, 0x4E};
const Bytes kExit{0x1F, 0x28, 0x45, 0x04, 0x00, 0x02, 0x4F, 0x55, 0x54};
const Bytes kShowInfo{0x02, 0x05, 0x56, 0x05, 0x03};

Bytes Query(std::uint8_t n) {
    return {0x1F, 0x28, 0x45, 0x02, 0x00, 0x04, n};
}

Bytes WriteSwitch(std::uint8_t n, const char (&digits)[9]) {
    Bytes bytes{0x1F, 0x28, 0x45, 0x0A, 0x00, 0x03, n};
    for (int i = 0; i < 8; ++i) {
        bytes.push_back(static_cast<std::uint8_t>(digits[i]));
    }
    return bytes;
}

Bytes Digits(const char (&digits)[9]) {
    return Bytes(digits, digits + 8);
}

Bytes Stored(const VirtualDisplay& display, int n) {
    const auto digits = display.SwitchDigits(n);
    return Bytes(digits.begin(), digits.end());
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

class VirtualDisplayTest : public ::testing::Test {
protected:
    VirtualDisplay display;
    PtyClient client{display.DevicePath()};
};

TEST_F(VirtualDisplayTest, AnswersSelectDisplayWithThreeBytesThatHoldNoSync) {
    ASSERT_TRUE(client.IsOpen());
    client.Send(kSelectDisplay);
    const Bytes reply = client.ReceiveUntilQuiet(100ms);
    ASSERT_EQ(reply.size(), 3u);
    EXPECT_EQ(std::count(reply.begin(), reply.end(), 0x57), 0);
}

TEST_F(VirtualDisplayTest, EntersAndLeavesUserSettingModeWithItsIdentity) {
    EXPECT_FALSE(display.InUserSettingMode());
    client.Send(kEnter);
    const Bytes reply = client.ReceiveUntilQuiet(100ms);
    ASSERT_EQ(reply.size(), 4u);
    EXPECT_EQ(Bytes(reply.begin(), reply.begin() + 3), (Bytes{0x57, 0x23, 0x1F}));
    EXPECT_TRUE(display.InUserSettingMode());
    client.Send(kExit);
    EXPECT_TRUE(client.ReceiveUntilQuiet(50ms).empty());
    EXPECT_FALSE(display.InUserSettingMode());
}

TEST_F(VirtualDisplayTest, QueryAnswersDigitsBitEightFirstForEachSwitch) {
    display.SetSwitchDigits(12, {'1', '0', '0', '0', '0', '1', '0', '1'});
    for (std::uint8_t n = 10; n <= 14; ++n) {
        client.Send(Query(n));
        const Bytes reply = client.Receive(12, 1s);
        ASSERT_EQ(reply.size(), 12u) << "switch " << int(n);
        EXPECT_EQ(reply[0], 0x57);
        const Bytes digits(reply.begin() + 3, reply.begin() + 11);
        EXPECT_EQ(digits, n == 12 ? Digits("10000101") : Digits("00000000"));
    }
    EXPECT_TRUE(display.SwitchBit(12, 8));
    EXPECT_TRUE(display.SwitchBit(12, 3));
    EXPECT_TRUE(display.SwitchBit(12, 1));
    EXPECT_FALSE(display.SwitchBit(12, 2));
    EXPECT_TRUE(client.ReceiveUntilQuiet(50ms).empty());
}

TEST_F(VirtualDisplayTest, StoresSwitchWritesOnlyInUserSettingMode) {
    client.Send(WriteSwitch(0x0B, "11111111"));
    client.Send(kEnter);
    client.Send(WriteSwitch(0x0E, "00110001"));
    client.Send(kExit);
    client.Send(WriteSwitch(0x0A, "11111111"));
    EXPECT_EQ(client.ReceiveUntilQuiet(100ms).size(), 4u);  // only the user setting answer
    EXPECT_EQ(Stored(display, 14), Digits("00110001"));
    EXPECT_EQ(Stored(display, 11), Digits("00000000"));
    EXPECT_EQ(Stored(display, 10), Digits("00000000"));
}

TEST_F(VirtualDisplayTest, RecordsEveryByteAndAnswersCommandsSplitAcrossWrites) {
    const Bytes stream = Concat({kInitialize,
                                 kSelfTest,
                                 kShowInfo,
                                 {0x02, 0x05, 0x46, 0x1D, 0x03},
                                 {0x00, 0x57, 0xFF},
                                 Query(0x0A)});
    for (std::uint8_t byte : stream) {
        client.Send({byte});
    }
    EXPECT_EQ(client.Receive(12, 1s).size(), 12u);
    EXPECT_EQ(display.Received(), stream);
    display.ClearReceived();
    EXPECT_TRUE(display.Received().empty());
}

TEST_F(VirtualDisplayTest, KeepsAnsweringWhenTheClientClosesAndReopens) {
    client.Send(kInitialize);
    {
        PtyClient second(display.DevicePath());
        ASSERT_TRUE(second.IsOpen());
    }
    PtyClient reopened(display.DevicePath());
    reopened.Send(kEnter);
    EXPECT_EQ(reopened.Receive(4, 1s).size(), 4u);
}

class VirtualDisplayFaultTest : public VirtualDisplayTest {};

TEST_F(VirtualDisplayFaultTest, SilentAnswersNothingButStillListens) {
    display.SetFault(Fault::Silent);
    client.Send(Concat({kSelectDisplay, kEnter, Query(0x0A), WriteSwitch(0x0A, "00000001")}));
    EXPECT_TRUE(client.ReceiveUntilQuiet(150ms).empty());
    EXPECT_TRUE(display.InUserSettingMode());
    EXPECT_TRUE(display.SwitchBit(10, 1));
}

TEST_F(VirtualDisplayFaultTest, NoiseBeforeSyncPrefixesOnlyTheSyncedAnswers) {
    display.SetFault(Fault::NoiseBeforeSync);
    client.Send(kSelectDisplay);
    EXPECT_EQ(client.ReceiveUntilQuiet(100ms).size(), 3u);
    client.Send(kEnter);
    const Bytes reply = client.ReceiveUntilQuiet(100ms);
    ASSERT_GT(reply.size(), 4u);
    const auto sync = std::find(reply.begin(), reply.end(), 0x57);
    ASSERT_NE(sync, reply.end());
    EXPECT_GT(sync - reply.begin(), 0);
    EXPECT_EQ(Bytes(sync, sync + 3), (Bytes{0x57, 0x23, 0x1F}));
}

TEST_F(VirtualDisplayFaultTest, WrongIdentityAnswers23Then20) {
    display.SetFault(Fault::WrongIdentity);
    client.Send(kEnter);
    const Bytes reply = client.Receive(4, 1s);
    ASSERT_EQ(reply.size(), 4u);
    EXPECT_EQ(Bytes(reply.begin(), reply.begin() + 3), (Bytes{0x57, 0x23, 0x20}));
}

TEST_F(VirtualDisplayFaultTest, CutAfterSyncSendsTheSyncByteAlone) {
    display.SetFault(Fault::CutAfterSync);
    client.Send(Query(0x0C));
    EXPECT_EQ(client.ReceiveUntilQuiet(100ms), (Bytes{0x57}));
    client.Send(kEnter);
    EXPECT_EQ(client.ReceiveUntilQuiet(100ms), (Bytes{0x57}));
}

TEST_F(VirtualDisplayFaultTest, EndlessNoiseStreamsWithoutEverSendingSync) {
    display.SetFault(Fault::EndlessNoise);
    client.Send(kEnter);
    const Bytes noise = client.Receive(2000, 3s);
    EXPECT_EQ(noise.size(), 2000u);
    EXPECT_EQ(std::count(noise.begin(), noise.end(), 0x57), 0);
}

TEST_F(VirtualDisplayFaultTest, HangUpClosesAfterTheCountedBytes) {
    display.SetHangUpAfterBytes(3 + 7);
    display.SetFault(Fault::HangUp);
    client.Send(kSelectDisplay);
    EXPECT_EQ(client.Receive(3, 1s).size(), 3u);
    client.Send(Query(0x0A));
    EXPECT_TRUE(client.Receive(12, 1s).empty());  // the query reached the count: no answer
    EXPECT_TRUE(display.HungUp());
    EXPECT_EQ(display.Received(), Concat({kSelectDisplay, Query(0x0A)}));
}

TEST_F(VirtualDisplayFaultTest, HangUpNowEndsTheConversation) {
    display.HangUpNow();
    EXPECT_TRUE(display.HungUp());
    client.Send(kEnter);
    EXPECT_TRUE(client.Receive(4, 300ms).empty());
}

}  // namespace
}  // namespace tessaly
