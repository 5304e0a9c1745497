#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

#include "printers/journal_file.h"
#include "printers/port_claim.h"

namespace tessaly {
namespace {

constexpr std::string_view kClaimPrefix = "port-";
constexpr std::string_view kClaimSuffix = ".claim";

// The device's identity, not its name: a character device by its number, any
// other file (a test's stand-in) by its file-system identity.
std::string ClaimName(const struct stat& device) {
    if (S_ISCHR(device.st_mode) || S_ISBLK(device.st_mode)) {
        return std::string(kClaimPrefix) + std::to_string(major(device.st_rdev)) + "-" +
               std::to_string(minor(device.st_rdev)) + std::string(kClaimSuffix);
    }
    return std::string(kClaimPrefix) + "file-" + std::to_string(device.st_dev) + "-" +
           std::to_string(device.st_ino) + std::string(kClaimSuffix);
}

// The claim file at `path` locked, or -1 with `held` telling whether another run
// holds it.
int LockClaimFile(const std::string& path, bool create, bool& held) {
    held = false;
    // A few tries against a file that its holder removes as we take it.
    for (int attempt = 0; attempt < 8; ++attempt) {
        const int fd =
            open(path.c_str(),
                 O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | (create ? O_CREAT : 0),
                 0600);
        if (fd < 0) {
            return -1;
        }
        if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
            held = errno == EWOULDBLOCK;
            close(fd);
            return -1;
        }
        if (StillNamed(fd, path)) {
            return fd;
        }
        close(fd);
    }
    return -1;
}

}  // namespace

PortClaims::~PortClaims() {
    ReleaseAll();
}

void PortClaims::ReleaseAll() {
    for (const auto& [name, fd] : m_held) {
        unlink((m_directory + "/" + name).c_str());  // still locked: no one else has it
        close(fd);
    }
    m_held.clear();
}

void PortClaims::RemoveAbandoned() {
    if (m_directory.empty()) {
        return;
    }
    const std::string prefix = m_directory + "/" + std::string(kClaimPrefix);
    for (const std::string& path : FilesEndingIn(m_directory, kClaimSuffix)) {
        if (!path.starts_with(prefix)) {
            continue;
        }
        bool held = false;
        if (const int fd = LockClaimFile(path, false, held); fd >= 0) {
            unlink(path.c_str());
            close(fd);
        }
    }
}

PortClaims::Result PortClaims::Claim(const std::string& devicePath) {
    struct stat device {};
    if (m_directory.empty() || stat(devicePath.c_str(), &device) != 0 ||
        !MakeJournalDirectory(m_directory)) {
        return Result::Unavailable;
    }
    const std::string name = ClaimName(device);
    if (m_held.contains(name)) {
        return Result::Claimed;  // a second lock of our own would refuse us
    }
    bool held = false;
    const int fd = LockClaimFile(m_directory + "/" + name, true, held);
    if (fd < 0) {
        return held ? Result::HeldElsewhere : Result::Unavailable;
    }
    m_held.emplace(name, fd);
    return Result::Claimed;
}

}  // namespace tessaly
