#include "printers/device_match.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "tests/support/temp_dir.h"

namespace tessaly {
namespace {

TEST(DeviceMatch, AcceptsTheUriFormsThatNameTheDevice) {
    const char* matching[] = {
        "serial:/dev/ttyS1",     "serial:///dev/ttyS1", "serial:/dev/ttyS1?baud=9600+bits=8",
        "SERIAL:/dev/ttyS1",     "file:/dev/ttyS1",     "file:///dev/ttyS1",
        "serial:/dev/tty%53%31",
    };
    for (const char* uri : matching)
        EXPECT_TRUE(DeviceUriNamesDevice(uri, "/dev/ttyS1")) << uri;
}

TEST(DeviceMatch, RejectsOtherDevicesAndOtherSchemes) {
    const char* other[] = {
        "serial:/dev/ttyS10",  // a prefix of the path is not the device
        "serial:/dev/ttyS",
        "serial:/dev/TTYS1",
        "serial://dev/ttyS1",  // that is a host
        "serial:dev/ttyS1",
        "usb://Maker/Model?serial=/dev/ttyS1",
        "socket://10.0.0.1:9100/dev/ttyS1",
        "parallel:/dev/ttyS1",
        "serial:/dev/ttyS1%",
        "serial:/dev/ttyS1%zz",
        "",
    };
    for (const char* uri : other)
        EXPECT_FALSE(DeviceUriNamesDevice(uri, "/dev/ttyS1")) << uri;
    EXPECT_FALSE(DeviceUriNamesDevice("serial:/dev/ttyS1", "/dev/ttyS10"));
    EXPECT_FALSE(DeviceUriNamesDevice("serial:/dev/ttyS1", ""));
}

TEST(DeviceMatch, ALinkAndItsTargetAreOneDevice) {
    test::TempDir dir;
    std::ofstream(dir / "ttyUSB0").put('\n');
    ASSERT_EQ(0, symlink((dir / "ttyUSB0").c_str(), (dir / "by-id-Maker_Cable").c_str()));
    EXPECT_TRUE(DeviceUriNamesDevice("serial:" + (dir / "by-id-Maker_Cable"), dir / "ttyUSB0"));
    EXPECT_TRUE(DeviceUriNamesDevice("serial:" + (dir / "ttyUSB0") + "?baud=115200",
                                     dir / "by-id-Maker_Cable"));
    EXPECT_FALSE(DeviceUriNamesDevice("serial:" + (dir / "ttyUSB0"), dir / "ttyUSB1"));

    // udev lets '#' into by-id names, and the scheduler keeps it as typed.
    ASSERT_EQ(0, symlink((dir / "ttyUSB0").c_str(), (dir / "usb-Maker_#1-port0").c_str()));
    EXPECT_TRUE(DeviceUriNamesDevice("serial:" + (dir / "usb-Maker_#1-port0") + "?baud=9600",
                                     dir / "ttyUSB0"));
    EXPECT_TRUE(DeviceUriNamesDevice("serial:" + (dir / "usb-Maker_%231-port0"), dir / "ttyUSB0"));
}

}  // namespace
}  // namespace tessaly
