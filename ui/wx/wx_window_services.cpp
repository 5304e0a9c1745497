#include "ui/wx/wx_window_services.h"

#include <wx/app.h>
#include <wx/filedlg.h>
#include <wx/msgdlg.h>

#include <chrono>
#include <thread>

#include "ui/template_dialog.h"
#include "ui/toolkit.h"
#include "ui/wx/wx_template_window.h"

namespace tessaly {

namespace {

wxWindow* ParentOf(const CTemplateDialog* owner) {
    return owner == nullptr ? nullptr : &WxWindowOf(*owner);
}

long IconStyle(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Exclamation:
            return wxICON_EXCLAMATION;
        case MessageIcon::Information:
            return wxICON_INFORMATION;
        case MessageIcon::None:
            break;
    }
    // Without this the toolkit picks the information icon by itself.
    return wxICON_NONE;
}

wxString Wildcard(const FileDialogRequest& request) {
    return wxString::FromUTF8(request.filterText) + "|" + wxString::FromUTF8(request.pattern);
}

std::optional<std::filesystem::path> RunFileDialog(const CTemplateDialog* owner,
                                                   const FileDialogRequest& request, long style) {
    wxFileDialog dialog(ParentOf(owner), wxString::FromUTF8(request.title), wxString(),
                        wxString::FromUTF8(request.initialName), Wildcard(request), style);
    if (dialog.ShowModal() != wxID_OK) {
        return std::nullopt;
    }
    return std::filesystem::path(dialog.GetPath().utf8_string());
}

}  // namespace

std::string MessageCaption() {
    // With no name set, wx derives the application name from the program file.
    if (wxTheApp != nullptr && !wxTheApp->GetAppName().empty()) {
        return wxTheApp->GetAppName().utf8_string();
    }
    return "tessaly";
}

void WxWindowServices::ShowMessage(const CTemplateDialog* owner, const std::string& sentence,
                                   MessageIcon icon) {
    wxMessageDialog box(ParentOf(owner), wxString::FromUTF8(sentence),
                        wxString::FromUTF8(MessageCaption()), wxOK | wxCENTRE | IconStyle(icon));
    box.ShowModal();
}

void WxWindowServices::ShowMessageWithDetail(const CTemplateDialog* owner,
                                             const std::string& sentence, const std::string& detail,
                                             MessageIcon icon) {
    wxMessageDialog box(ParentOf(owner), wxString::FromUTF8(sentence),
                        wxString::FromUTF8(MessageCaption()), wxOK | wxCENTRE | IconStyle(icon));
    box.SetExtendedMessage(wxString::FromUTF8(detail));
    box.ShowModal();
}

std::optional<std::filesystem::path> WxWindowServices::AskSavePath(
    const CTemplateDialog* owner, const FileDialogRequest& request) {
    return RunFileDialog(owner, request, wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
}

std::optional<std::filesystem::path> WxWindowServices::AskOpenPath(
    const CTemplateDialog* owner, const FileDialogRequest& request) {
    return RunFileDialog(owner, request, wxFD_OPEN | wxFD_FILE_MUST_EXIST);
}

void WxWindowServices::Wait(int milliseconds) {
    // Transactions wait on their own thread; the window's thread keeps painting.
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace tessaly
