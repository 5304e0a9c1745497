#include "tools/windriver/win32_operator.h"

#include <string_view>
#include <utility>

#include "files/win32_utf16.h"

namespace tessaly::windriver {

namespace {

// The caption Tessaly's message boxes carry, and the id of the box's text.
constexpr std::wstring_view kMessageCaption = L"tessaly";
constexpr int kMessageTextId = 0xFFFF;
// How long a list choice is waited for before the window counts as busy with it.
constexpr UINT kHandlingBoundMs = 1000;

// Calls `found` about every millisecond until it returns something, for at
// most `boundMs`.
template <class Found>
auto PollFor(int boundMs, Found found) -> decltype(found()) {
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(boundMs);
    for (;;) {
        if (auto result = found()) {
            return result;
        }
        if (GetTickCount64() >= deadline) {
            return {};
        }
        Sleep(1);
    }
}

struct TopLevelQuery {
    DWORD processId;  // 0: any
    std::wstring_view caption;
    std::wstring_view className;  // empty: any
    HWND found = nullptr;
};

std::wstring TitleOf(HWND window) {
    wchar_t title[256] = {};
    GetWindowTextW(window, title, 256);
    return title;
}

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM parameter) {
    auto& query = *reinterpret_cast<TopLevelQuery*>(parameter);
    if (!IsWindowVisible(window)) {
        return TRUE;
    }
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (query.processId != 0 && owner != query.processId) {
        return TRUE;
    }
    if (TitleOf(window) != query.caption) {
        return TRUE;
    }
    if (!query.className.empty()) {
        wchar_t name[64] = {};
        GetClassNameW(window, name, 64);
        if (query.className != name) {
            return TRUE;
        }
    }
    query.found = window;
    return FALSE;
}

HWND FindTopLevel(DWORD processId, std::wstring_view caption, std::wstring_view className = {}) {
    TopLevelQuery query{processId, caption, className};
    EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

std::string Quoted(std::wstring_view text) {
    return "\"" + Narrow(text) + "\"";
}

}  // namespace

Operator::Operator(int boundMs) : m_boundMs(boundMs) {
    QueryPerformanceFrequency(&m_frequency);
}

Operator::~Operator() {
    if (m_process.hProcess != nullptr) {
        CloseHandle(m_process.hProcess);
        CloseHandle(m_process.hThread);
    }
}

void Operator::EndStarted() {
    if (m_process.hProcess != nullptr &&
        WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(m_process.hProcess, 1);
        WaitForSingleObject(m_process.hProcess, static_cast<DWORD>(m_boundMs));
    }
}

bool Operator::Fail(std::string reason) {
    m_error = std::move(reason);
    return false;
}

double Operator::MsSince(LARGE_INTEGER then) const {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart - then.QuadPart) * 1000.0 /
           static_cast<double>(m_frequency.QuadPart);
}

bool Operator::Start(const std::wstring& commandLine) {
    if (m_process.hProcess != nullptr) {
        return Fail("a program was started already");
    }
    std::wstring writable = commandLine;  // CreateProcessW may write into it
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    QueryPerformanceCounter(&m_startedAt);
    if (!CreateProcessW(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &m_process)) {
        m_process = {};
        return Fail("cannot start " + Quoted(commandLine) + ": error " +
                    std::to_string(GetLastError()));
    }
    return true;
}

std::optional<double> Operator::AwaitWindow(const std::wstring& caption) {
    const DWORD processId = m_process.dwProcessId;
    HWND window = PollFor(m_boundMs, [&] { return FindTopLevel(processId, caption); });
    if (window == nullptr) {
        Fail("no window titled " + Quoted(caption) + " after " + std::to_string(m_boundMs) + " ms");
        return std::nullopt;
    }
    m_window = window;
    m_caption = caption;
    return m_process.hProcess != nullptr ? MsSince(m_startedAt) : -1.0;
}

HWND Operator::AwaitControl(int controlId) {
    if (m_window == nullptr) {
        Fail("no window to act on: a window= step comes first");
        return nullptr;
    }
    HWND control = PollFor(m_boundMs, [&] { return GetDlgItem(m_window, controlId); });
    if (control == nullptr) {
        Fail("no control " + std::to_string(controlId) + " in " + Quoted(m_caption));
    }
    return control;
}

bool Operator::AwaitInput(HWND control, int controlId) {
    const bool ready = PollFor(m_boundMs, [&] {
        return IsWindowVisible(m_window) && IsWindowEnabled(m_window) && IsWindowVisible(control) &&
               IsWindowEnabled(control);
    });
    return ready || Fail("control " + std::to_string(controlId) + " of " + Quoted(m_caption) +
                         " takes no input after " + std::to_string(m_boundMs) + " ms");
}

bool Operator::Click(int controlId) {
    HWND button = AwaitControl(controlId);
    if (button == nullptr || !AwaitInput(button, controlId)) {
        return false;
    }
    // Posted, not sent: a click that opens a modal window or a message box
    // returns only when that closes, and the next steps are what close it.
    QueryPerformanceCounter(&m_clickedAt);
    return PostMessageW(button, BM_CLICK, 0, 0) ||
           Fail("cannot click " + std::to_string(controlId));
}

bool Operator::Select(int controlId, int index) {
    HWND list = AwaitControl(controlId);
    if (list == nullptr || !AwaitInput(list, controlId)) {
        return false;
    }
    DWORD_PTR chosen = 0;
    if (!SendMessageTimeoutW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0, SMTO_ABORTIFHUNG,
                             static_cast<UINT>(m_boundMs), &chosen)) {
        return Fail("list " + std::to_string(controlId) + " does not answer");
    }
    if (static_cast<LRESULT>(chosen) != index) {
        return Fail("no item " + std::to_string(index) + " in list " + std::to_string(controlId));
    }
    // What a choice with the mouse tells the window; CB_SETCURSEL alone tells it
    // nothing. Sent, so that the steps after it meet the window as the choice
    // left it; a window still busy with it after a second has opened something
    // of its own, which the next steps deal with.
    QueryPerformanceCounter(&m_clickedAt);
    DWORD_PTR ignored = 0;
    if (SendMessageTimeoutW(m_window, WM_COMMAND, MAKEWPARAM(controlId, CBN_SELCHANGE),
                            reinterpret_cast<LPARAM>(list), SMTO_NORMAL, kHandlingBoundMs,
                            &ignored) ||
        GetLastError() == ERROR_TIMEOUT) {
        return true;
    }
    return Fail("cannot report the choice in list " + std::to_string(controlId));
}

std::optional<std::wstring> Operator::Text(int controlId) {
    HWND control = AwaitControl(controlId);
    if (control == nullptr) {
        return std::nullopt;
    }
    const UINT bound = static_cast<UINT>(m_boundMs);
    DWORD_PTR length = 0;
    std::wstring text;
    if (SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, bound, &length)) {
        text.resize(length + 1);
        DWORD_PTR copied = 0;
        if (SendMessageTimeoutW(control, WM_GETTEXT, text.size(),
                                reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, bound,
                                &copied)) {
            text.resize(copied);
            return text;
        }
    }
    Fail("control " + std::to_string(controlId) + " does not give its text");
    return std::nullopt;
}

bool Operator::Close() {
    if (m_window == nullptr) {
        return Fail("no window to close: a window= step comes first");
    }
    // A window under a modal one (a message box, an editing window) takes no
    // click on its close box either.
    if (!PollFor(m_boundMs,
                 [&] { return IsWindowVisible(m_window) && IsWindowEnabled(m_window); })) {
        return Fail(Quoted(m_caption) + " takes no input after " + std::to_string(m_boundMs) +
                    " ms");
    }
    // As the frame's close box sends it.
    return PostMessageW(m_window, WM_SYSCOMMAND, SC_CLOSE, 0) ||
           Fail("cannot close " + Quoted(m_caption));
}

HWND Operator::FindMessageBox() const {
    return FindTopLevel(m_process.dwProcessId, kMessageCaption, L"#32770");
}

std::optional<Operator::Message> Operator::AwaitMessage() {
    HWND box = PollFor(m_boundMs, [&] { return FindMessageBox(); });
    if (box == nullptr) {
        Fail("no message box after " + std::to_string(m_boundMs) + " ms");
        return std::nullopt;
    }
    Message message{{}, MsSince(m_clickedAt)};

    const HWND window = std::exchange(m_window, box);
    const std::wstring caption = std::exchange(m_caption, std::wstring(kMessageCaption));
    const auto text = Text(kMessageTextId);
    const bool pressed = text && Click(IDOK);
    m_window = window;
    m_caption = caption;
    if (!pressed) {
        return std::nullopt;
    }
    message.text = *text;
    // Gone, not just hidden: until the box's own message loop has ended, it
    // takes the messages meant for the windows under it and drops them.
    if (!PollFor(m_boundMs, [&] { return !IsWindow(box); })) {
        Fail("the message box stays open after OK");
        return std::nullopt;
    }
    return message;
}

bool Operator::StayQuiet(int ms) {
    if (HWND box = PollFor(ms, [&] { return FindMessageBox(); })) {
        m_window = box;
        const auto text = Text(kMessageTextId);
        return Fail("unexpected message box: " + Quoted(text.value_or(L"")));
    }
    return true;
}

std::optional<DWORD> Operator::AwaitExit() {
    if (m_process.hProcess == nullptr) {
        Fail("no program was started");
        return std::nullopt;
    }
    if (WaitForSingleObject(m_process.hProcess, static_cast<DWORD>(m_boundMs)) != WAIT_OBJECT_0) {
        Fail("the program is still running after " + std::to_string(m_boundMs) + " ms");
        return std::nullopt;
    }
    DWORD status = 0;
    GetExitCodeProcess(m_process.hProcess, &status);
    return status;
}

}  // namespace tessaly::windriver
