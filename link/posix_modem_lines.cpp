#include "link/posix_modem_lines.h"

#include <sys/ioctl.h>

#include <cerrno>

namespace tessaly {

ModemLines::State TermiosModemLines::ClearToSend(int fd) {
    int lines = 0;
    if (ioctl(fd, TIOCMGET, &lines) != 0) {
        return (errno == ENOTTY || errno == EINVAL) ? State::Unsupported : State::Failed;
    }
    const int both = TIOCM_CTS | TIOCM_DSR;
    return (lines & both) == both ? State::Asserted : State::Low;
}

}  // namespace tessaly
