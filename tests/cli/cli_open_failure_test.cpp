// tessaly-cli on ports that cannot be opened (exit status 3 with the device, the
// system's reason and the remedy), `scan`, and list values matched as a person
// types them.
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <fstream>
#include <thread>

#include "tests/cli/cli_fixture.h"

namespace tessaly::testing {
namespace {

// Open failures on real devices and files, with the status scripts can tell apart.
using CliOpenFailures = CliTest;

TEST_F(CliOpenFailures, PermissionDeniedNamesTheGroupToJoin) {
    VirtualDisplay display;
    ASSERT_EQ(chmod(display.DevicePath().c_str(), 0600), 0);
    chmod(StateDir().c_str(), 0777);
    CliProcess cli({"--port", display.DevicePath(), "check"}, StateDir(),
                   {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
    const CliResult result = cli.Finish();
    EXPECT_EQ(result.status, 3) << result.err;
    EXPECT_NE(result.err.find("Can't open port and Printer is disconnected\n" +
                              display.DevicePath() + ": Permission denied (EACCES)\n"),
              std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("group and log in again"), std::string::npos);
    EXPECT_TRUE(display.Received().empty());
}

TEST_F(CliOpenFailures, HeldPortAndRegularFileExitThree) {
    VirtualDisplay display;
    const pid_t holder = fork();
    if (holder == 0) {
        const int fd = open(display.DevicePath().c_str(), O_RDWR | O_NOCTTY);
        flock(fd, LOCK_EX);
        pause();
        _exit(0);
    }
    CliResult held;
    for (int i = 0; i < 50; ++i) {  // until the holder has its lock
        held = RunOn(display, {"check"});
        if (held.status == 3) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    EXPECT_EQ(held.status, 3);
    EXPECT_NE(held.err.find("held by another Tessaly"), std::string::npos) << held.err;
    EXPECT_NE(held.err.find("(pid " + std::to_string(holder) + ")"), std::string::npos);

    const std::string file = File("notes.sts");
    std::ofstream(file) << "not a port";
    const CliResult regular = Run({"--port", file, "get"});
    EXPECT_EQ(regular.status, 3);
    EXPECT_NE(regular.err.find("not a terminal"), std::string::npos) << regular.err;
}

using CliScan = CliTest;

// Two displays at different speeds and a silent port, probed side by side.
TEST_F(CliScan, FindsEachDisplayAtItsSpeedWithinTheBound) {
    VirtualDisplay slow;
    slow.SetLineSpeed(9600);
    VirtualDisplay fast;
    fast.SetLineSpeed(57600);
    VirtualDisplay silent;
    silent.SetFault(VirtualDisplay::Fault::Silent);
    const auto start = std::chrono::steady_clock::now();
    const CliResult result = Run({"scan", "--port", slow.DevicePath(), "--port", fast.DevicePath(),
                                  "--port", silent.DevicePath(), "--json"});
    const auto took = std::chrono::steady_clock::now() - start;
    ASSERT_EQ(result.status, 0) << result.err;
    const auto report = nlohmann::json::parse(result.out);
    ASSERT_EQ(report["answered"].size(), 2u);
    EXPECT_EQ(report["answered"][0]["port"], slow.DevicePath());
    EXPECT_EQ(report["answered"][0]["baud"], 9600);
    EXPECT_EQ(report["answered"][1]["port"], fast.DevicePath());
    EXPECT_EQ(report["answered"][1]["baud"], 57600);
    ASSERT_EQ(report["silent"].size(), 1u);
    EXPECT_EQ(report["silent"][0]["port"], silent.DevicePath());
    // Five speeds of at most about 1.65 s each, the ports side by side.
    EXPECT_LT(took, std::chrono::seconds(15));
}

TEST_F(CliScan, APortThatCannotOpenExitsThree) {
    const CliResult result = Run({"scan", "--port", File("gone"), "--baud", "9600"});
    EXPECT_EQ(result.status, 3);
    EXPECT_NE(result.err.find("No such file or directory"), std::string::npos) << result.err;
}

// Values as a person types them; what fits no item, or several, lists them all.
using CliTypedValues = CliTest;

TEST_F(CliTypedValues, CaseInsensitivePrefixesAndRightSpellingsChooseTheItem) {
    const CliResult byIndex =
        Run({"--emulation", "others", "set", "--code-table", "9", "--intl-set", "4", "--dry-run"});
    ASSERT_EQ(byIndex.status, 0) << byIndex.err;
    for (const std::vector<std::string>& typed :
         {std::vector<std::string>{"--emulation", "Others", "set", "--code-table", "latin 1",
                                   "--intl-set", "DENMARK I", "--dry-run"},
          std::vector<std::string>{"--emulation", "oth", "set", "--code-table",
                                   "wpc1252 (Lantin 1)", "--intl-set", "denmak", "--dry-run"},
          std::vector<std::string>{"--emulation", "others", "set", "--code-table", "wpc1252",
                                   "--intl-set", "Denmark I", "--dry-run"}}) {
        const CliResult result = Run(typed);
        EXPECT_EQ(result.status, 0) << typed[4] << ": " << result.err;
        EXPECT_EQ(result.out, byIndex.out) << typed[4];
    }
    const CliResult windowSpelling =
        Run({"--emulation", "ESC/POS", "--parity", "EVEN", "--port", File("gone"), "check"});
    EXPECT_EQ(windowSpelling.status, 3) << "parsed, then failed to open: " << windowSpelling.err;
}

TEST_F(CliTypedValues, AmbiguousOrUnknownValuesListEveryItemAndExitTwo) {
    const CliResult ambiguous =
        Run({"--emulation", "others", "set", "--code-table", "pc85", "--intl-set", "0"});
    EXPECT_EQ(ambiguous.status, 2);
    EXPECT_NE(ambiguous.err.find("\"pc85\" fits more than one of these:\n  0 \"PC437"),
              std::string::npos)
        << ambiguous.err;
    EXPECT_NE(ambiguous.err.find("  16 \"PC864(Arabic)\""), std::string::npos);

    const CliResult greek = Run({"set", "--code-table", "greek"});
    EXPECT_EQ(greek.status, 2) << "two items are Greek";

    const CliResult emulation = Run({"--emulation", "star", "check"});
    EXPECT_EQ(emulation.status, 2);
    EXPECT_NE(emulation.err.find("0 \"ESC/POS\"\n  1 \"QUELMAR\"\n  2 \"Others\""),
              std::string::npos)
        << emulation.err;
}

}  // namespace
}  // namespace tessaly::testing
