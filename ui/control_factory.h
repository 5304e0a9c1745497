// Turns one row of a window template into a toolkit control.
#pragma once

#include "resources/dialog_template.h"

class wxWindow;

namespace tessaly {

// Closed drop-downs get this height: the template's height includes the dropped
// list, and the toolkit's natural height overlaps the next row at a 15-unit pitch.
inline constexpr int kClosedDropDownHeight = 12;

// Creates the control as a child of `dialog`, positioned in the dialog's own
// dialog units, with its items, initial selection and enabled state.
wxWindow* CreateControl(wxWindow& dialog, const ControlTemplate& control);

}  // namespace tessaly
