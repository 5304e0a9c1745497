#include "signals/termination_signals.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <thread>

namespace tessaly {
namespace {

bool WaitFor(const std::atomic<int>& value) {
    for (int i = 0; i < 200 && value.load() == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return value.load() != 0;
}

TEST(TerminationSignals, HandsEachSignalToTheProgramInsteadOfEndingIt) {
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        std::atomic<int> seen{0};
        TerminationSignals signals([&](int s) { seen = s; });
        kill(getpid(), signal);
        ASSERT_TRUE(WaitFor(seen)) << "signal " << signal;
        EXPECT_EQ(seen.load(), signal);
        EXPECT_EQ(signals.Received(), signal);
    }
}

TEST(TerminationSignals, RestoresTheSignalMaskWhenDestroyed) {
    sigset_t before;
    pthread_sigmask(SIG_SETMASK, nullptr, &before);
    {
        TerminationSignals signals([](int) {});
    }
    sigset_t after;
    pthread_sigmask(SIG_SETMASK, nullptr, &after);
    EXPECT_EQ(sigismember(&after, SIGTERM), sigismember(&before, SIGTERM));
}

}  // namespace
}  // namespace tessaly
