#include <windows.h>

#include "files/win32_utf16.h"
#include "ports/open_failure_parts.h"

namespace tessaly {

// The system's own sentence for the error, and its number.
std::string SystemReason(int error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(error), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string reason = length > 0 ? Narrow(std::wstring_view(text, length)) : std::string();
    LocalFree(text);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' ||
                               reason.back() == ' ' || reason.back() == '.')) {
        reason.pop_back();
    }
    const std::string number = "error " + std::to_string(error);
    return reason.empty() ? number : reason + " (" + number + ")";
}

std::string RemedyForOpen(const OpenFailure& failure) {
    switch (failure.error) {
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_BUSY:
            // Windows keeps no list of a device's holders that a user program may read.
            return "Another program has the port open (Windows does not tell which); close it "
                   "and try again.";
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_DEV_NOT_EXIST:
            return "No such port: is the adapter plugged in? Choose the port again once it is.";
        case ERROR_GEN_FAILURE:
        case ERROR_DEVICE_NOT_CONNECTED:
            return "The device does not respond; unplug the adapter and plug it in again.";
        default:
            return {};
    }
}

std::string AnotherTessalyRemedy(const std::string&) {
    return "Another Tessaly holds the port; close it and try again.";
}

// What reading the line state of a file or a console answers.
bool MeansNoSerialPort(int error) {
    return error == ERROR_INVALID_FUNCTION;
}

}  // namespace tessaly
