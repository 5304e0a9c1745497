#include "files/file_replacement.h"

#include <acl/libacl.h>
#include <attr/libattr.h>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

#include "files/descriptor.h"
#include "files/descriptor_io.h"
#include "files/path_parts.h"
#include "files/temporary_name.h"

namespace tessaly {

namespace {

// A save killed between link and rename leaves its temporary behind. Every
// temporary is locked for as long as its save runs, so one that can be locked is
// a leftover of a save that is no longer running, and goes, when it is also what
// a save makes: a regular file of ours, with that name and no other.
void RemoveLeftovers(int folder) {
    const int listing = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0) {
        return;
    }
    DIR* entries = ::fdopendir(listing);
    if (entries == nullptr) {
        ::close(listing);
        return;
    }
    while (const dirent* entry = ::readdir(entries)) {
        if (!IsTemporaryName(entry->d_name)) {
            continue;
        }
        Descriptor leftover(::openat(folder, entry->d_name,
                                     O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
        struct stat opened {};
        struct stat named {};
        if (leftover.valid() && ::flock(leftover.get(), LOCK_EX | LOCK_NB) == 0 &&
            ::fstat(leftover.get(), &opened) == 0 && S_ISREG(opened.st_mode) &&
            opened.st_uid == ::geteuid() && opened.st_nlink == 1 &&
            ::fstatat(folder, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            named.st_ino == opened.st_ino && named.st_dev == opened.st_dev) {
            ::unlinkat(folder, entry->d_name, 0);
        }
    }
    ::closedir(entries);
}

// The new contents before they get the target's name. O_TMPFILE gives a file with
// no name at all, so a kill before the rename leaves nothing behind; it has a
// name only for the moment between link and rename. File systems without
// O_TMPFILE get a hidden name from the start, removed on every failure. Either
// name, left by a kill, goes at the next save in the folder (RemoveLeftovers).
class TemporaryFile {
public:
    explicit TemporaryFile(int folder) : m_folder(folder) {}
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (!m_name.empty()) {
            ::unlinkat(m_folder, m_name.c_str(), 0);
        }
    }

    int Create(mode_t mode) {
        const int error = Open(mode);
        if (error == 0) {
            // Marks the file as in use for RemoveLeftovers; released when it closes.
            ::flock(m_file.get(), LOCK_EX | LOCK_NB);
        }
        return error;
    }

    int fd() const { return m_file.get(); }

    // Puts the file in place of `target` in the folder.
    int RenameOver(const std::string& target) {
        if (m_name.empty()) {
            if (const int error = Link(); error != 0) {
                return error;
            }
        }
        if (::renameat(m_folder, m_name.c_str(), m_folder, target.c_str()) != 0) {
            return errno;
        }
        m_name.clear();
        return m_file.Close();
    }

private:
    int Open(mode_t mode) {
        m_file = Descriptor(::openat(m_folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode));
        if (m_file.valid()) {
            return 0;
        }
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
            return errno;
        }
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string name = TemporaryName();
            m_file = Descriptor(
                ::openat(m_folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
            if (m_file.valid()) {
                m_name = std::move(name);
                return 0;
            }
            if (errno != EEXIST) {
                return errno;
            }
        }
        return EEXIST;
    }

    int Link() {
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string name = TemporaryName();
            // AT_EMPTY_PATH needs a capability most users lack; the descriptor's
            // entry in /proc does the same for anyone.
            int linked = ::linkat(m_file.get(), "", m_folder, name.c_str(), AT_EMPTY_PATH);
            if (linked != 0 && errno != EEXIST) {
                const std::string self = "/proc/self/fd/" + std::to_string(m_file.get());
                linked =
                    ::linkat(AT_FDCWD, self.c_str(), m_folder, name.c_str(), AT_SYMLINK_FOLLOW);
            }
            if (linked == 0) {
                m_name = std::move(name);
                return 0;
            }
            if (errno != EEXIST) {
                return errno;
            }
        }
        return EEXIST;
    }

    int m_folder;
    Descriptor m_file;
    std::string m_name;
};

// Owner and group first, since changing them clears set-id bits; then the mode with
// the ACL and the special bits, then the other extended attributes. Any of them failing means the
// new file would differ from the old one in who may do what with it.
bool CarryMetadata(const std::string& path, int old, int replacement) {
    struct stat from {};
    struct stat to {};
    if (::fstat(old, &from) != 0 || ::fstat(replacement, &to) != 0) {
        return false;
    }
    if ((from.st_uid != to.st_uid || from.st_gid != to.st_gid) &&
        ::fchown(replacement, from.st_uid, from.st_gid) != 0) {
        return false;
    }
    if (::perm_copy_fd(path.c_str(), old, path.c_str(), replacement, nullptr) != 0) {
        return false;
    }
    // The ACL carries the permission bits only; setuid, setgid and sticky follow here.
    if ((from.st_mode & 07000) != 0 && ::fchmod(replacement, from.st_mode & 07777) != 0) {
        return false;
    }
    return ::attr_copy_fd(path.c_str(), old, path.c_str(), replacement, nullptr, nullptr) == 0;
}

// The folder, kept open so that every step works in the same one even if its path
// changes meanwhile. Syncing needs it opened for reading; a folder that may be
// searched but not read is still written to, without that last sync.
int OpenFolder(const std::string& folder, Descriptor& out, bool& syncable) {
    out = Descriptor(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    syncable = out.valid();
    if (!syncable) {
        out = Descriptor(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    }
    return out.valid() ? 0 : errno;
}

}  // namespace

ReplaceOutcome ReplaceKeepingMetadata(const std::string& path, std::span<const unsigned char> bytes,
                                      mode_t newFileMode) {
    const auto fail = [](int error) { return ReplaceOutcome{WriteResult::FromErrno(error)}; };
    if (path.empty()) {
        return fail(ENOENT);
    }
    const std::string name = BaseOf(path);
    if (name.empty() || name == "." || name == "..") {
        return fail(EISDIR);
    }
    Descriptor folder;
    bool syncable = false;
    if (const int error = OpenFolder(FolderOf(path), folder, syncable); error != 0) {
        return fail(error);
    }

    // Only a regular file is opened, so that a device's open never runs, and not
    // through a link: the name itself is replaced.
    struct stat oldStat {};
    const bool carry = ::fstatat(folder.get(), name.c_str(), &oldStat, AT_SYMLINK_NOFOLLOW) == 0 &&
                       S_ISREG(oldStat.st_mode);
    Descriptor old;
    if (carry) {
        old = Descriptor(
            ::openat(folder.get(), name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        if (!old.valid()) {
            return {WriteResult::FromErrno(errno), true};
        }
    }

    RemoveLeftovers(folder.get());
    TemporaryFile replacement(folder.get());
    // Private until the old file's permissions are copied onto it.
    if (const int error = replacement.Create(carry ? 0600 : newFileMode); error != 0) {
        return fail(error);
    }
    if (const int error = WriteAllAt(replacement.fd(), bytes, 0); error != 0) {
        return fail(error);
    }
    if (carry && !CarryMetadata(path, old.get(), replacement.fd())) {
        return {WriteResult::FromErrno(EPERM), true};
    }
    if (::fsync(replacement.fd()) != 0) {
        return fail(errno);
    }
    if (const int error = replacement.RenameOver(name); error != 0) {
        return fail(error);
    }
    // The new contents survive a crash only once the folder entry does too. The
    // rename has happened, so a failure here is not reported as a failed save.
    if (syncable) {
        ::fsync(folder.get());
    }
    return {};
}

}  // namespace tessaly
