// tessaly-cli ended by a termination signal in the middle of a transaction: it
// must end as a normal end does. The display leaves user setting mode, the port
// is free for the next run of an operator without privileges, and borrowed
// printers get their device back.
#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "tests/cli/cli_fixture.h"
#include "tests/support/shell_command.h"

namespace tessaly::testing {
namespace {

// Bytes on the line once `set` has written the five switches.
constexpr std::size_t kAllWrittenBytes = kEnteredBytes + 5 * 15 + 9;

// Waits (at most 20 s) until the display has taken `count` bytes.
bool AwaitReceived(const VirtualDisplay& display, std::size_t count) {
    for (int i = 0; i < 2000; ++i) {
        if (display.Received().size() >= count) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// Whether an operator without privileges can open the device now. The exclusive
// mark refuses everyone but root, so a root test opens it as nobody.
bool OpensForAnOperator(const std::string& device) {
    if (geteuid() == 0 && chmod(device.c_str(), 0666) != 0) {
        return false;
    }
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0) {
            const uid_t nobody = 65534;
            if (setgroups(0, nullptr) != 0 || setresgid(nobody, nobody, nobody) != 0 ||
                setresuid(nobody, nobody, nobody) != 0) {
                _exit(2);
            }
        }
        _exit(open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK) >= 0 ? 0 : 1);
    }
    int status = -1;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

using CliSignalPath = CliTest;

TEST_F(CliSignalPath, ASignalInUserSettingModeLeavesItAndFreesThePort) {
    for (const int signal : {SIGTERM, SIGINT}) {
        VirtualDisplay display;
        Preset(display);
        ASSERT_TRUE(OpensForAnOperator(display.DevicePath()));
        CliProcess cli({"--port", display.DevicePath(), "set", "--brightness", "20%"}, StateDir());
        // The run now waits for the answer to CMD_ENTER_USER_SETTING.
        ASSERT_TRUE(AwaitReceived(display, kEnteredBytes));
        ASSERT_EQ(kill(cli.Pid(), signal), 0);
        const CliResult result = cli.Finish();
        EXPECT_EQ(result.status, 128 + signal);
        EXPECT_FALSE(display.InUserSettingMode());
        EXPECT_EQ(result.err,
                  "Stopped before the end. The display's settings may be incomplete.\n");
        EXPECT_TRUE(OpensForAnOperator(display.DevicePath())) << "the exclusive mark is cleared";
    }
}

TEST_F(CliSignalPath, ASignalInTheSettlingWaitsEndsThemAndFreesThePort) {
    VirtualDisplay display;
    CliProcess cli({"--port", display.DevicePath(), "set", "--brightness", "40%"}, StateDir());
    ASSERT_TRUE(AwaitReceived(display, kAllWrittenBytes));
    const auto signalled = std::chrono::steady_clock::now();
    ASSERT_EQ(kill(cli.Pid(), SIGTERM), 0);
    const CliResult result = cli.Finish();
    EXPECT_EQ(result.status, 128 + SIGTERM);
    EXPECT_LT(std::chrono::steady_clock::now() - signalled, std::chrono::seconds(10));
    EXPECT_FALSE(display.InUserSettingMode());
    EXPECT_EQ(display.Received().size(), kAllWrittenBytes) << "nothing more was sent";
    EXPECT_TRUE(OpensForAnOperator(display.DevicePath()));
}

TEST_F(CliSignalPath, ASignalGivesTheBorrowedPrintersBack) {
    if (std::getenv("TESSALY_TEST_CUPS") == nullptr) {
        GTEST_SKIP() << "no private CUPS scheduler (the test command provides one)";
    }
    VirtualDisplay display;
    const std::string printer = "tessaly_cli_signal_" + std::to_string(getpid());
    const std::string own = "serial:" + display.DevicePath() + "?baud=115200";
    ASSERT_TRUE(Shell("lpadmin -p " + printer + " -v '" + own + "' -E"));
    CliProcess cli({"--port", display.DevicePath(), "set", "--brightness", "40%"}, StateDir());
    ASSERT_TRUE(AwaitReceived(display, kEnteredBytes));
    EXPECT_NE(DeviceOf(printer), own) << "borrowed while the run holds the port";
    ASSERT_EQ(kill(cli.Pid(), SIGTERM), 0);
    EXPECT_EQ(cli.Finish().status, 128 + SIGTERM);
    EXPECT_EQ(DeviceOf(printer), own);
    Shell("lpadmin -x " + printer);
}

}  // namespace
}  // namespace tessaly::testing
