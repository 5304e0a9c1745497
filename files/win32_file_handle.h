// An owned Win32 file HANDLE and the system's reasons in words, for the Windows
// side of files/.
#pragma once

#include <windows.h>

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "files/write_result.h"

namespace tessaly {

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : m_handle(handle) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() { Close(); }

    HANDLE get() const { return m_handle; }
    bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }
    // 0 or the error of a close that failed.
    DWORD Close() {
        const HANDLE handle = m_handle;
        m_handle = INVALID_HANDLE_VALUE;
        return handle == INVALID_HANDLE_VALUE || CloseHandle(handle) ? 0 : GetLastError();
    }

private:
    HANDLE m_handle;
};

// The system's message for a Win32 error, as one line without its closing full
// stop, so that it reads as the reasons do on Linux ("Access is denied").
std::string Win32Reason(DWORD error);

inline WriteResult FromWin32(DWORD error) {
    return error == 0 ? WriteResult{}
                      : WriteResult::Refused(static_cast<int>(error), Win32Reason(error));
}

// The folder of a Windows path, where either slash separates: "." for a bare
// name, "C:." for "C:name", the root itself for a name in a root.
std::wstring FolderOfPath(const std::wstring& path);

// Whole transfers from the start of the file: 0 or the error of the call that failed.
DWORD ReadFromStart(HANDLE file, std::span<unsigned char> buffer, std::size_t& got);
DWORD ReadWhole(HANDLE file, std::vector<unsigned char>& bytes);
// Writes the bytes from the start, cuts the file to their length and flushes it.
DWORD WriteWhole(HANDLE file, std::span<const unsigned char> bytes);

}  // namespace tessaly
