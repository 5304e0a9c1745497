// Window services for tests: message boxes and file dialogs are recorded and
// answered at once, waits advance a virtual clock. Nothing here blocks.
#pragma once

#include <deque>
#include <functional>
#include <ostream>
#include <vector>

#include "ui/window_services.h"

namespace tessaly::testing {

struct RecordedMessage {
    std::string sentence;
    MessageIcon icon;
    bool operator==(const RecordedMessage&) const = default;
};

void PrintTo(const RecordedMessage& message, std::ostream* out);

class RecordingWindowServices final : public WindowServices {
public:
    void ShowMessage(const CTemplateDialog* owner, const std::string& sentence,
                     MessageIcon icon) override;
    void ShowMessageWithDetail(const CTemplateDialog* owner, const std::string& sentence,
                               const std::string& detail, MessageIcon icon) override;
    std::optional<std::filesystem::path> AskSavePath(const CTemplateDialog* owner,
                                                     const FileDialogRequest& request) override;
    std::optional<std::filesystem::path> AskOpenPath(const CTemplateDialog* owner,
                                                     const FileDialogRequest& request) override;
    void Wait(int milliseconds) override;

    // Answers for the next file dialogs, in order; a dialog with no answer queued
    // is cancelled.
    void QueueSaveAnswer(std::optional<std::filesystem::path> answer);
    void QueueOpenAnswer(std::optional<std::filesystem::path> answer);

    // Runs while a message is "shown", so a test can look at the window and the
    // device at that moment, as the operator would.
    std::function<void(const RecordedMessage&)> onMessage;
    // Runs in each Wait with its length, so that a test can let the device move on
    // as it would during a real wait.
    std::function<void(int milliseconds)> onWait;

    std::vector<RecordedMessage> messages;
    std::vector<std::string> details;  // the second text of each message, "" for none
    std::vector<FileDialogRequest> saveRequests;
    std::vector<FileDialogRequest> openRequests;
    std::vector<int> waits;   // every Wait, in order
    long long virtualMs = 0;  // sum of the waits

private:
    std::deque<std::optional<std::filesystem::path>> m_saveAnswers;
    std::deque<std::optional<std::filesystem::path>> m_openAnswers;
};

}  // namespace tessaly::testing
