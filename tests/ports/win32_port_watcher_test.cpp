// Hotplug on Windows, through the watcher's own window. Wine broadcasts no device
// changes, so the tests send the watcher what Windows would.
#include <windows.h>
// After windows.h: its types.
#include <dbt.h>

#include <gtest/gtest.h>

#include "ports/port_watcher.h"
#include "ports/win32_com_port_interface.h"

namespace tessaly {
namespace {

HWND WatcherWindow() {
    return FindWindowW(L"TessalyPortWatcher", nullptr);
}

class Win32PortWatcher : public ::testing::Test {
protected:
    // Wine makes no window at all without an X display.
    void SetUp() override {
        HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                     nullptr, nullptr);
        if (probe == nullptr) {
            GTEST_SKIP() << "no desktop to make windows on";
        }
        DestroyWindow(probe);
    }
};

TEST_F(Win32PortWatcher, TwoWatchersWatchAndTakeTheirWindowsAlongWhenDestroyed) {
    {
        PortWatcher first([] {});
        PortWatcher second([] {});
        EXPECT_TRUE(first.Watching());
        EXPECT_TRUE(second.Watching());
        EXPECT_NE(nullptr, WatcherWindow());
    }
    // A thread left behind after its bound would still own its window.
    EXPECT_EQ(nullptr, WatcherWindow());
}

TEST_F(Win32PortWatcher, ReportsPortsThatComeOrGoAndNothingElse) {
    // USB devices in general, not serial ports.
    constexpr GUID kUsbDevice = {
        0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};
    struct Case {
        const char* what;
        WPARAM event;
        DWORD deviceType;  // 0: no device data
        GUID interfaceClass;
        bool reported;
    };
    const Case cases[] = {
        {"device tree changed", DBT_DEVNODES_CHANGED, 0, {}, true},
        {"COM port interface arrived", DBT_DEVICEARRIVAL, DBT_DEVTYP_DEVICEINTERFACE,
         kComPortInterface, true},
        {"COM port interface removed", DBT_DEVICEREMOVECOMPLETE, DBT_DEVTYP_DEVICEINTERFACE,
         kComPortInterface, true},
        {"port broadcast", DBT_DEVICEARRIVAL, DBT_DEVTYP_PORT, {}, true},
        {"other interface arrived", DBT_DEVICEARRIVAL, DBT_DEVTYP_DEVICEINTERFACE, kUsbDevice,
         false},
        {"volume arrived", DBT_DEVICEARRIVAL, DBT_DEVTYP_VOLUME, {}, false},
        {"COM port about to go", DBT_DEVICEQUERYREMOVE, DBT_DEVTYP_DEVICEINTERFACE,
         kComPortInterface, false},
    };
    int changes = 0;  // counted on the watcher's thread while SendMessage waits
    PortWatcher watcher([&] { ++changes; });
    ASSERT_TRUE(watcher.Watching());
    const HWND window = WatcherWindow();
    ASSERT_NE(nullptr, window);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DEV_BROADCAST_DEVICEINTERFACE_W device{};
        device.dbcc_size = sizeof device;
        device.dbcc_devicetype = c.deviceType;
        device.dbcc_classguid = c.interfaceClass;
        const LPARAM data = c.deviceType != 0 ? reinterpret_cast<LPARAM>(&device) : 0;
        changes = 0;
        SendMessageW(window, WM_DEVICECHANGE, c.event, data);
        EXPECT_EQ(c.reported ? 1 : 0, changes);
    }
}

}  // namespace
}  // namespace tessaly
