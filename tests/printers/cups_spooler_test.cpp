// Release and restore against a real CUPS scheduler: the private one the test
// command starts (CUPS_SERVER), or, for a focused run as root, one this program
// starts for itself. The machine's own scheduler is never touched.
#include <cups/cups.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <thread>

#include "printers/journal_recovery.h"
#include "printers/printer_release.h"
#include "printers/spooler.h"
#include "tests/support/temp_dir.h"

namespace tessaly {
namespace {

std::string Quoted(const std::string& text) {
    return "'" + text + "'";
}

bool Shell(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// Starts a private scheduler when none was handed over; skips when neither is possible.
class PrivateScheduler : public ::testing::Environment {
public:
    void SetUp() override {
        const char* server = std::getenv("CUPS_SERVER");
        if (server == nullptr || server[0] == '\0') {
            if (geteuid() != 0)
                return;
            m_dir = std::make_unique<test::TempDir>();
            if (!Shell(std::string(TESSALY_PRIVATE_CUPSD) + " start " + Quoted(m_dir->Path())))
                return;
            m_started = true;
            setenv("CUPS_SERVER", (*m_dir / "cups.sock").c_str(), 1);
        }
        reachable = Shell("lpstat -o");
    }
    void TearDown() override {
        if (m_started)
            Shell(std::string(TESSALY_PRIVATE_CUPSD) + " stop " + Quoted(m_dir->Path()));
    }

    static inline bool reachable = false;

private:
    std::unique_ptr<test::TempDir> m_dir;
    bool m_started = false;
};

struct PrinterState {
    bool exists = false;
    std::map<std::string, std::string> attributes;
};

// The settings a release must not disturb, as the scheduler reports them.
PrinterState Inspect(const std::string& name) {
    static const char* const kWanted[] = {
        "device-uri",
        "printer-state",
        "printer-info",
        "printer-location",
        "printer-is-accepting-jobs",
        "printer-is-shared",
        "job-sheets-default",
        "printer-error-policy",
        "printer-op-policy",
        "requesting-user-name-allowed",
        "queued-job-count",
    };
    PrinterState state;
    http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC,
                                HTTP_ENCRYPTION_IF_REQUESTED, 1, 5000, nullptr);
    if (http == nullptr)
        return state;
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0,
                     "/printers/%s", name.c_str());
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  sizeof kWanted / sizeof kWanted[0], nullptr, kWanted);
    ipp_t* response = cupsDoRequest(http, request, "/");
    if (response != nullptr && ippGetStatusCode(response) <= IPP_STATUS_OK_CONFLICTING) {
        state.exists = true;
        for (ipp_attribute_t* attr = ippFirstAttribute(response); attr != nullptr;
             attr = ippNextAttribute(response)) {
            if (ippGetName(attr) == nullptr || ippGetGroupTag(attr) != IPP_TAG_PRINTER)
                continue;
            char value[1024];
            ippAttributeString(attr, value, sizeof value);
            state.attributes[ippGetName(attr)] = value;
        }
    }
    ippDelete(response);
    httpClose(http);
    return state;
}

std::string DeviceOf(const std::string& name) {
    return Inspect(name).attributes["device-uri"];
}

class CupsRelease : public ::testing::Test {
protected:
    void SetUp() override {
        if (!PrivateScheduler::reachable)
            GTEST_SKIP() << "no CUPS scheduler reachable (set CUPS_SERVER or run as root)";
        setenv("XDG_STATE_HOME", (m_state / "state").c_str(), 1);
        journal = std::make_unique<PrinterJournal>(PrinterJournal::DefaultDirectory() +
                                                   "/printers.journal");
        spooler = MakeSystemSpooler();
    }
    void TearDown() override {
        for (const std::string& name : m_created)
            Shell("lpadmin -x " + name);
    }

    std::string AddPrinter(const std::string& uri) {
        static int counter = 0;
        std::string name = "tessaly_" + std::to_string(getpid()) + "_" + std::to_string(++counter);
        EXPECT_TRUE(Shell("lpadmin -p " + name + " -v " + Quoted(uri) +
                          " -D 'Till receipts' -L 'Front desk' -u allow:root,till -E"))
            << uri;
        m_created.push_back(name);
        return name;
    }

    test::TempDir m_state;
    std::unique_ptr<PrinterJournal> journal;
    std::unique_ptr<Spooler> spooler;
    std::vector<std::string> m_created;
};

TEST_F(CupsRelease, GivesBackExactlyWhatItTook) {
    std::string receipt = AddPrinter("serial:/dev/ttyS0?baud=9600");
    std::string neighbour = AddPrinter("serial:/dev/ttyS10");
    std::string dummy = AddPrinter("file:/dev/null");
    PrinterState before = Inspect(receipt);
    PrinterState neighbourBefore = Inspect(neighbour);
    PrinterState dummyBefore = Inspect(dummy);

    PrinterPortRelease release(*spooler, journal.get());
    release.ReleasePrinters("/dev/ttyS0");
    PrinterState during = Inspect(receipt);
    EXPECT_EQ(kDummyPort, during.attributes["device-uri"]);
    EXPECT_EQ("stopped", during.attributes["printer-state"]);
    EXPECT_EQ(neighbourBefore.attributes, Inspect(neighbour).attributes);
    EXPECT_EQ(dummyBefore.attributes, Inspect(dummy).attributes);
    EXPECT_EQ(1u, journal->Load().count(receipt));

    release.RestorePrinters();
    EXPECT_EQ(before.attributes, Inspect(receipt).attributes);
    EXPECT_FALSE(std::filesystem::exists(journal->Path()));
}

TEST_F(CupsRelease, AJobSentWhileReleasedWaitsForTheRealDevice) {
    std::string receipt = AddPrinter("serial:/dev/ttyS0?baud=9600");
    PrinterPortRelease release(*spooler, journal.get());
    release.ReleasePrinters("/dev/ttyS0");
    ASSERT_TRUE(Shell("echo receipt | lp -d " + receipt));

    // Long enough for a scheduler that wanted to run it to have finished it.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_EQ("1", Inspect(receipt).attributes["queued-job-count"]);

    release.RestorePrinters();
    PrinterState after = Inspect(receipt);
    EXPECT_EQ("serial:/dev/ttyS0?baud=9600", after.attributes["device-uri"]);
    EXPECT_NE("stopped", after.attributes["printer-state"]);
    Shell("cancel -a " + receipt);
}

TEST_F(CupsRelease, APrinterDeletedWhileReleasedIsNotRecreated) {
    std::string receipt = AddPrinter("serial:/dev/ttyS0");
    PrinterPortRelease release(*spooler, journal.get());
    release.ReleasePrinters("/dev/ttyS0");
    ASSERT_TRUE(Shell("lpadmin -x " + receipt));
    release.RestorePrinters();
    EXPECT_FALSE(Inspect(receipt).exists);
    EXPECT_FALSE(std::filesystem::exists(journal->Path()));
}

TEST_F(CupsRelease, ARunKilledWhileHoldingThePortIsUndoneAtTheNextStart) {
    std::string receipt = AddPrinter("serial:/dev/ttyS0?baud=9600");
    PrinterState before = Inspect(receipt);

    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::unique_ptr<Spooler> own = MakeSystemSpooler();
        PrinterPortRelease release(*own, journal.get());
        release.ReleasePrinters("/dev/ttyS0");
        kill(getpid(), SIGKILL);
        _exit(1);
    }
    int status = 0;
    ASSERT_EQ(child, waitpid(child, &status, 0));
    ASSERT_TRUE(WIFSIGNALED(status));
    ASSERT_EQ(kDummyPort, DeviceOf(receipt));

    RecoverPrinters(*spooler, *journal);
    EXPECT_EQ(before.attributes, Inspect(receipt).attributes);
    EXPECT_FALSE(std::filesystem::exists(journal->Path()));
}

TEST_F(CupsRelease, APrinterWhoseBackendIsGoneIsLeftAlone) {
    // Only the private scheduler's layout lets the backend be taken away.
    std::filesystem::path backend =
        std::filesystem::path(cupsServer()).parent_path() / "bin/backend/serial";
    if (!std::filesystem::exists(backend))
        GTEST_SKIP() << "not a private scheduler";
    std::string receipt = AddPrinter("serial:/dev/ttyS0");
    PrinterState before = Inspect(receipt);
    std::filesystem::path aside = backend.string() + ".aside";
    std::filesystem::rename(backend, aside);

    PrinterPortRelease release(*spooler, journal.get());
    release.ReleasePrinters("/dev/ttyS0");
    PrinterState during = Inspect(receipt);
    std::filesystem::rename(aside, backend);

    EXPECT_EQ(before.attributes, during.attributes);
    EXPECT_TRUE(journal->Load().empty());
}

TEST_F(CupsRelease, AnUnreachableSchedulerIsSilent) {
    test::TempDir nowhere;
    std::string saved = cupsServer();
    setenv("CUPS_SERVER", (nowhere / "cups.sock").c_str(), 1);
    cupsSetServer(nullptr);
    std::unique_ptr<Spooler> lost = MakeSystemSpooler();
    PrinterPortRelease release(*lost, journal.get());
    release.ReleasePrinters("/dev/ttyS0");
    release.RestorePrinters();
    EXPECT_TRUE(release.Ports().empty());
    setenv("CUPS_SERVER", saved.c_str(), 1);
    cupsSetServer(nullptr);
}

}  // namespace
}  // namespace tessaly

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new tessaly::PrivateScheduler);
    return RUN_ALL_TESTS();
}
