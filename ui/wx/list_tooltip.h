// A closed drop-down shows only as much of its item as its box holds ("PC437
// (USA: Standar…"); its tooltip then carries the whole item.
#pragma once

#include <string>

class wxWindow;

namespace tessaly {

// The selected item's text when the closed box cuts it, else no tooltip; `note`,
// when not empty, is shown instead. Does nothing to a window that is no drop-down list.
void UpdateListTooltip(wxWindow* control, const std::string& note = {});

// True when the closed box cuts the item `index`.
bool ItemIsCut(const wxWindow* control, int index);

}  // namespace tessaly
