#include "files/win32_file_handle.h"

#include <algorithm>

#include "files/win32_utf16.h"

namespace tessaly {

namespace {

constexpr DWORD kChunk = 1u << 20;

bool Rewind(HANDLE file) {
    LARGE_INTEGER start{};
    return SetFilePointerEx(file, start, nullptr, FILE_BEGIN) != 0;
}

}  // namespace

std::string Win32Reason(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string reason = length == 0 ? "Error " + std::to_string(error) : Narrow({text, length});
    LocalFree(text);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' ||
                               reason.back() == ' ' || reason.back() == '.')) {
        reason.pop_back();
    }
    return reason;
}

std::wstring FolderOfPath(const std::wstring& path) {
    const auto slash = path.find_last_of(L"/\\");
    if (slash == std::wstring::npos) {
        return path.size() >= 2 && path[1] == L':' ? path.substr(0, 2) + L"." : L".";
    }
    const bool root = slash == 0 || (slash == 2 && path[1] == L':');
    return path.substr(0, root ? slash + 1 : slash);
}

DWORD ReadFromStart(HANDLE file, std::span<unsigned char> buffer, std::size_t& got) {
    got = 0;
    if (!Rewind(file)) {
        return GetLastError();
    }
    while (got < buffer.size()) {
        const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(buffer.size() - got, kChunk));
        DWORD read = 0;
        if (!ReadFile(file, buffer.data() + got, ask, &read, nullptr)) {
            return GetLastError();
        }
        if (read == 0) {
            break;  // end of file
        }
        got += read;
    }
    return 0;
}

DWORD ReadWhole(HANDLE file, std::vector<unsigned char>& bytes) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) {
        return GetLastError();
    }
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    std::size_t got = 0;
    const DWORD error = ReadFromStart(file, bytes, got);
    bytes.resize(got);
    return error;
}

DWORD WriteWhole(HANDLE file, std::span<const unsigned char> bytes) {
    if (!Rewind(file)) {
        return GetLastError();
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, kChunk));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, ask, &written, nullptr)) {
            return GetLastError();
        }
        done += written;
    }
    if (!SetEndOfFile(file) || !FlushFileBuffers(file)) {
        return GetLastError();
    }
    return 0;
}

}  // namespace tessaly
