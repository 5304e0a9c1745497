// Several runs against one real scheduler, as real processes: a run that holds
// a port while others start and end, a run killed outright, a scheduler that
// is away at teardown, an administrator's change, and a journal folder with
// things in it that are no journal. Needs the test command's private CUPS
// scheduler, and a display for the window.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "printers/spooler.h"
#include "tests/support/shell_command.h"
#include "tests/support/temp_dir.h"
#include "tools/virtual_display.h"

namespace tessaly {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// lpstat shows a file: URI as its bare path.
const std::string kDummyShown = "/dev/null";

std::string DeviceOf(const std::string& printer) {
    // "device for NAME: URI"
    const std::string line = Output("lpstat -v " + printer);
    const auto colon = line.find(": ");
    return colon == std::string::npos ? "" : line.substr(colon + 2, line.find('\n') - colon - 2);
}

// "printer NAME disabled since ... -\n\tREASON" while paused.
bool Paused(const std::string& printer) {
    return Output("lpstat -p " + printer).find("disabled") != std::string::npos;
}

std::string PauseReason(const std::string& printer) {
    const std::string text = Output("lpstat -p " + printer);
    const auto tab = text.find('\t');
    return tab == std::string::npos ? "" : text.substr(tab + 1, text.find('\n', tab) - tab - 1);
}

// A program run as a child: its standard input is a pipe the test can close,
// its output lines can be awaited, and nothing about it waits without a bound.
class ProgramRun {
public:
    ProgramRun(std::vector<std::string> argv, const std::string& stateDir) {
        int in[2];
        int out[2];
        if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) {
            return;
        }
        m_errPath = stateDir + "/../stderr-" + std::to_string(++s_count);
        m_pid = fork();
        if (m_pid == 0) {
            dup2(in[0], STDIN_FILENO);
            dup2(out[1], STDOUT_FILENO);
            const int err = open(m_errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            dup2(err, STDERR_FILENO);
            setenv("XDG_STATE_HOME", stateDir.c_str(), 1);
            std::vector<char*> pointers;
            for (auto& arg : argv) {
                pointers.push_back(arg.data());
            }
            pointers.push_back(nullptr);
            execv(pointers[0], pointers.data());
            _exit(127);
        }
        close(in[0]);
        close(out[1]);
        m_in = in[1];
        m_out = out[0];
        fcntl(m_out, F_SETFL, O_NONBLOCK);
    }
    ~ProgramRun() {
        CloseInput();
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        if (m_out >= 0) {
            close(m_out);
        }
    }
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    // The first line of output, or nothing when none came within `bound`.
    std::optional<std::string> Line(std::chrono::milliseconds bound = 20s) {
        const auto deadline = std::chrono::steady_clock::now() + bound;
        std::string text;
        while (std::chrono::steady_clock::now() < deadline) {
            char byte = 0;
            const ssize_t n = read(m_out, &byte, 1);
            if (n == 1 && byte == '\n') {
                return text;
            }
            if (n == 1) {
                text += byte;
            } else if (n == 0) {
                return std::nullopt;
            } else {
                std::this_thread::sleep_for(10ms);
            }
        }
        return std::nullopt;
    }
    void CloseInput() {
        if (m_in >= 0) {
            close(m_in);
            m_in = -1;
        }
    }
    void Signal(int signal) { kill(m_pid, signal); }
    // Exit status or 128 + signal; -1 after killing a child that outlived `bound`.
    int Wait(std::chrono::milliseconds bound = 30s) {
        const auto deadline = std::chrono::steady_clock::now() + bound;
        while (std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(20ms);
        }
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
        m_pid = -1;
        return -1;
    }
    std::string Errors() const {
        std::ifstream in(m_errPath);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

private:
    static inline int s_count = 0;
    pid_t m_pid = -1;
    int m_in = -1;
    int m_out = -1;
    std::string m_errPath;
};

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

    // The run that borrows `device`'s printers and holds it until told to end.
    std::unique_ptr<ProgramRun> Holder(const std::string& device) {
        auto run = std::make_unique<ProgramRun>(
            std::vector<std::string>{TESSALY_BORROWING_RUN, device}, m_state);
        const std::optional<std::string> line = run->Line();
        EXPECT_TRUE(line && line->starts_with("holding")) << line.value_or("no answer");
        return run;
    }
    int Cli(const std::vector<std::string>& args) {
        std::vector<std::string> argv{TESSALY_CLI_PROGRAM};
        argv.insert(argv.end(), args.begin(), args.end());
        ProgramRun run(argv, m_state);
        run.CloseInput();
        const int status = run.Wait();
        m_lastErrors = run.Errors();
        return status;
    }
    // The window starts, gives back what is due, opens, and is asked to end.
    int Window() {
        ProgramRun run({TESSALY_PROGRAM}, m_state);
        std::this_thread::sleep_for(1500ms);
        run.Signal(SIGTERM);
        const int status = run.Wait(15s);
        m_lastErrors = run.Errors();
        return status;
    }
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

    std::unique_ptr<ProgramRun> a = Holder(held.DevicePath());
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

    a->Signal(SIGKILL);
    EXPECT_EQ(128 + SIGKILL, a->Wait());
    EXPECT_EQ(kDummyShown, DeviceOf(receipt));
    EXPECT_EQ(0, Cli({"--port", other.DevicePath(), "check"})) << m_lastErrors;
    EXPECT_EQ(own, DeviceOf(receipt));
    EXPECT_FALSE(Paused(receipt));
    EXPECT_TRUE(StateFiles().empty()) << StateFiles().front();
}

TEST_F(BorrowingRuns, RecoveryLeavesAnAdministratorsChangeAlone) {
    VirtualDisplay held;
    const std::string repointed = AddPrinter("serial:" + held.DevicePath());
    const std::string repaused = AddPrinter("serial:" + held.DevicePath() + "?baud=19200");
    std::unique_ptr<ProgramRun> a = Holder(held.DevicePath());
    ASSERT_EQ(kDummyShown, DeviceOf(repointed));
    a->Signal(SIGKILL);
    a->Wait();

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
    std::unique_ptr<ProgramRun> a = Holder(held.DevicePath());
    ASSERT_EQ(kDummyShown, DeviceOf(receipt));

    ASSERT_TRUE(Scheduler("stop"));
    a->CloseInput();
    EXPECT_EQ(0, a->Wait());
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
