// The desktop's own message boxes, file dialogs and sleep.
#pragma once

#include "ui/window_services.h"

namespace tessaly {

class WxWindowServices final : public WindowServices {
public:
    void ShowMessage(wxWindow* owner, const std::string& sentence, MessageIcon icon) override;
    void ShowMessageWithDetail(wxWindow* owner, const std::string& sentence,
                               const std::string& detail, MessageIcon icon) override;
    std::optional<std::filesystem::path> AskSavePath(wxWindow* owner,
                                                     const FileDialogRequest& request) override;
    std::optional<std::filesystem::path> AskOpenPath(wxWindow* owner,
                                                     const FileDialogRequest& request) override;
    void Wait(int milliseconds) override;
};

// Caption of every message box: the program file's name without its extension,
// since the program sets no title of its own.
std::string MessageCaption();

}  // namespace tessaly
