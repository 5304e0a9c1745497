// Drives another program's windows from outside, as an operator at the desktop
// does: through the messages a click or a list choice sends, never through the
// program's own code. Every wait ends after the bound given at construction; a
// failed step leaves its reason in Error().
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace tessaly::windriver {

class Operator {
public:
    explicit Operator(int boundMs);
    ~Operator();
    Operator(const Operator&) = delete;
    Operator& operator=(const Operator&) = delete;

    bool Start(const std::wstring& commandLine);
    // Ends the started program if it still runs: after a failed step nobody
    // would close it, and it would hold its port and its windows.
    void EndStarted();
    // Waits for a shown top-level window titled `caption` (of the started
    // program, when one was started) and acts on it from now on. Returns the
    // milliseconds since Start, or -1 when nothing was started.
    std::optional<double> AwaitWindow(const std::wstring& caption);

    bool Click(int controlId);
    bool Select(int controlId, int index);
    std::optional<std::wstring> Text(int controlId);
    bool Close();

    struct Message {
        std::wstring text;
        double msSinceClick;  // from the last click to the box on the screen
    };
    // Waits for the message box, reads it and presses its OK.
    std::optional<Message> AwaitMessage();
    // True when no message box comes within `ms`.
    bool StayQuiet(int ms);
    // The started program's exit status, once it has ended.
    std::optional<DWORD> AwaitExit();

    const std::string& Error() const { return m_error; }

private:
    // The current window's control, once it exists; null (and an error) after the bound.
    HWND AwaitControl(int controlId);
    // Waits until the current window and `control` take input.
    bool AwaitInput(HWND control, int controlId);
    HWND FindMessageBox() const;
    double MsSince(LARGE_INTEGER then) const;
    bool Fail(std::string reason);

    int m_boundMs;
    LARGE_INTEGER m_frequency{};
    PROCESS_INFORMATION m_process{};
    LARGE_INTEGER m_startedAt{};
    LARGE_INTEGER m_clickedAt{};
    HWND m_window = nullptr;
    std::wstring m_caption;
    std::string m_error;
};

}  // namespace tessaly::windriver
