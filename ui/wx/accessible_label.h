// Tells the desktop's accessibility tree which label names a control, so that
// a screen reader announces the control by its label.
#pragma once

class wxWindow;

namespace tessaly {

void NameControlByLabel(wxWindow& label, wxWindow& control);

}  // namespace tessaly
