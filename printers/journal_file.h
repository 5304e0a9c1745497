// The journal on disk. Its folder is the user's own, but anything may be found
// there: a FIFO, a device, a link to /dev/zero, a huge or foreign file. Reading
// therefore never waits, never follows a link and never takes more than a
// bounded amount, and whatever cannot be used is set aside for a person to
// look at rather than deleted.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace tessaly {

// A journal holds a few lines per borrowed printer; anything larger is not one.
inline constexpr std::size_t kJournalSizeLimit = 256 * 1024;

// Replaces the file at `path` with `text` so that a crash leaves either the old
// file or the new one: a temporary file in the same folder, written and synced,
// renamed over `path`, and the folder synced so that the rename itself lasts.
// Every write of a journal goes through here.
bool WriteJournalText(const std::string& path, const std::string& text);

enum class JournalReadStatus {
    Read,
    Missing,
    NotRegular,  // a FIFO, a device, a socket, a folder or a symbolic link
    TooLarge,
    Unreadable,
};

struct JournalFileText {
    JournalReadStatus status = JournalReadStatus::Missing;
    std::string text;
};

JournalFileText ReadJournalText(const std::string& path);

// Renames `path` to a free name beside it ending in ".aside-N", and says so in
// one line on standard error, giving `why`. The new name; nothing when the rename
// failed.
std::optional<std::string> SetJournalAside(const std::string& path, const std::string& why);

// True when `path` still names the file open on `fd`: a lock file's holder may
// remove it between another run's open and its lock.
bool StillNamed(int fd, const std::string& path);

// Creates `dir` and its missing parents, readable by the user only.
bool MakeJournalDirectory(const std::string& dir);

}  // namespace tessaly
