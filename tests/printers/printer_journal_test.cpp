#include "printers/printer_journal.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <thread>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "tests/support/temp_dir.h"

namespace tessaly {
namespace {

TEST(PrinterJournal, KeepsAwkwardNamesAndUrisIntact) {
    test::TempDir dir;
    PrinterJournal journal(dir / "state/tessaly/printers.journal");
    PrinterPorts expected{
        {"Till Printer", {"serial:/dev/ttyS0?baud=9600+bits=8", false}},
        {"odd%name", {"file:/tmp/with space\nand newline", true}},
        {"no-port", {"", false}},
    };
    for (const auto& [name, printer] : expected)
        ASSERT_TRUE(journal.Add(name, printer));
    EXPECT_EQ(expected, journal.Load());
    EXPECT_EQ(std::filesystem::perms::owner_all,
              std::filesystem::status(dir / "state/tessaly").permissions());
}

TEST(PrinterJournal, ForgetsGivenBackPrintersAndGoesWhenEmpty) {
    test::TempDir dir;
    PrinterJournal journal(dir / "printers.journal");
    journal.Add("A", {"serial:/dev/ttyS0", false});
    journal.Add("B", {"serial:/dev/ttyS0?baud=9600", true});
    ASSERT_TRUE(journal.Forget({"A"}));
    EXPECT_EQ((PrinterPorts{{"B", {"serial:/dev/ttyS0?baud=9600", true}}}), journal.Load());
    ASSERT_TRUE(journal.Forget({"B"}));
    EXPECT_FALSE(std::filesystem::exists(journal.Path()));
    // Only the journal itself is ever left behind, never a half-written temporary.
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

TEST(PrinterJournal, SkipsDamagedLinesAndForeignFiles) {
    test::TempDir dir;
    PrinterJournal journal(dir / "printers.journal");
    std::ofstream(journal.Path()) << "tessaly-printers 1\n"
                                  << "0 :Good :serial:/dev/ttyS0\n"
                                  << "2 :BadFlag :serial:/dev/ttyS0\n"
                                  << "0 :Bad%G1 :serial:/dev/ttyS0\n"
                                  << "0 :Short\n"
                                  << "0 :Long :x :y\n";
    EXPECT_EQ((PrinterPorts{{"Good", {"serial:/dev/ttyS0", true}}}), journal.Load());
    std::ofstream(journal.Path()) << "0 :Good :serial:/dev/ttyS0\n";
    EXPECT_TRUE(journal.Load().empty());
}

TEST(PrinterJournal, CannotBeWrittenWhereNoDirectoryCanBe) {
    test::TempDir dir;
    std::ofstream(dir / "file").put('x');
    EXPECT_FALSE(PrinterJournal(dir / "file/tessaly/printers.journal").Add("A", {"p", false}));
    EXPECT_FALSE(PrinterJournal("").Add("A", {"p", false}));
}

TEST(PrinterJournal, LivesInTheUsersStateDirectory) {
    std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("HOME", "/home/op", 1);
    setenv("XDG_STATE_HOME", "/var/state-op", 1);
    EXPECT_EQ("/var/state-op/tessaly", PrinterJournal::DefaultDirectory());
    setenv("XDG_STATE_HOME", "relative/ignored", 1);
    EXPECT_EQ("/home/op/.local/state/tessaly", PrinterJournal::DefaultDirectory());
    unsetenv("XDG_STATE_HOME");
    EXPECT_EQ("/home/op/.local/state/tessaly", PrinterJournal::DefaultDirectory());
    unsetenv("HOME");
    EXPECT_EQ("", PrinterJournal::DefaultDirectory());
    setenv("HOME", savedHome.c_str(), 1);
}

TEST(PrinterJournal, ReadsLinesEndedTheWayAnotherEditorEndsThem) {
    test::TempDir dir;
    PrinterJournal journal(dir / "printers.journal");
    std::ofstream(journal.Path()) << "tessaly-printers 1 \r\n"
                                  << "0 :Till :serial:/dev/ttyS0\t\r\n"
                                  << "1 :Office :serial:/dev/ttyS1\r\n"
                                  << "\r\n";
    EXPECT_EQ((PrinterPorts{{"Till", {"serial:/dev/ttyS0", true}},
                            {"Office", {"serial:/dev/ttyS1", false}}}),
              journal.Load());
}

// Runs `body` in a child process with a memory cap; true when it ended well
// within `bound`. A read that waits or grows without end fails instead of
// hanging or exhausting the machine.
bool EndsInBoundedTimeAndMemory(const std::function<bool()>& body, std::chrono::seconds bound) {
    const pid_t child = fork();
    if (child == 0) {
        const rlimit cap{256u << 20, 256u << 20};
        setrlimit(RLIMIT_AS, &cap);
        _exit(body() ? 0 : 1);
    }
    const auto deadline = std::chrono::steady_clock::now() + bound;
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) {
            return WIFEXITED(status) && WEXITSTATUS(status) == 0;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    return false;
}

TEST(PrinterJournal, AFifoADeviceLinkOrAHugeFileIsNeitherWaitedOnNorReadWhole) {
    test::TempDir dir;
    const std::string path = dir / "printers.journal";
    // Nothing read, and no more than a little memory taken for it (the peak
    // resident size, in kB).
    const auto loadsNothing = [&] {
        rusage before{};
        getrusage(RUSAGE_SELF, &before);
        const bool empty = PrinterJournal(path).Load().empty();
        rusage after{};
        getrusage(RUSAGE_SELF, &after);
        return empty && after.ru_maxrss - before.ru_maxrss < 16 * 1024;
    };

    ASSERT_EQ(0, mkfifo(path.c_str(), 0600));
    EXPECT_TRUE(EndsInBoundedTimeAndMemory(loadsNothing, std::chrono::seconds(5))) << "FIFO";
    std::filesystem::remove(path);

    std::filesystem::create_symlink("/dev/zero", path);
    EXPECT_TRUE(EndsInBoundedTimeAndMemory(loadsNothing, std::chrono::seconds(5))) << "/dev/zero";
    std::filesystem::remove(path);

    std::ofstream(path) << "tessaly-printers 1\n0 :P :serial:/dev/ttyS0";
    std::filesystem::resize_file(path, std::uintmax_t{1} << 30);
    EXPECT_TRUE(EndsInBoundedTimeAndMemory(loadsNothing, std::chrono::seconds(5))) << "1 GB";
}

}  // namespace
}  // namespace tessaly
