#include "ui/wx/program_icon.h"

#include <wx/icon.h>

#include "resources/app_icon.h"

namespace tessaly {

wxIconBundle ProgramIcons() {
    wxIconBundle icons;
    icons.AddIcon(wxIcon(kAppIcon32Xpm));
    icons.AddIcon(wxIcon(kAppIcon16Xpm));
    return icons;
}

}  // namespace tessaly
