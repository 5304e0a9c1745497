#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "tests/support/line_drops_on_write.h"
#include "tests/transactions/recording_host.h"
#include "tools/virtual_display.h"
#include "transactions/sync_wait.h"

namespace tessaly::testing {
namespace {

using Clock = std::chrono::steady_clock;
using Fault = VirtualDisplay::Fault;

SwitchBits Bits(std::initializer_list<int> setBits) {
    SwitchBits bits{};
    for (int bit : setBits) {
        bits[bit - 1] = 1;
    }
    return bits;
}

SwitchSet Untouched() {
    SwitchSet set;
    for (auto& bits : set) {
        bits.fill(7);
    }
    return set;
}

std::vector<int> ProgressOf(int steps, bool complete) {
    std::vector<int> progress{0};
    progress.insert(progress.end(), steps, kStep);
    if (complete) {
        progress.push_back(100);
    }
    return progress;
}

class SwitchTransactionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(link.Configure(SettingsFor(display.DevicePath())));
        ASSERT_TRUE(link.Open());
    }

    VirtualDisplay display;
    CSerialLink link;
    RecordingHost host;
};

using ReadSwitchesTest = SwitchTransactionTest;

TEST_F(ReadSwitchesTest, ReadsAllZeroDigitsWithItsWaitsAndFortyFiveSteps) {
    SwitchSet out = Untouched();
    ASSERT_EQ(ReadSwitches(link, host, out), ReadOutcome::Complete);
    for (const SwitchBits& bits : out) {
        EXPECT_EQ(bits, SwitchBits{});
    }
    Bytes expected = BytesOf({CMD_SELECT_DISPLAY});
    for (Byte n = 0x0A; n <= 0x0E; ++n) {
        expected = Concat({expected, {0x1F, 0x28, 0x45, 0x02, 0x00, 0x04, n}});
    }
    EXPECT_EQ(display.Received(), expected);
    EXPECT_EQ(host.waits, std::vector<int>(6, 300));
    EXPECT_EQ(host.progress, ProgressOf(45, true));
}

TEST_F(ReadSwitchesTest, PutsEachDigitOnItsBitAndKeepsOddDigitsAsNumbers) {
    display.SetSwitchDigits(11, D("20000001"));
    display.SetSwitchDigits(12, D("00000101"));
    display.SetSwitchDigits(14, D("11110000"));
    SwitchSet out = Untouched();
    ASSERT_EQ(ReadSwitches(link, host, out), ReadOutcome::Complete);
    EXPECT_EQ(out[0], SwitchBits{});
    EXPECT_EQ(out[1], (SwitchBits{1, 0, 0, 0, 0, 0, 0, 2}));
    EXPECT_EQ(out[2], Bits({1, 3}));
    EXPECT_EQ(out[3], SwitchBits{});
    EXPECT_EQ(out[4], Bits({5, 6, 7, 8}));
}

// The byte after the eight digits carries nothing: a display that leaves it out
// is read all the same.
TEST_F(ReadSwitchesTest, ReadsADisplayThatLeavesOutTheByteAfterTheDigits) {
    display.SetFault(Fault::NoTrailingByte);
    display.SetSwitchDigits(13, D("10000001"));
    SwitchSet out = Untouched();
    ASSERT_EQ(ReadSwitches(link, host, out), ReadOutcome::Complete);
    EXPECT_EQ(out[3], Bits({1, 8}));
    EXPECT_EQ(out[0], SwitchBits{});
}

struct BrokenReply {
    const char* name;
    Fault fault;
};

void PrintTo(const BrokenReply& reply, std::ostream* os) {
    *os << reply.name;
}

class ReadSwitchesFaultTest : public SwitchTransactionTest,
                              public ::testing::WithParamInterface<BrokenReply> {};

TEST_P(ReadSwitchesFaultTest, ReportsNoAnswerInBoundedTimeAndLeavesOutUntouched) {
    display.SetHangUpAfterBytes(3 + 7 + 7);  // the second query never gets its answer
    display.SetFault(GetParam().fault);
    SwitchSet out = Untouched();
    const auto start = Clock::now();
    EXPECT_EQ(ReadSwitches(link, host, out), ReadOutcome::NoAnswer);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(out, Untouched());
    ASSERT_FALSE(host.progress.empty());
    EXPECT_NE(host.progress.back(), 100);
}

INSTANTIATE_TEST_SUITE_P(BrokenReplies, ReadSwitchesFaultTest,
                         ::testing::Values(BrokenReply{"CutAfterSync", Fault::CutAfterSync},
                                           BrokenReply{"Silent", Fault::Silent},
                                           BrokenReply{"EndlessNoise", Fault::EndlessNoise},
                                           BrokenReply{"HangUpMidway", Fault::HangUp}),
                         [](const auto& info) { return std::string(info.param.name); });

using WriteSwitchesTest = SwitchTransactionTest;

const Bytes kEntering = BytesOf({CMD_INITIALIZE, CMD_SELECT_DISPLAY, CMD_ENTER_USER_SETTING});

TEST_F(WriteSwitchesTest, AllZeroBitsSendExactlyTheSequenceWithItsWaitsAndSteps) {
    display.SetSwitchDigits(10, D("11111111"));
    ASSERT_EQ(WriteSwitches(link, host, SwitchSet{}), WriteOutcome::Complete);
    EXPECT_EQ(display.Received(),
              Concat({kEntering, SwitchWrite(0x0A), SwitchWrite(0x0B), SwitchWrite(0x0C),
                      SwitchWrite(0x0D), SwitchWrite(0x0E), BytesOf({CMD_EXIT_USER_SETTING})}));
    EXPECT_EQ(host.waits, (std::vector<int>{300, 300, 1000, 1000}));
    EXPECT_EQ(host.progress, ProgressOf(9, true));
    EXPECT_EQ(display.SwitchDigits(10), D("00000000"));
    EXPECT_FALSE(display.InUserSettingMode());
}

TEST_F(WriteSwitchesTest, CarriedBitsReachTheDisplay) {
    SwitchSet carried{};
    carried[0] = Bits({1, 2, 3, 4, 5, 6});
    carried[2] = Bits({2});
    carried[4] = Bits({1, 5, 6});
    ASSERT_EQ(WriteSwitches(link, host, carried), WriteOutcome::Complete);
    EXPECT_EQ(display.SwitchDigits(10), D("00111111"));
    EXPECT_EQ(display.SwitchDigits(11), D("00000000"));
    EXPECT_EQ(display.SwitchDigits(12), D("00000010"));
    EXPECT_EQ(display.SwitchDigits(14), D("00110001"));
}

TEST_F(WriteSwitchesTest, SilentDisplayGetsNoSwitchWriteButLeavesUserSettingMode) {
    display.SetFault(Fault::Silent);
    const auto start = Clock::now();
    EXPECT_EQ(WriteSwitches(link, host, SwitchSet{}), WriteOutcome::NoAnswer);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(display.Received(), Concat({kEntering, BytesOf({CMD_EXIT_USER_SETTING})}));
    EXPECT_FALSE(display.InUserSettingMode());
    EXPECT_EQ(host.progress, ProgressOf(0, false));
}

// Whether a display that hangs up on the request to enter is seen by the line
// after that write or by the wait for its answer, nothing was written.
TEST_F(WriteSwitchesTest, ARequestToEnterThatDoesNotGoOutIsNoAnswer) {
    link.Close();
    CSerialLink dropping(std::make_unique<LineDropsOnWrite>(3));  // CMD_ENTER_USER_SETTING
    ASSERT_TRUE(dropping.Configure(SettingsFor(display.DevicePath())));
    ASSERT_TRUE(dropping.Open());
    display.SetSwitchDigits(10, D("00000001"));
    EXPECT_EQ(WriteSwitches(dropping, host, SwitchSet{}), WriteOutcome::NoAnswer);
    EXPECT_EQ(display.Received(),
              BytesOf({CMD_INITIALIZE, CMD_SELECT_DISPLAY, CMD_EXIT_USER_SETTING}));
    EXPECT_EQ(display.SwitchDigits(10), D("00000001"));
}

TEST_F(WriteSwitchesTest, ADisplayGoneBeforeTheFirstSwitchIsAFailedWrite) {
    display.SetSwitchDigits(10, D("00000001"));
    host.hookAtStep = 1;  // right after 0x57 arrived
    host.hook = [this] { display.HangUpNow(); };
    EXPECT_EQ(WriteSwitches(link, host, SwitchSet{}), WriteOutcome::WriteFailed);
    EXPECT_EQ(display.SwitchDigits(10), D("00000001"));
    EXPECT_NE(host.progress.back(), 100);
}

TEST_F(WriteSwitchesTest, StopsAtTheFirstWriteThatDoesNotGoOut) {
    SwitchSet carried{};
    carried[0] = Bits({1});
    carried[1] = Bits({1});
    host.hookAtStep = 2;  // after switch 10 went out
    host.hook = [this] {
        (void)display.Received();  // let the display take switch 10 in first
        display.HangUpNow();
    };
    EXPECT_EQ(WriteSwitches(link, host, carried), WriteOutcome::WriteFailed);
    EXPECT_EQ(display.SwitchDigits(10), D("00000001"));
    EXPECT_EQ(display.SwitchDigits(11), D("00000000"));
    EXPECT_TRUE(host.waits.size() == 2u) << "no settling waits after a failure";
}

// Bytes a write of the five switches puts on the line before each switch.
constexpr std::size_t kEnteringBytes = 2 + 3 + 8;
constexpr std::size_t kSwitchWriteBytes = 15;

// The display hangs up on its own thread once the count is reached; a real
// run has its settling waits for that, the virtual clock has not.
void AwaitHangUp(const VirtualDisplay& display) {
    for (int i = 0; i < 500 && !display.HungUp(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

struct HangUpPoint {
    const char* name;
    std::size_t bytes;  // taken by the display before it hangs up
};

void PrintTo(const HangUpPoint& point, std::ostream* os) {
    *os << point.name;
}

class WriteSwitchesHangUpTest : public SwitchTransactionTest,
                                public ::testing::WithParamInterface<HangUpPoint> {};

// The driver takes every write whole before the display has read a byte of
// them, so only the line after the writes can tell that they never arrived.
TEST_P(WriteSwitchesHangUpTest, IsAFailedWriteAndNeverComplete) {
    display.SetFault(Fault::HangUp);
    display.SetHangUpAfterBytes(GetParam().bytes);
    host.hookAtWait = 3;  // the first settling wait
    host.hook = [this] { AwaitHangUp(display); };
    EXPECT_EQ(WriteSwitches(link, host, SwitchSet{}), WriteOutcome::WriteFailed);
    ASSERT_FALSE(host.progress.empty());
    EXPECT_NE(host.progress.back(), 100);
}

INSTANTIATE_TEST_SUITE_P(
    MidWrites, WriteSwitchesHangUpTest,
    ::testing::Values(HangUpPoint{"InSwitchEleven", kEnteringBytes + kSwitchWriteBytes + 5},
                      HangUpPoint{"AfterSwitchTwelve", kEnteringBytes + 3 * kSwitchWriteBytes},
                      HangUpPoint{"InTheExit", kEnteringBytes + 5 * kSwitchWriteBytes + 4}),
    [](const auto& info) { return std::string(info.param.name); });

using StoppedTransactionTest = SwitchTransactionTest;

TEST_F(StoppedTransactionTest, AStopBeforeTheStartSendsNothing) {
    host.stop = true;
    EXPECT_EQ(WriteSwitches(link, host, SwitchSet{}), WriteOutcome::Stopped);
    SwitchSet out = Untouched();
    EXPECT_EQ(ReadSwitches(link, host, out), ReadOutcome::Stopped);
    EXPECT_EQ(out, Untouched());
    EXPECT_TRUE(display.Received().empty());
    EXPECT_TRUE(host.waits.empty());
}

TEST_F(StoppedTransactionTest, AStopWhileEnteringUserSettingModeStillLeavesIt) {
    display.SetSwitchDigits(10, D("00000001"));
    host.hookAtWait = 2;  // the wait for the answer to CMD_ENTER_USER_SETTING
    host.hook = [this] { host.stop = true; };
    EXPECT_EQ(WriteSwitches(link, host, SwitchSet{}), WriteOutcome::Stopped);
    EXPECT_EQ(display.Received(), Concat({kEntering, BytesOf({CMD_EXIT_USER_SETTING})}));
    EXPECT_FALSE(display.InUserSettingMode());
    EXPECT_EQ(display.SwitchDigits(10), D("00000001"));
}

TEST_F(StoppedTransactionTest, AStopBetweenTwoSwitchesWritesNoMoreAndLeavesUserSettingMode) {
    SwitchSet carried{};
    for (auto& bits : carried) {
        bits = Bits({1});
    }
    host.hookAtStep = 3;  // switches 10 and 11 are out
    host.hook = [this] { host.stop = true; };
    EXPECT_EQ(WriteSwitches(link, host, carried), WriteOutcome::Stopped);
    EXPECT_EQ(display.Received(),
              Concat({kEntering, SwitchWrite(0x0A, "00000001"), SwitchWrite(0x0B, "00000001"),
                      BytesOf({CMD_EXIT_USER_SETTING})}));
    EXPECT_FALSE(display.InUserSettingMode());
    EXPECT_EQ(display.SwitchDigits(11), D("00000001"));
    EXPECT_EQ(display.SwitchDigits(12), D("00000000"));
    EXPECT_NE(host.progress.back(), 100);
}

TEST_F(StoppedTransactionTest, AStopInTheSettlingWaitsEndsThemWithoutSendingMore) {
    host.hookAtWait = 3;
    host.hook = [this] { host.stop = true; };
    EXPECT_EQ(WriteSwitches(link, host, SwitchSet{}), WriteOutcome::Stopped);
    EXPECT_EQ(host.waits, (std::vector<int>{300, 300, 1000}));
    EXPECT_FALSE(display.InUserSettingMode());
    EXPECT_EQ(display.Received(),
              Concat({kEntering, SwitchWrite(0x0A), SwitchWrite(0x0B), SwitchWrite(0x0C),
                      SwitchWrite(0x0D), SwitchWrite(0x0E), BytesOf({CMD_EXIT_USER_SETTING})}));
}

TEST_F(StoppedTransactionTest, AStopBetweenTwoQueriesLeavesOutUntouched) {
    host.hookAtStep = 9;  // switch 10 is read
    host.hook = [this] { host.stop = true; };
    SwitchSet out = Untouched();
    EXPECT_EQ(ReadSwitches(link, host, out), ReadOutcome::Stopped);
    EXPECT_EQ(out, Untouched());
    EXPECT_EQ(display.Received(),
              Concat({BytesOf({CMD_SELECT_DISPLAY}), {0x1F, 0x28, 0x45, 0x02, 0x00, 0x04, 0x0A}}));
}

using SendsWithoutReplyTest = SwitchTransactionTest;

TEST_F(SendsWithoutReplyTest, SayWhetherEveryCommandWentOutWhole) {
    EXPECT_TRUE(SelfTest(link, kEscPos));
    EXPECT_TRUE(SelfTest(link, kQuelmar));
    EXPECT_TRUE(SendBasicSettings(link, 29, 8));
    EXPECT_TRUE(ShowInformation(link));
    EXPECT_EQ(display.Received(), Concat({BytesOf({CMD_SELF_TEST, CMD_SHOW_INFO}),
                                          {0x02, 0x05, 0x53, 0x08, 0x03},
                                          {0x02, 0x05, 0x46, 0x1D, 0x03},
                                          BytesOf({CMD_SHOW_INFO})}));
}

// The driver takes the command whole and the display hangs up before reading it.
class HangsUpOnWrite final : public CSerialLink {
public:
    explicit HangsUpOnWrite(VirtualDisplay& display) : m_display(display) {}
    unsigned Write(const std::uint8_t* bytes, unsigned length) override {
        const unsigned taken = CSerialLink::Write(bytes, length);
        m_display.HangUpNow();
        return taken;
    }

private:
    VirtualDisplay& m_display;
};

TEST_F(SendsWithoutReplyTest, ACommandTakenWholeJustBeforeAHangUpWasNotSent) {
    const std::function<bool(CSerialLink&)> sends[] = {
        [](CSerialLink& to) { return WriteCommand(to, WriteSwitch(0x0A, SwitchBits{})); },
        [](CSerialLink& to) { return SelfTest(to, kEscPos); },
    };
    for (const auto& send : sends) {
        VirtualDisplay hangingUp;
        HangsUpOnWrite hanging(hangingUp);
        ASSERT_TRUE(hanging.Configure(SettingsFor(hangingUp.DevicePath())));
        ASSERT_TRUE(hanging.Open());
        EXPECT_FALSE(send(hanging));
    }
}

// A stopped line (CTS held low) takes nothing: each send gives up at the
// link's write bound and says so.
TEST_F(SendsWithoutReplyTest, ALineThatTakesNothingFailsEachOfThem) {
    display.StallNow();
    EXPECT_FALSE(SelfTest(link, kEscPos));
    EXPECT_FALSE(SendBasicSettings(link, 0, 0));
    EXPECT_FALSE(ShowInformation(link));
}

TEST_F(SendsWithoutReplyTest, AHungUpLineFailsEachOfThem) {
    display.HangUpNow();
    EXPECT_FALSE(SelfTest(link, kOthers));
    EXPECT_FALSE(SendBasicSettings(link, 0, 0));
    EXPECT_FALSE(ShowInformation(link));
}

}  // namespace
}  // namespace tessaly::testing
