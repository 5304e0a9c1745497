#include "signals/stop_request.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>

namespace tessaly {
namespace {

using namespace std::chrono_literals;

TEST(StopRequest, KeepsTheFirstSignalAndWakesAWaitThatIsUnderWay) {
    StopRequest stop;
    EXPECT_FALSE(stop.Requested());
    std::thread requester([&] {
        std::this_thread::sleep_for(50ms);
        EXPECT_TRUE(stop.Request(SIGTERM));
    });
    const auto start = std::chrono::steady_clock::now();
    stop.Sleep(60s);
    // A generous bound: the wait ended on the request, not on its length.
    EXPECT_LT(std::chrono::steady_clock::now() - start, 30s);
    requester.join();
    EXPECT_FALSE(stop.Request(SIGINT));
    EXPECT_EQ(stop.Signal(), SIGTERM);
}

TEST(StopRequest, TheWatcherLearnsWhenTheRunHasEnded) {
    StopRequest stop;
    EXPECT_FALSE(stop.AwaitEnd(0ms));
    std::thread run([&] { stop.MarkEnded(); });
    EXPECT_TRUE(stop.AwaitEnd(60s));
    run.join();
    EXPECT_TRUE(stop.Ended());
}

}  // namespace
}  // namespace tessaly
