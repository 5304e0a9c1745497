// First: windows.h makes IDOK and IDCANCEL macros of the same values.
#include "resources/control_ids.h"

#include "ui/win32/win32_program_icon.h"

#include <initializer_list>

namespace tessaly {

namespace {

// Not shared: a shared icon comes at the size it was first asked for.
HICON LoadProgramIcon(int widthMetric, int heightMetric) {
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME),
                                         IMAGE_ICON, GetSystemMetrics(widthMetric),
                                         GetSystemMetrics(heightMetric), LR_DEFAULTCOLOR));
}

}  // namespace

ProgramIcons::ProgramIcons()
    : m_large(LoadProgramIcon(SM_CXICON, SM_CYICON)),
      m_small(LoadProgramIcon(SM_CXSMICON, SM_CYSMICON)) {}

ProgramIcons::~ProgramIcons() {
    for (HICON icon : {m_large, m_small}) {
        if (icon != nullptr) {
            DestroyIcon(icon);
        }
    }
}

}  // namespace tessaly
