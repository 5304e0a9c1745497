// Every message loop of the program's own (a window's modal run, the tests'
// pumps) hands its messages here, so that input held back during a transaction
// is dropped and the template windows get their keyboard: Enter, Escape, Tab.
#pragma once

#include <windows.h>

namespace tessaly {

void DispatchProgramMessage(MSG& message);

// Dispatches what is queued now, without waiting. False when it met WM_QUIT,
// which it posts again for the outermost loop.
bool DispatchPending();

}  // namespace tessaly
