// The printers on Windows: the Win32 spooler as far as wine's own implements it
// (printers, level-2 records, ports; not pause), and the journal's lock and
// files, with the fake spooler where wine cannot show the case.
#include <windows.h>
#include <winspool.h>
// The spooler interface has a member of that name.
#undef OpenPrinter

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "printers/journal_recovery.h"
#include "printers/printer_release.h"
#include "printers/run_journal.h"
#include "tests/printers/fake_spooler.h"

#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace tessaly {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// A scratch folder of the test's own, removed with what it holds.
struct Folder {
    Folder() { fs::create_directories(path); }
    ~Folder() { fs::remove_all(path); }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(path))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    const fs::path path =
        fs::temp_directory_path() / ("tessaly-" + std::to_string(GetCurrentProcessId()));
};

// Printers of our own in the spooler of the test prefix, on a driver of our own.
class WineSpooler : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        DRIVER_INFO_3W driver{};
        driver.cVersion = 3;
        driver.pName = const_cast<wchar_t*>(kDriver);
        driver.pDriverPath = driver.pDataFile = driver.pConfigFile =
            const_cast<wchar_t*>(L"wineps.drv");
        ASSERT_TRUE(AddPrinterDriverW(nullptr, 3, reinterpret_cast<BYTE*>(&driver)));
    }
    void AddTestPrinter(const wchar_t* name, const wchar_t* port) {
        PRINTER_INFO_2W info{};
        info.pPrinterName = const_cast<wchar_t*>(name);
        info.pPortName = const_cast<wchar_t*>(port);
        info.pDriverName = const_cast<wchar_t*>(kDriver);
        info.pPrintProcessor = const_cast<wchar_t*>(L"WinPrint");
        info.pDatatype = const_cast<wchar_t*>(L"RAW");
        info.pComment = const_cast<wchar_t*>(L"by the till");
        HANDLE printer = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&info));
        ASSERT_NE(nullptr, printer);
        m_added.push_back(printer);
    }
    void TearDown() override {
        for (HANDLE printer : m_added) {
            DeletePrinter(printer);
            ClosePrinter(printer);
        }
    }
    std::wstring CommentOf(const std::string& name) {
        HANDLE printer = nullptr;
        std::wstring wide(name.begin(), name.end());
        OpenPrinterW(wide.data(), &printer, nullptr);
        DWORD needed = 0;
        GetPrinterW(printer, 2, nullptr, 0, &needed);
        std::vector<BYTE> record(needed);
        GetPrinterW(printer, 2, record.data(), needed, &needed);
        ClosePrinter(printer);
        return reinterpret_cast<PRINTER_INFO_2W*>(record.data())->pComment;
    }
    std::string PortOf(const std::string& name) {
        for (const InstalledPrinter& printer : spooler->EnumeratePrinters())
            if (printer.name == name)
                return printer.port;
        return "?";
    }

    static constexpr const wchar_t* kDriver = L"Tessaly Test Driver";
    std::unique_ptr<Spooler> spooler = MakeSystemSpooler();
    std::vector<HANDLE> m_added;
};

TEST_F(WineSpooler, MovesAPrinterToTheDummyPortKeepingItsOtherSettings) {
    AddTestPrinter(L"Tessaly Receipt", L"COM5:,LPT1:");
    EXPECT_EQ("COM5:,LPT1:", PortOf("Tessaly Receipt"));

    const OpenResult opened = spooler->OpenPrinter("Tessaly Receipt");
    ASSERT_EQ(OpenStatus::Opened, opened.status);
    ASSERT_TRUE(spooler->QueryRecordSize(opened.handle));
    std::optional<PrinterRecord> record = spooler->FetchRecord(opened.handle);
    ASSERT_TRUE(record);
    EXPECT_FALSE(record->paused);
    record->port = kDummyPort;
    EXPECT_TRUE(spooler->StoreRecord(opened.handle, *record));
    spooler->ClosePrinter(opened.handle);
    EXPECT_EQ("FILE:", PortOf("Tessaly Receipt"));
    EXPECT_EQ(L"by the till", CommentOf("Tessaly Receipt"));

    EXPECT_EQ(OpenStatus::NoSuchPrinter, spooler->OpenPrinter("Tessaly Nowhere").status);
}

// Wine's spooler has no pause (SetPrinterW level 0 fails), so there a printer
// on the display's port is recorded but not moved, and nothing is left behind.
TEST_F(WineSpooler, APrinterThatCannotBePausedKeepsItsPort) {
    AddTestPrinter(L"Tessaly Receipt", L"COM5:");
    AddTestPrinter(L"Tessaly Office", L"COM15:");
    Folder journals;
    {
        RunJournal journal(journals.path.string());
        PrinterPortRelease release(*spooler, &journal);
        release.ReleasePrinters("COM5");
        EXPECT_THAT(release.Ports(), ::testing::Contains(::testing::Key("Tessaly Receipt")));
        EXPECT_FALSE(release.Ports().contains("Tessaly Office"));
        EXPECT_EQ("COM5:", PortOf("Tessaly Receipt"));
        release.RestorePrinters();
    }
    EXPECT_EQ("COM5:", PortOf("Tessaly Receipt"));
    EXPECT_THAT(journals.Names(), IsEmpty());
}

class WindowsJournal : public ::testing::Test {
protected:
    std::string PortOf(const std::string& name) { return spooler.printers.at(name).port; }

    test::FakeSpooler spooler;
    Folder dir;
};

TEST_F(WindowsJournal, ALiveRunsJournalIsLeftAloneAndADeadRunsIsWorkedOff) {
    spooler.Add("Till", {.port = "COM1:,LPT1:"});
    spooler.Add("Beyond", {.port = "COM10:"});
    auto run = std::make_unique<RunJournal>(dir.path.string());
    PrinterPortRelease release(spooler, run.get());
    release.ReleasePrinters("COM1");
    ASSERT_EQ("FILE:", PortOf("Till"));
    EXPECT_EQ("COM10:", PortOf("Beyond"));

    RecoverEarlierRuns(spooler, dir.path.string());
    EXPECT_EQ("FILE:", PortOf("Till"));

    // The run ends without its teardown: its lock goes with it.
    std::vector<std::string> left = dir.Names();
    run.reset();
    EXPECT_EQ(left, dir.Names());
    RecoverEarlierRuns(spooler, dir.path.string());
    EXPECT_EQ("COM1:,LPT1:", PortOf("Till"));
    EXPECT_FALSE(spooler.printers.at("Till").paused);
    EXPECT_THAT(dir.Names(), IsEmpty());
}

TEST_F(WindowsJournal, WhatIsNoJournalIsSetAsideNotDeleted) {
    fs::create_directory(dir.path.string() + "\\printers-folder.journal");
    std::ofstream(dir.path.string() + "\\printers-damaged.journal") << "not a journal\r\n";
    RecoverEarlierRuns(spooler, dir.path.string());
    EXPECT_THAT(dir.Names(),
                ElementsAre("printers-damaged.journal.aside-1", "printers-folder.journal.aside-1"));
}

}  // namespace
}  // namespace tessaly
