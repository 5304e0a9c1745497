// The desktop's own message boxes, file dialogs and sleep.
#pragma once

#include "ui/window_services.h"

namespace tessaly {

class Win32WindowServices final : public WindowServices {
public:
    void ShowMessage(const CTemplateDialog* owner, const std::string& sentence,
                     MessageIcon icon) override;
    // The detail follows the sentence after a blank line: the box has one text.
    void ShowMessageWithDetail(const CTemplateDialog* owner, const std::string& sentence,
                               const std::string& detail, MessageIcon icon) override;
    std::optional<std::filesystem::path> AskSavePath(const CTemplateDialog* owner,
                                                     const FileDialogRequest& request) override;
    std::optional<std::filesystem::path> AskOpenPath(const CTemplateDialog* owner,
                                                     const FileDialogRequest& request) override;
    void Wait(int milliseconds) override;
};

}  // namespace tessaly
