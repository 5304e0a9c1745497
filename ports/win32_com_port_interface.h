// The device interface class of serial ports (GUID_DEVINTERFACE_COMPORT), which
// both discovery and hotplug ask for; its own header (ntddser.h) is for drivers.
#pragma once

#include <windows.h>

namespace tessaly {

inline constexpr GUID kComPortInterface = {
    0x86E0D1E0, 0x8089, 0x11D0, {0x9C, 0xE4, 0x08, 0x00, 0x3E, 0x30, 0x1F, 0x73}};

}  // namespace tessaly
