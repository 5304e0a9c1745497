#include <gtest/gtest.h>

#include "resources/control_ids.h"
#include "tests/support/recording_window_services.h"
#include "tests/support/window_driver.h"
#include "tests/ui/test_window.h"

namespace tessaly::testing {
namespace {

class TemplateDialogTest : public ::testing::Test {
protected:
    RecordingWindowServices services;
    CTestDlg window{kTestTemplate, services};
};

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
    EXPECT_EQ(FocusedControl(window), kList);
}

TEST_F(TemplateDialogTest, EnterPressesTheFocusedButtonElseTheDefaultButton) {
    ShowForTest(window);
    FocusOn(window, kFirstButton);
    PumpEvents();
    PressKey(window, Key::Enter);
    EXPECT_EQ(window.firstClicks, 1);
    EXPECT_EQ(window.defaultClicks, 0);

    FocusOn(window, kList);
    PumpEvents();
    PressKey(window, Key::Enter);
    EXPECT_EQ(window.defaultClicks, 1);

    window.EnableControl(kDefaultButton, false);
    PressKey(window, Key::Enter);
    EXPECT_EQ(window.defaultClicks, 1) << "a disabled default button does not answer";
    EXPECT_TRUE(IsShownOnScreen(window));
}

}  // namespace
}  // namespace tessaly::testing
