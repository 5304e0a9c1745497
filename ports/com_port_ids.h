// COM port names and the identifiers Windows gives serial devices, read as
// plain text so that the reading is tested on every platform.
#pragma once

#include <string>
#include <string_view>

namespace tessaly {

// n for "COMn" (any n from 1, any case, with "\\.\" before it or ':' after it
// allowed); 0 for anything else.
int ComNumber(std::string_view name);

struct UsbIds {
    std::string vendorId;   // "0403"
    std::string productId;  // "6001"
};

// The vendor and product of a hardware or instance id: "USB\VID_0403&PID_6001&REV_0600",
// "FTDIBUS\VID_0403+PID_6001+A10KZP3SA\0000"; empty where it names none.
UsbIds UsbIdsOf(std::string_view deviceId);

// The serial number of a USB device instance id ("USB\VID_0403&PID_6001\A10KZP3S");
// empty when the last part was made up by Windows (it then holds '&').
std::string UsbSerialOf(std::string_view instanceId);

}  // namespace tessaly
