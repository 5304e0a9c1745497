// A mocked udev for tests: a umockdev testbed with a mocked /sys and /dev, into
// which USB serial adapters are plugged and from which they are pulled. Their
// tty nodes are pseudo-terminals whose master side a test can serve.
#pragma once

#include <string>

struct _UMockdevTestbed;

namespace tessaly::testing {

// The first thing a test program's main() calls: restarts the program with
// umockdev's preload library when it is not yet loaded (as umockdev-wrapper
// does), so that every udev, /sys and /dev call goes to the testbed.
void RunUnderUmockdev(int argc, char** argv);

struct MockAdapter {
    std::string kernelName;  // "ttyUSB0"
    std::string byId;        // "usb-FTDI_FT232R_USB_UART_A10KZP3S-if00-port0"
    std::string product;
    std::string syspath;  // of the tty device, for Unplug
};

class MockUdev {
public:
    MockUdev();  // an empty testbed; children started later inherit it
    ~MockUdev();
    MockUdev(const MockUdev&) = delete;
    MockUdev& operator=(const MockUdev&) = delete;

    // An FTDI FT232R adapter (0403:6001, driver ftdi_sio) as ttyUSB<n>.
    MockAdapter PlugFtdi(int n, const std::string& serial = "A10KZP3S");
    // A CDC-ACM device (driver cdc_acm) as ttyACM<n>.
    MockAdapter PlugAcm(int n);
    // A tty with no device behind it, as virtual consoles and "console" are.
    void AddVirtualTty(const std::string& kernelName);
    // Removes the adapter's devices; udev reports the tty device as removed.
    void Unplug(const MockAdapter& adapter);

    // The master side of the pseudo-terminal behind /dev/NAME (owned by the testbed).
    int MasterFd(const std::string& kernelName);

private:
    MockAdapter Plug(const std::string& description, MockAdapter adapter, int usbPort);

    _UMockdevTestbed* m_testbed;
};

}  // namespace tessaly::testing
