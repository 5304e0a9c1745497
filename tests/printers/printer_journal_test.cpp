#include "printers/printer_journal.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace tessaly
