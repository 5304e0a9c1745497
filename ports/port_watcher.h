// Tells its owner when a serial device is plugged in or pulled out, from the
// system's own notifications (udev on Linux, device broadcasts on Windows), on a
// thread of its own that sleeps until one comes.
#pragma once

#include <functional>
#include <memory>

namespace tessaly {

class PortWatcher {
public:
    // `changed` runs on the watcher's thread after each serial device that comes or
    // goes; the owner re-reads the ports on its own thread. Nothing is watched
    // when the system's notifications cannot be reached (Watching() is false).
    // `changed` must not wait for the owner's thread: the destructor waits for a
    // call under way.
    explicit PortWatcher(std::function<void()> changed);
    ~PortWatcher();  // stops the thread at once and waits for it
    PortWatcher(const PortWatcher&) = delete;
    PortWatcher& operator=(const PortWatcher&) = delete;

    bool Watching() const { return m_watch != nullptr; }

private:
    // The platform's thread and what wakes it; only while watching.
    struct Watch;
    std::unique_ptr<Watch> m_watch;
};

}  // namespace tessaly
