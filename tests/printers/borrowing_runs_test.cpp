// Several runs against one real scheduler, as real processes: a run that holds
// a port while others start and end, a run killed outright, a scheduler that
// is away at teardown, an administrator's change, and a journal folder with
// things in it that are no journal. Needs the test command's private CUPS
// scheduler, and a display for the window.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "printers/spooler.h"
#include "tests/cli/cli_process.h"
#include "tests/support/shell_command.h"
#include "tests/support/temp_dir.h"
#include "tools/virtual_display.h"

namespace tessaly {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// lpstat shows a file: URI as its bare path.
const std::string kDummyShown = "/dev/null";

// "printer NAME disabled since ... -\n\tREASON" while paused.
bool Paused(const std::string& printer) {
    return Output("lpstat -p " + printer).find("disabled") != std::string::npos;
}

std::string PauseReason(const std::string& printer) {
    const std::string text = Output("lpstat -p " + printer);
    const auto tab = text.find('\t');
    return tab == std::string::npos ? "" : text.substr(tab + 1, text.find('\n', tab) - tab - 1);
}

class BorrowingRuns : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::getenv("TESSALY_TEST_CUPS") == nullptr || !Shell("lpstat -o")) {
            GTEST_SKIP() << "no private CUPS scheduler (the test command provides one)";
        }
        fs::create_directories(m_state);
    }
    void TearDown() override {
        for (const std::string& name : m_created) {
            Shell("lpadmin -x " + name);
        }
    }

    std::string AddPrinter(const std::string& uri) {
        std::string name =
            "tessaly_runs_" + std::to_string(getpid()) + "_" + std::to_string(m_created.size() + 1);
        EXPECT_TRUE(Shell("lpadmin -p " + name + " -v '" + uri + "' -E")) << uri;
        m_created.push_back(name);
        return name;
    }

    // The run that borrows `device`'s printers and holds it until its input ends.
    std::unique_ptr<testing::ChildProcess> Holder(const std::string& device) {
        auto run = std::make_unique<testing::ChildProcess>(
            std::vector<std::string>{TESSALY_BORROWING_RUN, device}, Environment());
        const std::optional<std::string> line = run->Line(20s);
        EXPECT_TRUE(line && line->starts_with("holding")) << line.value_or("no answer");
        return run;
    }
    int Cli(const std::vector<std::string>& args) {
        const testing::CliResult result = testing::RunCli(args, m_state);
        m_lastErrors = result.err;
        return result.status;
    }
    // The window starts, gives back what is due, opens, and is asked to end.
    int Window() {
        testing::ChildProcess run({TESSALY_PROGRAM}, Environment());
        std::this_thread::sleep_for(1500ms);
        kill(run.Pid(), SIGTERM);
        const testing::ChildResult result = run.Finish(15s);
        m_lastErrors = result.err;
        return result.status;
    }
    testing::ChildProcess::Environment Environment() const { return {{"XDG_STATE_HOME", m_state}}; }
    std::vector<std::string> StateFiles() const {
        std::vector<std::string> names;
        if (fs::exists(m_state + "/tessaly")) {
            for (const auto& entry : fs::directory_iterator(m_state + "/tessaly")) {
                names.push_back(entry.path().filename());
            }
        }
        return names;
    }

    test::TempDir m_top;
    const std::string m_state = m_top / "state";
    std::vector<std::string> m_created;
    std::string m_lastErrors;
};

TEST_F(BorrowingRuns, ALiveRunKeepsItsPrintersWhileOthersStartAndEndAndAKilledOneGetsThemBack) {
    VirtualDisplay held;
    VirtualDisplay other;
    const std::string own = "serial:" + held.DevicePath() + "?baud=9600";
    const std::string receipt = AddPrinter(own);
    const std::string neighbour = AddPrinter("serial:" + other.DevicePath());

    std::unique_ptr<testing::ChildProcess> a = Holder(held.DevicePath());
    ASSERT_EQ(kDummyShown, DeviceOf(receipt));
    ASSERT_TRUE(Paused(receipt));

    const bool window = std::getenv("DISPLAY") != nullptr;
    if (window) {
        EXPECT_EQ(128 + SIGTERM, Window());
        EXPECT_EQ(kDummyShown, DeviceOf(receipt)) << "after the window";
        EXPECT_TRUE(Paused(receipt)) << "after the window";
    }
    Cli({"--port", held.DevicePath(), "check"});  // refused: A holds the port
    EXPECT_EQ(kDummyShown, DeviceOf(receipt)) << "after a run on the same port";
    EXPECT_TRUE(Paused(receipt)) << "after a run on the same port";
    EXPECT_EQ(0, Cli({"--port", other.DevicePath(), "check"})) << m_lastErrors;
    EXPECT_EQ(kDummyShown, DeviceOf(receipt)) << "after a run on another port";
    EXPECT_TRUE(Paused(receipt)) << "after a run on another port";
    EXPECT_EQ("serial:" + other.DevicePath(), DeviceOf(neighbour));
    EXPECT_FALSE(Paused(neighbour));

    kill(a->Pid(), SIGKILL);
    EXPECT_EQ(128 + SIGKILL, a->Finish().status);
    EXPECT_EQ(kDummyShown, DeviceOf(receipt));
    EXPECT_EQ(0, Cli({"--port", other.DevicePath(), "check"})) << m_lastErrors;
    EXPECT_EQ(own, DeviceOf(receipt));
    EXPECT_FALSE(Paused(receipt));
    EXPECT_TRUE(StateFiles().empty()) << StateFiles().front();
}

// Two runs started together on one port with a printer on it: the run that has
// the port keeps the printer borrowed while it reads the display, and the other
// one touches nothing.
TEST_F(BorrowingRuns, OfTwoRunsStartedTogetherOnlyTheOneWithThePortTouchesItsPrinter) {
    VirtualDisplay display;
    const std::string own = "serial:" + display.DevicePath();
    const std::string receipt = AddPrinter(own);
    for (int trial = 0; trial < 20; ++trial) {
        testing::CliProcess first({"--port", display.DevicePath(), "get"}, m_state);
        testing::CliProcess second({"--port", display.DevicePath(), "get"}, m_state);
        std::this_thread::sleep_for(1500ms);  // a get reads the display for about 2.5 s
        EXPECT_EQ(kDummyShown, DeviceOf(receipt)) << "trial " << trial;
        EXPECT_TRUE(Paused(receipt)) << "trial " << trial;
        const int won = (first.Finish().status == 0) + (second.Finish().status == 0);
        EXPECT_EQ(1, won) << "trial " << trial;
        EXPECT_EQ(own, DeviceOf(receipt)) << "trial " << trial;
        EXPECT_FALSE(Paused(receipt)) << "trial " << trial;
    }
}

TEST_F(BorrowingRuns, RecoveryLeavesAnAdministratorsChangeAlone) {
    VirtualDisplay held;
    const std::string repointed = AddPrinter("serial:" + held.DevicePath());
    const std::string repaused = AddPrinter("serial:" + held.DevicePath() + "?baud=19200");
    std::unique_ptr<testing::ChildProcess> a = Holder(held.DevicePath());
    ASSERT_EQ(kDummyShown, DeviceOf(repointed));
    kill(a->Pid(), SIGKILL);
    a->Finish().status;

    ASSERT_TRUE(Shell("lpadmin -p " + repointed + " -v serial:/dev/ttyS9"));
    ASSERT_TRUE(Shell("cupsdisable -r 'Out of paper' " + repaused));
    Window();
    Cli({"--port", "/dev/ttyS8", "check"});

    EXPECT_EQ("serial:/dev/ttyS9", DeviceOf(repointed));
    EXPECT_EQ("serial:" + held.DevicePath() + "?baud=19200", DeviceOf(repaused));
    EXPECT_TRUE(Paused(repaused));
    EXPECT_EQ("Out of paper", PauseReason(repaused));
    EXPECT_TRUE(StateFiles().empty()) << StateFiles().front();
}

TEST_F(BorrowingRuns, AFifoWhereTheJournalWasHangsNeitherTheCommandLineNorTheWindow) {
    VirtualDisplay display;
    const std::string dir = m_state + "/tessaly";
    fs::create_directories(dir);
    ASSERT_EQ(0, mkfifo((dir + "/printers.journal").c_str(), 0600));

    EXPECT_EQ(0, Cli({"--port", display.DevicePath(), "check"})) << m_lastErrors;
    EXPECT_TRUE(fs::is_fifo(dir + "/printers.journal.aside-1"));
    EXPECT_EQ(1, std::count(m_lastErrors.begin(), m_lastErrors.end(), '\n')) << m_lastErrors;

    if (std::getenv("DISPLAY") != nullptr) {
        ASSERT_EQ(0, mkfifo((dir + "/printers.journal").c_str(), 0600));
        EXPECT_EQ(128 + SIGTERM, Window()) << "the window opens and ends";
        EXPECT_TRUE(fs::is_fifo(dir + "/printers.journal.aside-2"));
    }
}

// A scheduler of this test's own, so that stopping it disturbs no other test.
class BorrowingRunsOwnScheduler : public BorrowingRuns {
protected:
    void SetUp() override {
        if (geteuid() != 0) {
            GTEST_SKIP() << "a private scheduler needs root";
        }
        const char* shared = std::getenv("CUPS_SERVER");
        m_shared = shared != nullptr ? shared : "";
        // The scheduler's helpers run as another user and must reach its folder.
        fs::permissions(m_top.Path(), fs::perms::owner_all | fs::perms::group_read |
                                          fs::perms::group_exec | fs::perms::others_read |
                                          fs::perms::others_exec);
        ASSERT_TRUE(Scheduler("start"));
        setenv("CUPS_SERVER", (m_cups + "/cups.sock").c_str(), 1);
        fs::create_directories(m_state);
    }
    void TearDown() override {
        Scheduler("stop");
        setenv("CUPS_SERVER", m_shared.c_str(), 1);
    }
    bool Scheduler(const std::string& action) {
        return Shell(std::string(TESSALY_PRIVATE_CUPSD) + " " + action + " '" + m_cups + "'");
    }

    std::string m_shared;
    const std::string m_cups = m_top / "cups";
};

TEST_F(BorrowingRunsOwnScheduler, ASchedulerAwayAtTeardownLeavesTheJournalForTheNextStart) {
    VirtualDisplay held;
    const std::string own = "serial:" + held.DevicePath();
    const std::string receipt = AddPrinter(own);
    std::unique_ptr<testing::ChildProcess> a = Holder(held.DevicePath());
    ASSERT_EQ(kDummyShown, DeviceOf(receipt));

    ASSERT_TRUE(Scheduler("stop"));
    a->CloseInput();
    EXPECT_EQ(0, a->Finish().status);
    EXPECT_FALSE(StateFiles().empty()) << "the journal waits for the scheduler";

    ASSERT_TRUE(Scheduler("start"));
    ASSERT_EQ(kDummyShown, DeviceOf(receipt));
    EXPECT_EQ(0, Cli({"--port", held.DevicePath(), "check"})) << m_lastErrors;
    EXPECT_EQ(own, DeviceOf(receipt));
    EXPECT_FALSE(Paused(receipt));
    EXPECT_TRUE(StateFiles().empty()) << StateFiles().front();
}

}  // namespace
}  // namespace tessaly
