// Hotplug on Windows: a hidden top-level window on the watcher's own thread
// receives WM_DEVICECHANGE. A message-only window would be simpler but is left
// out of broadcasts, and DBT_DEVNODES_CHANGED (the only news some virtual COM
// port drivers give) and the port arrivals of old drivers come only as
// broadcasts; ports with a device interface also come through the registration.
#include "ports/port_watcher.h"

#include <windows.h>
// After windows.h: its types.
#include <dbt.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "ports/win32_com_port_interface.h"

namespace tessaly {
namespace {

// Tests find the window by this name.
constexpr wchar_t kWindowClass[] = L"TessalyPortWatcher";
// Creating a window and registering for notifications takes milliseconds; the
// bounds only keep a wedged system from holding the owner's thread forever.
constexpr auto kStartBound = std::chrono::seconds(10);
constexpr auto kStopBound = std::chrono::seconds(10);

// What the thread and its owner share. The thread holds it too, so that a thread
// that outlives the owner's bounds still has it; `ownerGone` then keeps it from
// calling an owner that no longer exists.
struct Shared {
    std::function<void()> changed;
    std::mutex mutex;
    std::condition_variable stageChanged;
    enum class Stage { starting, watching, failed, finished } stage = Stage::starting;
    bool ownerGone = false;
    HWND window = nullptr;

    void Enter(Stage next) {
        {
            std::lock_guard lock(mutex);
            stage = next;
        }
        stageChanged.notify_all();
    }

    // Under the lock, so that once the owner has marked itself gone no call is
    // still running.
    void Changed() {
        std::lock_guard lock(mutex);
        if (!ownerGone && changed) {
            changed();
        }
    }
};

// A serial port came or went: an interface of the class registered for, a port
// broadcast, or a change anywhere in the device tree (re-reading the ports costs
// little).
bool IsPortChange(WPARAM event, LPARAM data) {
    if (event == DBT_DEVNODES_CHANGED) {
        return true;
    }
    if ((event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE) || data == 0) {
        return false;
    }
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(data);
    if (header->dbch_devicetype == DBT_DEVTYP_PORT) {
        return true;
    }
    return header->dbch_devicetype == DBT_DEVTYP_DEVICEINTERFACE &&
           reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(data)->dbcc_classguid ==
               kComPortInterface;
}

LRESULT CALLBACK WatcherProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    } else if (message == WM_DEVICECHANGE) {
        auto* shared = reinterpret_cast<Shared*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (shared != nullptr && IsPortChange(wParam, lParam)) {
            shared->Changed();
        }
        return TRUE;
    } else if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateWatcherWindow(Shared* shared) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WatcherProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kWindowClass;
    // A second watcher finds the class registered by the first.
    if (RegisterClassExW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return nullptr;
    }
    // Unowned and never shown; a tool window stays out of the taskbar regardless.
    return CreateWindowExW(WS_EX_TOOLWINDOW, kWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                           nullptr, instance, shared);
}

void Run(const std::shared_ptr<Shared>& shared) {
    HWND window = CreateWatcherWindow(shared.get());
    HDEVNOTIFY registration = nullptr;
    if (window != nullptr) {
        DEV_BROADCAST_DEVICEINTERFACE_W filter{};
        filter.dbcc_size = sizeof filter;
        filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
        filter.dbcc_classguid = kComPortInterface;
        registration = RegisterDeviceNotificationW(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    }
    bool abandoned = false;
    {
        std::lock_guard lock(shared->mutex);
        abandoned = shared->ownerGone;
        shared->window = window;
        // Without the registration the broadcasts still come.
        shared->stage = window != nullptr ? Shared::Stage::watching : Shared::Stage::failed;
    }
    shared->stageChanged.notify_all();
    if (window != nullptr && !abandoned) {
        // Ends when the owner's WM_CLOSE destroys the window.
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            DispatchMessageW(&message);
        }
    }
    if (registration != nullptr) {
        UnregisterDeviceNotification(registration);
    }
    if (window != nullptr && IsWindow(window)) {
        DestroyWindow(window);
    }
    shared->Enter(Shared::Stage::finished);
}

}  // namespace

struct PortWatcher::Watch {
    std::shared_ptr<Shared> shared;
    std::thread thread;
};

PortWatcher::PortWatcher(std::function<void()> changed) {
    auto shared = std::make_shared<Shared>();
    shared->changed = std::move(changed);
    std::thread thread;
    try {
        thread = std::thread([shared] { Run(shared); });
    } catch (const std::system_error&) {
        return;
    }
    std::unique_lock lock(shared->mutex);
    const bool started = shared->stageChanged.wait_for(
        lock, kStartBound, [&] { return shared->stage != Shared::Stage::starting; });
    if (started && shared->stage == Shared::Stage::watching) {
        lock.unlock();
        m_watch = std::make_unique<Watch>(Watch{shared, std::move(thread)});
        return;
    }
    // Failed, or still starting after the bound: the thread cleans up after
    // itself and no longer reports.
    shared->ownerGone = true;
    lock.unlock();
    if (started) {
        thread.join();
    } else {
        thread.detach();
    }
}

PortWatcher::~PortWatcher() {
    if (!m_watch) {
        return;
    }
    Shared& shared = *m_watch->shared;
    std::unique_lock lock(shared.mutex);
    shared.ownerGone = true;
    PostMessageW(shared.window, WM_CLOSE, 0, 0);
    const bool finished = shared.stageChanged.wait_for(
        lock, kStopBound, [&] { return shared.stage == Shared::Stage::finished; });
    lock.unlock();
    if (finished) {
        m_watch->thread.join();
    } else {
        m_watch->thread.detach();
    }
}

}  // namespace tessaly
