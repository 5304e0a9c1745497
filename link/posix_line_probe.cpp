#include "link/posix_line_probe.h"

#include <poll.h>

#include <cerrno>

namespace tessaly {

LineState ProbeLine(int fd) {
    // No events asked for: poll reports a hang-up and an error whatever is asked.
    pollfd p{fd, 0, 0};
    int rc;
    do {
        rc = poll(&p, 1, 0);
    } while (rc < 0 && errno == EINTR);
    if (rc < 0) {
        return LineState::Failed;
    }
    if ((p.revents & POLLHUP) != 0) {
        return LineState::HungUp;
    }
    if ((p.revents & (POLLERR | POLLNVAL)) != 0) {
        return LineState::Failed;
    }
    return LineState::Sound;
}

}  // namespace tessaly
