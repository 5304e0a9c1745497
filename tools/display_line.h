// The line settings the tools open a virtual display with: the main window's
// defaults and read timeouts, on the display's own pseudo-terminal.
#pragma once

#include "link/serial_link.h"
#include "tools/virtual_display.h"

namespace tessaly {

inline LinkSettings SettingsFor(const VirtualDisplay& display) {
    LinkSettings settings;
    settings.portName = display.DevicePath();
    settings.baud = 115200;
    settings.dataBits = 8;
    settings.timeouts = kMainWindowTimeouts;
    return settings;
}

}  // namespace tessaly
