#include "files/file_start.h"

#include "files/win32_file_handle.h"
#include "files/win32_utf16.h"

namespace tessaly {

std::string ReadFileStart(const std::string& path, std::span<unsigned char> buffer,
                          std::size_t& got, std::uintmax_t& fileSize) {
    got = 0;
    fileSize = 0;
    const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return "It is a folder, not a file";
    }
    // Others may go on reading and writing it meanwhile, as they may on Linux.
    FileHandle file(CreateFileW(Widen(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        return Win32Reason(GetLastError());
    }
    // A console, a port or a pipe picked by mistake could keep a read waiting.
    if (GetFileType(file.get()) != FILE_TYPE_DISK) {
        return "Not a regular file";
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) {
        return Win32Reason(GetLastError());
    }
    fileSize = static_cast<std::uintmax_t>(size.QuadPart);
    if (const DWORD error = ReadFromStart(file.get(), buffer, got); error != 0) {
        return Win32Reason(error);
    }
    if (const DWORD error = file.Close(); error != 0) {
        return Win32Reason(error);
    }
    return {};
}

}  // namespace tessaly
