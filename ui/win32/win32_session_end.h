// What the program does when Windows ends the session under its open windows
// (ui/toolkit.h OnSessionEnd): every top-level window of the program hears
// WM_ENDSESSION, and the first to hear it runs the program's last work.
#pragma once

#include <functional>

namespace tessaly {

void SetSessionEndWork(std::function<void()> last);
// Runs the work once; later calls do nothing.
void RunSessionEndWork();

}  // namespace tessaly
