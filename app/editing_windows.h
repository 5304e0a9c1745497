// The editing windows that "Run Manager" opens: the switch editor for ESC/POS
// displays, the basic settings window for the others.
#pragma once

#include <memory>

#include "link/serial_link.h"
#include "transactions/transactions.h"
#include "ui/template_dialog.h"
#include "ui/window_services.h"

namespace tessaly {

// The window that suits `mode`, created with no parent and borrowing `link`.
std::unique_ptr<CTemplateDialog> CreateEditingWindow(EmulationMode mode, CSerialLink* link,
                                                     WindowServices& services);

}  // namespace tessaly
