// The application icon (IDR_MAINFRAME) in both sizes, for window icons.
#pragma once

#include <wx/iconbndl.h>

namespace tessaly {

wxIconBundle ProgramIcons();

}  // namespace tessaly
