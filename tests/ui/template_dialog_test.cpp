#include <gtest/gtest.h>

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

TEST_F(TemplateDialogTest, ClosedDropDownsFitTheirFontAndTheirRowNotTheDroppedList) {
    for (int id : {kList, kEditable}) {
        const wxWindow* list = window.Control(id);
        ASSERT_NE(list, nullptr);
        const int rowHeight = window.ConvertDialogToPixels(wxSize(0, kClosedDropDownHeight)).y;
        EXPECT_GE(list->GetSize().y, list->GetBestSize().y);
        EXPECT_GE(list->GetSize().y, rowHeight);
        // The templates put rows 15 units apart; at the desktop's font the
        // boxes stay within that.
        EXPECT_LE(list->GetSize().y, window.ConvertDialogToPixels(wxSize(0, 15)).y);
    }
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

TEST_F(TemplateDialogTest, InitialisationShowsMembersAndFocusesFirstEnabledTabStop) {
    window.m_colour = 0;
    ShowForTest(window);
    EXPECT_EQ(window.GetListIndex(kList), 0);
    // The label takes no focus and the first list is disabled.
    EXPECT_EQ(FocusedControl(window), window.Control(kList));
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

}  // namespace
}  // namespace tessaly::testing
