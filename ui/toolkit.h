// The toolkit around a whole program, the same for Tessaly and for the tools and
// tests that show its windows. One back end (ui/wx/ or ui/win32/) provides it.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace tessaly {

class WindowServices;

// Starts the toolkit on the desktop, runs `run`, shuts the toolkit down and
// returns what `run` returned. The program's own arguments in `argv` are kept
// from the toolkit. When no desktop can be reached, says so on the error output
// as `program` and returns 1.
int RunWithToolkit(char** argv, const char* program, const std::function<int()>& run);

// Runs `call` on the toolkit's thread soon; callable from any thread while
// RunWithToolkit runs. Calls still pending at its end are dropped.
void CallOnToolkitThread(std::function<void()> call);

// Runs `last` once, on the toolkit's thread, when the desktop's session ends (log
// off, shut down) while the program's windows are still open. The system may stop
// the program as soon as `last` returns, so it does at once what must not wait for
// the windows to close. A desktop that ends its session with a termination signal
// (Linux) never calls it; the signal's own handling does that work there.
void OnSessionEnd(std::function<void()> last);

// The desktop's own message boxes, file dialogs and sleep.
std::unique_ptr<WindowServices> CreateDesktopServices();

// Caption of every message box: the program file's name without its extension,
// since the program sets no title of its own.
std::string MessageCaption();

}  // namespace tessaly
