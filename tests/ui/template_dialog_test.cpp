#include <gtest/gtest.h>
#include <wx/choice.h>
#include <wx/combobox.h>

#include "resources/control_ids.h"
#include "tests/support/recording_window_services.h"
#include "tests/support/window_driver.h"
#include "tests/ui/test_window.h"
#include "ui/control_factory.h"

namespace tessaly::testing {
namespace {

class TemplateDialogTest : public ::testing::Test {
protected:
    RecordingWindowServices services;
    CTestDlg window{kTestTemplate, services};
};

TEST_F(TemplateDialogTest, PlacesControlsInTheWindowsOwnDialogUnits) {
    const wxSize client = window.GetClientSize();
    EXPECT_EQ(client, window.ConvertDialogToPixels(wxSize(177, 80)));
    const wxWindow* button = window.Control(kFirstButton);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->GetPosition(), window.ConvertDialogToPixels(wxPoint(120, 7)));
    EXPECT_EQ(button->GetSize(), window.ConvertDialogToPixels(wxSize(50, 14)));
}

TEST_F(TemplateDialogTest, ClosedDropDownsFitTheirRowNotTheDroppedList) {
    const wxWindow* list = window.Control(kList);
    ASSERT_NE(list, nullptr);
    const int rowHeight = window.ConvertDialogToPixels(wxSize(0, kClosedDropDownHeight)).y;
    EXPECT_EQ(list->GetSize().y, rowHeight);
    EXPECT_LT(list->GetSize().y, window.ConvertDialogToPixels(wxSize(0, 15)).y);
}

TEST_F(TemplateDialogTest, FillsListsInTemplateOrderWithTheirInitialState) {
    EXPECT_EQ(window.GetListCount(kList), 3);
    EXPECT_EQ(window.GetListText(kList, 0), "Red");
    EXPECT_EQ(window.GetListText(kList, 2), "Blue");
    EXPECT_EQ(window.GetListText(kList, 3), "");
    EXPECT_EQ(window.GetListIndex(kList), 1);
    EXPECT_EQ(window.GetListIndex(kEditable), 2);
    EXPECT_FALSE(window.IsControlEnabled(kDisabledList));
    EXPECT_TRUE(window.IsControlEnabled(kList));
}

TEST_F(TemplateDialogTest, ResolvesIdsOnlyWithinTheWindow) {
    EXPECT_EQ(window.Control(IDC_RUN_MANAGER), nullptr);
    EXPECT_EQ(window.Control(IDC_STATIC), nullptr);
    EXPECT_EQ(window.GetListIndex(IDC_RUN_MANAGER), -1);
}

TEST_F(TemplateDialogTest, ExchangesListIndicesBothWays) {
    window.m_colour = 2;
    window.UpdateData(false);
    EXPECT_EQ(window.GetListIndex(kList), 2);

    for (int outside : {3, -1, -5, 1000}) {
        window.m_colour = outside;
        window.UpdateData(false);
        EXPECT_EQ(window.GetListIndex(kList), -1) << outside;
        window.m_colour = 7;
        window.UpdateData(true);
        EXPECT_EQ(window.m_colour, -1) << "no selection reads as -1";
    }
}

TEST_F(TemplateDialogTest, TypedTextLeavesAnEditableBoxWithoutSelection) {
    ShowForTest(window);
    ASSERT_TRUE(TypeText(window, kEditable, "Green"));
    EXPECT_EQ(window.GetListIndex(kEditable), -1);
    ASSERT_TRUE(TypeText(window, kEditable, "Mauve"));
    EXPECT_EQ(window.GetListIndex(kEditable), -1);
}

TEST_F(TemplateDialogTest, ClickHelperRefusesWhatAnOperatorCouldNotClick) {
    ShowForTest(window);
    EXPECT_TRUE(Click(window, kFirstButton));
    EXPECT_EQ(window.firstClicks, 1);

    window.EnableControl(kFirstButton, false);
    EXPECT_FALSE(Click(window, kFirstButton));
    EXPECT_EQ(window.firstClicks, 1);
    EXPECT_FALSE(Click(window, kList)) << "a list is no button";
    EXPECT_FALSE(Click(window, 4242));
    EXPECT_FALSE(Select(window, kDisabledList, 1));
    EXPECT_FALSE(Select(window, kList, 3));
}

TEST_F(TemplateDialogTest, SelectReportsTheChangeToTheWindow) {
    ShowForTest(window);
    ASSERT_TRUE(Select(window, kList, 0));
    EXPECT_EQ(window.choiceChanges, 1);
    EXPECT_EQ(window.GetListIndex(kList), 0);
}

TEST_F(TemplateDialogTest, InitialisationShowsMembersAndFocusesFirstEnabledTabStop) {
    window.m_colour = 0;
    ShowForTest(window);
    EXPECT_EQ(window.GetListIndex(kList), 0);
    // The label takes no focus and the first list is disabled.
    EXPECT_EQ(FocusedControl(window), window.Control(kList));
}

TEST_F(TemplateDialogTest, CancelButtonEscapeAndCloseBoxAllEndWithTwo) {
    EXPECT_EQ(RunModal(window, [&] { ASSERT_TRUE(Click(window, IDCANCEL)); }), IDCANCEL);
    EXPECT_EQ(RunModal(window, [&] { PressKey(window, WXK_ESCAPE); }), IDCANCEL);
    EXPECT_EQ(RunModal(window, [&] { window.Close(); }), IDCANCEL);
}

TEST_F(TemplateDialogTest, EnterPressesTheFocusedButtonElseTheDefaultButton) {
    ShowForTest(window);
    window.Control(kFirstButton)->SetFocus();
    PumpEvents();
    PressKey(window, WXK_RETURN);
    EXPECT_EQ(window.firstClicks, 1);
    EXPECT_EQ(window.defaultClicks, 0);

    window.Control(kList)->SetFocus();
    PumpEvents();
    PressKey(window, WXK_RETURN);
    EXPECT_EQ(window.defaultClicks, 1);

    window.EnableControl(kDefaultButton, false);
    PressKey(window, WXK_RETURN);
    EXPECT_EQ(window.defaultClicks, 1) << "a disabled default button does not answer";
    EXPECT_TRUE(window.IsShown());
}

TEST(TemplateDialogWithoutDefault, EnterEndsWithOkAfterReadingTheControls) {
    RecordingWindowServices services;
    CTestDlg window(kPlainTemplate, services);
    window.m_colour = 0;
    const int result = RunModal(window, [&] {
        window.Control(kList)->SetFocus();
        dynamic_cast<wxChoice*>(window.Control(kList))->SetSelection(2);
        PressKey(window, WXK_RETURN);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(window.m_colour, 2);
}

TEST(TemplateDialogWithoutDefault, ModalRunsNestAndEndFromQueuedCalls) {
    RecordingWindowServices services;
    CTestDlg outer(kPlainTemplate, services);
    CTestDlg inner(kTestTemplate, services);
    int innerResult = 0;
    outer.onFirst = [&] { innerResult = RunModal(inner, [&] { PressKey(inner, WXK_ESCAPE); }); };
    const int outerResult = RunModal(outer, [&] {
        ASSERT_TRUE(Click(outer, kFirstButton));
        outer.SendCommand(IDCANCEL);
    });
    EXPECT_EQ(innerResult, IDCANCEL);
    EXPECT_EQ(outerResult, IDCANCEL);
}

}  // namespace
}  // namespace tessaly::testing
