// Clicks as the X server gets them from a pointer. Not the toolkit's own
// simulator: that one yields to the toolkit while it waits.
#pragma once

namespace tessaly::testing {

// Moves the pointer to (x, y) on the screen and clicks the first button.
void RealClick(int x, int y);

}  // namespace tessaly::testing
