// The journal on disk. Its folder is the user's own, but anything may be found
// there: a FIFO, a device, a link to /dev/zero, a huge or foreign file. Reading
// therefore never waits, never follows a link and never takes more than a
// bounded amount, and whatever cannot be used is set aside for a person to
// look at rather than deleted.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

enum class AsideRename { Renamed, NameTaken, Failed };
// Renames `from` to `to` unless something is already called `to`.
AsideRename RenameToUnusedName(const std::string& from, const std::string& to);

// Creates `dir` and its missing parents, readable by the user only.
bool MakeJournalDirectory(const std::string& dir);

// The folder that holds every run's journal, in the user's own state folder;
// empty when there is none.
std::string DefaultJournalDirectory();

// The files in `directory` whose names end in `suffix` (journals, their locks), by
// path; hidden names are left out.
std::vector<std::string> FilesEndingIn(const std::string& directory, std::string_view suffix);

// True when no file is left at `path`.
bool RemoveJournalFile(const std::string& path);

}  // namespace tessaly
