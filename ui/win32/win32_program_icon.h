// The application icon (IDR_MAINFRAME) from the program's resources, at the
// sizes the desktop asks of a window's large and small icon.
#pragma once

#include <windows.h>

namespace tessaly {

class ProgramIcons {
public:
    // Both null when the program file carries no such icon.
    ProgramIcons();
    ~ProgramIcons();
    ProgramIcons(const ProgramIcons&) = delete;
    ProgramIcons& operator=(const ProgramIcons&) = delete;

    HICON Large() const { return m_large; }
    HICON Small() const { return m_small; }

private:
    HICON m_large;
    HICON m_small;
};

}  // namespace tessaly
