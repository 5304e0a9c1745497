#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <thread>

#include "signals/termination_signals.h"

namespace tessaly {
namespace {

bool WaitFor(const std::atomic<int>& value) {
    for (int i = 0; i < 200 && value.load() == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return value.load() != 0;
}

// The events come from the console this test shares with its own process group,
// as they do when the operator presses the keys. Run with its output in a pipe,
// the test has no console until it makes one. Wine's consoles send no events
// (error 12); there a Ctrl-C arrives as SIGINT, which the command line's own
// tests send.
TEST(TerminationSignals, HandsEachConsoleEventToTheProgramInsteadOfEndingIt) {
    AttachConsole(ATTACH_PARENT_PROCESS) || AllocConsole();
    const struct {
        DWORD event;
        int signal;
    } cases[] = {{CTRL_C_EVENT, SIGINT}, {CTRL_BREAK_EVENT, SIGBREAK}};
    for (const auto& c : cases) {
        std::atomic<int> seen{0};
        TerminationSignals signals([&](int s) { seen = s; });
        if (!GenerateConsoleCtrlEvent(c.event, 0)) {
            GTEST_SKIP() << "this console sends no control events: error " << GetLastError();
        }
        ASSERT_TRUE(WaitFor(seen)) << "event " << c.event;
        EXPECT_EQ(seen.load(), c.signal);
        EXPECT_EQ(signals.Received(), c.signal);
    }
}

}  // namespace
}  // namespace tessaly
