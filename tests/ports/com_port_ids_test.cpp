// COM names and the USB identity Windows keeps in a device's ids.
#include "ports/com_port_ids.h"

#include <gtest/gtest.h>

namespace tessaly {
namespace {

TEST(ComPortIds, ReadsComNumbersForAnyPort) {
    const std::pair<const char*, int> cases[] = {
        {"COM1", 1},       {"com12", 12}, {"\\\\.\\COM256", 256}, {"COM3:", 3}, {"COM", 0},
        {"COMx", 0},       {"LPT1", 0},   {"/dev/ttyS0", 0},      {"COM1a", 0}, {"", 0},
        {"COM1234567", 0},
    };
    for (const auto& [name, number] : cases) {
        EXPECT_EQ(number, ComNumber(name)) << name;
    }
}

TEST(ComPortIds, ReadsTheUsbIdentityFromDeviceIds) {
    struct Case {
        const char* id;
        const char* vendor;
        const char* product;
        const char* serial;
    } const cases[] = {
        {"USB\\VID_0403&PID_6001\\A10KZP3S", "0403", "6001", "A10KZP3S"},
        {"USB\\VID_067B&PID_2303&REV_0300", "067b", "2303", ""},
        {"FTDIBUS\\VID_0403+PID_6001+A10KZP3SA\\0000", "0403", "6001", ""},
        // A serial number Windows made up for a device without one.
        {"USB\\VID_2341&PID_0043\\5&2A3F1C&0&2", "2341", "0043", ""},
        {"ACPI\\PNP0501\\1", "", "", ""},
        {"USB\\VID_04G3&PID_6001\\X", "", "", "X"},
    };
    for (const Case& c : cases) {
        const UsbIds ids = UsbIdsOf(c.id);
        EXPECT_EQ(c.vendor, ids.vendorId) << c.id;
        EXPECT_EQ(c.product, ids.productId) << c.id;
        EXPECT_EQ(c.serial, UsbSerialOf(c.id)) << c.id;
    }
}

}  // namespace
}  // namespace tessaly
