// Where the wxWidgets back end puts a template's controls.
#include <gtest/gtest.h>

#include "resources/dialog_template.h"
#include "tests/support/recording_window_services.h"
#include "tests/ui/test_window.h"
#include "ui/wx/wx_template_window.h"

namespace tessaly::testing {
namespace {

class WxTemplateLayoutTest : public ::testing::Test {
protected:
    RecordingWindowServices services;
    CTestDlg window{kTestTemplate, services};
    WxTemplateWindow& dialog = WxWindowOf(window);
};

TEST_F(WxTemplateLayoutTest, PlacesControlsInTheWindowsOwnDialogUnits) {
    const wxSize client = dialog.GetClientSize();
    EXPECT_EQ(client, dialog.ConvertDialogToPixels(wxSize(177, 80)));
    const wxWindow* button = WxControl(window, kFirstButton);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->GetPosition(), dialog.ConvertDialogToPixels(wxPoint(120, 7)));
    EXPECT_EQ(button->GetSize(), dialog.ConvertDialogToPixels(wxSize(50, 14)));
}

TEST_F(WxTemplateLayoutTest, ClosedDropDownsFitTheirFontAndTheirRowNotTheDroppedList) {
    for (int id : {kList, kEditable}) {
        const wxWindow* list = WxControl(window, id);
        ASSERT_NE(list, nullptr);
        const int rowHeight = dialog.ConvertDialogToPixels(wxSize(0, kClosedDropDownHeight)).y;
        EXPECT_GE(list->GetSize().y, list->GetBestSize().y);
        EXPECT_GE(list->GetSize().y, rowHeight);
        // The templates put rows 15 units apart; at the desktop's font the
        // boxes stay within that.
        EXPECT_LE(list->GetSize().y, dialog.ConvertDialogToPixels(wxSize(0, 15)).y);
    }
}

}  // namespace
}  // namespace tessaly::testing
