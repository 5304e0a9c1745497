// The toolkit's start and end for programs that bring an application object of
// their own (tools that need the toolkit's idle or timer handling).
#pragma once

#include <functional>

class wxApp;

namespace tessaly {

// As RunWithToolkit in ui/toolkit.h, with `app` as the application object (the
// toolkit takes it over); its initialisation runs before `run`.
int RunWithToolkit(wxApp* app, char** argv, const char* program, const std::function<int()>& run);

}  // namespace tessaly
