// How tessaly-cli ends when the display, the device or the caller lets it down:
// the exit status, the windows' sentence on standard error, and nothing changed.
#include <signal.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "tests/cli/cli_fixture.h"

namespace tessaly::testing {
namespace {

using Fault = VirtualDisplay::Fault;

// Bytes the connection check and a read of the five switches put on the line.
constexpr std::size_t kCheckBytes = 2 + 2 + 3 + 8 + 9;
constexpr std::size_t kReadBytes = 3 + 5 * 7;

using CliDisplayFailures = CliTest;

TEST_F(CliDisplayFailures, SilentDisplayFailsEveryCommandWithTheChecksSentence) {
    VirtualDisplay display;
    display.SetFault(Fault::Silent);
    for (const char* command : {"check", "get", "self-test"}) {
        const CliResult result = RunOn(display, {command});
        EXPECT_EQ(result.status, 1) << command;
        EXPECT_EQ(result.err,
                  "The display did not answer. Check the cable and the line settings.\n")
            << command;
        EXPECT_EQ(result.out, "") << command;
    }
}

TEST_F(CliDisplayFailures, WrongIdentityIsRefused) {
    VirtualDisplay display;
    display.SetFault(Fault::WrongIdentity);
    const CliResult result = RunOn(display, {"set", "--brightness", "60%"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "This printer don't match our company name.\n");
    EXPECT_EQ(display.SwitchDigits(12), DigitsOf(0));
}

TEST_F(CliDisplayFailures, MissingDeviceCannotBeOpened) {
    const CliResult result = Run({"--port", File("no-such-tty"), "check"});
    EXPECT_EQ(result.status, 3);
    EXPECT_EQ(result.err.rfind("Can't open port and Printer is disconnected\n" +
                                   File("no-such-tty") + ": No such file or directory",
                               0),
              0u)
        << result.err;
}

TEST_F(CliDisplayFailures, DisplayThatStopsDuringTheReadChangesNothing) {
    VirtualDisplay display;
    display.SetFault(Fault::HangUp);
    display.SetHangUpAfterBytes(kCheckBytes + 3 + 7);  // the first query goes unanswered
    const CliResult result = RunOn(display, {"get"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "The display did not answer. Nothing was changed.\n");
    EXPECT_EQ(result.out, "");
}

TEST_F(CliDisplayFailures, DisplayThatStopsBeforeTheWritesGetsNone) {
    VirtualDisplay display;
    Preset(display);
    const auto before = AllDigits(display);
    display.SetFault(Fault::HangUp);
    display.SetHangUpAfterBytes(kCheckBytes + kReadBytes + 2 + 3 + 8);  // entering goes unanswered
    const CliResult result = RunOn(display, {"set", "--brightness", "20%"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "The display did not answer. Nothing was written.\n");
    EXPECT_EQ(AllDigits(display), before);
}

// A script's mistakes are told apart from the display's (status 2) and are
// caught before anything reaches the line.
using CliUsageFailures = CliTest;

TEST_F(CliUsageFailures, BadOptionsSendNothing) {
    VirtualDisplay display;
    const std::vector<std::vector<std::string>> mistakes{
        {"set", "--brightness", "45%"},
        {"set", "--code-table", "17"},
        {"set"},
        {"--parity", "mark", "check"},
        {"--baud", "4800", "check"},
        {"frobnicate"},
        {"--emulation", "quelmar", "get"},
        {"--emulation", "others", "set", "--code-table", "1"},
        {"--emulation", "others", "set", "--code-table", "1", "--intl-set", "0", "--cursor", "0"},
        {"show-info"},
    };
    for (const auto& args : mistakes) {
        const CliResult result = RunOn(display, args);
        EXPECT_EQ(result.status, 2) << args.front() << ' ' << args.back();
        EXPECT_NE(result.err, "") << args.front() << ' ' << args.back();
    }
    EXPECT_TRUE(display.Received().empty());
}

TEST_F(CliUsageFailures, BadStatusFilesLoadNothing) {
    VirtualDisplay display;
    Preset(display);
    const std::string wrongName = File("status.STS");
    std::ofstream(wrongName) << "anything";

    const CliResult refused = RunOn(display, {"load", wrongName});
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.err, "Wrong format files loaded.\n");

    const CliResult missing = RunOn(display, {"load", File("gone.sts")});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("gone.sts"), std::string::npos);

    EXPECT_EQ(Run({"show", wrongName}).status, 2);
    EXPECT_TRUE(display.Received().empty());

    const CliResult unsaved = RunOn(display, {"save", File("no-such-dir/till.sts")});
    EXPECT_EQ(unsaved.status, 2);
    EXPECT_NE(unsaved.err.find("till.sts"), std::string::npos);
}

// A terminated run ends at once with 128 + the signal, through the watcher.
TEST(CliSignals, TerminationEndsTheRunWithTheSignalsStatus) {
    test::TempDir state;
    VirtualDisplay display;
    CliProcess cli({"--port", display.DevicePath(), "set", "--brightness", "40%"}, state.Path());
    // Received() waits until the bytes written so far have been taken in.
    for (int i = 0; i < 50 && display.Received().empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ASSERT_EQ(kill(cli.Pid(), SIGTERM), 0);
    EXPECT_EQ(cli.Finish().status, 128 + SIGTERM);
}

}  // namespace
}  // namespace tessaly::testing
