#include <gtest/gtest.h>

#include <tuple>
#include <utility>

#include "basic/basic_settings_dlg.h"
#include "tests/window/window_fixture.h"

namespace tessaly::testing {
namespace {

Bytes CharacterSet(Byte n) {
    return {0x02, 0x05, 0x53, n, 0x03};
}

Bytes CodeTable(Byte n) {
    return {0x02, 0x05, 0x46, n, 0x03};
}

class BasicSettingsTest : public EditingWindowTest<CBasicSettingsDlg> {
protected:
    void SetUp() override {
        EditingWindowTest::SetUp();
        ShowForTest(window);
    }
};

TEST_F(BasicSettingsTest, OpensWithTheFirstItemOfBothListsAndFocusOnTheCodeTable) {
    EXPECT_EQ(window.GetListIndex(IDC_CODE_TABLE), 0);
    EXPECT_EQ(window.GetListText(IDC_CODE_TABLE, 0), "PC437 (USA: Standard Europe)");
    EXPECT_EQ(window.GetListIndex(IDC_INTL_SET), 0);
    EXPECT_EQ(window.GetListText(IDC_INTL_SET, 0), "U.S.A.");
    EXPECT_EQ(FocusedControl(window), IDC_CODE_TABLE);
    EXPECT_TRUE(display.Received().empty());
}

TEST_F(BasicSettingsTest, SetStatusSendsTheCharacterSetThenTheCodeTableValue) {
    struct Case {
        int codeTable;
        int intlSet;
        Byte sentTable;
        Byte sentSet;
    };
    // Right after opening; "PC737 (Greek)" with "Japan"; "PC864(Arabic)" with
    // "China"; "Katakana"; "WPC1250 (Central European)".
    for (const Case& c : {Case{0, 0, 0x00, 0x00}, Case{6, 8, 0x1D, 0x08}, Case{16, 15, 0x1B, 0x0F},
                          Case{1, 0, 0x01, 0x00}, Case{7, 0, 0x0E, 0x00}}) {
        ASSERT_TRUE(Select(window, IDC_CODE_TABLE, c.codeTable));
        ASSERT_TRUE(Select(window, IDC_INTL_SET, c.intlSet));
        EXPECT_TRUE(display.Received().empty()) << "choosing sends nothing";
        ASSERT_TRUE(Click(window, IDC_SET_STATUS));
        EXPECT_EQ(display.Received(), Concat({CharacterSet(c.sentSet), CodeTable(c.sentTable)}))
            << "code table " << c.codeTable << ", character set " << c.intlSet;
        display.ClearReceived();
    }
    EXPECT_TRUE(services.messages.empty());
    EXPECT_TRUE(services.waits.empty());
}

TEST_F(BasicSettingsTest, SetStatusTwiceSendsBothCommandsTwiceInTheSameOrder) {
    ASSERT_TRUE(Select(window, IDC_INTL_SET, 3));
    ASSERT_TRUE(Click(window, IDC_SET_STATUS));
    ASSERT_TRUE(Click(window, IDC_SET_STATUS));
    const Bytes once = Concat({CharacterSet(0x03), CodeTable(0x00)});
    EXPECT_EQ(display.Received(), Concat({once, once}));
    EXPECT_EQ(window.GetListIndex(IDC_INTL_SET), 3) << "the lists keep their selections";
}

TEST_F(BasicSettingsTest, ShowInformationSendsItsFiveBytesOnly) {
    ASSERT_TRUE(Click(window, IDC_SHOW_INFO));
    EXPECT_EQ(display.Received(), (Bytes{0x02, 0x05, 0x56, 0x05, 0x03}));
    EXPECT_TRUE(services.messages.empty());
}

// A line that takes nothing (CTS held low): each send gives up at the link's
// bound and says so, where a send that went out says nothing. "Show Information"
// changes no setting, so it does not speak of incomplete settings.
TEST_F(BasicSettingsTest, ASendThatDoesNotGoOutSaysSo) {
    const RecordedMessage failed{"Writing to the display failed. Its settings may be incomplete.",
                                 MessageIcon::Exclamation};
    display.StallNow();
    ASSERT_TRUE(Click(window, IDC_SET_STATUS));
    EXPECT_EQ(services.messages, std::vector{failed});
    services.messages.clear();
    ASSERT_TRUE(Click(window, IDC_SHOW_INFO));
    const RecordedMessage sendFailed{"Writing to the display failed.", MessageIcon::Exclamation};
    EXPECT_EQ(services.messages, std::vector{sendFailed});
}

// A display that hangs up at any byte of either send: the window never takes it
// as sent. Each cut gets a display and a line of its own.
TEST_F(BasicSettingsTest, AHangUpAtAnyByteOfASendSaysSo) {
    // Show Information changes no setting, so its failure says nothing of settings.
    const RecordedMessage setFailed{
        "Writing to the display failed. Its settings may be incomplete.", MessageIcon::Exclamation};
    const RecordedMessage showFailed{"Writing to the display failed.", MessageIcon::Exclamation};
    for (const auto& [button, bytes, failed] :
         {std::tuple{IDC_SET_STATUS, 10, setFailed}, std::tuple{IDC_SHOW_INFO, 5, showFailed}}) {
        for (int cut = 1; cut <= bytes; ++cut) {
            VirtualDisplay cutting;
            CSerialLink line;
            ASSERT_TRUE(line.Configure(SettingsFor(cutting.DevicePath())) && line.Open());
            cutting.SetFault(Fault::HangUp);
            cutting.SetHangUpAfterBytes(static_cast<std::size_t>(cut));
            window.m_pLink = &line;
            ASSERT_TRUE(Click(window, button));
            EXPECT_EQ(TakeMessages(), std::vector{failed}) << button << " cut at byte " << cut;
        }
    }
    window.m_pLink = &link;
}

class BasicSettingsModalTest : public EditingWindowTest<CBasicSettingsDlg> {};

TEST_F(BasicSettingsModalTest, EnterAtOnceEndsWithOkAndSendsNothing) {
    EXPECT_EQ(RunModal(window, [&] { PressKey(window, Key::Enter); }), IDOK);
    EXPECT_EQ(window.m_codeTable, 0);
    EXPECT_EQ(window.m_intlSet, 0);
    EXPECT_TRUE(display.Received().empty());
}

TEST_F(BasicSettingsModalTest, EscapeAndTheCloseBoxEndWithCancelAndSendNothing) {
    EXPECT_EQ(RunModal(window,
                       [&] {
                           ASSERT_TRUE(Select(window, IDC_CODE_TABLE, 5));
                           PressKey(window, Key::Escape);
                       }),
              IDCANCEL);
    EXPECT_EQ(RunModal(window, [&] { PressCloseBox(window); }), IDCANCEL);
    EXPECT_TRUE(display.Received().empty());
    CBasicSettingsDlg again(services);
    ShowForTest(again);
    EXPECT_EQ(again.GetListIndex(IDC_CODE_TABLE), 0) << "every opening starts at index 0";
}

}  // namespace
}  // namespace tessaly::testing
