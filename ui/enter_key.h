// The command Enter gives a window, the same on every toolkit: the focused
// button's, when a button of the window has the focus; else the template's
// default button's; else IDOK. A disabled button answers nothing (0).
#pragma once

#include <functional>

#include "resources/control_ids.h"
#include "resources/dialog_template.h"

namespace tessaly {

// `focusedButton`: the id of the window's button that has the focus, 0 for none.
inline int EnterCommand(const DialogTemplate& layout, int focusedButton,
                        const std::function<bool(int controlId)>& isEnabled) {
    if (focusedButton != 0) {
        return isEnabled(focusedButton) ? focusedButton : 0;
    }
    for (const ControlTemplate& control : layout.controls) {
        if (control.kind == ControlKind::DefaultPushButton) {
            return isEnabled(control.id) ? control.id : 0;
        }
    }
    return IDOK;
}

}  // namespace tessaly
