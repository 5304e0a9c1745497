#include <array>

#include "resources/control_ids.h"
#include "resources/dialog_template.h"
#include "resources/main_lists.h"

namespace tessaly {

namespace {

using K = ControlKind;

constexpr std::array<ControlTemplate, 19> kMainControls{{
    {IDCANCEL, "IDCANCEL", K::PushButton, "Exit", {}, 152, 124, 80, 19},
    {IDC_STATIC, "", K::VCentredLabel, "Emulation Mode Selection", {}, 18, 17, 85, 12},
    {IDC_CHECK_COMM,
     "IDC_CHECK_COMM",
     K::DefaultPushButton,
     "Check Communication",
     {},
     152,
     41,
     80,
     19},
    {IDC_SELF_TEST, "IDC_SELF_TEST", K::PushButton, "Self Test", {}, 152, 69, 80, 19, false},
    {IDC_RUN_MANAGER, "IDC_RUN_MANAGER", K::PushButton, "Run Manager", {}, 152, 97, 80, 19, false},
    {IDC_BAUD, "IDC_BAUD", K::DropDownList, "", kBaudItems, 65, 65, 67, 59, true, 4, true},
    {IDC_DATA_BITS, "IDC_DATA_BITS", K::DropDownList, "", kDataBitsItems, 65, 80, 67, 59, true, 0,
     true},
    {IDC_PARITY, "IDC_PARITY", K::EditableDropDown, "", kParityItems, 65, 95, 67, 59, true, 0},
    {IDC_STOP_BITS, "IDC_STOP_BITS", K::DropDownList, "", kStopBitsItems, 65, 110, 67, 59, false,
     0},
    {IDC_STATIC, "", K::GroupBox, "Communication Setting", {}, 7, 37, 133, 108},
    {IDC_STATIC, "", K::Label, "Baud Rate", {}, 15, 67, 44, 8},
    {IDC_STATIC, "", K::Label, "Stop Bits", {}, 15, 112, 44, 9},
    {IDC_STATIC, "", K::Label, "Parity", {}, 15, 97, 44, 9},
    {IDC_STATIC, "", K::Label, "Data Bits", {}, 15, 82, 44, 8},
    {IDC_FLOW, "IDC_FLOW", K::DropDownList, "", kFlowItems, 65, 125, 67, 59, false, 0},
    {IDC_STATIC, "", K::Label, "Flow Control", {}, 15, 127, 44, 9},
    {IDC_EMULATION, "IDC_EMULATION", K::DropDownList, "", kEmulationItems, 108, 18, 96, 59, true,
     0},
    {IDC_PORT, "IDC_PORT", K::DropDownList, "", kPortItems, 65, 50, 67, 126, true, 0},
    {IDC_STATIC, "", K::Label, "Port", {}, 15, 53, 44, 8},
}};

}  // namespace

const DialogTemplate kMainTemplate{IDD_MAIN, "Tessaly(V1.0.1)", 239, 151, kMainControls};

}  // namespace tessaly
