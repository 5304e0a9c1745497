#include "tests/support/recording_window_services.h"

#include <chrono>
#include <thread>

namespace tessaly::testing {

namespace {

std::optional<std::filesystem::path> Next(std::deque<std::optional<std::filesystem::path>>& q) {
    if (q.empty()) {
        return std::nullopt;
    }
    auto answer = q.front();
    q.pop_front();
    return answer;
}

}  // namespace

void PrintTo(const RecordedMessage& message, std::ostream* out) {
    static const char* const kIcons[] = {"no icon", "exclamation", "information"};
    *out << '"' << message.sentence << "\" (" << kIcons[static_cast<int>(message.icon)] << ')';
}

void RecordingWindowServices::ShowMessage(const CTemplateDialog*, const std::string& sentence,
                                          MessageIcon icon) {
    ShowMessageWithDetail(nullptr, sentence, "", icon);
}

void RecordingWindowServices::ShowMessageWithDetail(const CTemplateDialog*,
                                                    const std::string& sentence,
                                                    const std::string& detail, MessageIcon icon) {
    messages.push_back({sentence, icon});
    details.push_back(detail);
    if (onMessage) {
        onMessage(messages.back());
    }
}

std::optional<std::filesystem::path> RecordingWindowServices::AskSavePath(
    const CTemplateDialog*, const FileDialogRequest& request) {
    saveRequests.push_back(request);
    return Next(m_saveAnswers);
}

std::optional<std::filesystem::path> RecordingWindowServices::AskOpenPath(
    const CTemplateDialog*, const FileDialogRequest& request) {
    openRequests.push_back(request);
    return Next(m_openAnswers);
}

void RecordingWindowServices::Wait(int milliseconds) {
    waits.push_back(milliseconds);
    virtualMs += milliseconds;
    // The virtual display answers from its own thread; give it the processor
    // without making the test sit out the real wait.
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    if (onWait) {
        onWait(milliseconds);
    }
}

void RecordingWindowServices::QueueSaveAnswer(std::optional<std::filesystem::path> answer) {
    m_saveAnswers.push_back(std::move(answer));
}

void RecordingWindowServices::QueueOpenAnswer(std::optional<std::filesystem::path> answer) {
    m_openAnswers.push_back(std::move(answer));
}

}  // namespace tessaly::testing
