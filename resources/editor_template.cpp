#include <array>

#include "resources/control_ids.h"
#include "resources/dialog_template.h"
#include "resources/setting_lists.h"

namespace tessaly {

namespace {

using K = ControlKind;

// The lists start disabled and empty: nothing is known until the switches are read.
constexpr std::array<ControlTemplate, 19> kSwitchEditorControls{{
    {IDC_CODE_TABLE, "IDC_CODE_TABLE", K::DropDownList, "", kCodeTableItems, 101, 18, 95, 100,
     false, -1, true},
    {IDC_STATIC, "", K::VCentredLabel, "Character code table", {}, 13, 18, 85, 12},
    {IDC_INTL_SET, "IDC_INTL_SET", K::DropDownList, "", kIntlSetItems, 101, 37, 95, 100, false, -1,
     true},
    {IDC_STATIC, "", K::VCentredLabel, "International character set", {}, 13, 37, 85, 12},
    {IDC_BRIGHTNESS, "IDC_BRIGHTNESS", K::DropDownList, "", kBrightnessItems, 101, 56, 95, 100,
     false, -1, true},
    {IDC_STATIC, "", K::VCentredLabel, "Brightness", {}, 13, 56, 85, 12},
    {IDC_PERIPHERAL, "IDC_PERIPHERAL", K::DropDownList, "", kPeripheralItems, 101, 75, 95, 100,
     false, -1, true},
    {IDC_STATIC, "", K::VCentredLabel, "Peripheral device", {}, 13, 75, 85, 12},
    {IDC_CURSOR_MODE, "IDC_CURSOR_MODE", K::DropDownList, "", kCursorModeItems, 101, 94, 95, 100,
     false, -1, true},
    {IDC_STATIC, "", K::VCentredLabel, "Cursor display mode", {}, 13, 94, 85, 12},
    {IDC_STATIC, "", K::GroupBox, "Virtual Memory Switch Setting", {}, 7, 7, 193, 109},
    {IDC_GET_STATUS, "IDC_GET_STATUS", K::PushButton, "Get Status", {}, 205, 13, 64, 17},
    {IDC_SET_STATUS, "IDC_SET_STATUS", K::PushButton, "Set Status", {}, 205, 34, 64, 17, false},
    {IDC_SAVE_STATUS, "IDC_SAVE_STATUS", K::PushButton, "Save Status", {}, 205, 54, 64, 17, false},
    {IDC_LOAD_STATUS, "IDC_LOAD_STATUS", K::PushButton, "Load Status", {}, 205, 75, 64, 17},
    {IDC_EXIT, "IDC_EXIT", K::PushButton, "Exit", {}, 205, 96, 64, 17},
    {IDC_PROGRESS, "IDC_PROGRESS", K::ProgressBar, "", {}, 48, 119, 221, 13},
    {IDC_STATIC, "", K::CentredLabel, "Progess :", {}, 11, 119, 31, 13},
    {IDC_STATIC,
     "",
     K::SunkenCentredLabel,
     "Get Status reads the display's switches.",
     {},
     126,
     137,
     143,
     9},
}};

}  // namespace

const DialogTemplate kSwitchEditorTemplate{IDD_SWITCH_EDITOR, "Tessaly V1.0.1(Epson Mode)", 276,
                                           156, kSwitchEditorControls};

}  // namespace tessaly
