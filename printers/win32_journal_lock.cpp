// On Windows the run's lock is LockFileEx on "<stem>.lock". The system drops
// it when the run ends however it ends. The lock file is opened without
// sharing deletion, so no other run can remove or replace it while we hold it.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <random>
#include <string_view>
#include <utility>

#include "files/win32_utf16.h"
#include "printers/journal_lock.h"

namespace tessaly {
namespace {

constexpr std::string_view kLockSuffix = ".lock";

bool Exists(const std::string& path) {
    return GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES ||
           (GetLastError() != ERROR_FILE_NOT_FOUND && GetLastError() != ERROR_PATH_NOT_FOUND);
}

HANDLE OpenLockFile(const std::string& path, DWORD disposition) {
    return CreateFileW(Widen(path).c_str(), GENERIC_READ | DELETE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

bool LockNow(HANDLE file) {
    OVERLAPPED at{};
    return LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at) != 0;
}

bool IsPlainFile(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info{};
    return GetFileType(file) == FILE_TYPE_DISK && GetFileInformationByHandle(file, &info) &&
           !(info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
}

// The handle lives as a C runtime descriptor, so that the lock keeps one shape
// on every platform; closing the descriptor closes the handle.
int AsDescriptor(HANDLE file) {
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDONLY);
    if (fd < 0) {
        CloseHandle(file);
    }
    return fd;
}

HANDLE HandleOf(int fd) {
    return reinterpret_cast<HANDLE>(_get_osfhandle(fd));
}

std::string RandomStem() {
    std::random_device source;
    char stem[16];
    std::snprintf(stem, sizeof stem, "%08x", static_cast<unsigned>(source()));
    return stem;
}

}  // namespace

void JournalLock::Release() {
    if (m_fd >= 0) {
        _close(m_fd);
        m_fd = -1;
    }
}

bool JournalLock::RemoveIfJournalGone() {
    if (Exists(m_journalPath)) {
        return false;
    }
    if (m_fd >= 0) {
        // Deleted through our own handle: the name cannot have changed hands.
        FILE_DISPOSITION_INFO disposition{TRUE};
        SetFileInformationByHandle(HandleOf(m_fd), FileDispositionInfo, &disposition,
                                   sizeof disposition);
    }
    Release();
    return true;
}

std::optional<JournalLock> JournalLock::CreateIn(const std::string& directory) {
    // A few tries against names left by runs that crashed before writing a journal.
    for (int attempt = 0; attempt < 8; ++attempt) {
        const std::string stem = directory + "\\printers-" + RandomStem();
        std::string lockPath = stem + std::string(kLockSuffix);
        const HANDLE file = OpenLockFile(lockPath, CREATE_NEW);
        if (file == INVALID_HANDLE_VALUE) {
            if (GetLastError() == ERROR_FILE_EXISTS) {
                continue;
            }
            return std::nullopt;
        }
        std::string journalPath = stem + kJournalSuffix;
        if (LockNow(file) && !Exists(journalPath)) {
            const int fd = AsDescriptor(file);
            if (fd < 0) {
                return std::nullopt;
            }
            return JournalLock(fd, std::move(lockPath), std::move(journalPath));
        }
        FILE_DISPOSITION_INFO disposition{TRUE};
        SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
        CloseHandle(file);
    }
    return std::nullopt;
}

std::optional<JournalLock> JournalLock::TakeOver(const std::string& journalPath) {
    const std::string_view suffix = kJournalSuffix;
    if (journalPath.size() <= suffix.size() || !journalPath.ends_with(suffix)) {
        return std::nullopt;
    }
    std::string lockPath =
        journalPath.substr(0, journalPath.size() - suffix.size()) + std::string(kLockSuffix);
    // Created when missing: a run may have died between its lock and its journal.
    const HANDLE file = OpenLockFile(lockPath, OPEN_ALWAYS);
    if (file == INVALID_HANDLE_VALUE) {
        // Held open by a live run (or by another run taking it over just now).
        if (GetLastError() == ERROR_SHARING_VIOLATION) {
            return std::nullopt;
        }
        std::fprintf(stderr, "tessaly: printer journal %s: its lock %s cannot be opened\n",
                     journalPath.c_str(), lockPath.c_str());
        return std::nullopt;
    }
    if (!IsPlainFile(file)) {
        std::fprintf(stderr, "tessaly: printer journal %s: its lock %s is not a regular file\n",
                     journalPath.c_str(), lockPath.c_str());
        CloseHandle(file);
        return std::nullopt;
    }
    if (!LockNow(file)) {
        CloseHandle(file);
        return std::nullopt;
    }
    const int fd = AsDescriptor(file);
    if (fd < 0) {
        return std::nullopt;
    }
    return JournalLock(fd, std::move(lockPath), journalPath);
}

}  // namespace tessaly
