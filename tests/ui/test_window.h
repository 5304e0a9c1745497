// A small window with one control of each kind, for exercising the framework
// apart from the real windows.
#pragma once

#include <array>

#include "resources/control_ids.h"
#include "resources/dialog_template.h"
#include "ui/progress_bar.h"
#include "ui/template_dialog.h"

namespace tessaly::testing {

inline constexpr int kFirstButton = 1101;
inline constexpr int kDefaultButton = 1102;
inline constexpr int kList = 1103;
inline constexpr int kEditable = 1104;
inline constexpr int kGauge = 1105;
inline constexpr int kDisabledList = 1106;

inline constexpr std::array<const char*, 3> kColours{"Red", "Green", "Blue"};

inline constexpr std::array<ControlTemplate, 8> kTestControls{{
    {IDC_STATIC, "", ControlKind::VCentredLabel, "Colour", {}, 7, 7, 40, 12},
    {kDisabledList, "LIST0", ControlKind::DropDownList, "", kColours, 50, 7, 60, 50, false, 0},
    {kList, "LIST", ControlKind::DropDownList, "", kColours, 50, 22, 60, 50, true, 1},
    {kEditable, "EDIT", ControlKind::EditableDropDown, "", kColours, 50, 37, 60, 50, true, 2},
    {kFirstButton, "FIRST", ControlKind::PushButton, "First", {}, 120, 7, 50, 14},
    {kDefaultButton, "DEFAULT", ControlKind::DefaultPushButton, "Default", {}, 120, 25, 50, 14},
    {IDCANCEL, "IDCANCEL", ControlKind::PushButton, "Close", {}, 120, 43, 50, 14},
    {kGauge, "GAUGE", ControlKind::ProgressBar, "", {}, 7, 62, 163, 10},
}};
inline constexpr DialogTemplate kTestTemplate{900, "Framework test", 177, 80, kTestControls};

// Records its handlers and keeps one list index and a progress bar as members.
class CTestDlg : public CTemplateDialog {
public:
    CTestDlg(const DialogTemplate& layout, WindowServices& services)
        : CTemplateDialog(layout, services) {
        static constexpr CommandHandler<CTestDlg> kHandlers[] = {
            {Notification::Clicked, kFirstButton, &CTestDlg::OnFirst},
            {Notification::Clicked, kDefaultButton, &CTestDlg::OnDefault},
        };
        BindHandlers(this, kHandlers);
    }

    std::int32_t m_colour = 0;
    ProgressBar m_progress;
    int firstClicks = 0;
    int defaultClicks = 0;
    std::function<void()> onFirst;

    using CTemplateDialog::RunTransaction;

protected:
    void DoDataExchange(DataExchange& dx) override {
        dx.Control(kGauge, m_progress);
        dx.ListIndex(kList, m_colour);
    }

private:
    void OnFirst() {
        ++firstClicks;
        if (onFirst) {
            onFirst();
        }
    }
    void OnDefault() { ++defaultClicks; }
};

}  // namespace tessaly::testing
