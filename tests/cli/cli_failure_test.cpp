// How tessaly-cli ends when the display, the device or the caller lets it down:
// the exit status, the windows' sentence on standard error, and nothing changed.
#include <signal.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "switches/status_file.h"
#include "tests/cli/cli_fixture.h"

namespace tessaly::testing {
namespace {

using Fault = VirtualDisplay::Fault;

using CliDisplayFailures = CliTest;

TEST_F(CliDisplayFailures, SilentDisplayFailsEveryCommandWithTheChecksSentence) {
    VirtualDisplay display;
    display.SetFault(Fault::Silent);
    for (const char* command : {"check", "get", "self-test"}) {
        const CliResult result = RunOn(display, {command});
        EXPECT_EQ(result.status, 1) << command;
        EXPECT_EQ(result.err.rfind(
                      "The display did not answer. Check the cable and the line settings.\n", 0),
                  0u)
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
    display.SetHangUpAfterBytes(kEnteredBytes);  // entering goes unanswered
    const CliResult result = RunOn(display, {"set", "--brightness", "20%"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "The display did not answer. Nothing was written.\n");
    EXPECT_EQ(AllDigits(display), before);
}

constexpr const char* kWriteFailed =
    "Writing to the display failed. Its settings may be incomplete.\n";
// Bytes of the switch write before switch 11 is complete: entering user setting
// mode, switch 10 and ten bytes of switch 11.
constexpr std::size_t kIntoSwitchEleven = 2 + 3 + 8 + 15 + 10;

// Every switch write leaves whole while the display is still reading the first,
// so only the line after them can tell that it went away.
TEST_F(CliDisplayFailures, ADisplayThatHangsUpInTheMiddleOfTheWritesIsAFailedWrite) {
    SwitchGrid grid;
    grid.Set(2, 1, 1);
    const std::string file = File("till.sts");
    ASSERT_TRUE(StatusFile::Save(file, grid).ok);
    {
        VirtualDisplay display;
        display.SetFault(Fault::HangUp);
        display.SetHangUpAfterBytes(kCheckBytes + kReadBytes + kIntoSwitchEleven);  // 100
        const CliResult result = RunOn(display, {"set", "--brightness", "40%"});
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, kWriteFailed);
        EXPECT_EQ(result.out, "");
    }
    {
        VirtualDisplay display;
        display.SetFault(Fault::HangUp);
        display.SetHangUpAfterBytes(kCheckBytes + kIntoSwitchEleven);
        const CliResult result = RunOn(display, {"load", file});
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, kWriteFailed);
        EXPECT_EQ(result.out, "");
    }
}

// The line stops taking bytes once the display has answered CMD_ENTER_USER_SETTING:
// the connection check still passes, the self test cannot go out.
TEST_F(CliDisplayFailures, ASelfTestThatDoesNotGoOutFails) {
    VirtualDisplay display;
    display.SetFault(Fault::Stall);
    display.SetHangUpAfterBytes(kCheckBytes);  // the check's closing command is the last to go out
    const CliResult result = RunOn(display, {"self-test"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "Writing to the display failed.\n");
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

TEST_F(CliUsageFailures, AMisspeltCommandIsAnsweredWithTheNearestOne) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--baud", "9600", "chek"}, "\"chek\" is no command. Did you mean \"check\"?"},
        {{"slef-test"}, "\"slef-test\" is no command. Did you mean \"self-test\"?"},
        {{"frobnicate"}, "\"frobnicate\" is no command.\n"},
    };
    for (const auto& [args, said] : cases) {
        const CliResult result = Run(args);
        EXPECT_EQ(result.status, 2) << args.back();
        EXPECT_NE(result.err.find(said), std::string::npos) << result.err;
    }
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

// The name is checked before a printer is borrowed or the port opened: nothing
// reaches the display, and nothing at the name is changed.
TEST_F(CliUsageFailures, SaveRefusesAnUnusableNameBeforeReadingTheDisplay) {
    VirtualDisplay display;
    ASSERT_EQ(::mkfifo(File("pipe.sts").c_str(), 0600), 0);
    // What /dev/stdout is when the output goes into a pipe, as it does here.
    std::filesystem::create_symlink("/proc/self/fd/1", File("stdout.sts"));
    std::filesystem::create_symlink("gone.sts", File("dangling.sts"));
    const std::vector<std::pair<std::string, std::string>> cases{
        {"", "The file name is empty"},
        {File("no-such-dir/till.sts"), "No such file or directory"},
        {File("pipe.sts"), "It is a named pipe, not a file"},
        {File("stdout.sts"), "It is a named pipe, not a file"},
        {File("dangling.sts"), "It is a symbolic link to a file that does not exist"},
    };
    for (const auto& [name, reason] : cases) {
        const CliResult result = RunOn(display, {"save", name});
        EXPECT_EQ(result.status, 2) << name;
        EXPECT_EQ(result.err, "tessaly-cli: Could not save \"" + name + "\": " + reason + "\n");
        EXPECT_EQ(result.out, "") << name;
    }
    EXPECT_TRUE(display.Received().empty());
    EXPECT_TRUE(std::filesystem::is_fifo(File("pipe.sts")));
    EXPECT_TRUE(std::filesystem::is_symlink(File("stdout.sts")));
    EXPECT_FALSE(std::filesystem::exists(File("gone.sts")));
}

TEST_F(CliUsageFailures, FileNamesAreShownWithControlCharactersEscaped) {
    const CliResult result = Run({"show", File("\x1B]0;owned\x07/a\nb.sts")});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, "Could not load \"" + File("\\x1B]0;owned\\x07/a\\nb.sts") +
                              "\": No such file or directory\n");
}

// A cut or foreign file would put zeros on the display; the windows take it, so
// the command line does too when told to.
TEST_F(CliUsageFailures, LoadRefusesAFileThatIsNot180BytesUnlessAllowed) {
    VirtualDisplay display;
    Preset(display);
    const auto before = AllDigits(display);
    const std::string file = File("odd.sts");
    for (const std::size_t size : {0, 100, 181}) {
        test::WriteRaw(file, std::vector<unsigned char>(size, 0));
        for (const char* dryRun : {"", "--dry-run"}) {
            std::vector<std::string> args{"load", file};
            if (*dryRun != '\0') {
                args.push_back(dryRun);
            }
            const CliResult result = RunOn(display, args);
            EXPECT_EQ(result.status, 2) << size << dryRun;
            EXPECT_EQ(result.err, "tessaly-cli: \"" + file + "\" holds " + std::to_string(size) +
                                      " bytes, not the 180 of a status file. The windows still "
                                      "load such a file (missing bytes count as 0, bytes past "
                                      "the 180th are ignored); --allow-short loads it here "
                                      "too.\n");
        }
    }
    EXPECT_TRUE(display.Received().empty());
    EXPECT_EQ(AllDigits(display), before);

    test::WriteRaw(file, {});
    const CliResult allowed = RunOn(display, {"load", "--allow-short", file});
    EXPECT_EQ(allowed.status, 0) << allowed.err;
    for (int n = 10; n <= 14; ++n) {
        EXPECT_EQ(display.SwitchDigits(n), DigitsOf(0)) << n;
    }
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
