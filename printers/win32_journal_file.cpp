#include <shlobj.h>
#include <windows.h>

#include <cwchar>

#include "files/win32_utf16.h"
#include "printers/journal_file.h"
#include "printers/journal_lock.h"

namespace tessaly {
namespace {

struct HandleCloser {
    HANDLE handle;
    ~HandleCloser() { CloseHandle(handle); }
};

bool IsMissing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

}  // namespace

JournalFileText ReadJournalText(const std::string& path) {
    JournalFileText result;
    // Links are not followed (they could lead to a device), and a folder is
    // opened only to be told apart from a file that cannot be read.
    const HANDLE file = CreateFileW(
        Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        result.status =
            IsMissing(GetLastError()) ? JournalReadStatus::Missing : JournalReadStatus::Unreadable;
        return result;
    }
    HandleCloser closer{file};
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(file) != FILE_TYPE_DISK) {
        result.status = JournalReadStatus::NotRegular;
        return result;
    }
    if (!GetFileInformationByHandle(file, &info)) {
        result.status = JournalReadStatus::Unreadable;
        return result;
    }
    if (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) {
        result.status = JournalReadStatus::NotRegular;
        return result;
    }
    if (info.nFileSizeHigh != 0 || info.nFileSizeLow > kJournalSizeLimit) {
        result.status = JournalReadStatus::TooLarge;
        return result;
    }
    // At most one byte past the limit, so a file that grows meanwhile is caught.
    result.status = JournalReadStatus::Read;
    char buffer[4096];
    while (true) {
        DWORD got = 0;
        if (!ReadFile(file, buffer, sizeof buffer, &got, nullptr)) {
            result.status = JournalReadStatus::Unreadable;
            break;
        }
        if (got == 0) {
            break;
        }
        result.text.append(buffer, got);
        if (result.text.size() > kJournalSizeLimit) {
            result.status = JournalReadStatus::TooLarge;
            break;
        }
    }
    if (result.status != JournalReadStatus::Read) {
        result.text.clear();
    }
    return result;
}

AsideRename RenameToUnusedName(const std::string& from, const std::string& to) {
    // Without MOVEFILE_REPLACE_EXISTING an earlier aside is never overwritten.
    if (MoveFileExW(Widen(from).c_str(), Widen(to).c_str(), MOVEFILE_WRITE_THROUGH)) {
        return AsideRename::Renamed;
    }
    const DWORD error = GetLastError();
    return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? AsideRename::NameTaken
                                                                       : AsideRename::Failed;
}

// The folder inherits the ACL of the user's own local application data.
bool MakeJournalDirectory(const std::string& dir) {
    if (dir.empty()) {
        return false;
    }
    const std::wstring wide = Widen(dir);
    for (std::size_t end = wide.find_first_of(L"\\/", 1);;
         end = wide.find_first_of(L"\\/", end + 1)) {
        const std::wstring part = wide.substr(0, end);
        // The drive ("C:") and the server of a UNC path cannot be created.
        const bool root = part.size() <= 2 || part.back() == L':' || part.starts_with(L"\\\\");
        if (!root && !CreateDirectoryW(part.c_str(), nullptr) &&
            GetLastError() != ERROR_ALREADY_EXISTS) {
            const DWORD attributes = GetFileAttributesW(part.c_str());
            if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
                return false;
            }
        }
        if (end == std::wstring::npos) {
            return true;
        }
    }
}

std::string DefaultJournalDirectory() {
    const wchar_t* local = _wgetenv(L"LOCALAPPDATA");
    if (local != nullptr && local[0] != L'\0') {
        return Narrow(local) + "\\Tessaly";
    }
    wchar_t* known = nullptr;
    std::string directory;
    if (SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &known) == S_OK) {
        directory = Narrow(known) + "\\Tessaly";
    }
    CoTaskMemFree(known);
    return directory;
}

std::vector<std::string> FilesEndingIn(const std::string& directory, std::string_view suffix) {
    std::vector<std::string> files;
    WIN32_FIND_DATAW found{};
    const std::wstring pattern = Widen(directory) + L"\\*" + Widen(std::string(suffix));
    const HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return files;
    }
    do {
        const std::string name = Narrow(found.cFileName);
        if (name.size() > suffix.size() && name.ends_with(suffix) && name[0] != '.') {
            files.push_back(directory + "\\" + name);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return files;
}

bool RemoveJournalFile(const std::string& path) {
    return DeleteFileW(Widen(path).c_str()) || IsMissing(GetLastError());
}

}  // namespace tessaly
