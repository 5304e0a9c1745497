// Whether the device behind a port name is still there: a pulled-out adapter
// takes its device node with it.
#pragma once

#include <string>

namespace tessaly {

// True when the system says the device at `path` no longer exists; false while it
// does or nothing can be told.
bool DeviceIsGone(const std::string& path);

}  // namespace tessaly
