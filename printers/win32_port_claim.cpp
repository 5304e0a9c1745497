// Windows keeps the claim with the file itself: opened with no sharing, a second
// run's open fails with a sharing violation, and the file goes with the last
// handle, however the run ends.
#include <windows.h>

#include <algorithm>
#include <cctype>

#include "files/win32_utf16.h"
#include "printers/journal_file.h"
#include "printers/port_claim.h"

namespace tessaly {
namespace {

// "\\.\COM5", "com5" and "COM5" are one device.
std::string ClaimName(const std::string& devicePath) {
    std::string name = devicePath.substr(devicePath.find_last_of("\\/:") + 1);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return "port-" + name + ".claim";
}

}  // namespace

PortClaims::~PortClaims() {
    ReleaseAll();
}

void PortClaims::ReleaseAll() {
    for (const auto& [name, handle] : m_held) {
        CloseHandle(LongToHandle(handle));  // FILE_FLAG_DELETE_ON_CLOSE removes it
    }
    m_held.clear();
}

void PortClaims::RemoveAbandoned() {
    // Nothing is left behind: the system closes a killed run's handles, and the
    // files go with them.
}

PortClaims::Result PortClaims::Claim(const std::string& devicePath) {
    const std::string name = ClaimName(devicePath);
    if (m_directory.empty() || name == "port-.claim" || !MakeJournalDirectory(m_directory)) {
        return Result::Unavailable;
    }
    if (m_held.contains(name)) {
        return Result::Claimed;
    }
    const HANDLE handle = CreateFileW(Widen(m_directory + "\\" + name).c_str(),
                                      GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return GetLastError() == ERROR_SHARING_VIOLATION ? Result::HeldElsewhere
                                                         : Result::Unavailable;
    }
    m_held.emplace(name, HandleToLong(handle));
    return Result::Claimed;
}

}  // namespace tessaly
