// The tessaly program as a whole: what happens before its main window opens and
// when it is asked to end by a signal. Needs a display and the test command's
// private CUPS scheduler.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "printers/printer_journal.h"
#include "printers/spooler.h"
#include "tests/support/shell_command.h"

namespace tessaly {
namespace {

bool SchedulerReachable() {
    return std::getenv("TESSALY_TEST_CUPS") != nullptr &&
           std::system("lpstat -o >/dev/null 2>&1") == 0;
}

// Waits for the child to end, for at most `bound`; -1 when it did not.
int WaitForExit(pid_t child, std::chrono::milliseconds bound) {
    const auto deadline = std::chrono::steady_clock::now() + bound;
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) {
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    return -1;
}

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr) {
            GTEST_SKIP() << "no display";
        }
        if (!SchedulerReachable()) {
            GTEST_SKIP() << "no private CUPS scheduler (the test command provides one)";
        }
        m_state = std::filesystem::temp_directory_path() /
                  ("tessaly-program-test-" + std::to_string(getpid()));
        std::filesystem::create_directories(m_state);
    }
    void TearDown() override {
        std::system(("lpadmin -x " + m_printer + " >/dev/null 2>&1").c_str());
        std::filesystem::remove_all(m_state);
    }

    // Starts tessaly with its own state folder; the child's pid.
    pid_t Start() {
        const pid_t child = fork();
        if (child == 0) {
            setenv("XDG_STATE_HOME", m_state.c_str(), 1);
            execl(TESSALY_PROGRAM, TESSALY_PROGRAM, static_cast<char*>(nullptr));
            _exit(127);
        }
        return child;
    }

    std::filesystem::path m_state;
    const std::string m_printer = "tessaly_program_test_" + std::to_string(getpid());
};

TEST_F(ProgramTest, GivesBackWhatACrashedRunLeftThenEndsOnSigtermThroughTheTeardown) {
    // The state a run killed while holding the port leaves behind: the printer
    // on the dummy port, paused, and the journal that remembers its own device.
    const std::string own = "serial:/dev/ttyS7?baud=9600";
    ASSERT_EQ(std::system(("lpadmin -p " + m_printer + " -v '" + std::string(kDummyPort) +
                           "' -E >/dev/null 2>&1")
                              .c_str()),
              0);
    std::system(
        ("cupsdisable -r \"" + std::string(kPauseReason) + "\" " + m_printer + " >/dev/null 2>&1")
            .c_str());
    PrinterJournal journal((m_state / "tessaly" / "printers.journal").string());
    ASSERT_TRUE(journal.Add(m_printer, BorrowedPrinter{own, true}));

    const pid_t child = Start();
    ASSERT_GT(child, 0);
    // The journal is worked off before the main window opens.
    for (int i = 0; i < 200 && DeviceOf(m_printer) != own; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    EXPECT_EQ(DeviceOf(m_printer), own);
    EXPECT_EQ(Output("lpstat -p " + m_printer).find("disabled"), std::string::npos)
        << "the printer prints again";
    EXPECT_TRUE(journal.Load().empty());

    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // let the window open
    kill(child, SIGTERM);
    EXPECT_EQ(WaitForExit(child, std::chrono::seconds(10)), 128 + SIGTERM);
}

}  // namespace
}  // namespace tessaly
