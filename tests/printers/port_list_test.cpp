// Which ports of a Windows printer's port list are the display's port.
#include "printers/port_list.h"

#include <gtest/gtest.h>

namespace tessaly {
namespace {

TEST(PortList, FindsThePortAmongAPrintersPorts) {
    struct Case {
        const char* portList;
        const char* portName;
        bool named;
    } const cases[] = {
        {"COM1:", "COM1", true},
        {"COM1:,LPT1:", "COM1", true},
        {"LPT1:, COM1:", "COM1", true},
        {"com1:", "COM1", true},  // Windows device names ignore case
        {"COM1:", "\\\\.\\COM1", true},
        {"COM10:", "COM1", false},
        {"COM1:", "COM10", false},
        {"XCOM1:", "COM1", false},
        {"FILE:", "COM1", false},
        {"", "COM1", false},
        {"COM1:", "", false},
        {",,", "", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.named, PortListNamesPort(c.portList, c.portName))
            << '"' << c.portList << "\" with " << c.portName;
    }
}

}  // namespace
}  // namespace tessaly
