#include "ports/port_watcher.h"

#include <libudev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace tessaly {

PortWatcher::PortWatcher(std::function<void()> changed) : m_changed(std::move(changed)) {
    udev* context = udev_new();
    udev_monitor* monitor =
        context != nullptr ? udev_monitor_new_from_netlink(context, "udev") : nullptr;
    m_stop = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    const bool ready =
        monitor != nullptr && m_stop >= 0 &&
        udev_monitor_filter_add_match_subsystem_devtype(monitor, "tty", nullptr) >= 0 &&
        udev_monitor_enable_receiving(monitor) >= 0;
    if (!ready) {
        udev_monitor_unref(monitor);
        udev_unref(context);
        return;
    }
    m_thread = std::thread([this, context, monitor] { Run(context, monitor); });
}

PortWatcher::~PortWatcher() {
    if (m_thread.joinable()) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = write(m_stop, &one, sizeof one);
        m_thread.join();
    }
    if (m_stop >= 0) {
        close(m_stop);
    }
}

// Sleeps in poll until udev reports a device or the owner ends the watch; no
// timer wakes it in between.
void PortWatcher::Run(udev* context, udev_monitor* monitor) {
    pollfd fds[2] = {{udev_monitor_get_fd(monitor), POLLIN, 0}, {m_stop, POLLIN, 0}};
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
        if (any && m_changed) {
            m_changed();
        }
    }
    udev_monitor_unref(monitor);
    udev_unref(context);
}

}  // namespace tessaly
