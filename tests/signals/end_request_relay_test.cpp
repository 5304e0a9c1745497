#include "signals/end_request_relay.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

namespace tessaly {
namespace {

TEST(EndRequestRelay, ARequestBeforeAttachIsPassedOnWhenSomethingAttaches) {
    EndRequestRelay relay;
    relay.Request();
    int received = 0;
    relay.Attach([&] { ++received; });
    EXPECT_EQ(received, 1);
    relay.Request();
    EXPECT_EQ(received, 2);
}

TEST(EndRequestRelay, NothingReachesAReceiverOnceDetached) {
    EndRequestRelay relay;
    int received = 0;
    relay.Attach([&] { ++received; });
    relay.Detach();
    relay.Request();
    EXPECT_EQ(received, 0);
    // Kept for whatever attaches next, not lost.
    int later = 0;
    relay.Attach([&] { ++later; });
    EXPECT_EQ(later, 1);
}

TEST(EndRequestRelay, AKeptRequestIsPassedOnOnlyOnce) {
    EndRequestRelay relay;
    relay.Request();
    int first = 0;
    int second = 0;
    relay.Attach([&] { ++first; });
    relay.Detach();
    relay.Attach([&] { ++second; });
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 0);
}

// The program's shape: a receiver that lives on the main thread's stack, torn
// down while the watcher keeps requesting from its own thread.
TEST(EndRequestRelay, AReceiverGoneAfterDetachIsNeverCalledFromAnotherThread) {
    EndRequestRelay relay;
    std::atomic<bool> stop{false};
    std::atomic<int> callsIntoDeadReceivers{0};
    std::thread watcher([&] {
        while (!stop) {
            relay.Request();
        }
    });
    for (int round = 0; round < 2000; ++round) {
        auto alive = std::make_unique<std::atomic<bool>>(true);
        relay.Attach([&, flag = alive.get()] {
            if (!flag->load()) {
                ++callsIntoDeadReceivers;
            }
        });
        relay.Detach();
        alive->store(false);
        alive.reset();
    }
    stop = true;
    watcher.join();
    EXPECT_EQ(callsIntoDeadReceivers.load(), 0);
}

}  // namespace
}  // namespace tessaly
