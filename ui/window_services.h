// What the windows ask of the desktop besides their own controls: message boxes,
// file dialogs and waits. Windows call these through one interface so that tests
// can answer them without blocking.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace tessaly {

class CTemplateDialog;

enum class MessageIcon { None, Exclamation, Information };

struct FileDialogRequest {
    std::string title;
    std::string initialName;
    std::string filterText;  // e.g. "Status Files (*.sts)"
    std::string pattern;     // e.g. "*.sts"
};

class WindowServices {
public:
    virtual ~WindowServices() = default;
    // A modal box with one sentence, an icon and an OK button.
    virtual void ShowMessage(const CTemplateDialog* owner, const std::string& sentence,
                             MessageIcon icon) = 0;
    // The same box with a second text under the sentence: what went wrong and how to
    // mend it. Services that have no place for it show the sentence alone.
    virtual void ShowMessageWithDetail(const CTemplateDialog* owner, const std::string& sentence,
                                       const std::string& detail, MessageIcon icon) {
        (void)detail;
        ShowMessage(owner, sentence, icon);
    }
    // Asks before an existing file is overwritten. Empty when the operator cancels.
    virtual std::optional<std::filesystem::path> AskSavePath(const CTemplateDialog* owner,
                                                             const FileDialogRequest& request) = 0;
    // Offers existing files only. Empty when the operator cancels.
    virtual std::optional<std::filesystem::path> AskOpenPath(const CTemplateDialog* owner,
                                                             const FileDialogRequest& request) = 0;
    // Sleeps on the calling thread: the worker of a running transaction.
    virtual void Wait(int milliseconds) = 0;
};

}  // namespace tessaly
