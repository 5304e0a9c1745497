// The Win32 back end under the window framework: a small window with one control
// of each kind, driven as the operator would.
// First: windows.h makes IDOK and IDCANCEL macros of the same values.
#include "resources/control_ids.h"

#include <windows.h>

#include <array>
#include <atomic>

#include <gtest/gtest.h>

#include "tests/support/recording_window_services.h"
#include "tests/support/window_driver.h"
#include "tests/ui/test_window.h"
#include "ui/progress_bar.h"
#include "ui/template_dialog.h"
#include "ui/toolkit.h"
#include "ui/win32/win32_template_window.h"

namespace tessaly::testing {
namespace {

// The framework's test window, with a narrow list and a long label besides.
constexpr int kNarrow = 1107;
constexpr std::array<const char*, 2> kLengths{"Short", "An item far longer than its box"};

constexpr std::array<ControlTemplate, 10> kWin32Controls{{
    {kDisabledList, "LIST0", ControlKind::DropDownList, "", kColours, 50, 7, 60, 50, false, 0},
    {IDC_STATIC, "", ControlKind::VCentredLabel, "Colour", {}, 7, 7, 40, 12},
    {kList, "LIST", ControlKind::DropDownList, "", kColours, 50, 22, 60, 50, true, 1},
    {kEditable, "EDIT", ControlKind::EditableDropDown, "", kColours, 50, 37, 60, 50, true, 2},
    {kNarrow, "NARROW", ControlKind::DropDownList, "", kLengths, 7, 37, 40, 50, true, 0},
    {kFirstButton, "FIRST", ControlKind::PushButton, "First", {}, 120, 7, 50, 14},
    {kDefaultButton, "DEFAULT", ControlKind::DefaultPushButton, "Default", {}, 120, 25, 50, 14},
    {IDCANCEL, "IDCANCEL", ControlKind::PushButton, "Close", {}, 120, 43, 50, 14},
    {kGauge, "GAUGE", ControlKind::ProgressBar, "", {}, 7, 62, 163, 10},
    {IDC_STATIC, "", ControlKind::Label, "A label far longer than its box", {}, 7, 52, 80, 8},
}};
constexpr DialogTemplate kWin32Template{900, "Framework test", 177, 80, kWin32Controls};

class Win32TemplateWindowTest : public ::testing::Test {
protected:
    HWND Dialog() { return Win32WindowOf(window).Handle(); }
    HWND Control(int id) { return Win32WindowOf(window).Control(id); }

    // A transaction that runs until the test lets it go (bounded, so that a
    // failing test never hangs).
    void StartHeldTransaction(std::function<void(BackgroundHost&)> first = {}) {
        ASSERT_TRUE(window.RunTransaction(
            &window.m_progress,
            [this, first](BackgroundHost& host) {
                if (first) {
                    first(host);
                }
                for (int i = 0; i < 10000 && !release; ++i) {
                    Sleep(1);
                }
            },
            [this] { doneRan = true; }));
    }

    RecordingWindowServices services;
    CTestDlg window{kWin32Template, services};
    std::atomic<bool> release{false};
    bool doneRan = false;
};

TEST_F(Win32TemplateWindowTest, PlacesControlsInDialogUnitsWithEachLabelJustBeforeItsControl) {
    RECT expected{120, 7, 170, 21};
    MapDialogRect(Dialog(), &expected);
    RECT actual;
    GetWindowRect(Control(kFirstButton), &actual);
    MapWindowPoints(nullptr, Dialog(), reinterpret_cast<POINT*>(&actual), 2);
    EXPECT_TRUE(EqualRect(&expected, &actual));
    // Screen readers name a control after the label just before it.
    HWND label = GetWindow(Control(kDisabledList), GW_HWNDPREV);
    wchar_t text[32] = {};
    GetWindowTextW(label, text, 32);
    EXPECT_STREQ(text, L"Colour");
}

TEST_F(Win32TemplateWindowTest, EscapeAndTheCloseBoxEndWithCancel) {
    EXPECT_EQ(RunModal(window, [&] { PressKey(window, Key::Escape); }), IDCANCEL);
    EXPECT_EQ(RunModal(window, [&] { SendMessageW(Dialog(), WM_CLOSE, 0, 0); }), IDCANCEL);
}

TEST_F(Win32TemplateWindowTest, EscapeClosesADroppedListFirst) {
    const int result = RunModal(window, [&] {
        FocusOn(window, kList);
        SendMessageW(Control(kList), CB_SHOWDROPDOWN, TRUE, 0);
        PressKey(window, Key::Escape);
        EXPECT_FALSE(SendMessageW(Control(kList), CB_GETDROPPEDSTATE, 0, 0));
        EXPECT_TRUE(window.Native().IsModal());
    });
    EXPECT_EQ(result, kLeftOpen);
}

TEST_F(Win32TemplateWindowTest, AModalRunDisablesTheOtherWindowsUntilItEnds) {
    CTestDlg second{kWin32Template, services};
    RunModal(window, [&] {
        RunModal(second, [&] { EXPECT_FALSE(IsWindowEnabled(Dialog())); });
        EXPECT_TRUE(IsWindowEnabled(Dialog()));
    });
}

TEST(Win32DesktopServicesTest, MessagesAreCaptionedWithTheProgramFilesName) {
    EXPECT_EQ(MessageCaption(), "win32_ui_tests");
}

TEST_F(Win32TemplateWindowTest, CloseBoxDuringATransactionEndsTheWindowAfterIt) {
    const int result = RunModal(window, [&] {
        StartHeldTransaction();
        SendMessageW(Dialog(), WM_CLOSE, 0, 0);
        PumpEvents();
        EXPECT_TRUE(window.Native().IsModal()) << "ended under a running transaction";
        release = true;
        EXPECT_TRUE(FinishTransaction(window));
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(doneRan);
}

TEST_F(Win32TemplateWindowTest, ProgressFromTheWorkerReachesTheBarWhileItRuns) {
    ShowForTest(window);
    StartHeldTransaction([](BackgroundHost& host) { host.SetProgress(40); });
    EXPECT_TRUE(RunWindowThreadUntil([&] { return GaugeValue(window, kGauge) == 40; }, 10000));
    release = true;
    EXPECT_TRUE(FinishTransaction(window));
}

TEST_F(Win32TemplateWindowTest, InputIsDroppedWhileATransactionRunsAndTheCursorIsBusy) {
    ShowForTest(window);
    FocusOn(window, kList);
    StartHeldTransaction();
    const LPARAM inside = MAKELPARAM(5, 5);
    PostMessageW(Control(kFirstButton), WM_LBUTTONDOWN, MK_LBUTTON, inside);
    PostMessageW(Control(kFirstButton), WM_LBUTTONUP, 0, inside);
    PumpEvents();
    EXPECT_EQ(FocusedControl(window), kList) << "a click went through to the button";
    SendMessageW(Dialog(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Dialog()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));

    release = true;
    ASSERT_TRUE(FinishTransaction(window));
    PumpEvents();
    EXPECT_EQ(window.firstClicks, 0) << "held input was queued, not dropped";
    PostMessageW(Control(kFirstButton), WM_LBUTTONDOWN, MK_LBUTTON, inside);
    PostMessageW(Control(kFirstButton), WM_LBUTTONUP, 0, inside);
    PumpEvents();
    EXPECT_EQ(window.firstClicks, 1) << "input stays held after the transaction";
}

TEST_F(Win32TemplateWindowTest, ACutItemOrANoteBecomesTheListsTooltip) {
    ShowForTest(window);
    ASSERT_TRUE(Select(window, kNarrow, 0));
    EXPECT_EQ(TooltipText(window, kNarrow), "");
    ASSERT_TRUE(Select(window, kNarrow, 1));
    EXPECT_EQ(TooltipText(window, kNarrow), "An item far longer than its box");
    Win32WindowOf(window).ShowListNote(kNarrow, "Only for ESC/POS displays");
    EXPECT_EQ(TooltipText(window, kNarrow), "Only for ESC/POS displays");
}

TEST_F(Win32TemplateWindowTest, ALabelWiderThanItsBoxTakesASmallerFontInsteadOfLosingLetters) {
    HWND label = FindWindowExW(Dialog(), nullptr, L"Static", L"A label far longer than its box");
    ASSERT_NE(label, nullptr);
    HDC dc = GetDC(label);
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    SIZE text{};
    GetTextExtentPoint32W(dc, L"A label far longer than its box", 31, &text);
    ReleaseDC(label, dc);
    RECT box{};
    GetClientRect(label, &box);
    EXPECT_LE(text.cx, box.right);
}

// Windows stops a program soon after its windows have heard that the session
// ends; what must not be lost runs then, once, and not for an end called off.
TEST_F(Win32TemplateWindowTest, TheEndOfTheSessionRunsTheProgramsLastWorkOnce) {
    int runs = 0;
    OnSessionEnd([&] { ++runs; });
    SendMessageW(Dialog(), WM_ENDSESSION, FALSE, 0);
    EXPECT_EQ(runs, 0);
    SendMessageW(Dialog(), WM_ENDSESSION, TRUE, 0);
    SendMessageW(Dialog(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_EQ(runs, 1);
}

}  // namespace
}  // namespace tessaly::testing
