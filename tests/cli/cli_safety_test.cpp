// Runs that must not report what did not happen: a send the display may never
// have read, a check that left the display in user setting mode, a name that
// reaches the terminal raw, a scan that goes on after a signal.
#include <signal.h>

#include <gtest/gtest.h>

#include <chrono>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "tests/cli/cli_fixture.h"

namespace tessaly::testing {
namespace {

using Fault = VirtualDisplay::Fault;
using CliSafety = CliTest;

// A command whose last send no answer follows, and how many bytes precede that send.
struct SendKind {
    const char* name;
    std::vector<std::string> args;
    std::size_t before;
};

TEST_F(CliSafety, ADisplayThatHangsUpAtAnyByteOfASendIsNeverASuccess) {
    const SendKind kinds[] = {
        {"quelmar set",
         {"--emulation", "quelmar", "set", "--code-table", "0", "--intl-set", "0"},
         0},
        {"others show-info", {"--emulation", "others", "show-info"}, 0},
        {"self test", {"self-test"}, kCheckBytes},
        {"check", {"check"}, kCheckBytes - 9},  // its closing command
    };
    for (const SendKind& kind : kinds) {
        std::size_t total = 0;
        {
            VirtualDisplay whole;
            ASSERT_EQ(RunOn(whole, kind.args).status, 0) << kind.name;
            total = whole.Received().size();
        }
        for (std::size_t n = kind.before + 1; n <= total; ++n) {
            VirtualDisplay display;
            display.SetFault(Fault::HangUp);
            display.SetHangUpAfterBytes(n);
            const CliResult result = RunOn(display, kind.args);
            EXPECT_NE(result.status, 0) << kind.name << " cut at byte " << n;
            EXPECT_EQ(result.out, "") << kind.name << " cut at byte " << n;
        }
    }
}

TEST_F(CliSafety, AFailedCheckLeavesTheDisplayOutOfUserSettingMode) {
    for (const Fault fault :
         {Fault::WrongIdentity, Fault::Silent, Fault::CutAfterSync, Fault::EndlessNoise}) {
        VirtualDisplay display;
        display.SetFault(fault);
        EXPECT_EQ(RunOn(display, {"check"}).status, 1) << static_cast<int>(fault);
        EXPECT_FALSE(display.InUserSettingMode()) << static_cast<int>(fault);
    }
}

// Control characters in a port path or a refused value are shown as escapes, and
// a path that is not UTF-8 still gives JSON.
TEST_F(CliSafety, NamesAndValuesReachTheTerminalEscaped) {
    const std::string hostile = File("tty\x1b[31mX\xff");
    const std::vector<std::vector<std::string>> runs = {
        {"--port", hostile, "check"},
        {"scan", "--port", hostile},
        {"--port", hostile, "set", "--brightness", "\x1b[31mX"},
    };
    for (const auto& args : runs) {
        const CliResult result = Run(args);
        EXPECT_NE(result.status, 0) << args[1];
        EXPECT_EQ(result.err.find('\x1b'), std::string::npos) << result.err;
        EXPECT_NE(result.err.find("\\x1B"), std::string::npos) << result.err;
    }
    const CliResult json = Run({"scan", "--json", "--port", hostile});
    EXPECT_EQ(json.status, 3) << json.err;
    EXPECT_TRUE(nlohmann::json::accept(json.out)) << json.out;
}

TEST_F(CliSafety, ASignalDuringAScanEndsItBetweenTwoProbes) {
    VirtualDisplay display;
    display.SetFault(Fault::Silent);
    CliProcess scan({"scan", "--port", display.DevicePath()}, StateDir());  // five speeds
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    kill(scan.Pid(), SIGTERM);
    const CliResult result = scan.Finish();
    EXPECT_EQ(result.status, 128 + SIGTERM);
    EXPECT_EQ(result.out, "");
    // A probe of a silent display sends what a check sends: fewer than five ran.
    EXPECT_LT(display.Received().size(), 5 * kCheckBytes);
    EXPECT_FALSE(display.InUserSettingMode());
}

// A write past the file-size limit is a failed write with its reason, not a
// signal that ends the run where it stands.
TEST_F(CliSafety, AFileSizeLimitFailsASaveWithItsReason) {
    VirtualDisplay display;
    CliProcess save({"--port", display.DevicePath(), "save", File("s.sts")}, StateDir(),
                    {"prlimit", "--fsize=80"});
    const CliResult result = save.Finish();
    EXPECT_NE(result.status, 0);
    EXPECT_NE(result.status, 128 + SIGXFSZ);
    EXPECT_NE(result.err.find("File too large"), std::string::npos) << result.err;
    EXPECT_FALSE(display.InUserSettingMode());
}

}  // namespace
}  // namespace tessaly::testing
