// The toolkit's start and end around a program (RunWithToolkit) or a test run:
// the common controls, the desktop's scale, and the hidden window that calls
// from other threads (CallOnToolkitThread) are posted to.
#pragma once

#include <windows.h>

namespace tessaly {

class ToolkitSession {
public:
    ToolkitSession();
    ~ToolkitSession();
    ToolkitSession(const ToolkitSession&) = delete;
    ToolkitSession& operator=(const ToolkitSession&) = delete;

    // False when no desktop could be reached; nothing was started then.
    bool Started() const { return m_calls != nullptr; }

private:
    HWND m_calls = nullptr;
};

}  // namespace tessaly
