// The operator's sessions that tessaly.exe is driven through under wine, run
// here by the Linux windows in-process: the main window on COM5, then the
// editing window "Run Manager" opens. With TESSALY_WIRE_RECORD_DIR set, each
// session leaves the bytes its display received (SESSION.bytes) and the
// messages shown (SESSION.messages, one a line) there, for the Windows test to
// compare with.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/main_dlg.h"
#include "printers/printer_borrowing.h"
#include "resources/control_ids.h"
#include "tests/support/recording_window_services.h"
#include "tests/support/window_driver.h"
#include "tools/virtual_display.h"

namespace tessaly::testing {
namespace {

constexpr int kCom5 = 4;  // the port list's index of "COM5"

class WindowWireTest : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("TESSALY_COM5", display.DevicePath().c_str(), 1); }
    void TearDown() override { ::unsetenv("TESSALY_COM5"); }

    // Runs the main window with `steps` inside its modal run, then closes it as
    // the operator does, and keeps what the display received.
    void RunMainWindow(const std::function<void(CMainDlg&)>& steps) {
        auto window = std::make_unique<CMainDlg>(services, printers);
        const int result = RunModal(*window, [&] {
            steps(*window);
            EXPECT_TRUE(Click(*window, IDCANCEL));
        });
        EXPECT_EQ(result, IDCANCEL);
        window.reset();  // the teardown's bytes count too
        received = display.Received();
    }

    // Presses "Run Manager" and runs `steps` in the window it opens.
    void RunEditingWindow(CMainDlg& main, const std::function<void(CTemplateDialog&)>& steps) {
        ASSERT_TRUE(main.IsControlEnabled(IDC_RUN_MANAGER));
        main.Post([&] {
            CTemplateDialog* editing = main.EditingWindow();
            ASSERT_NE(editing, nullptr);
            steps(*editing);
            if (editing->Native().IsModal()) {
                editing->EndDialog(kLeftOpen);
            }
        });
        ASSERT_TRUE(Click(main, IDC_RUN_MANAGER));
    }

    std::vector<std::string> Sentences() const {
        std::vector<std::string> sentences;
        for (const RecordedMessage& message : services.messages) {
            sentences.push_back(message.sentence);
        }
        return sentences;
    }

    void Keep(const std::string& session) const {
        const char* dir = std::getenv("TESSALY_WIRE_RECORD_DIR");
        if (dir == nullptr) {
            return;
        }
        const std::filesystem::path base = std::filesystem::path(dir) / session;
        std::ofstream bytes(base.string() + ".bytes", std::ios::binary);
        bytes.write(reinterpret_cast<const char*>(received.data()),
                    static_cast<std::streamsize>(received.size()));
        std::ofstream messages(base.string() + ".messages");
        for (const std::string& sentence : Sentences()) {
            messages << sentence << '\n';
        }
        ASSERT_TRUE(bytes && messages) << base;
    }

    VirtualDisplay display;
    RecordingWindowServices services;
    PrinterBorrowing printers;
    std::vector<std::uint8_t> received;
};

TEST_F(WindowWireTest, EscPosCheckGetChangeSetAndExit) {
    RunMainWindow([&](CMainDlg& main) {
        ASSERT_TRUE(Select(main, IDC_PORT, kCom5));
        ASSERT_TRUE(Click(main, IDC_CHECK_COMM));
        RunEditingWindow(main, [&](CTemplateDialog& editor) {
            ASSERT_TRUE(Click(editor, IDC_GET_STATUS));
            ASSERT_TRUE(Select(editor, IDC_BRIGHTNESS, 2));
            ASSERT_TRUE(Click(editor, IDC_SET_STATUS));
            ASSERT_TRUE(Click(editor, IDC_EXIT));
        });
    });
    EXPECT_EQ(Sentences(),
              (std::vector<std::string>{"Printer is connected.", "Success to get status of ORX.",
                                        "Success to set status of printer"}));
    EXPECT_FALSE(display.InUserSettingMode());
    Keep("escpos");
}

TEST_F(WindowWireTest, QuelmarCheckSetShowInformationAndExit) {
    RunMainWindow([&](CMainDlg& main) {
        ASSERT_TRUE(Select(main, IDC_PORT, kCom5));
        ASSERT_TRUE(Select(main, IDC_EMULATION, kQuelmar));
        ASSERT_TRUE(Click(main, IDC_CHECK_COMM));
        RunEditingWindow(main, [&](CTemplateDialog& basic) {
            ASSERT_TRUE(Select(basic, IDC_CODE_TABLE, 3));
            ASSERT_TRUE(Click(basic, IDC_SET_STATUS));
            ASSERT_TRUE(Click(basic, IDC_SHOW_INFO));
            PressCloseBox(basic);
        });
    });
    EXPECT_EQ(Sentences(), (std::vector<std::string>{"Printer is connected."}));
    Keep("quelmar");
}

}  // namespace
}  // namespace tessaly::testing
