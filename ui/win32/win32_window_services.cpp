#include "ui/win32/win32_window_services.h"

#include <windows.h>
// After windows.h.
#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "files/win32_utf16.h"
#include "ui/template_dialog.h"
#include "ui/toolkit.h"
#include "ui/win32/win32_template_window.h"

namespace tessaly {

namespace {

// Room for the longest path Windows knows.
constexpr std::size_t kPathRoom = 32768;

HWND OwnerOf(const CTemplateDialog* owner) {
    return owner == nullptr ? nullptr : Win32WindowOf(*owner).Handle();
}

UINT IconStyle(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Exclamation:
            return MB_ICONEXCLAMATION;
        case MessageIcon::Information:
            return MB_ICONINFORMATION;
        case MessageIcon::None:
            break;
    }
    return 0;
}

void ShowBox(const CTemplateDialog* owner, const std::string& text, MessageIcon icon) {
    HWND window = OwnerOf(owner);
    // Without an owner the box would leave the program's windows taking clicks.
    const UINT modality = window == nullptr ? MB_TASKMODAL : MB_APPLMODAL;
    MessageBoxW(window, Widen(text).c_str(), Widen(MessageCaption()).c_str(),
                MB_OK | modality | IconStyle(icon));
}

std::optional<std::filesystem::path> RunFileDialog(const CTemplateDialog* owner,
                                                   const FileDialogRequest& request, bool save) {
    // Pairs of description and pattern, each ending in a null, and one more at the end.
    std::wstring filter = Widen(request.filterText);
    filter.push_back(L'\0');
    filter += Widen(request.pattern);
    filter.push_back(L'\0');
    std::vector<wchar_t> file(kPathRoom, L'\0');
    const std::wstring initial = Widen(request.initialName);
    std::copy_n(initial.begin(), std::min(initial.size(), kPathRoom - 1), file.begin());
    const std::wstring title = Widen(request.title);

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = OwnerOf(owner);
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrTitle = title.empty() ? nullptr : title.c_str();
    // No default extension: a name is saved as typed. The working folder stays.
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST |
                   (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    if (!(save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog))) {
        return std::nullopt;
    }
    return std::filesystem::path(file.data());
}

}  // namespace

std::string MessageCaption() {
    std::vector<wchar_t> path(kPathRoom, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size()) {
        return "tessaly";
    }
    const std::wstring stem = std::filesystem::path(path.data()).stem().wstring();
    return stem.empty() ? "tessaly" : Narrow(stem);
}

void Win32WindowServices::ShowMessage(const CTemplateDialog* owner, const std::string& sentence,
                                      MessageIcon icon) {
    ShowBox(owner, sentence, icon);
}

void Win32WindowServices::ShowMessageWithDetail(const CTemplateDialog* owner,
                                                const std::string& sentence,
                                                const std::string& detail, MessageIcon icon) {
    ShowBox(owner, detail.empty() ? sentence : sentence + "\n\n" + detail, icon);
}

std::optional<std::filesystem::path> Win32WindowServices::AskSavePath(
    const CTemplateDialog* owner, const FileDialogRequest& request) {
    return RunFileDialog(owner, request, true);
}

std::optional<std::filesystem::path> Win32WindowServices::AskOpenPath(
    const CTemplateDialog* owner, const FileDialogRequest& request) {
    return RunFileDialog(owner, request, false);
}

void Win32WindowServices::Wait(int milliseconds) {
    // Transactions wait on their own thread; the window's thread keeps painting.
    Sleep(static_cast<DWORD>(std::max(milliseconds, 0)));
}

}  // namespace tessaly
