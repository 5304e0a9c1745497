// The toolkit's start and end around a whole program: the same for Tessaly and
// for the tools that show its windows.
#pragma once

#include <functional>

class wxApp;

namespace tessaly {

// Starts the toolkit on the desktop's display with `app` as the application
// object (the toolkit takes it over), runs the application's initialisation
// and then `run`, shuts the toolkit down and returns what `run` returned. The
// program's own arguments in `argv` are kept from the toolkit. When the
// display cannot be opened, says so on the error output as `program` and
// returns 1.
int RunWithToolkit(wxApp* app, char** argv, const char* program, const std::function<int()>& run);

}  // namespace tessaly
