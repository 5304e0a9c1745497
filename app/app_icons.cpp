#include "app/app_icons.h"

#include <wx/icon.h>

#include "resources/app_icon.h"

namespace tessaly {

wxIconBundle AppIcons() {
    wxIconBundle icons;
    icons.AddIcon(wxIcon(kAppIcon32Xpm));
    icons.AddIcon(wxIcon(kAppIcon16Xpm));
    return icons;
}

}  // namespace tessaly
