#include "app/editing_windows.h"

namespace tessaly {

std::unique_ptr<CTemplateDialog> CreateEditingWindow(EmulationMode mode, CSerialLink* link,
                                                     WindowServices& services) {
    // The switch editor (mode kEscPos) and the basic settings window (any other
    // mode) are created here, each with no parent, and given `link` before they
    // run. Until they are part of the program "Run Manager" opens nothing.
    (void)mode;
    (void)link;
    (void)services;
    return nullptr;
}

}  // namespace tessaly
