#include <array>

#include "resources/control_ids.h"
#include "resources/dialog_template.h"
#include "resources/setting_lists.h"

namespace tessaly {

namespace {

using K = ControlKind;

constexpr std::array<ControlTemplate, 8> kBasicSettingsControls{{
    {IDC_CODE_TABLE, "IDC_CODE_TABLE", K::DropDownList, "", kCodeTableItems, 101, 18, 95, 100, true,
     0, true},
    {IDC_STATIC, "", K::VCentredLabel, "Character code table", {}, 13, 18, 85, 12},
    {IDC_INTL_SET, "IDC_INTL_SET", K::DropDownList, "", kIntlSetItems, 101, 37, 95, 100, true, 0,
     true},
    {IDC_STATIC, "", K::VCentredLabel, "International character set", {}, 13, 37, 85, 12},
    {IDC_STATIC, "", K::GroupBox, "Virtual Memory Switch Setting", {}, 7, 7, 193, 51},
    {IDC_SET_STATUS, "IDC_SET_STATUS", K::PushButton, "Set Status", {}, 30, 61, 64, 17},
    {IDC_SHOW_INFO, "IDC_SHOW_INFO", K::PushButton, "Show Information", {}, 112, 61, 64, 17},
    {IDC_STATIC,
     "",
     K::SunkenCentredLabel,
     "Set Status sends both settings at once.",
     {},
     57,
     82,
     143,
     9},
}};

}  // namespace

const DialogTemplate kBasicSettingsTemplate{IDD_BASIC_SETTINGS, "Tessaly V1.0.1", 207, 99,
                                            kBasicSettingsControls};

}  // namespace tessaly
