// Keeps the operator's clicks, keys and scrolling away from every window of the
// program while a device transaction runs. The program's message loops
// (DispatchProgramMessage) drop such input rather than queue it, so that a click
// meant for a busy window starts nothing once the transaction is over; painting,
// moving and the caption's buttons still get through. The busy cursor shows.
#pragma once

#include <windows.h>

#include "ui/native_window.h"

namespace tessaly {

class Win32InputHold final : public InputHold {
public:
    Win32InputHold();
    ~Win32InputHold() override;
    Win32InputHold(const Win32InputHold&) = delete;
    Win32InputHold& operator=(const Win32InputHold&) = delete;

    // The hold lives in the program's own loops, which no nested loop replaces.
    void Renew() override {}

    // True while any hold is in place.
    static bool Active();
};

// True for the messages a hold drops: mouse buttons, wheels, keys, touch and pen;
// not Alt+F4, the keyboard's close box.
bool IsOperatorInput(const MSG& message);

// The cursor a window of the program shows now; for WM_SETCURSOR. True when it
// set one (the busy cursor during a hold).
bool SetHeldCursor();

}  // namespace tessaly
