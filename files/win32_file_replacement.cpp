// Whole-file replacement on Windows: the new bytes go to a file of their own in
// the target's folder and are flushed; ReplaceFileW then puts them under the old
// name, keeping the old file's ACL, attributes and creation time, or, for a new
// name, MoveFileExW moves them there and waits until the move is on disk. New
// files take the folder's inherited ACL: the POSIX mode has no meaning here.
#include <string>

#include "files/file_replacement.h"
#include "files/win32_file_handle.h"
#include "files/win32_utf16.h"

namespace tessaly {

namespace {

// Bytes written and flushed to a new file with a unique name in `folder`.
DWORD WriteBeside(const std::wstring& folder, std::span<const unsigned char> bytes,
                  std::wstring& written) {
    wchar_t name[MAX_PATH + 1] = {};
    if (GetTempFileNameW(folder.c_str(), L"tss", 0, name) == 0) {
        return GetLastError();
    }
    written = name;
    FileHandle file(CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD error = file.valid() ? WriteWhole(file.get(), bytes) : GetLastError();
    if (const DWORD closed = file.Close(); error == 0) {
        error = closed;
    }
    if (error != 0) {
        DeleteFileW(name);
    }
    return error;
}

}  // namespace

ReplaceOutcome ReplaceKeepingMetadata(const std::string& path, std::span<const unsigned char> bytes,
                                      mode_t /*newFileMode*/) {
    const std::wstring target = Widen(path);
    std::wstring fresh;
    if (const DWORD error = WriteBeside(FolderOfPath(target), bytes, fresh); error != 0) {
        return {FromWin32(error), false};
    }
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        if (!MoveFileExW(fresh.c_str(), target.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            const DWORD error = GetLastError();
            DeleteFileW(fresh.c_str());
            return {FromWin32(error), false};
        }
        return {};
    }
    // ReplaceFileW carries them over on Windows, not under wine: given here, they
    // hold on both. Read-only stays off, so that the new file can take the name.
    SetFileAttributesW(fresh.c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY});
    if (!ReplaceFileW(target.c_str(), fresh.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                      nullptr, nullptr)) {
        const DWORD error = GetLastError();
        DeleteFileW(fresh.c_str());
        // The old file stays as it was. When its security or attributes could not be
        // carried over, or it is held open so that it cannot be removed, the caller
        // may still write it in place.
        const bool metadata =
            error == ERROR_ACCESS_DENIED || error == ERROR_UNABLE_TO_REMOVE_REPLACED;
        return {FromWin32(error), metadata};
    }
    return {};
}

}  // namespace tessaly
