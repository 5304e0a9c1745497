#include "ports/port_watcher.h"

#include <libudev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <thread>
#include <utility>

namespace tessaly {

struct PortWatcher::Watch {
    std::function<void()> changed;
    udev* context = nullptr;
    udev_monitor* monitor = nullptr;
    int stop = -1;  // eventfd that wakes the thread to end
    std::thread thread;

    ~Watch() {
        udev_monitor_unref(monitor);
        udev_unref(context);
        if (stop >= 0) {
            close(stop);
        }
    }

    void Run();
};

PortWatcher::PortWatcher(std::function<void()> changed) {
    auto watch = std::make_unique<Watch>();
    watch->changed = std::move(changed);
    watch->context = udev_new();
    watch->monitor =
        watch->context != nullptr ? udev_monitor_new_from_netlink(watch->context, "udev") : nullptr;
    watch->stop = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    const bool ready =
        watch->monitor != nullptr && watch->stop >= 0 &&
        udev_monitor_filter_add_match_subsystem_devtype(watch->monitor, "tty", nullptr) >= 0 &&
        udev_monitor_enable_receiving(watch->monitor) >= 0;
    if (!ready) {
        return;
    }
    Watch* running = watch.get();
    watch->thread = std::thread([running] { running->Run(); });
    m_watch = std::move(watch);
}

PortWatcher::~PortWatcher() {
    if (m_watch) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = write(m_watch->stop, &one, sizeof one);
        m_watch->thread.join();
    }
}

// Sleeps in poll until udev reports a device or the owner ends the watch; no
// timer wakes it in between.
void PortWatcher::Watch::Run() {
    pollfd fds[2] = {{udev_monitor_get_fd(monitor), POLLIN, 0}, {stop, POLLIN, 0}};
    while (true) {
        fds[0].revents = fds[1].revents = 0;
        const int ready = poll(fds, 2, -1);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready < 0 || fds[1].revents != 0 || (fds[0].revents & (POLLERR | POLLNVAL)) != 0) {
            break;
        }
        bool any = false;
        while (udev_device* device = udev_monitor_receive_device(monitor)) {
            const char* action = udev_device_get_action(device);
            any = any || (action != nullptr &&
                          (std::strcmp(action, "add") == 0 || std::strcmp(action, "remove") == 0));
            udev_device_unref(device);
        }
        if (any && changed) {
            changed();
        }
    }
}

}  // namespace tessaly
