// The hang-up sweep: every kind of send, against a display that hangs up at each
// byte of it in turn; counts the sends reported done and the displays left in
// user setting mode while they still answer.
#pragma once

#include <cstdio>

namespace tessaly {

// Prints the table to `out`; 1 when any send was reported done or any display
// was left in user setting mode.
int RunHangUpSweep(std::FILE* out);

}  // namespace tessaly
