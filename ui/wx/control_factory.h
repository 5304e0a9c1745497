// Turns one row of a window template into a toolkit control.
#pragma once

#include <cstddef>
#include <span>

#include "resources/dialog_template.h"

class wxWindow;

namespace tessaly {

// The row of a closed drop-down in the templates (their height includes the
// dropped list). The box itself is as tall as the toolkit needs for its font,
// centred on this row, so that no letter is cut off at any font size.
inline constexpr int kClosedDropDownHeight = 12;

// Creates the control as a child of `dialog`, positioned in the dialog's own
// dialog units, with its items, initial selection and enabled state.
wxWindow* CreateControl(wxWindow& dialog, const ControlTemplate& control);

// The label of `controls[index]`: a label on the control's row, to its left.
// Null for controls that take no label and for those the template gives none.
const ControlTemplate* LabelOf(std::span<const ControlTemplate> controls, std::size_t index);

// Centres a label vertically on the row of the control it names.
void CentreLabelOn(wxWindow& label, const wxWindow& control);

}  // namespace tessaly
