// Timed transfers on an open non-blocking serial descriptor: the POSIX side of
// ReadWithTimeouts, WriteBounded, WaitOutputQueueEmpty and DrainOutput
// (link/port_access.h). The caller holds the link's I/O lock. Reads and writes stop
// at once, with what they have, when the device hangs up or fails. A
// pseudo-terminal hands every byte to its peer at once and always reports its
// output queue empty.
#include "link/port_access.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

// Read timeouts, as on Windows (COMMTIMEOUTS), timed with poll on the monotonic clock:
// - total bound = multiplier x length + constant, from the start of the call; 0 = none;
// - interval bound (nonzero) = the longest gap between two bytes, timed only once the
//   first byte has arrived;
// - interval 0xFFFFFFFF with both total values 0: return at once with what is waiting;
// - interval and multiplier 0xFFFFFFFF with a constant between: return what is waiting,
//   else wait up to the constant for the first byte and return with it.
// Where Windows would wait without end (no total bound: all zero, or an interval only),
// the wait is capped at kUnboundedReadCapMs so that a silent device cannot hold the
// user-interface thread; the cap ends the read like a total timeout.

namespace tessaly {
namespace {

using Clock = std::chrono::steady_clock;
using Ms = std::chrono::milliseconds;
constexpr std::uint32_t kMaxDword = 0xFFFFFFFFu;

// Milliseconds left until `end`, rounded up so that poll never wakes early; -1 = passed.
int MsUntil(Clock::time_point end) {
    const auto left = end - Clock::now();
    if (left <= Clock::duration::zero()) {
        return -1;
    }
    const auto ms = std::chrono::ceil<Ms>(left).count();
    return static_cast<int>(std::min<long long>(ms, 1 << 30));
}

// How often Write looks at the modem lines again while it waits.
constexpr int kModemPollMs = 10;

enum class Wait { Ready, TimedOut, HungUp };

// Waits up to `ms` for `events`. HungUp when the device reports a hang-up or an error,
// even together with the event, so that callers stop instead of polling it again.
Wait WaitFor(int fd, short events, int ms) {
    pollfd p{fd, events, 0};
    int rc;
    do {
        rc = poll(&p, 1, ms);
    } while (rc < 0 && errno == EINTR);
    if (rc < 0 || (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
        return Wait::HungUp;
    }
    return rc == 0 ? Wait::TimedOut : Wait::Ready;
}

}  // namespace

unsigned ReadWithTimeouts(int fd, std::uint8_t* buffer, unsigned length,
                          const LinkTimeouts& timeouts) {
    const auto start = Clock::now();
    const std::uint64_t total = std::min<std::uint64_t>(
        std::uint64_t{timeouts.readTotalMultiplier} * length + timeouts.readTotalConstant,
        kMaxDword);  // about 50 days, and no overflow of the clock
    const bool returnAtOnce = timeouts.readInterval == kMaxDword &&
                              timeouts.readTotalMultiplier == 0 && timeouts.readTotalConstant == 0;
    const bool firstByteOnly =
        timeouts.readInterval == kMaxDword && timeouts.readTotalMultiplier == kMaxDword &&
        timeouts.readTotalConstant != 0 && timeouts.readTotalConstant != kMaxDword;
    const auto end = start + Ms(firstByteOnly ? timeouts.readTotalConstant
                                : total != 0  ? total
                                              : kUnboundedReadCapMs);
    const bool useInterval = timeouts.readInterval != 0 && timeouts.readInterval != kMaxDword;

    unsigned got = 0;
    auto lastByte = start;
    bool hungUp = false;  // after a hang-up, take what is still buffered and stop
    while (got < length) {
        const ssize_t n = read(fd, buffer + got, length - got);
        if (n > 0) {
            got += static_cast<unsigned>(n);
            lastByte = Clock::now();
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        // 0 is end of file (a hung-up terminal); any error but "nothing yet" is a failure.
        if (n == 0 || errno != EAGAIN || hungUp || returnAtOnce || (firstByteOnly && got > 0)) {
            break;
        }
        auto until = end;
        if (useInterval && got > 0) {
            until = std::min(until, lastByte + Ms(timeouts.readInterval));
        }
        const int ms = MsUntil(until);
        const Wait w = ms < 0 ? Wait::TimedOut : WaitFor(fd, POLLIN, ms);
        if (w == Wait::TimedOut) {
            break;
        }
        hungUp = w == Wait::HungUp;
    }
    return got;
}

unsigned WriteBounded(int fd, const std::uint8_t* buffer, unsigned length, ModemLines& lines,
                      unsigned boundMs) {
    const auto end = Clock::now() + Ms(boundMs);
    unsigned done = 0;
    while (done < length) {
        const ModemLines::State state = lines.ClearToSend(fd);
        if (state == ModemLines::State::Failed) {
            break;
        }
        if (state == ModemLines::State::Low) {  // output flow control on CTS and DSR
            const int ms = MsUntil(end);
            if (ms < 0) {
                break;
            }
            std::this_thread::sleep_for(Ms(std::min(ms, kModemPollMs)));
            continue;
        }
        const ssize_t n = write(fd, buffer + done, length - done);
        if (n > 0) {
            done += static_cast<unsigned>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n == 0 || errno != EAGAIN) {  // EIO after a hang-up, or another failure
            break;
        }
        // The device takes no more for now; look at the lines again every few ms.
        const int ms = MsUntil(end);
        if (ms < 0 || WaitFor(fd, POLLOUT, std::min(ms, kModemPollMs)) == Wait::HungUp) {
            break;
        }
    }
    return done;
}

bool WaitOutputQueueEmpty(int fd, Clock::time_point end) {
    int pending = 0;
    while (ioctl(fd, TIOCOUTQ, &pending) == 0) {
        if (pending == 0) {
            return true;
        }
        if (Clock::now() >= end) {
            return false;
        }
        std::this_thread::sleep_for(Ms(kModemPollMs));
    }
    // A device that keeps no count (a mocked test device answers ENOTTY) has no
    // queue to wait for; the line is still watched after it.
    return errno == ENOTTY || errno == EINVAL;
}

bool DrainOutput(int fd, Clock::time_point end) {
    if (!WaitOutputQueueEmpty(fd, end)) {
        return false;
    }
    // Nothing to read is asked for: the wait ends early only on a hang-up or an error.
    for (int ms = MsUntil(end); ms >= 0; ms = MsUntil(end)) {
        if (WaitFor(fd, 0, ms) == Wait::HungUp) {
            return false;
        }
    }
    return true;
}

}  // namespace tessaly
