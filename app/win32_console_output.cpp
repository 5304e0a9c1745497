#include <windows.h>

#include <cstdio>

#include "app/console_output.h"

namespace tessaly {

void UseStartingConsole() {
    // Output redirected to a file or pipe is already a handle of its own.
    if (GetStdHandle(STD_OUTPUT_HANDLE) != nullptr &&
        GetFileType(GetStdHandle(STD_OUTPUT_HANDLE)) != FILE_TYPE_UNKNOWN) {
        return;
    }
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::freopen("CONOUT$", "w", stdout);
        std::freopen("CONOUT$", "w", stderr);
    }
}

}  // namespace tessaly
