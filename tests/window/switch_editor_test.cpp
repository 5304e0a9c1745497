#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "editor/switch_editor_dlg.h"
#include "tests/support/line_drops_on_write.h"
#include "tests/window/window_fixture.h"

namespace tessaly::testing {
namespace {

constexpr std::array kLists{IDC_CODE_TABLE, IDC_INTL_SET, IDC_BRIGHTNESS, IDC_PERIPHERAL,
                            IDC_CURSOR_MODE};

const RecordedMessage kReadDone{"Success to get status of ORX.", MessageIcon::Information};
const RecordedMessage kWriteDone{"Success to set status of printer", MessageIcon::Information};
const RecordedMessage kReadNoAnswer{"The display did not answer. Nothing was changed.",
                                    MessageIcon::Exclamation};
const RecordedMessage kWriteNoAnswer{"The display did not answer. Nothing was written.",
                                     MessageIcon::Exclamation};
const RecordedMessage kWriteFailed{"Writing to the display failed. Its settings may be incomplete.",
                                   MessageIcon::Exclamation};

// What the five lists show, in the order code table, character set, brightness,
// peripheral, cursor mode.
using Shown = std::array<int, 5>;

class SwitchEditorTest : public EditingWindowTest<CSwitchEditorDlg> {
protected:
    Shown ListsShow() {
        Shown shown{};
        for (std::size_t i = 0; i < kLists.size(); ++i) {
            shown[i] = window.GetListIndex(kLists[i]);
        }
        return shown;
    }

    bool EditingEnabled() {
        for (int id : {IDC_CODE_TABLE, IDC_INTL_SET, IDC_BRIGHTNESS, IDC_PERIPHERAL,
                       IDC_CURSOR_MODE, IDC_SET_STATUS, IDC_SAVE_STATUS}) {
            if (!window.IsControlEnabled(id)) {
                return false;
            }
        }
        return true;
    }

    // Shows the window and reads the display once; the window is editable after.
    void OpenAndRead() {
        ShowForTest(window);
        ASSERT_TRUE(Click(window, IDC_GET_STATUS));
        ASSERT_EQ(TakeMessages(), std::vector{kReadDone});
        display.ClearReceived();
    }
};

TEST_F(SwitchEditorTest, OpensFreshWithEmptyDisabledListsAndFocusOnGetStatus) {
    ShowForTest(window);
    EXPECT_EQ(ListsShow(), (Shown{-1, -1, -1, -1, -1}));
    for (int id : kLists) {
        EXPECT_FALSE(window.IsControlEnabled(id)) << id;
    }
    EXPECT_FALSE(Click(window, IDC_SET_STATUS));
    EXPECT_FALSE(Click(window, IDC_SAVE_STATUS));
    for (int id : {IDC_GET_STATUS, IDC_LOAD_STATUS, IDC_EXIT}) {
        EXPECT_TRUE(window.IsControlEnabled(id)) << id;
    }
    EXPECT_EQ(FocusedControl(window), IDC_GET_STATUS);
    EXPECT_EQ(window.Grid(), SwitchGrid{});
    EXPECT_EQ(GaugeRange(window, IDC_PROGRESS), 100);
    EXPECT_EQ(GaugeValue(window, IDC_PROGRESS), 0);
    EXPECT_TRUE(display.Received().empty()) << "opening the window sends nothing";
}

TEST_F(SwitchEditorTest, GetStatusFromAllZeroDigitsShowsTheirSettingsAndEnablesEditing) {
    ShowForTest(window);
    int barDuringMessage = -1;
    Shown listsDuringMessage{};
    services.onMessage = [&](const RecordedMessage&) {
        barDuringMessage = GaugeValue(window);
        listsDuringMessage = ListsShow();
    };
    ASSERT_TRUE(Click(window, IDC_GET_STATUS));

    EXPECT_EQ(TakeMessages(), std::vector{kReadDone});
    EXPECT_EQ(barDuringMessage, 100);
    EXPECT_EQ(listsDuringMessage, (Shown{-1, -1, -1, -1, -1}))
        << "the lists change once the operator has closed the message";
    // "PC437 (USA: Standard Europe)", "U.S.A.", no brightness, no peripheral,
    // "Cursor is not displayed".
    EXPECT_EQ(ListsShow(), (Shown{0, 0, -1, -1, 1}));
    EXPECT_EQ(window.m_cursorMode, 1);
    EXPECT_TRUE(EditingEnabled());
    EXPECT_EQ(GaugeValue(window), 0);
    EXPECT_EQ(window.Grid(), SwitchGrid{});
}

TEST_F(SwitchEditorTest, GetStatusSkipsBytesBeforeTheSyncByte) {
    display.SetFault(Fault::NoiseBeforeSync);
    display.SetSwitchDigits(10, D("00000011"));  // code table value 3
    display.SetSwitchDigits(11, D("00001000"));  // character set 8
    display.SetSwitchDigits(13, D("00000001"));
    OpenAndRead();
    EXPECT_EQ(ListsShow(), (Shown{3, 8, -1, 0, 1}));
    EXPECT_EQ(window.Grid().At(0, 1), 1);
    EXPECT_EQ(window.Grid().At(0, 2), 1);
    EXPECT_EQ(window.Grid().At(1, 4), 1);
}

TEST_F(SwitchEditorTest, ABrightnessValueWithoutAnItemShowsNoSelection) {
    display.SetSwitchDigits(12, D("00000101"));  // field value 5
    OpenAndRead();
    EXPECT_EQ(window.GetListIndex(IDC_BRIGHTNESS), -1);
    EXPECT_EQ(window.m_brightness, -1);
}

// A closed list that cuts its item shows it whole as its tooltip; a list left
// without a selection by a value it has no item for names that value.
TEST_F(SwitchEditorTest, ListTooltipsShowCutItemsAndValuesOutsideTheList) {
    display.SetSwitchDigits(12, D("00000101"));  // brightness field value 5
    OpenAndRead();
    const auto tip = [&](int id) { return TooltipText(window, id); };
    EXPECT_EQ(tip(IDC_CODE_TABLE), "PC437 (USA: Standard Europe)");
    EXPECT_EQ(tip(IDC_BRIGHTNESS), "The display holds 5, which is not an item of this list");
    EXPECT_EQ(tip(IDC_PERIPHERAL), "The display holds 0, which is not an item of this list");
    EXPECT_EQ(tip(IDC_INTL_SET), "") << "\"U.S.A.\" fits";
    ASSERT_TRUE(Select(window, IDC_PERIPHERAL, 2));
    EXPECT_EQ(tip(IDC_PERIPHERAL), "Both Printer and Customer Display");
    ASSERT_TRUE(Select(window, IDC_PERIPHERAL, 0));
    EXPECT_EQ(tip(IDC_PERIPHERAL), "") << "a choice that fits has no tooltip";
}

TEST_F(SwitchEditorTest, ChoosingFortyPercentRewritesOnlyBrightnessBitsAndSendsNothing) {
    display.SetSwitchDigits(10, D("11000010"));
    display.SetSwitchDigits(12, D("10100101"));  // brightness field 5: no item
    display.SetSwitchDigits(13, D("01000111"));  // peripheral field 7: no item
    display.SetSwitchDigits(14, D("11110001"));
    OpenAndRead();
    const SwitchGrid before = window.Grid();
    const Shown shownBefore = ListsShow();

    ASSERT_TRUE(Select(window, IDC_BRIGHTNESS, 2));  // "40%"

    SwitchGrid expected = before;
    expected.SetField(2, 3, 2);
    const SwitchGrid& after = window.Grid();
    for (int g = 0; g < SwitchGrid::kGroups; ++g) {
        for (int k = 0; k < SwitchGrid::kElements; ++k) {
            const bool brightnessBit = g == 2 && k >= 1 && k <= 3;
            if (!brightnessBit) {
                EXPECT_EQ(after.At(g, k), before.At(g, k)) << "switch " << 10 + g << " bit " << k;
            }
        }
    }
    EXPECT_EQ(DeriveIndices(after).brightness, 2);
    Shown shownAfter = shownBefore;
    shownAfter[2] = 2;
    EXPECT_EQ(ListsShow(), shownAfter) << "the peripheral list still shows nothing";
    EXPECT_TRUE(display.Received().empty());
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_EQ(display.SwitchDigits(12), D("10100101"));
}

TEST_F(SwitchEditorTest, SetStatusWithAnAllZeroGridSendsExactlyTheWriteSequence) {
    display.SetSwitchDigits(10, D("00000000"));
    OpenAndRead();
    int barDuringMessage = -1;
    services.onMessage = [&](const RecordedMessage&) { barDuringMessage = GaugeValue(window); };
    services.waits.clear();
    ASSERT_TRUE(Click(window, IDC_SET_STATUS));

    const Bytes expected = Concat({
        {0x1B, 0x40},
        {0x1B, 0x3D, 0x02},
        {0x1F, 0x28, 0x45, 0x03, 0x00, 0x01, 0x49, 0x4E},
        SwitchWrite(0x0A, "00000000"),
        SwitchWrite(0x0B, "00000000"),
        SwitchWrite(0x0C, "00000000"),
        SwitchWrite(0x0D, "00000000"),
        SwitchWrite(0x0E, "00000000"),
        {0x1F, 0x28, 0x45, 0x04, 0x00, 0x02, 0x4F, 0x55, 0x54},
    });
    EXPECT_EQ(display.Received(), expected);
    EXPECT_EQ(TakeMessages(), std::vector{kWriteDone});
    EXPECT_EQ(barDuringMessage, 100);
    EXPECT_EQ(GaugeValue(window), 0);
    EXPECT_EQ(services.waits, (std::vector<int>{300, 300, 1000, 1000}));
    EXPECT_EQ(ListsShow(), (Shown{0, 0, -1, -1, 1})) << "the lists keep their selections";
    EXPECT_TRUE(EditingEnabled());
}

TEST_F(SwitchEditorTest, SwitchFourteenSendsBitsFiveAndSixBackButNotSevenAndEight) {
    display.SetSwitchDigits(14, D("11110000"));
    OpenAndRead();
    ASSERT_TRUE(Click(window, IDC_SET_STATUS));
    EXPECT_EQ(TakeMessages(), std::vector{kWriteDone});
    const Bytes received = display.Received();
    const Bytes write14 = SwitchWrite(0x0E, "00110000");
    EXPECT_NE(std::search(received.begin(), received.end(), write14.begin(), write14.end()),
              received.end());
    EXPECT_EQ(display.SwitchDigits(14), D("00110000"));
    EXPECT_EQ(window.Grid().At(4, 8), 1) << "the grid keeps what the display told";
}

TEST_F(SwitchEditorTest, ExitEscapeAndCloseBoxEndWithCancelAndSendNothing) {
    EXPECT_EQ(RunModal(window, [&] { ASSERT_TRUE(Click(window, IDC_EXIT)); }), IDCANCEL);
    EXPECT_EQ(RunModal(window, [&] { PressKey(window, Key::Escape); }), IDCANCEL);
    EXPECT_EQ(RunModal(window, [&] { PressCloseBox(window); }), IDCANCEL);
    EXPECT_TRUE(display.Received().empty());
}

TEST_F(SwitchEditorTest, EnterOnAListEndsWithOkAfterReadingTheLists) {
    const int result = RunModal(window, [&] {
        ASSERT_TRUE(Click(window, IDC_GET_STATUS));
        display.ClearReceived();
        FocusOn(window, IDC_INTL_SET);
        PumpEvents();
        // Changed without its selection event, so only the read on OK can see it.
        window.Native().SetListIndex(IDC_INTL_SET, 8);
        PressKey(window, Key::Enter);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(window.m_intlSet, 8);
    EXPECT_TRUE(display.Received().empty());
}

// While the display works the window stays alive: its thread is free, the bar
// moves, and the operator's clicks and keys are refused until the end.
TEST_F(SwitchEditorTest, GetStatusRunsWhileTheWindowStaysAliveAndDeafToInput) {
    // The read is held at its third wait until the operator's input has been
    // tried, so that it is still running however fast the line is.
    std::atomic<bool> released{false};
    int waitsSeen = 0;
    services.onWait = [&](int) {
        if (++waitsSeen != 3) {
            return;
        }
        for (int i = 0; i < 10000 && !released; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    };
    ShowForTest(window);
    ASSERT_TRUE(StartClick(window, IDC_GET_STATUS));
    EXPECT_TRUE(window.TransactionRunning());
    bool barMovedWhileRunning = RunWindowThreadUntil(
        [&] { return GaugeValue(window) > 0 || !window.TransactionRunning(); }, 10000);
    barMovedWhileRunning = barMovedWhileRunning && window.TransactionRunning();
    EXPECT_TRUE(StartClick(window, IDC_LOAD_STATUS));
    PressKey(window, Key::Escape);
    EXPECT_TRUE(IsShownOnScreen(window));
    EXPECT_TRUE(services.openRequests.empty()) << "Load Status must not open mid-transaction";
    released = true;

    ASSERT_TRUE(FinishTransaction(window));
    EXPECT_TRUE(barMovedWhileRunning);
    EXPECT_EQ(TakeMessages(), std::vector{kReadDone});
    EXPECT_EQ(services.waits, (std::vector<int>{300, 300, 300, 300, 300, 300}));
    EXPECT_TRUE(EditingEnabled());
}

// The close box while "Set Status" writes: the display is not left half way
// through a command nor in user setting mode, and the window then closes as
// "Exit" does, with no message.
TEST_F(SwitchEditorTest, TheCloseBoxDuringSetStatusClosesOnlyOnceTheDisplayIsLeftInOrder) {
    display.SetSwitchDigits(11, D("00000110"));
    OpenAndRead();
    bool openWhileRunning = false;
    const int result = RunModal(window, [&] {
        ASSERT_TRUE(StartClick(window, IDC_SET_STATUS));
        PressCloseBox(window);
        openWhileRunning = window.Native().IsModal() && window.TransactionRunning();
        RunWindowThreadUntil([&] { return !window.Native().IsModal(); });
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(openWhileRunning);
    EXPECT_FALSE(window.TransactionRunning());
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_FALSE(display.InUserSettingMode());
    // A stop that comes before the first command sends nothing at all; once
    // anything went out, the last command is the whole exit from user setting mode.
    const Bytes received = display.Received();
    if (received.empty()) {
        return;
    }
    const Bytes exit = {0x1F, 0x28, 0x45, 0x04, 0x00, 0x02, 0x4F, 0x55, 0x54};
    ASSERT_GE(received.size(), exit.size());
    EXPECT_TRUE(std::equal(exit.begin(), exit.end(), received.end() - exit.size()))
        << "the last command the display got is the whole exit from user setting mode";
}

// Failed transactions: the window looks exactly as it did before, with our message.

struct Snapshot {
    SwitchGrid grid;
    Shown lists;
    bool editable;
    bool operator==(const Snapshot&) const = default;
};

class SwitchEditorFailureTest : public SwitchEditorTest {
protected:
    void SetUp() override {
        SwitchEditorTest::SetUp();
        display.SetSwitchDigits(10, D("00000101"));
        display.SetSwitchDigits(12, D("00000010"));
        display.SetSwitchDigits(14, D("00010001"));
        OpenAndRead();
        // What a second read would bring if it got through.
        for (int n = 10; n <= 14; ++n) {
            display.SetSwitchDigits(n, D("11111111"));
        }
        before = Now();
    }

    Snapshot Now() { return {window.Grid(), ListsShow(), EditingEnabled()}; }
    void ExpectNothingChanged(const RecordedMessage& message) {
        EXPECT_EQ(TakeMessages(), std::vector{message});
        EXPECT_EQ(Now(), before) << "missing digits must not turn into set bits";
        EXPECT_EQ(GaugeValue(window), 0);
        EXPECT_EQ(display.SwitchDigits(10), D("11111111"));
    }

    Snapshot before;
};

struct Failure {
    const char* name;
    int button;
    Fault fault;
    std::size_t hangUpAfter;
    RecordedMessage message;
};

void PrintTo(const Failure& failure, std::ostream* os) {
    *os << failure.name;
}

class SwitchEditorFaultTest : public SwitchEditorFailureTest,
                              public ::testing::WithParamInterface<Failure> {};

TEST_P(SwitchEditorFaultTest, ChangesNothingAndSaysSo) {
    display.SetHangUpAfterBytes(GetParam().hangUpAfter);
    display.SetFault(GetParam().fault);
    ASSERT_TRUE(Click(window, GetParam().button));
    ExpectNothingChanged(GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, SwitchEditorFaultTest,
    ::testing::Values(
        Failure{"GetSilent", IDC_GET_STATUS, Fault::Silent, 0, kReadNoAnswer},
        Failure{"GetCutAfterSync", IDC_GET_STATUS, Fault::CutAfterSync, 0, kReadNoAnswer},
        // The second query never gets its answer.
        Failure{"GetHangUpMidway", IDC_GET_STATUS, Fault::HangUp, 3 + 7 + 7, kReadNoAnswer},
        Failure{"SetSilent", IDC_SET_STATUS, Fault::Silent, 0, kWriteNoAnswer},
        // The display takes the request to enter and never answers it.
        Failure{"SetHangUpBeforeSync", IDC_SET_STATUS, Fault::HangUp, 2 + 3 + 8, kWriteNoAnswer}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SwitchEditorFailureTest, AWriteThatDoesNotGoOutIsReportedAsFailed) {
    link.Close();
    // Initialize, select, enter, switch 10 go out; switch 11 does not.
    CSerialLink dropping(std::make_unique<LineDropsOnWrite>(5));
    ASSERT_TRUE(dropping.Configure(SettingsFor(display.DevicePath())));
    ASSERT_TRUE(dropping.Open());
    window.m_pLink = &dropping;

    ASSERT_TRUE(Click(window, IDC_SET_STATUS));
    EXPECT_EQ(TakeMessages(), std::vector{kWriteFailed});
    EXPECT_EQ(display.SwitchDigits(10), D("00000101"));
    EXPECT_FALSE(display.InUserSettingMode());
    EXPECT_EQ(Now(), before);
    EXPECT_EQ(GaugeValue(window), 0);
    window.m_pLink = &link;
}

// The exit from user setting mode leaves whole before the display has read it;
// the display hangs up in the middle of it, during the first settling wait.
TEST_F(SwitchEditorFailureTest, ADisplayThatHangsUpInTheMiddleOfTheWritesIsAFailedWrite) {
    display.SetFault(Fault::HangUp);
    display.SetHangUpAfterBytes(2 + 3 + 8 + 5 * 15 + 4);
    services.onWait = [this](int milliseconds) {
        for (int i = 0; milliseconds == 1000 && i < 500 && !display.HungUp(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    };
    ASSERT_TRUE(Click(window, IDC_SET_STATUS));
    EXPECT_EQ(TakeMessages(), std::vector{kWriteFailed});
    EXPECT_EQ(GaugeValue(window), 0);
}

}  // namespace
}  // namespace tessaly::testing
