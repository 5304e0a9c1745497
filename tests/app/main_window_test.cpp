#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <wx/combobox.h>

#include "tests/app/main_window_fixture.h"
#include "ui/wx/wx_template_window.h"

namespace tessaly::testing {
namespace {

// --- Start-up ------------------------------------------------------------------

TEST_F(MainWindowTest, StartsWithDefaultChoicesOnlyCheckAndExitEnabledAndFocusOnExit) {
    EXPECT_EQ(WxWindowOf(*window).GetTitle(), "Tessaly(V1.0.1)");
    const std::pair<int, const char*> shown[] = {
        {IDC_PORT, "COM1"},         {IDC_BAUD, "115200"}, {IDC_DATA_BITS, "8"},
        {IDC_PARITY, "None"},       {IDC_STOP_BITS, "1"}, {IDC_FLOW, "Hardware"},
        {IDC_EMULATION, "ESC/POS"},
    };
    for (const auto& [id, text] : shown) {
        EXPECT_EQ(window->GetListText(id, window->GetListIndex(id)), text) << id;
    }
    // Serial devices present that no COMn opens follow "COM10".
    EXPECT_GE(window->GetListCount(IDC_PORT), 10);
    EXPECT_EQ(window->GetListText(IDC_PORT, 9), "COM10");

    EXPECT_TRUE(window->IsControlEnabled(IDCANCEL));
    EXPECT_TRUE(ShowsNotConnected());
    EXPECT_FALSE(window->IsControlEnabled(IDC_STOP_BITS));
    EXPECT_FALSE(window->IsControlEnabled(IDC_FLOW));
    EXPECT_EQ(FocusedControl(*window), IDCANCEL);

    EXPECT_EQ(window->Baud(), 0) << "nothing is captured before the first check";
    EXPECT_EQ(window->PortName(), "");
    EXPECT_EQ(window->EmulationModeIndex(), 0);
    EXPECT_TRUE(WxWindowOf(*window).GetIcons().GetIcon(wxSize(32, 32)).IsOk());
    EXPECT_TRUE(WxWindowOf(*window).GetIcons().GetIcon(wxSize(16, 16)).IsOk());
}

TEST_F(MainWindowTest, ExitEndsWithCancelAndClosesAnOpenPort) {
    ASSERT_EQ(Check(), kConnected);
    int result = 0;
    // Exit from inside the modal run, as the operator would.
    WxWindowOf(*window).Hide();
    result = [&] {
        window->Post([&] { EXPECT_TRUE(Click(*window, IDCANCEL)); });
        return window->RunModal();
    }();
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_FALSE(window->Link().IsOpen());
    EXPECT_EQ(window->Connected(), 0);
}

// --- Connection check, ESC/POS ---------------------------------------------------

TEST_F(MainWindowTest, AcceptsTheDisplayByItsIdentityAndLeavesUserSettingMode) {
    // The operator is told while the display is still in user setting mode.
    bool inModeDuringMessage = false;
    services.onMessage = [&](const RecordedMessage&) {
        inModeDuringMessage = display.InUserSettingMode();
    };
    EXPECT_EQ(Check(), kConnected);
    EXPECT_TRUE(inModeDuringMessage);
    EXPECT_TRUE(ShowsConnected());
    EXPECT_FALSE(display.InUserSettingMode());
    EXPECT_EQ(window->PortName(), "COM1");
    EXPECT_EQ(window->Baud(), 115200);
    EXPECT_EQ(window->DataBits(), 8);
    EXPECT_EQ(window->ParityCode(), 0);
    EXPECT_EQ(window->StopBits(), 0);
    EXPECT_EQ(window->Link().Settings().flowControl, 0);
    EXPECT_EQ(window->Link().Settings().timeouts.readInterval, 10u);
    EXPECT_EQ(services.waits, (std::vector<int>{300, 300}));
}

TEST_F(MainWindowTest, SecondCheckWhileConnectedDoesNothing) {
    ASSERT_EQ(Check(), kConnected);
    display.ClearReceived();
    window->SendCommand(IDC_CHECK_COMM);  // the button itself is disabled by now
    EXPECT_EQ(services.messages.size(), 1u);
    EXPECT_TRUE(display.Received().empty());
    EXPECT_TRUE(ShowsConnected());
}

TEST_F(MainWindowTest, RefusesAWrongIdentityClosesThePortAndAllowsAnotherTry) {
    display.SetFault(VirtualDisplay::Fault::WrongIdentity);
    EXPECT_EQ(Check(), kWrongIdentity);
    EXPECT_TRUE(ShowsNotConnected());

    display.SetFault(VirtualDisplay::Fault::None);
    EXPECT_EQ(Check(), kConnected);
    EXPECT_TRUE(ShowsConnected());
}

TEST_F(MainWindowTest, SkipsBytesThatArriveBeforeTheSyncByte) {
    display.SetFault(VirtualDisplay::Fault::NoiseBeforeSync);
    EXPECT_EQ(Check(), kConnected);
    EXPECT_TRUE(ShowsConnected());
}

TEST_F(MainWindowTest, ASilentDisplayEndsAtTheBoundWithOurMessageAndThePortClosed) {
    display.SetFault(VirtualDisplay::Fault::Silent);
    EXPECT_EQ(Check(), kNoAnswer);
    EXPECT_TRUE(ShowsNotConnected());
}

// --- Connection check, framed family ----------------------------------------------

TEST_F(MainWindowTest, QuelmarAndOthersAcceptAnyDeviceThatTakesTwoBytes) {
    display.SetFault(VirtualDisplay::Fault::Silent);
    for (int emulation : {1, 2}) {
        ASSERT_TRUE(Select(*window, IDC_EMULATION, emulation));
        EXPECT_TRUE(ShowsNotConnected());
        display.ClearReceived();
        EXPECT_EQ(Check(), kConnected) << emulation;
        EXPECT_TRUE(ShowsConnected());
        EXPECT_EQ(display.Received(), Bytes({CMD_INITIALIZE})) << "no reply is asked for";
        EXPECT_TRUE(services.waits.empty());
    }
}

// --- Failures before the display is reached ------------------------------------------

TEST_F(MainWindowTest, AMissingDeviceCannotBeOpened) {
    ::setenv("TESSALY_COM1", "/dev/tessaly-no-such-device", 1);
    EXPECT_EQ(Check(), kCannotOpen);
    EXPECT_TRUE(ShowsNotConnected());
    EXPECT_EQ(window->PortName(), "COM1");
}

// Output to the display is stopped on the line itself, as a display that holds
// its handshake low would stop it: the first command cannot go out within the
// link's write bound.
TEST_F(MainWindowTest, ADeviceThatTakesNothingIsAPortError) {
    const int line = ::open(display.DevicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(line, 0);
    ASSERT_EQ(::tcflow(line, TCOOFF), 0);
    ::close(line);

    EXPECT_EQ(Check(), kPortError);
    EXPECT_TRUE(ShowsNotConnected());
}

// A display that hangs up as it takes the command to leave user setting mode was
// announced connected already; the failure follows, and the port is closed.
TEST_F(MainWindowTest, ACheckWhoseClosingCommandIsCutEndsNotConnected) {
    display.SetFault(VirtualDisplay::Fault::HangUp);
    display.SetHangUpAfterBytes(2 + 2 + 3 + 8 + 4);
    services.messages.clear();
    ASSERT_TRUE(Click(*window, IDC_CHECK_COMM));
    EXPECT_EQ(services.messages, (std::vector{kConnected, kPortError}));
    EXPECT_TRUE(ShowsNotConnected());
}

// --- Changing settings ----------------------------------------------------------------

TEST_F(MainWindowTest, ChangingALineSettingWhileConnectedClosesThePort) {
    for (int list : {IDC_BAUD, IDC_PORT, IDC_DATA_BITS, IDC_PARITY}) {
        ASSERT_EQ(Check(), kConnected) << list;
        ASSERT_TRUE(Select(*window, list, 1));
        EXPECT_TRUE(ShowsNotConnected()) << list;
        ASSERT_TRUE(Select(*window, list, 0));
    }
}

TEST_F(MainWindowTest, ChangingABaudRateWhileNotConnectedChangesNothingUntilTheNextCheck) {
    ASSERT_TRUE(Select(*window, IDC_BAUD, 0));
    EXPECT_EQ(window->Baud(), 0);
    EXPECT_TRUE(ShowsNotConnected());
    ASSERT_EQ(Check(), kConnected);
    EXPECT_EQ(window->Baud(), 9600);
    EXPECT_EQ(window->Link().Settings().baud, 9600);
}

TEST_F(MainWindowTest, ChangingTheEmulationWhileConnectedClosesThePortAndIsUsedNext) {
    ASSERT_EQ(Check(), kConnected);
    ASSERT_TRUE(Select(*window, IDC_EMULATION, 2));
    EXPECT_EQ(window->EmulationModeIndex(), 2);
    EXPECT_TRUE(ShowsNotConnected());

    display.ClearReceived();
    ASSERT_EQ(Check(), kConnected);
    EXPECT_EQ(display.Received(), Bytes({CMD_INITIALIZE}));
}

TEST_F(MainWindowTest, TypedParityTextKeepsThePreviousParityCode) {
    ASSERT_TRUE(Select(*window, IDC_PARITY, 2));
    ASSERT_EQ(Check(), kConnected);
    EXPECT_EQ(window->ParityCode(), 2);
    ASSERT_TRUE(Select(*window, IDC_PARITY, 1));  // closes the port
    ASSERT_TRUE(TypeText(*window, IDC_PARITY, "Odd"));
    ASSERT_EQ(window->GetListIndex(IDC_PARITY), -1);

    Check();  // the capture comes first, whatever the line then makes of it
    EXPECT_EQ(window->ParityCode(), 2) << "typed text is no selection";
    EXPECT_EQ(window->Link().Settings().parity, 2);
}

// --- Self test ---------------------------------------------------------------------------

TEST_F(MainWindowTest, SelfTestSendsTheCommandOfTheEmulation) {
    const std::pair<int, CommandRow> expected[] = {
        {0, CMD_SELF_TEST}, {1, CMD_SHOW_INFO}, {2, CMD_SHOW_INFO}};
    for (const auto& [emulation, command] : expected) {
        ASSERT_TRUE(Select(*window, IDC_EMULATION, emulation));
        ASSERT_EQ(Check(), kConnected);
        display.ClearReceived();
        services.messages.clear();
        ASSERT_TRUE(Click(*window, IDC_SELF_TEST));
        EXPECT_EQ(display.Received(), Bytes({command})) << emulation;
        EXPECT_TRUE(services.messages.empty());
    }
}

// A self test changes no setting: nothing may be incomplete.
TEST_F(MainWindowTest, ASelfTestThatDoesNotGoOutSaysSo) {
    const RecordedMessage failed{"Writing to the display failed.", MessageIcon::Exclamation};
    ASSERT_TRUE(Select(*window, IDC_EMULATION, 1));
    ASSERT_EQ(Check(), kConnected);
    services.messages.clear();
    display.StallNow();  // the line takes nothing more, as with CTS held low
    ASSERT_TRUE(Click(*window, IDC_SELF_TEST));
    EXPECT_EQ(services.messages, std::vector{failed});
}

// The editing window that "Run Manager" has open, or nullptr.
WxTemplateWindow* OpenEditingWindow(const CTemplateDialog& mainWindow) {
    for (wxWindow* candidate : wxTopLevelWindows) {
        auto* dialog = dynamic_cast<WxTemplateWindow*>(candidate);
        if (dialog != nullptr && dialog != &WxWindowOf(mainWindow) && dialog->IsModal()) {
            return dialog;
        }
    }
    return nullptr;
}

TEST_F(MainWindowTest, RunManagerOpensTheWindowThatSuitsTheEmulationAndKeepsTheLinkOpen) {
    const std::pair<int, const char*> expected[] = {
        {0, "Tessaly V1.0.1(Epson Mode)"}, {1, "Tessaly V1.0.1"}, {2, "Tessaly V1.0.1"}};
    for (const auto& [emulation, caption] : expected) {
        ASSERT_TRUE(Select(*window, IDC_EMULATION, emulation));
        ASSERT_EQ(Check(), kConnected);
        std::string seen;
        bool connectedMeanwhile = false;
        bool centredOverMain = false;
        window->Post([&] {
            WxTemplateWindow* editing = OpenEditingWindow(*window);
            if (editing == nullptr) {
                return;
            }
            seen = editing->GetTitle().ToStdString();
            connectedMeanwhile = ShowsConnected();
            const wxPoint centre =
                editing->GetScreenRect().GetPosition() + editing->GetScreenRect().GetSize() / 2;
            const wxPoint ownerCentre = WxWindowOf(*window).GetScreenRect().GetPosition() +
                                        WxWindowOf(*window).GetScreenRect().GetSize() / 2;
            centredOverMain =
                std::abs(centre.x - ownerCentre.x) <= 2 && std::abs(centre.y - ownerCentre.y) <= 2;
            editing->End(IDCANCEL);
        });
        ASSERT_TRUE(Click(*window, IDC_RUN_MANAGER));
        EXPECT_EQ(seen, caption) << emulation;
        EXPECT_TRUE(connectedMeanwhile);
        EXPECT_TRUE(centredOverMain);
        EXPECT_TRUE(ShowsConnected()) << "the editing window never closes the link";
    }
}

// A termination signal ends the windows this way, innermost first, so that the
// program leaves through the main window's teardown.
TEST_F(MainWindowTest, AnEndRequestClosesTheEditingWindowThenLeavesThroughTheTeardown) {
    ASSERT_EQ(Check(), kConnected);
    WxWindowOf(*window).Hide();
    bool editorWasOpen = false;
    window->Post([&] {
        window->Post([&] {
            editorWasOpen = OpenEditingWindow(*window) != nullptr;
            window->EndByRequest();
        });
        EXPECT_TRUE(Click(*window, IDC_RUN_MANAGER));
    });
    EXPECT_EQ(window->RunModal(), IDCANCEL);
    EXPECT_TRUE(editorWasOpen);
    EXPECT_FALSE(window->Link().IsOpen());
    EXPECT_EQ(window->Connected(), 0);
}

// A signal that comes while the display is being checked: the check goes on to
// a point between two commands, the display is not left in user setting mode,
// and the window leaves through the teardown without telling anyone anything.
TEST_F(MainWindowTest, AnEndRequestDuringTheCheckWaitsForItThenLeavesThroughTheTeardown) {
    WxWindowOf(*window).Hide();
    bool runningWhenAsked = false;
    window->Post([&] {
        ASSERT_TRUE(StartClick(*window, IDC_CHECK_COMM));
        runningWhenAsked = window->TransactionRunning();
        window->EndByRequest();
    });
    EXPECT_EQ(window->RunModal(), IDCANCEL);
    EXPECT_TRUE(runningWhenAsked);
    EXPECT_FALSE(display.InUserSettingMode());
    EXPECT_TRUE(services.messages.empty());
    EXPECT_FALSE(window->Link().IsOpen());
    EXPECT_EQ(window->Connected(), 0);
}

// `tessaly --port NAME`: COM names in any case choose their item; a device the
// list does not hold gets an item of its own, which the check then opens.
TEST_F(MainWindowTest, APortNamedAtStartIsChosen) {
    const auto chosen = [](const CMainDlg& w) {
        return w.GetListText(IDC_PORT, w.GetListIndex(IDC_PORT));
    };
    {
        CMainDlg com(services, printers);
        com.ChoosePortAtStart("com3");
        ShowForTest(com);
        EXPECT_EQ(chosen(com), "COM3");
    }
    ::unsetenv("TESSALY_COM1");
    CMainDlg other(services, printers);
    other.ChoosePortAtStart(display.DevicePath());
    ShowForTest(other);
    EXPECT_EQ(chosen(other), display.DevicePath());
    services.messages.clear();
    ASSERT_TRUE(Click(other, IDC_CHECK_COMM));
    EXPECT_EQ(services.messages, std::vector{kConnected});
    EXPECT_EQ(other.PortName(), display.DevicePath());
}

}  // namespace
}  // namespace tessaly::testing
