// An open port's HANDLE as the int that link/port_access.h passes around.
#pragma once

#include <windows.h>

namespace tessaly {

inline HANDLE PortHandle(int port) {
    return LongToHandle(port);
}

inline int PortNumber(HANDLE handle) {
    return HandleToLong(handle);
}

// Forgets what the last transfers on `port` reported; Open and Release call it, so
// that a new port starts Sound.
void ForgetTransferFailure(int port);

}  // namespace tessaly
