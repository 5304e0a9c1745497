#include "printers/printer_release.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "printers/journal_recovery.h"
#include "tests/printers/fake_spooler.h"
#include "tests/support/temp_dir.h"

// GCC warns about every field a designated initializer leaves at its default,
// which is the point of using them for the fake's printers.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace tessaly {
namespace {

using test::FakePrinter;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// "COM2" is /dev/ttyS1 unless the environment says otherwise.
class PrinterRelease : public ::testing::Test {
protected:
    void SetUp() override { unsetenv("TESSALY_COM2"); }

    std::string PortOf(const std::string& name) { return spooler.printers.at(name).port; }

    test::FakeSpooler spooler;
    test::TempDir dir;
    PrinterJournal journal{dir / "tessaly/printers.journal"};
    PrinterPortRelease release{spooler, &journal};
};

TEST_F(PrinterRelease, BorrowsOnlyPrintersOnExactlyTheChosenDevice) {
    spooler.Add("Receipt", {.port = "serial:/dev/ttyS1?baud=9600+bits=8"});
    spooler.Add("Other", {.port = "serial:/dev/ttyS10"});
    spooler.Add("Lower", {.port = "serial:/dev/TTYS1"});
    spooler.Add("Office", {.port = "ipp://office/printers/laser"});
    release.ReleasePrinters("COM2");

    EXPECT_EQ(kDummyPort, PortOf("Receipt"));
    EXPECT_TRUE(spooler.printers.at("Receipt").paused);
    for (const char* untouched : {"Other", "Lower", "Office"})
        EXPECT_FALSE(release.Ports().count(untouched)) << untouched;
    EXPECT_EQ("serial:/dev/ttyS10", PortOf("Other"));

    // The port comes back whole, options included, and the printer runs again.
    release.RestorePrinters();
    EXPECT_EQ("serial:/dev/ttyS1?baud=9600+bits=8", PortOf("Receipt"));
    EXPECT_FALSE(spooler.printers.at("Receipt").paused);
    EXPECT_THAT(release.Ports(), IsEmpty());
}

TEST_F(PrinterRelease, PausesBeforeMovingAndResumesOnlyAfterGivingBack) {
    spooler.Add("P", {.port = "serial:/dev/ttyS1"});
    release.ReleasePrinters("/dev/ttyS1");
    EXPECT_THAT(spooler.calls,
                ElementsAre("enumerate", "open P", "query P", "fetch P", "pause P",
                            "store P serial:/dev/ttyS1", "store P file:/dev/null", "close P"));
    spooler.calls.clear();
    release.RestorePrinters();
    EXPECT_THAT(spooler.calls, ElementsAre("open P", "query P", "fetch P",
                                           "store P serial:/dev/ttyS1", "resume P", "close P"));
}

TEST_F(PrinterRelease, APrinterPausedBeforeStaysPaused) {
    spooler.Add("P", {.port = "serial:/dev/ttyS1", .paused = true});
    release.ReleasePrinters("/dev/ttyS1");
    release.ReleasePrinters("/dev/ttyS1");
    release.RestorePrinters();
    EXPECT_EQ("serial:/dev/ttyS1", PortOf("P"));
    EXPECT_TRUE(spooler.printers.at("P").paused);
    for (const std::string& call : spooler.calls)
        EXPECT_THAT(call, ::testing::Not(::testing::StartsWith("pause"))) << call;
    for (const std::string& call : spooler.calls)
        EXPECT_THAT(call, ::testing::Not(::testing::StartsWith("resume"))) << call;
}

TEST_F(PrinterRelease, NothingRecordedMeansNoSpoolerCallAtTeardown) {
    release.RestorePrinters();
    EXPECT_THAT(spooler.calls, IsEmpty());

    spooler.Add("Elsewhere", {.port = "serial:/dev/ttyS3"});
    release.ReleasePrinters("/dev/ttyS1");
    spooler.failEnumerate = true;
    release.ReleasePrinters("/dev/ttyS3");
    EXPECT_THAT(spooler.calls, ElementsAre("enumerate", "enumerate"));
    release.RestorePrinters();
    release.RestorePrinters();
    EXPECT_THAT(spooler.calls, ElementsAre("enumerate", "enumerate"));
}

TEST_F(PrinterRelease, APrinterThatCannotBeOpenedIsRecordedButNotChanged) {
    spooler.Add("Locked", {.port = "serial:/dev/ttyS1", .failOpen = true});
    release.ReleasePrinters("/dev/ttyS1");
    EXPECT_EQ("serial:/dev/ttyS1", release.Ports().at("Locked").savedPort);
    EXPECT_THAT(spooler.calls, ElementsAre("enumerate", "open Locked"));

    spooler.calls.clear();
    release.RestorePrinters();
    EXPECT_THAT(spooler.calls, ElementsAre("open Locked"));
    EXPECT_THAT(release.Ports(), IsEmpty());
}

TEST_F(PrinterRelease, AFailedFetchStopsChangesForTheRestOfTheRun) {
    spooler.Add("First", {.port = "serial:/dev/ttyS1"});
    spooler.Add("Second", {.port = "serial:///dev/ttyS1", .failFetch = true});
    spooler.Add("Third", {.port = "file:/dev/ttyS1"});
    release.ReleasePrinters("/dev/ttyS1");

    EXPECT_EQ(kDummyPort, PortOf("First"));
    EXPECT_EQ("serial:///dev/ttyS1", PortOf("Second"));
    EXPECT_EQ("file:/dev/ttyS1", PortOf("Third"));
    EXPECT_EQ(3u, release.Ports().size());
    // Still opened, queried and closed, but no longer fetched.
    EXPECT_THAT(std::vector(spooler.calls.end() - 3, spooler.calls.end()),
                ElementsAre("open Third", "query Third", "close Third"));

    spooler.printers.at("Second").failFetch = false;
    spooler.calls.clear();
    release.RestorePrinters();
    EXPECT_EQ("serial:/dev/ttyS1", PortOf("First"));
    EXPECT_EQ("serial:///dev/ttyS1", PortOf("Second"));
    EXPECT_EQ("file:/dev/ttyS1", PortOf("Third"));
    for (const char* call : {"store First serial:/dev/ttyS1", "store Second serial:///dev/ttyS1",
                             "store Third file:/dev/ttyS1"})
        EXPECT_THAT(spooler.calls, ::testing::Contains(call));
}

TEST_F(PrinterRelease, AFailedSizeQueryAlsoStopsChangesButAFailedStoreDoesNot) {
    spooler.Add("Stubborn", {.port = "serial:/dev/ttyS1", .failStore = true});
    spooler.Add("Next", {.port = "serial:/dev/ttyS1"});
    release.ReleasePrinters("/dev/ttyS1");
    EXPECT_EQ(kDummyPort, PortOf("Next"));

    test::FakeSpooler other;
    PrinterPortRelease otherRelease(other, &journal);
    other.Add("Broken", {.port = "serial:/dev/ttyS1", .failSizeQuery = true});
    other.Add("Next", {.port = "serial:/dev/ttyS1"});
    otherRelease.ReleasePrinters("/dev/ttyS1");
    EXPECT_EQ("serial:/dev/ttyS1", other.printers.at("Next").port);
    EXPECT_EQ(2u, otherRelease.Ports().size());
}

TEST_F(PrinterRelease, RepeatedChecksKeepTheOriginalPort) {
    spooler.Add("P", {.port = "serial:/dev/ttyS1"});
    spooler.Add("Q", {.port = "serial:/dev/ttyS2"});
    release.ReleasePrinters("/dev/ttyS1");
    release.ReleasePrinters("/dev/ttyS1");
    release.ReleasePrinters("/dev/ttyS2");
    EXPECT_EQ(
        (PrinterPorts{{"P", {"serial:/dev/ttyS1", true}}, {"Q", {"serial:/dev/ttyS2", true}}}),
        release.Ports());
    release.RestorePrinters();
    EXPECT_EQ("serial:/dev/ttyS1", PortOf("P"));
    EXPECT_EQ("serial:/dev/ttyS2", PortOf("Q"));
}

TEST_F(PrinterRelease, APrinterWhoseOwnPortIsRefusedIsLeftAlone) {
    spooler.Add("Orphan", {.port = "serial:/dev/ttyS1", .refusedPort = "serial:/dev/ttyS1"});
    release.ReleasePrinters("/dev/ttyS1");
    EXPECT_EQ("serial:/dev/ttyS1", PortOf("Orphan"));
    EXPECT_FALSE(spooler.printers.at("Orphan").paused);
    EXPECT_THAT(journal.Load(), IsEmpty());
}

// Someone else's pause is theirs to undo, even when our move of the printer fails.
TEST_F(PrinterRelease, APrinterPausedBySomeoneElseWhoseOwnPortIsRefusedStaysPaused) {
    spooler.Add("P",
                {.port = "serial:/dev/ttyS1", .paused = true, .refusedPort = "serial:/dev/ttyS1"});
    release.ReleasePrinters("/dev/ttyS1");
    EXPECT_TRUE(spooler.printers.at("P").paused);
    EXPECT_THAT(spooler.calls, ::testing::Not(::testing::Contains("resume P")));
    EXPECT_THAT(journal.Load(), IsEmpty());
}

// The dummy device is a device too; borrowing from it must not take the
// dummy port for a printer's own.
TEST_F(PrinterRelease, BorrowingFromTheDummyDeviceKeepsTheSavedPort) {
    spooler.Add("P", {.port = "serial:/dev/ttyS1"});
    release.ReleasePrinters("/dev/ttyS1");
    release.ReleasePrinters("/dev/null");
    EXPECT_EQ((PrinterPorts{{"P", {"serial:/dev/ttyS1", true}}}), journal.Load());
    release.RestorePrinters();
    EXPECT_EQ("serial:/dev/ttyS1", PortOf("P"));
}

TEST_F(PrinterRelease, RestoreNeverRecreatesADeletedPrinter) {
    spooler.Add("Gone", {.port = "serial:/dev/ttyS1"});
    release.ReleasePrinters("/dev/ttyS1");
    spooler.Delete("Gone");
    spooler.calls.clear();
    release.RestorePrinters();
    EXPECT_THAT(spooler.calls, ElementsAre("open Gone"));
    EXPECT_FALSE(std::filesystem::exists(journal.Path()));
}

TEST_F(PrinterRelease, TheJournalHoldsAPrinterWhileItIsOnTheDummyPort) {
    spooler.Add("P", {.port = "serial:/dev/ttyS1", .paused = true});
    bool journalledBeforeMove = false;
    spooler.beforeStore = [&](const std::string& name, const std::string& port) {
        if (port == kDummyPort)
            journalledBeforeMove = journal.Load().count(name) == 1;
    };
    release.ReleasePrinters("/dev/ttyS1");
    EXPECT_TRUE(journalledBeforeMove);
    EXPECT_EQ((PrinterPorts{{"P", {"serial:/dev/ttyS1", false}}}), journal.Load());

    // A teardown that cannot give the printer back leaves it for the next start.
    spooler.printers.at("P").failOpen = true;
    release.RestorePrinters();
    EXPECT_EQ(1u, journal.Load().size());

    spooler.printers.at("P").failOpen = false;
    spooler.beforeStore = nullptr;
    RecoverPrinters(spooler, journal);
    EXPECT_EQ("serial:/dev/ttyS1", PortOf("P"));
    EXPECT_TRUE(spooler.printers.at("P").paused);
    EXPECT_FALSE(std::filesystem::exists(journal.Path()));
}

TEST_F(PrinterRelease, NoPrinterIsChangedWithoutAJournal) {
    spooler.Add("P", {.port = "serial:/dev/ttyS1"});
    std::ofstream(dir / "not-a-directory").put('x');
    PrinterJournal unwritable(dir / "not-a-directory/printers.journal");
    PrinterPortRelease blocked(spooler, &unwritable);
    blocked.ReleasePrinters("/dev/ttyS1");
    PrinterPortRelease bare(spooler, nullptr);
    bare.ReleasePrinters("/dev/ttyS1");
    EXPECT_EQ("serial:/dev/ttyS1", PortOf("P"));
    EXPECT_FALSE(spooler.printers.at("P").paused);
    EXPECT_EQ(1u, blocked.Ports().size());
}

TEST_F(PrinterRelease, ResumesOnlyWhatThisRunPausedItself) {
    spooler.Add("Locked", {.port = "serial:/dev/ttyS1", .failOpen = true});
    release.ReleasePrinters("/dev/ttyS1");
    test::FakeSpooler other;
    other.Add("Unjournalled", {.port = "serial:/dev/ttyS1"});
    PrinterPortRelease bare(other, nullptr);
    bare.ReleasePrinters("/dev/ttyS1");

    // Someone else pauses both during the run.
    spooler.printers.at("Locked") = {.port = "serial:/dev/ttyS1", .paused = true};
    other.printers.at("Unjournalled").paused = true;
    release.RestorePrinters();
    bare.RestorePrinters();
    EXPECT_TRUE(spooler.printers.at("Locked").paused);
    EXPECT_TRUE(other.printers.at("Unjournalled").paused);
}

TEST_F(PrinterRelease, ARunningPrinterThatCannotBePausedIsNotMoved) {
    spooler.Add("P", {.port = "serial:/dev/ttyS1", .failPause = true});
    release.ReleasePrinters("/dev/ttyS1");
    EXPECT_EQ("serial:/dev/ttyS1", PortOf("P"));
    EXPECT_FALSE(std::filesystem::exists(journal.Path()));
}

TEST_F(PrinterRelease, ASecondCheckAfterAFailedMoveKeepsOurOwnPause) {
    spooler.Add("P", {.port = "serial:/dev/ttyS1", .refusedPort = kDummyPort});
    release.ReleasePrinters("/dev/ttyS1");
    ASSERT_EQ("serial:/dev/ttyS1", PortOf("P"));
    ASSERT_TRUE(spooler.printers.at("P").paused);

    spooler.printers.at("P").refusedPort.clear();
    release.ReleasePrinters("/dev/ttyS1");
    EXPECT_EQ(kDummyPort, PortOf("P"));
    EXPECT_EQ((PrinterPorts{{"P", {"serial:/dev/ttyS1", true}}}), journal.Load());
    release.RestorePrinters();
    EXPECT_EQ("serial:/dev/ttyS1", PortOf("P"));
    EXPECT_FALSE(spooler.printers.at("P").paused);
}

TEST_F(PrinterRelease, AnotherOnesChangeIsKeptAndAFailingSchedulerKeepsTheEntry) {
    spooler.Add("Repointed", {.port = "serial:/dev/ttyS1"});
    spooler.Add("Repaused", {.port = "serial:/dev/ttyS1?baud=9600"});
    spooler.Add("Unanswered", {.port = "file:/dev/ttyS1"});
    release.ReleasePrinters("/dev/ttyS1");

    spooler.printers.at("Repointed").port = "serial:/dev/ttyS9";
    spooler.printers.at("Repaused").pausedByTessaly =
        false;  // paused again, for a reason of theirs
    spooler.printers.at("Unanswered").failOpen = true;
    release.RestorePrinters();

    EXPECT_EQ("serial:/dev/ttyS9", PortOf("Repointed"));
    EXPECT_TRUE(spooler.printers.at("Repointed").paused) << "left as it is";
    EXPECT_EQ("serial:/dev/ttyS1?baud=9600", PortOf("Repaused"));
    EXPECT_TRUE(spooler.printers.at("Repaused").paused);
    EXPECT_EQ(kDummyPort, PortOf("Unanswered"));
    EXPECT_EQ((PrinterPorts{{"Unanswered", {"file:/dev/ttyS1", true}}}), journal.Load());
}

}  // namespace
}  // namespace tessaly
