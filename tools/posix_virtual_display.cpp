#include "tools/virtual_display.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <system_error>
#include <utility>

namespace tessaly {

namespace {

constexpr std::size_t kNoiseChunk = 32;
constexpr auto kSendBound = std::chrono::seconds(1);

[[noreturn]] void ThrowErrno(const char* call) {
    throw std::system_error(errno, std::generic_category(), call);
}

}  // namespace

VirtualDisplay::VirtualDisplay() {
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0) {
        ThrowErrno("posix_openpt");
    }
    Start(master);
}

VirtualDisplay::VirtualDisplay(int master) {
    if (master < 0) {
        errno = EBADF;
        ThrowErrno("pseudo-terminal");
    }
    Start(master);
}

void VirtualDisplay::Start(int master) {
    m_master = master;
    char name[128] = {};
    termios raw{};
    int wake[2] = {-1, -1};
    const bool ready = grantpt(m_master) == 0 && unlockpt(m_master) == 0 &&
                       ptsname_r(m_master, name, sizeof name) == 0 &&
                       (m_slaveKeeper = open(name, O_WRONLY | O_NOCTTY | O_CLOEXEC)) >= 0 &&
                       tcgetattr(m_slaveKeeper, &raw) == 0 &&
                       pipe2(wake, O_CLOEXEC | O_NONBLOCK) == 0;
    if (!ready) {
        const int saved = errno;
        if (m_slaveKeeper >= 0) {
            close(m_slaveKeeper);
        }
        close(m_master);
        errno = saved;
        ThrowErrno("pseudo-terminal");
    }
    m_devicePath = name;
    // Raw before any client opens it: the line discipline must pass every byte
    // unchanged (no CR/LF translation, no echo, no signals on 0x03 or 0x1C).
    cfmakeraw(&raw);
    tcsetattr(m_slaveKeeper, TCSANOW, &raw);
    fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_wakeRead = wake[0];
    m_wakeWrite = wake[1];
    m_thread = std::thread([this] { Run(); });
}

VirtualDisplay::~VirtualDisplay() {
    HangUpNow();
    close(m_slaveKeeper);
    close(m_wakeRead);
    close(m_wakeWrite);
}

void VirtualDisplay::HangUpNow() {
    m_stop = true;
    const std::uint8_t wake = 1;
    [[maybe_unused]] const ssize_t ignored = write(m_wakeWrite, &wake, 1);
    if (m_thread.joinable()) {
        m_thread.join();
    }
    CloseMaster();
}

void VirtualDisplay::CloseMaster() {
    std::lock_guard<std::mutex> hold(m_mutex);
    if (m_master >= 0) {
        m_hungUp = true;  // first, so that a client that sees the hang-up sees it here too
        close(m_master);
        m_master = -1;
    }
}

// The client's output is the slave side's: stopping it through the display's own
// descriptor of that side stops every opener's writes, as flow control would.
void VirtualDisplay::StallNow() {
    std::lock_guard<std::mutex> hold(m_mutex);
    if (!m_stalled) {
        tcflow(m_slaveKeeper, TCOOFF);
        m_stalled = true;
    }
}

// The master side reads the line settings the client gave its side.
bool VirtualDisplay::AtLineSpeed() const {
    struct Rate {
        int baud;
        speed_t speed;
    };
    static constexpr Rate kRates[] = {
        {9600, B9600}, {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200}};
    if (m_lineSpeed == 0) {
        return true;
    }
    termios t{};
    if (tcgetattr(m_master, &t) != 0) {
        return false;
    }
    for (const Rate& rate : kRates) {
        if (rate.baud == m_lineSpeed) {
            return cfgetospeed(&t) == rate.speed;
        }
    }
    return false;
}

// Bytes the client wrote reach the master through the kernel's flip buffer, moved
// on by a kernel worker that a busy machine may hold back for a while; FIONREAD
// does not see them there. poll() on the master first waits for that worker, so
// bytes written before this call are seen either waiting or already taken in.
// Then wait until nothing has been waiting or in hand for a short while.
void VirtualDisplay::Settle() const {
    using Clock = std::chrono::steady_clock;
    constexpr auto kQuiet = std::chrono::milliseconds(15);
    const auto deadline = Clock::now() + std::chrono::seconds(1);
    auto quietSince = Clock::now();
    while (Clock::now() < deadline) {
        pollfd waiting{-1, POLLIN, 0};
        {
            std::lock_guard<std::mutex> hold(m_mutex);
            waiting.fd = m_master;
            if (m_master < 0 || poll(&waiting, 1, 0) < 0) {
                return;
            }
        }
        if ((waiting.revents & POLLIN) != 0 || m_busy) {
            quietSince = Clock::now();
        } else if (Clock::now() - quietSince >= kQuiet) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void VirtualDisplay::Run() {
    while (!m_stop) {
        bool streaming = false;
        {
            std::lock_guard<std::mutex> hold(m_mutex);
            streaming = m_responder.NoiseStreaming();
        }
        pollfd fds[2] = {{m_master, POLLIN, 0}, {m_wakeRead, POLLIN, 0}};
        if (poll(fds, 2, streaming ? 2 : 100) < 0 && errno != EINTR) {
            return;
        }
        if (m_stop) {
            return;
        }
        if (streaming) {
            SendNoise();
        }
        if ((fds[0].revents & POLLIN) == 0) {
            continue;
        }
        m_busy = true;
        std::uint8_t bytes[256];
        const ssize_t count = read(m_master, bytes, sizeof bytes);
        const bool answering = count <= 0 || TakeIn(bytes, static_cast<std::size_t>(count));
        m_busy = false;
        if (!answering) {
            CloseMaster();
            return;
        }
    }
}

// One chunk per call; the master is non-blocking, so when the client does not
// read, the chunks that do not fit simply fall away.
void VirtualDisplay::SendNoise() {
    std::uint8_t chunk[kNoiseChunk];
    {
        std::lock_guard<std::mutex> hold(m_mutex);
        m_responder.NextNoise(chunk, sizeof chunk);
    }
    [[maybe_unused]] const ssize_t ignored = write(m_master, chunk, sizeof chunk);
}

void VirtualDisplay::Send(const std::vector<std::uint8_t>& bytes) {
    const auto deadline = std::chrono::steady_clock::now() + kSendBound;
    std::size_t sent = 0;
    while (sent < bytes.size() && std::chrono::steady_clock::now() < deadline && !m_stop) {
        const ssize_t count = write(m_master, bytes.data() + sent, bytes.size() - sent);
        if (count > 0) {
            sent += static_cast<std::size_t>(count);
            continue;
        }
        if (count < 0 && errno != EAGAIN && errno != EINTR) {
            return;
        }
        pollfd out{m_master, POLLOUT, 0};
        poll(&out, 1, 10);
    }
}

}  // namespace tessaly
