// Turns one row of a window template into a toolkit control.
#pragma once

#include <cstddef>
#include <span>

#include "resources/dialog_template.h"

class wxWindow;

namespace tessaly {

// Creates the control as a child of `dialog`, positioned in the dialog's own
// dialog units, with its items, initial selection and enabled state.
wxWindow* CreateControl(wxWindow& dialog, const ControlTemplate& control);

// Centres a label vertically on the row of the control it names.
void CentreLabelOn(wxWindow& label, const wxWindow& control);

}  // namespace tessaly
