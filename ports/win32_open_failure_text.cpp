#include <windows.h>

#include "ports/open_failure_text.h"

namespace tessaly {
namespace {

// The system's own sentence for the error, and its number.
std::string SystemReason(int error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(error), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string reason;
    if (length > 0) {
        const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr,
                                              0, nullptr, nullptr);
        reason.resize(static_cast<std::size_t>(bytes));
        WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), reason.data(), bytes,
                            nullptr, nullptr);
    }
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

}  // namespace

std::string OpenFailureExplanation::Text() const {
    std::string text = path.empty() ? reason : path + ": " + reason;
    if (!remedy.empty()) {
        text += "\n" + remedy;
    }
    return text;
}

OpenFailureExplanation ExplainOpenFailure(const OpenFailure& failure) {
    OpenFailureExplanation e{failure.path, SystemReason(failure.error), {}};
    switch (failure.step) {
        case OpenStep::None:
            e.reason = "no failure";
            break;
        case OpenStep::NoName:
            e.reason = "no port is chosen";
            e.remedy = "Choose a port in the list.";
            break;
        case OpenStep::Lock:
            e.reason = "held by another Tessaly: " + SystemReason(failure.error);
            e.remedy = "Another Tessaly holds the port; close it and try again.";
            break;
        case OpenStep::LineItems:
            e.reason = "the line settings have no form on this system (" +
                       std::to_string(failure.baud) + " baud)";
            break;
        case OpenStep::SpeedNotTaken:
            e.reason = "the device does not run at " + std::to_string(failure.baud) + " baud";
            e.remedy = "Choose another baud rate.";
            break;
        case OpenStep::ApplyLineState:
        case OpenStep::ModemOutputs:
            e.reason = "the device refused the line settings: " + SystemReason(failure.error);
            e.remedy = RemedyForOpen(failure);
            break;
        default:
            e.remedy = RemedyForOpen(failure);
            break;
    }
    return e;
}

}  // namespace tessaly
