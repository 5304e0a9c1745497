// The far end of a real pseudo-terminal for the link tests: the test holds the master
// side, the link under test opens the slave path.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "link/serial_link.h"
#include "tests/support/bytes.h"

namespace tessaly::test {

class PtyPeer {
public:
    PtyPeer() {
        m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (m_master >= 0 && grantpt(m_master) == 0 && unlockpt(m_master) == 0) {
            m_slavePath = ptsname(m_master);
        }
    }
    ~PtyPeer() { Hangup(); }
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    bool Ready() const { return m_master >= 0 && !m_slavePath.empty(); }
    const std::string& SlavePath() const { return m_slavePath; }

    void Send(const std::vector<std::uint8_t>& bytes) const {
        (void)!write(m_master, bytes.data(), bytes.size());
    }

    // Everything the link wrote that arrives within `waitMs`.
    std::vector<std::uint8_t> Received(int waitMs = 100) const {
        std::vector<std::uint8_t> all;
        pollfd p{m_master, POLLIN, 0};
        while (poll(&p, 1, waitMs) > 0 && (p.revents & POLLIN) != 0) {
            std::uint8_t chunk[4096];
            const ssize_t n = read(m_master, chunk, sizeof chunk);
            if (n <= 0) {
                break;
            }
            all.insert(all.end(), chunk, chunk + n);
        }
        return all;
    }

    // The slave's line state: termios requests on a pty master act on its slave.
    termios SlaveState() const {
        termios t{};
        tcgetattr(m_master, &t);
        return t;
    }

    speed_t SlaveSpeed() const {
        const termios t = SlaveState();
        return cfgetospeed(&t);
    }

    void Hangup() {
        if (m_master >= 0) {
            close(m_master);
            m_master = -1;
        }
    }

private:
    int m_master = -1;
    std::string m_slavePath;
};

using tessaly::testing::SettingsFor;

inline long long MsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start)
        .count();
}

}  // namespace tessaly::test
