#include "files/in_place_write.h"

#include <vector>

#include "files/win32_file_handle.h"
#include "files/win32_utf16.h"

namespace tessaly {

WriteResult WriteInPlace(const std::string& path, std::span<const unsigned char> bytes) {
    // Readers may stay; nobody else may write while the old contents are kept aside.
    FileHandle file(CreateFileW(Widen(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        return FromWin32(GetLastError());
    }
    if (GetFileType(file.get()) != FILE_TYPE_DISK) {
        return WriteResult::Refused(ERROR_INVALID_PARAMETER, "It is not a regular file");
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) {
        return FromWin32(GetLastError());
    }
    if (static_cast<std::uintmax_t>(size.QuadPart) > kMaxKeptBytes) {
        return WriteResult::Refused(
            ERROR_FILE_TOO_LARGE,
            "File too large to be kept aside while it is written over in place");
    }
    std::vector<unsigned char> old;
    if (const DWORD error = ReadWhole(file.get(), old); error != 0) {
        return FromWin32(error);
    }

    const DWORD error = WriteWhole(file.get(), bytes);
    if (error == 0) {
        return {};
    }
    WriteResult failed = FromWin32(error);
    if (const DWORD undo = WriteWhole(file.get(), old); undo != 0) {
        failed.reason += "; the old contents could not be put back: " + Win32Reason(undo);
    } else {
        failed.reason += "; the old contents were put back";
    }
    return failed;
}

}  // namespace tessaly
