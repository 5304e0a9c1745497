#include "link/posix_port_setup.h"

#include "link/port_access.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <optional>

namespace tessaly {
namespace {

struct Rate {
    std::int32_t baud;
    speed_t speed;
};
constexpr Rate kRates[] = {
    {50, B50},           {75, B75},          {110, B110},         {134, B134},
    {150, B150},         {200, B200},        {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},      {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},    {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},  {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},  {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}};

std::optional<speed_t> SpeedFor(std::int32_t baud) {
    for (const Rate& r : kRates) {
        if (r.baud == baud) {
            return r.speed;
        }
    }
    return std::nullopt;  // no other rate has a termios constant
}

std::optional<tcflag_t> SizeFor(std::int32_t dataBits) {
    constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
    if (dataBits < 5 || dataBits > 8) {
        return std::nullopt;
    }
    return kSizes[dataBits - 5];
}

// Raw mode plus the line items of the settings. False when an item
// has no termios form (an unknown baud, byte size, parity or stop-bit code).
bool ApplyLineItems(termios& t, const LinkSettings& s) {
    const auto speed = SpeedFor(s.baud);
    const auto size = SizeFor(s.dataBits);
    if (!speed || !size || s.parity < 0 || s.parity > 2 || s.stopBits < 0 || s.stopBits > 2) {
        return false;
    }
    cfmakeraw(&t);  // no null discarding, no character translation, no echo
    if (cfsetispeed(&t, *speed) != 0 || cfsetospeed(&t, *speed) != 0) {
        return false;
    }
    t.c_cflag = (t.c_cflag & ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS)) | *size;
    t.c_cflag |= CREAD | CLOCAL;  // receive; CTS and DSR are watched by Write itself
    if (s.parity != 0) {
        t.c_cflag |= PARENB | (s.parity == 1 ? PARODD : 0);
        t.c_iflag |= INPCK;
    } else {
        t.c_iflag &= ~INPCK;
    }
    // Code 1, "one and a half", has no POSIX form; like code 2 it gives two stop bits.
    if (s.stopBits != 0) {
        t.c_cflag |= CSTOPB;
    }
    t.c_iflag &= ~(IXON | IXOFF | IXANY);  // IXANY off: no resuming output on any byte
    if (s.flowControl != 0) {
        t.c_iflag |= IXON | IXOFF;
    }
    // The descriptor is non-blocking and Read times its waits with poll. VMIN 1 makes a
    // read with nothing waiting fail with EAGAIN (VMIN 0 would return 0, which could not
    // be told from the end of file of a hung-up terminal).
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    return true;
}

// tcsetattr succeeds when any change was taken; a driver that cannot give the rate
// may keep another, so read it back. The frame bits are not compared: a
// pseudo-terminal, having no wire, always reports CS8 without PARENB.
// None when the rate was kept; ApplyLineState (errno set) when it cannot be read.
OpenStep ReadBackSpeed(int fd, const termios& wanted) {
    termios got{};
    if (tcgetattr(fd, &got) != 0) {
        return OpenStep::ApplyLineState;
    }
    const bool kept =
        cfgetospeed(&got) == cfgetospeed(&wanted) && cfgetispeed(&got) == cfgetispeed(&wanted);
    return kept ? OpenStep::None : OpenStep::SpeedNotTaken;
}

// DTR held asserted, RTS asserted only with flow control. A device without modem
// lines (a pseudo-terminal) answers ENOTTY or EINVAL, which is no failure.
bool SetModemOutputs(int fd, bool rts) {
    int dtr = TIOCM_DTR;
    int rtsBit = TIOCM_RTS;
    const auto ok = [](int rc) { return rc == 0 || errno == ENOTTY || errno == EINVAL; };
    return ok(ioctl(fd, TIOCMBIS, &dtr)) && ok(ioctl(fd, rts ? TIOCMBIS : TIOCMBIC, &rtsBit));
}

// Unix98 pseudo-terminal slaves (/dev/pts/N) have majors 136 to 143.
bool IsPseudoTerminal(int fd) {
    struct stat st {};
    return fstat(fd, &st) == 0 && S_ISCHR(st.st_mode) && major(st.st_rdev) >= 136 &&
           major(st.st_rdev) <= 143;
}

// A pseudo-terminal has no wire and drops the parity it is given; asked for the
// same parity again on a later open, Linux refuses the whole request with
// EINVAL. Parity means nothing there, so the rest is applied without it.
// The step that failed, or None; errno is the failing call's for ApplyLineState.
OpenStep ApplyLineState(int fd, termios t) {
    if (tcsetattr(fd, TCSANOW, &t) != 0) {
        if (errno != EINVAL || !IsPseudoTerminal(fd) || (t.c_cflag & PARENB) == 0) {
            return OpenStep::ApplyLineState;
        }
        t.c_cflag &= ~(PARENB | PARODD);
        t.c_iflag &= ~INPCK;
        if (tcsetattr(fd, TCSANOW, &t) != 0) {
            return OpenStep::ApplyLineState;
        }
    }
    return ReadBackSpeed(fd, t);
}

// Records the failing step with the errno its call left, before close() can
// change errno, then releases the device.
int Fail(int fd, OpenFailure& failure, OpenStep step, int error) {
    failure.step = step;
    failure.error = error;
    if (fd >= 0) {
        close(fd);
    }
    return -1;
}

// A pseudo-terminal keeps the exclusive mark after its last close, which would
// refuse the next open; a failed open must leave the device as it found it.
int FailExclusive(int fd, OpenFailure& failure, OpenStep step, int error) {
    ioctl(fd, TIOCNXCL);
    return Fail(fd, failure, step, error);
}

// TIOCEXCL on a device that has no such mark to give (a mocked test device
// answers ENOTTY without reaching the kernel) is no failure: flock still keeps
// other Tessaly runs out.
bool MarkExclusive(int fd) {
    return ioctl(fd, TIOCEXCL) == 0 || errno == ENOTTY;
}

}  // namespace

int OpenTermiosPort(const std::string& path, const LinkSettings& settings, OpenFailure& failure) {
    failure = OpenFailure{};
    failure.path = path;
    failure.baud = settings.baud;
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return Fail(-1, failure, OpenStep::Open, errno);
    }
    // Not shared: flock refuses a second opener of ours (also for root, whom TIOCEXCL
    // lets through); TIOCEXCL refuses other programs' opens of the device.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        return Fail(fd, failure, OpenStep::Lock, errno);
    }
    if (!MarkExclusive(fd)) {
        return Fail(fd, failure, OpenStep::Exclusive, errno);
    }
    termios t{};
    if (tcgetattr(fd, &t) != 0) {
        return FailExclusive(fd, failure, OpenStep::ReadLineState, errno);
    }
    if (!ApplyLineItems(t, settings)) {
        return FailExclusive(fd, failure, OpenStep::LineItems, 0);
    }
    if (const OpenStep step = ApplyLineState(fd, t); step != OpenStep::None) {
        // A rate the driver did not keep is no failed call: it has no errno.
        return FailExclusive(fd, failure, step, step == OpenStep::SpeedNotTaken ? 0 : errno);
    }
    if (!SetModemOutputs(fd, settings.flowControl != 0)) {
        return FailExclusive(fd, failure, OpenStep::ModemOutputs, errno);
    }
    tcflush(fd, TCIOFLUSH);  // both buffers purged; the result is not used
    return fd;
}

void ReleaseTermiosPort(int fd, unsigned drainMs) {
    const bool drained = WaitOutputQueueEmpty(
        fd, std::chrono::steady_clock::now() + std::chrono::milliseconds(drainMs));
    // Only what could not drain is thrown away. A pseudo-terminal reports an empty
    // queue at once, and a flush there would discard what its peer has not read yet:
    // the last command of a program that closes right after writing it.
    if (!drained) {
        tcflush(fd, TCOFLUSH);
    }
    ioctl(fd, TIOCNXCL);  // the mark stays on a device that outlives its opener (a pty)
    close(fd);
}

}  // namespace tessaly
