// The rule for what a status file may be saved over, on Windows: a regular file
// or a new name in an existing folder. A device name (CON, NUL, COM1… in any
// folder, with any extension), a path into the device namespace (\\.\…), a folder
// and a read-only file are refused with the reason, and nothing is changed.
#include <algorithm>
#include <array>
#include <cwctype>
#include <string>

#include "files/file_replacement.h"
#include "files/file_save.h"
#include "files/in_place_write.h"
#include "files/win32_file_handle.h"
#include "files/win32_utf16.h"

namespace tessaly {

namespace {

struct SavePlan {
    enum class Way { Refused, NewFile, Replace, InPlace };
    Way way = Way::Refused;
    std::wstring target;  // the file itself: a symbolic link resolved
    WriteResult refusal;
};

SavePlan Refuse(DWORD error, const char* reason) {
    return {SavePlan::Way::Refused, {}, WriteResult::Refused(static_cast<int>(error), reason)};
}

SavePlan RefuseWin32(DWORD error) {
    return {SavePlan::Way::Refused, {}, FromWin32(error)};
}

// The last component up to its first dot, without trailing spaces and colons:
// what Windows compares with its reserved device names.
std::wstring DeviceStem(const std::wstring& path) {
    const auto slash = path.find_last_of(L"/\\");
    std::wstring stem = path.substr(slash == std::wstring::npos ? 0 : slash + 1);
    if (slash == std::wstring::npos && stem.size() >= 2 && stem[1] == L':') {
        stem.erase(0, 2);  // "C:NUL"
    }
    stem = stem.substr(0, stem.find(L'.'));
    while (!stem.empty() && (stem.back() == L' ' || stem.back() == L':')) {
        stem.pop_back();
    }
    std::transform(stem.begin(), stem.end(), stem.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towupper(c)); });
    return stem;
}

bool IsDeviceName(const std::wstring& path) {
    if (path.rfind(L"\\\\.\\", 0) == 0 || path.rfind(L"//./", 0) == 0 ||
        path.rfind(L"\\\\?\\GLOBALROOT", 0) == 0) {
        return true;
    }
    const std::wstring stem = DeviceStem(path);
    constexpr std::array<const wchar_t*, 6> kNames = {L"CON", L"PRN",    L"AUX",
                                                      L"NUL", L"CONIN$", L"CONOUT$"};
    if (std::find_if(kNames.begin(), kNames.end(), [&](const wchar_t* n) { return stem == n; }) !=
        kNames.end()) {
        return true;
    }
    // COM0-9 and LPT0-9, also with the superscript digits Windows counts among them.
    const bool port =
        stem.size() == 4 && (stem.rfind(L"COM", 0) == 0 || stem.rfind(L"LPT", 0) == 0);
    const wchar_t digit = port ? stem[3] : L'\0';
    return port && ((digit >= L'0' && digit <= L'9') || digit == L'\u00B9' || digit == L'\u00B2' ||
                    digit == L'\u00B3');
}

SavePlan PlanNewName(const std::wstring& path) {
    const DWORD folder = GetFileAttributesW(FolderOfPath(path).c_str());
    if (folder == INVALID_FILE_ATTRIBUTES) {
        return RefuseWin32(GetLastError() == ERROR_FILE_NOT_FOUND ? ERROR_PATH_NOT_FOUND
                                                                  : GetLastError());
    }
    if ((folder & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return RefuseWin32(ERROR_PATH_NOT_FOUND);
    }
    return {SavePlan::Way::NewFile, path, {}};
}

// The file a symbolic link leads to, so that the link itself stays as it is.
std::wstring FinalPath(HANDLE file, const std::wstring& path) {
    std::wstring final(MAX_PATH, L'\0');
    DWORD length = GetFinalPathNameByHandleW(file, final.data(), MAX_PATH, FILE_NAME_NORMALIZED);
    if (length > MAX_PATH) {
        final.resize(length);
        length = GetFinalPathNameByHandleW(file, final.data(), length, FILE_NAME_NORMALIZED);
    }
    if (length == 0 || length > final.size()) {
        return path;
    }
    final.resize(length);
    return final;
}

SavePlan PlanSave(const std::string& name) {
    if (name.empty()) {
        return Refuse(ERROR_INVALID_NAME, "The file name is empty");
    }
    const std::wstring path = Widen(name);
    if (IsDeviceName(path)) {
        return Refuse(ERROR_INVALID_NAME, "It is a device, not a file");
    }
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND ? PlanNewName(path) : RefuseWin32(error);
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return Refuse(ERROR_DIRECTORY, "It is a folder, not a file");
    }
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        return Refuse(ERROR_ACCESS_DENIED, "It is a read-only file");
    }
    // As the system would answer an open for writing (its ACL, another program
    // holding it); opening an existing file this way changes nothing in it.
    FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        return RefuseWin32(GetLastError());
    }
    if (GetFileType(file.get()) != FILE_TYPE_DISK) {
        return Refuse(ERROR_INVALID_NAME, "It is a device, not a file");
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file.get(), &info)) {
        return RefuseWin32(GetLastError());
    }
    // Another name for the same file must go on naming the new contents.
    const bool keepFile = info.nNumberOfLinks > 1;
    return {keepFile ? SavePlan::Way::InPlace : SavePlan::Way::Replace,
            FinalPath(file.get(), path),
            {}};
}

}  // namespace

WriteResult CheckSaveTarget(const std::string& path) {
    return PlanSave(path).refusal;
}

WriteResult SaveFile(const std::string& path, std::span<const unsigned char> bytes) {
    const SavePlan plan = PlanSave(path);
    const std::string target = Narrow(plan.target);
    switch (plan.way) {
        case SavePlan::Way::Refused:
            return plan.refusal;
        case SavePlan::Way::InPlace:
            return WriteInPlace(target, bytes);
        case SavePlan::Way::NewFile:
        case SavePlan::Way::Replace:
            break;
    }
    ReplaceOutcome replaced = ReplaceKeepingMetadata(target, bytes, 0666);
    if (replaced.metadataNotKept) {
        return WriteInPlace(target, bytes);
    }
    return replaced.result;
}

}  // namespace tessaly
