// Tells its owner when a serial device is plugged in or pulled out, from udev's
// own notifications, on a thread of its own that sleeps until one comes.
#pragma once

#include <atomic>
#include <functional>
#include <thread>

struct udev;
struct udev_monitor;

namespace tessaly {

class PortWatcher {
public:
    // `changed` runs on the watcher's thread after each tty device that comes or
    // goes; the owner re-reads the ports on its own thread. Nothing is watched
    // when udev cannot be reached (Watching() is false).
    explicit PortWatcher(std::function<void()> changed);
    ~PortWatcher();  // stops the thread at once and waits for it
    PortWatcher(const PortWatcher&) = delete;
    PortWatcher& operator=(const PortWatcher&) = delete;

    bool Watching() const { return m_thread.joinable(); }

private:
    void Run(udev* context, udev_monitor* monitor);

    std::function<void()> m_changed;
    int m_stop = -1;  // eventfd that wakes the thread to end
    std::thread m_thread;
};

}  // namespace tessaly
