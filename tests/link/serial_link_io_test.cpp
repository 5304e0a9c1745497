// Read and Write on a real pseudo-terminal: timeouts, bounds, hang-up, and
// the output wait on CTS and DSR shown with a fake modem-line source.
#include <gtest/gtest.h>

#include <thread>

#include "tests/link/pty_peer.h"

namespace tessaly::test {
namespace {

using Clock = std::chrono::steady_clock;

// Low until `lowMs` after the first question, then `after`.
class FakeModemLines : public ModemLines {
public:
    FakeModemLines(int lowMs, State after) : m_lowMs(lowMs), m_after(after) {}
    State ClearToSend(int) override {
        if (!m_asked) {
            m_first = Clock::now();
            m_asked = true;
        }
        return MsSince(m_first) < m_lowMs ? State::Low : m_after;
    }

private:
    int m_lowMs;
    State m_after;
    bool m_asked = false;
    Clock::time_point m_first;
};

class SerialLinkIo : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(peer.Ready()); }
    void OpenWith(CSerialLink& link, LinkTimeouts timeouts = kMainWindowTimeouts) {
        LinkSettings s = SettingsFor(peer.SlavePath());
        s.timeouts = timeouts;
        ASSERT_TRUE(link.Configure(s));
        ASSERT_TRUE(link.Open());
    }
    PtyPeer peer;
    CSerialLink link;
};

TEST_F(SerialLinkIo, SilentDeviceReadReturnsZeroAfterTotalTimeout) {
    OpenWith(link);
    std::uint8_t buf[3] = {9, 9, 9};
    const auto start = Clock::now();
    EXPECT_EQ(link.Read(buf, 3, 1000), 0u);  // 10 x 3 + 10 = 40 ms
    const auto ms = MsSince(start);
    EXPECT_GE(ms, 30);
    EXPECT_LT(ms, 500);
    EXPECT_EQ(buf[0], 9);
}

TEST_F(SerialLinkIo, ReadStoresOnlyReceivedBytesFromTheStart) {
    OpenWith(link);
    peer.Send({0x57, 0x23});
    std::uint8_t buf[5] = {9, 9, 9, 9, 9};
    EXPECT_EQ(link.Read(buf, 5, 1000), 2u);
    EXPECT_EQ(buf[0], 0x57);
    EXPECT_EQ(buf[1], 0x23);
    EXPECT_EQ(buf[2], 9);
    EXPECT_EQ(buf[4], 9);

    peer.Send({1, 2, 3});
    const auto start = Clock::now();
    EXPECT_EQ(link.Read(buf, 3, 1000), 3u);  // a full read returns at once
    EXPECT_LT(MsSince(start), 30);
}

TEST_F(SerialLinkIo, IntervalEndsReadOnceBytesStopComing) {
    OpenWith(link, LinkTimeouts{50, 0, 3000, 0, 0});
    std::thread sender([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        peer.Send({1});
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        peer.Send({2});
    });
    std::uint8_t buf[2] = {};
    const auto start = Clock::now();
    EXPECT_EQ(link.Read(buf, 2, 1000), 1u);  // the first wait is not bounded by the interval
    const auto ms = MsSince(start);
    sender.join();
    EXPECT_GE(ms, 140);
    EXPECT_LT(ms, 450);
}

TEST_F(SerialLinkIo, WriteSendsBytesUnchanged) {
    OpenWith(link);
    const std::vector<std::uint8_t> bytes = {0x0D, 0x0A, 0x00, 0x11, 0x13, 0x7F, 0xFF};
    EXPECT_EQ(link.Write(bytes.data(), bytes.size()), bytes.size());
    EXPECT_EQ(peer.Received(), bytes);
}

TEST_F(SerialLinkIo, PeerThatNeverReadsMakesWriteReturnShortWithinBound) {
    OpenWith(link);
    const std::vector<std::uint8_t> big(1 << 20, 0x41);
    const auto start = Clock::now();
    const unsigned written = link.Write(big.data(), big.size());
    const auto ms = MsSince(start);
    EXPECT_LT(written, big.size());
    EXPECT_GE(ms, static_cast<long long>(kWriteBoundMs) - 100);
    EXPECT_LT(ms, 10'000);
}

TEST_F(SerialLinkIo, HangUpGivesZeroAtOnce) {
    OpenWith(link, LinkTimeouts{0, 0, 5000, 0, 0});
    peer.Hangup();
    std::uint8_t buf[3] = {};
    auto start = Clock::now();
    EXPECT_EQ(link.Read(buf, 3, 1000), 0u);
    EXPECT_LT(MsSince(start), 1000);
    start = Clock::now();
    EXPECT_EQ(link.Write(buf, 3), 0u);
    EXPECT_LT(MsSince(start), 1000);
    link.Close();
    EXPECT_FALSE(link.IsOpen());
}

// Bytes the driver took before the far end went away count as written, so the
// hang-up must be visible by itself, without a read or write running into it.
TEST_F(SerialLinkIo, LineTellsAHangUpThatNoTransferSawAndForgetsItAtClose) {
    EXPECT_EQ(link.Line(), LineState::Sound) << "a closed link has nothing to tell";
    OpenWith(link);
    const std::uint8_t bytes[] = {0x1B, 0x40};
    ASSERT_EQ(link.Write(bytes, 2), 2u);
    EXPECT_EQ(link.Line(), LineState::Sound);
    peer.Hangup();
    EXPECT_EQ(link.Line(), LineState::HungUp);
    EXPECT_EQ(link.Line(), LineState::HungUp) << "kept once seen";
    link.Close();
    EXPECT_EQ(link.Line(), LineState::Sound);
}

TEST_F(SerialLinkIo, WriteWaitsWhileCtsOrDsrIsLow) {
    CSerialLink held(std::make_unique<FakeModemLines>(300, ModemLines::State::Asserted));
    OpenWith(held);
    const std::vector<std::uint8_t> bytes = {0x1B, 0x40};
    auto start = Clock::now();
    EXPECT_EQ(held.Write(bytes.data(), bytes.size()), 2u);
    EXPECT_GE(MsSince(start), 280);
    EXPECT_EQ(peer.Received(), bytes);
}

TEST_F(SerialLinkIo, WriteGivesUpWhenLinesStayLowOrFail) {
    {
        CSerialLink low(std::make_unique<FakeModemLines>(1 << 30, ModemLines::State::Low));
        OpenWith(low);
        const std::uint8_t byte = 0x1B;
        const auto start = Clock::now();
        EXPECT_EQ(low.Write(&byte, 1), 0u);
        const auto ms = MsSince(start);
        EXPECT_GE(ms, static_cast<long long>(kWriteBoundMs) - 100);
        EXPECT_LT(ms, 10'000);
    }
    EXPECT_TRUE(peer.Received().empty());
    {
        CSerialLink failed(std::make_unique<FakeModemLines>(0, ModemLines::State::Failed));
        OpenWith(failed);
        const std::uint8_t byte = 0x1B;
        EXPECT_EQ(failed.Write(&byte, 1), 0u);
    }
    EXPECT_TRUE(peer.Received().empty());
}

}  // namespace
}  // namespace tessaly::test
