// Start-up recovery over a folder of journals: whose it may work off, and what
// becomes of files that are not journals.
#include "printers/journal_recovery.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "printers/printer_borrowing.h"
#include "printers/run_journal.h"
#include "tests/printers/fake_spooler.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/temp_dir.h"

#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace tessaly {
namespace {

namespace fs = std::filesystem;

std::string Text(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Standard error while `body` runs.
template <typename Body>
std::string ErrorsOf(Body body) {
    std::fflush(stderr);
    ::testing::internal::CaptureStderr();
    body();
    return ::testing::internal::GetCapturedStderr();
}

class JournalRecovery : public ::testing::Test {
protected:
    // A printer that a run left on the dummy port, paused by it.
    void Borrowed(const std::string& name) {
        spooler.Add(name, {.port = kDummyPort, .paused = true, .pausedByTessaly = true});
    }
    std::string PortOf(const std::string& name) { return spooler.printers.at(name).port; }

    test::FakeSpooler spooler;
    test::TempDir dir;
};

TEST_F(JournalRecovery, WorksOffOnlyTheJournalsOfRunsThatAreGone) {
    Borrowed("Alive");
    Borrowed("Gone");
    auto alive = std::make_unique<RunJournal>(dir.Path());
    ASSERT_TRUE(alive->Add("Alive", {"serial:/dev/ttyS0", true}));
    {
        RunJournal gone(dir.Path());  // its lock goes with it, as with a run that is killed
        ASSERT_TRUE(gone.Add("Gone", {"serial:/dev/ttyS1", true}));
    }

    RecoverEarlierRuns(spooler, dir.Path());
    EXPECT_EQ(kDummyPort, PortOf("Alive"));
    EXPECT_EQ("serial:/dev/ttyS1", PortOf("Gone"));
    EXPECT_FALSE(spooler.printers.at("Gone").paused);
    EXPECT_EQ(2, std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()))
        << "the live run's journal and lock";

    alive.reset();
    RecoverEarlierRuns(spooler, dir.Path());
    EXPECT_EQ("serial:/dev/ttyS0", PortOf("Alive"));
    EXPECT_TRUE(fs::is_empty(dir.Path()));
}

TEST_F(JournalRecovery, AJournalThatCannotBeReadWholeIsKeptAsideAndWhatCanBeReadIsGivenBack) {
    Borrowed("Good");
    const std::string damaged = "tessaly-printers 1\n0 :Good :serial:/dev/ttyS0\n0 :Cut\n";
    std::ofstream(dir / "printers.journal") << damaged;
    std::ofstream(dir / "other.journal") << "written by something else\n";

    const std::string errors = ErrorsOf([&] { RecoverEarlierRuns(spooler, dir.Path()); });
    EXPECT_EQ("serial:/dev/ttyS0", PortOf("Good"));
    EXPECT_EQ(damaged, Text(dir / "printers.journal.aside-1"));
    EXPECT_EQ("written by something else\n", Text(dir / "other.journal.aside-1"));
    EXPECT_EQ(2, std::count(errors.begin(), errors.end(), '\n')) << errors;
    EXPECT_THAT(errors, ::testing::HasSubstr(dir / "printers.journal.aside-1"));
    EXPECT_FALSE(fs::exists(dir / "printers.journal"));
    EXPECT_FALSE(fs::exists(dir / "other.journal"));
}

TEST_F(JournalRecovery, AnUnparsableJournalIsRenamedAsideNeverDeleted) {
    PrinterJournal journal(dir / "printers.journal");
    std::ofstream(journal.Path()) << "tessaly-printers 2\n0 :P :serial:/dev/ttyS0\n";
    ErrorsOf([&] { RecoverPrinters(spooler, journal); });
    EXPECT_EQ("tessaly-printers 2\n0 :P :serial:/dev/ttyS0\n",
              Text(dir / "printers.journal.aside-1"));
}

// A run killed as it made its journal leaves it empty: no header, so not ours to delete.
TEST_F(JournalRecovery, AnEmptyJournalIsSetAsideNeverDeleted) {
    std::ofstream(dir / "printers-x.journal").close();
    ErrorsOf([&] { RecoverEarlierRuns(spooler, dir.Path()); });
    EXPECT_TRUE(fs::exists(dir / "printers-x.journal.aside-1"));
}

TEST_F(JournalRecovery, HostileFilesAreSetAsideWithOneLineEach) {
    ASSERT_EQ(0, mkfifo((dir / "fifo.journal").c_str(), 0600));
    fs::create_symlink("/dev/zero", dir / "zero.journal");
    { std::ofstream huge(dir / "huge.journal"); }
    fs::resize_file(dir / "huge.journal", std::uintmax_t{1} << 30);

    const std::string errors = ErrorsOf([&] { RecoverEarlierRuns(spooler, dir.Path()); });
    EXPECT_EQ(3, std::count(errors.begin(), errors.end(), '\n')) << errors;
    EXPECT_TRUE(fs::is_fifo(dir / "fifo.journal.aside-1"));
    EXPECT_TRUE(fs::is_symlink(dir / "zero.journal.aside-1"));
    EXPECT_EQ(std::uintmax_t{1} << 30, fs::file_size(dir / "huge.journal.aside-1"));
    EXPECT_THAT(spooler.calls, ::testing::IsEmpty());
}

TEST_F(JournalRecovery, ALockThatIsNoFileLeavesItsJournalAlone) {
    Borrowed("P");
    PrinterJournal(dir / "printers-x.journal").Add("P", {"serial:/dev/ttyS0", true});
    ASSERT_EQ(0, mkfifo((dir / "printers-x.lock").c_str(), 0600));
    const std::string errors = ErrorsOf([&] { RecoverEarlierRuns(spooler, dir.Path()); });
    EXPECT_EQ(kDummyPort, PortOf("P"));
    EXPECT_EQ(1, std::count(errors.begin(), errors.end(), '\n')) << errors;
}

TEST_F(JournalRecovery, ARunThatCannotKeepAJournalOfItsOwnBorrowsNothing) {
    std::ofstream(dir / "file").put('x');
    auto owned = std::make_unique<test::FakeSpooler>();
    test::FakeSpooler& fake = *owned;
    fake.Add("P", {.port = "serial:/dev/ttyS1"});
    PrinterBorrowing borrowing(std::move(owned), dir / "file/tessaly");
    borrowing.ReleasePrinters("/dev/ttyS1");
    EXPECT_EQ("serial:/dev/ttyS1", fake.printers.at("P").port);
    EXPECT_FALSE(fake.printers.at("P").paused);
    EXPECT_EQ(1u, borrowing.Borrowed().size()) << "recorded all the same";
}

// A disk too full for a fresh journal: what could be read goes back all the
// same; what cannot go back stays under the journal's name for the next start.
TEST_F(JournalRecovery, AHalfDamagedJournalOnAFullDiskStillGivesBackWhatCanBeRead) {
    const std::string damaged = "tessaly-printers 1\n0 :Good :serial:/dev/ttyS0\n0 :Cut\n";
    for (const bool giveBackFails : {false, true}) {
        Borrowed("Good");
        spooler.printers.at("Good").failStore = giveBackFails;
        std::ofstream(dir / "printers.journal") << damaged;
        ASSERT_TRUE(test::UnderFileSizeLimit(
            1, [&] { ErrorsOf([&] { RecoverEarlierRuns(spooler, dir.Path()); }); }));
        if (giveBackFails) {
            EXPECT_EQ(kDummyPort, PortOf("Good"));
            EXPECT_EQ(damaged, Text(dir / "printers.journal"));
        } else {
            EXPECT_EQ("serial:/dev/ttyS0", PortOf("Good"));
            EXPECT_FALSE(fs::exists(dir / "printers.journal"));
            EXPECT_EQ(damaged, Text(dir / "printers.journal.aside-1"));
        }
        fs::remove(dir / "printers.journal");
        fs::remove(dir / "printers.journal.aside-1");
    }
}

TEST_F(JournalRecovery, LocksOfRunsKilledBeforeTheirJournalGoAndLiveOnesStay) {
    std::ofstream(dir / "printers-dead.lock").put('\n');
    std::ofstream(dir / "printers-live.lock").put('\n');
    const int live = ::open((dir / "printers-live.lock").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(0, ::flock(live, LOCK_EX));
    RecoverEarlierRuns(spooler, dir.Path());
    EXPECT_FALSE(fs::exists(dir / "printers-dead.lock"));
    EXPECT_TRUE(fs::exists(dir / "printers-live.lock"));
    ::close(live);
}

// Two runs on one device, one by its path and one through a link to it: the
// second touches no printer of the first, until the first lets go.
TEST_F(JournalRecovery, ARunThatCannotClaimThePortTouchesNoPrinter) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(master, 0);
    ASSERT_EQ(0, ::grantpt(master));
    ASSERT_EQ(0, ::unlockpt(master));
    const std::string device = ::ptsname(master);
    fs::create_symlink(device, dir / "by-id");
    auto spoolerOf = [&](test::FakeSpooler*& fake) {
        auto owned = std::make_unique<test::FakeSpooler>();
        owned->Add("P", {.port = "serial:" + device});
        fake = owned.get();
        return owned;
    };
    test::FakeSpooler* first = nullptr;
    test::FakeSpooler* second = nullptr;
    PrinterBorrowing winner(spoolerOf(first), dir / "state");
    PrinterBorrowing loser(spoolerOf(second), dir / "state");

    ASSERT_TRUE(winner.ReleasePrinters(device));
    EXPECT_EQ(kDummyPort, first->printers.at("P").port);
    EXPECT_FALSE(loser.ReleasePrinters(dir / "by-id"));
    EXPECT_THAT(second->calls, ::testing::IsEmpty());
    winner.RestorePrinters();
    EXPECT_EQ("serial:" + device, first->printers.at("P").port);
    EXPECT_TRUE(loser.ReleasePrinters(device));
    ::close(master);
}

}  // namespace
}  // namespace tessaly
