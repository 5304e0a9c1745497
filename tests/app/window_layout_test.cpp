// The three windows at the desktop's own font: every closed drop-down at least
// as tall as the toolkit wants it, centred on its template row; the label that
// names it centred on the same row and made just before it.
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "app/editing_windows.h"
#include "app/main_dlg.h"
#include "tests/support/recording_window_services.h"
#include "tests/support/window_driver.h"
#include "ui/wx/wx_template_window.h"

namespace tessaly::testing {
namespace {

class WindowLayoutTest : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        if (GetParam() == "main") {
            window = std::make_unique<CMainDlg>(services, printers);
        } else {
            window =
                CreateEditingWindow(GetParam() == "editor" ? kEscPos : kQuelmar, nullptr, services);
        }
        ShowForTest(*window);
        RunWindowThreadUntil([] { return false; }, 200);  // sizes allocated
    }

    wxWindow* LabelWindow(const char* text) {
        for (wxWindow* child : WxWindowOf(*window).GetChildren()) {
            if (dynamic_cast<wxStaticText*>(child) != nullptr &&
                child->GetLabel() == wxString::FromUTF8(text)) {
                return child;
            }
        }
        return nullptr;
    }

    RecordingWindowServices services;
    PrinterBorrowing printers;
    std::unique_ptr<CTemplateDialog> window;
};

int Centre(const wxRect& box) {
    return box.y + box.height / 2;
}

TEST_P(WindowLayoutTest, DropDownsFitTheirFontAndSitWithTheirLabelsOnTheirRows) {
    const auto controls = window->Layout().controls;
    int dropDowns = 0;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const ControlTemplate& c = controls[i];
        if (c.kind != ControlKind::DropDownList && c.kind != ControlKind::EditableDropDown) {
            continue;
        }
        ++dropDowns;
        SCOPED_TRACE(c.name);
        wxWindow* list = WxControl(*window, c.id);
        ASSERT_NE(list, nullptr);
        GtkWidget* widget = list->GetHandle();
        int minimum = 0;
        int natural = 0;
        gtk_widget_get_preferred_height(widget, &minimum, &natural);
        EXPECT_GE(gtk_widget_get_allocated_height(widget), natural);

        const wxPoint top = WxWindowOf(*window).ConvertDialogToPixels(wxPoint(c.x, c.y));
        const wxSize row =
            WxWindowOf(*window).ConvertDialogToPixels(wxSize(c.w, kClosedDropDownHeight));
        const int rowCentre = top.y + row.GetHeight() / 2;
        EXPECT_NEAR(Centre(list->GetRect()), rowCentre, 1);

        const ControlTemplate* label = LabelOf(controls, i);
        ASSERT_NE(label, nullptr) << "every list has its label";
        wxWindow* labelWindow = LabelWindow(label->text);
        ASSERT_NE(labelWindow, nullptr);
        EXPECT_NEAR(Centre(labelWindow->GetRect()), Centre(list->GetRect()), 1) << label->text;
        EXPECT_EQ(labelWindow->GetNextSibling(), list) << label->text << " is made just before";
    }
    EXPECT_GT(dropDowns, 0);
}

TEST_P(WindowLayoutTest, TheTabOrderStaysTheTemplates) {
    // Labels and group boxes take no focus; everything else tabs in child order.
    std::vector<int> focusable;
    for (wxWindow* child : WxWindowOf(*window).GetChildren()) {
        if (dynamic_cast<wxStaticText*>(child) == nullptr &&
            dynamic_cast<wxStaticBox*>(child) == nullptr) {
            focusable.push_back(child->GetId());
        }
    }
    std::vector<int> expected;
    for (const ControlTemplate& c : window->Layout().controls) {
        if (c.kind != ControlKind::Label && c.kind != ControlKind::VCentredLabel &&
            c.kind != ControlKind::CentredLabel && c.kind != ControlKind::SunkenCentredLabel &&
            c.kind != ControlKind::GroupBox) {
            expected.push_back(c.id);
        }
    }
    EXPECT_EQ(focusable, expected);
}

INSTANTIATE_TEST_SUITE_P(Windows, WindowLayoutTest, ::testing::Values("main", "editor", "basic"),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace tessaly::testing
