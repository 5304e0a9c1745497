// The wait for 0x57 on a virtual clock and a scripted link, so that each of
// its two bounds (about a second, 256 other bytes) is seen exactly.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <vector>

#include "transactions/sync_wait.h"

namespace tessaly::testing {
namespace {

using namespace std::chrono_literals;
using Ms = std::chrono::milliseconds;

class VirtualClock : public SyncWaitClock {
public:
    TimePoint Now() override { return m_now; }
    void Rest(Ms pause) override {
        ++rests;
        m_now += pause;
    }
    void Advance(Ms by) { m_now += by; }
    Ms Elapsed() const { return std::chrono::duration_cast<Ms>(m_now - TimePoint{}); }

    int rests = 0;

private:
    TimePoint m_now{};
};

// Each read takes the next entry of the script (nullopt: nothing arrived) and
// costs `readCost` on the clock; past the script nothing arrives.
class ScriptedLink : public CSerialLink {
public:
    ScriptedLink(VirtualClock& clock, Ms readCost) : m_clock(clock), m_readCost(readCost) {}

    unsigned Read(std::uint8_t* buffer, unsigned length, unsigned) override {
        ++reads;
        m_clock.Advance(m_readCost);
        if (length == 0 || m_next >= script.size() || !script[m_next]) {
            ++m_next;
            return 0;
        }
        buffer[0] = *script[m_next++];
        return 1;
    }
    LineState Line() override { return line; }

    std::vector<std::optional<Byte>> script;
    LineState line = LineState::Sound;
    int reads = 0;

private:
    VirtualClock& m_clock;
    Ms m_readCost;
    std::size_t m_next = 0;
};

std::vector<std::optional<Byte>> Noise(std::size_t count) {
    return std::vector<std::optional<Byte>>(count, Byte{0x23});
}

std::vector<std::optional<Byte>> Nothing(std::size_t count) {
    return std::vector<std::optional<Byte>>(count, std::nullopt);
}

bool Await(ScriptedLink& link, VirtualClock& clock, std::size_t skipped = 0) {
    ReceiveBuffer buffer{};
    return AwaitSyncByte(link, buffer, clock, clock.Now(), skipped);
}

// On a clock that never moves only the byte bound can end the wait.
TEST(SyncWaitBytes, TakesTwoHundredFiftyFiveOtherBytesButNotTwoHundredFiftySix) {
    {
        VirtualClock clock;
        ScriptedLink link(clock, 0ms);
        link.script = Noise(255);
        link.script.push_back(kSyncByte);
        EXPECT_TRUE(Await(link, clock));
        EXPECT_EQ(link.reads, 256);
    }
    {
        VirtualClock clock;
        ScriptedLink link(clock, 0ms);
        link.script = Noise(256);
        link.script.push_back(kSyncByte);
        EXPECT_FALSE(Await(link, clock));
        EXPECT_EQ(link.reads, 256) << "no byte is read past the bound";
    }
    {
        // A query's first reply byte, read before the wait, counts against the bound.
        VirtualClock clock;
        ScriptedLink link(clock, 0ms);
        link.script = Noise(255);
        link.script.push_back(kSyncByte);
        EXPECT_FALSE(Await(link, clock, 1));
        EXPECT_EQ(link.reads, 255);
    }
}

TEST(SyncWaitTime, EndsOnTheSecondAndNotBefore) {
    {
        // Reads that each wait 10 ms for a byte that never comes.
        VirtualClock clock;
        ScriptedLink link(clock, 10ms);
        EXPECT_FALSE(Await(link, clock));
        EXPECT_EQ(clock.Elapsed(), 1000ms);
        EXPECT_EQ(link.reads, 100);
    }
    {
        // 0x57 in the last read that starts inside the second.
        VirtualClock clock;
        ScriptedLink link(clock, 10ms);
        link.script = Nothing(99);
        link.script.push_back(kSyncByte);
        EXPECT_TRUE(Await(link, clock));
        EXPECT_EQ(clock.Elapsed(), 1000ms);
    }
    {
        // Reads that return at once with nothing rest in between instead of spinning.
        VirtualClock clock;
        ScriptedLink link(clock, 0ms);
        EXPECT_FALSE(Await(link, clock));
        EXPECT_EQ(clock.Elapsed(), 1000ms);
        EXPECT_EQ(clock.rests, 200);
        EXPECT_EQ(link.reads, 200);
    }
}

TEST(SyncWaitLine, AHungUpOrFailedLineEndsTheWaitAtOnce) {
    for (const LineState state : {LineState::HungUp, LineState::Failed}) {
        VirtualClock clock;
        ScriptedLink link(clock, 0ms);
        link.line = state;
        EXPECT_FALSE(Await(link, clock));
        EXPECT_EQ(link.reads, 1);
        EXPECT_EQ(clock.Elapsed(), 0ms);
    }
}

TEST(SyncWaitLine, ASyncByteAlreadyInTheBufferEndsTheWaitWithoutReading) {
    VirtualClock clock;
    ScriptedLink link(clock, 0ms);
    ReceiveBuffer buffer{};
    buffer[0] = kSyncByte;
    EXPECT_TRUE(AwaitSyncByte(link, buffer, clock, clock.Now()));
    EXPECT_EQ(link.reads, 0);
}

}  // namespace
}  // namespace tessaly::testing
