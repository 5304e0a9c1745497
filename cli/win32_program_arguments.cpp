#include <windows.h>
// After windows.h: CommandLineToArgvW.
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>

#include "cli/program_arguments.h"
#include "files/win32_utf16.h"

namespace tessaly {

ProgramArguments::ProgramArguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide != nullptr) {
        for (int i = 0; i < count; ++i) {
            m_text.push_back(Narrow(wide[i]));
        }
        LocalFree(wide);
    } else {
        m_text.assign(argv, argv + argc);  // no memory left to split it again
    }
    for (const std::string& text : m_text) {
        m_pointers.push_back(text.c_str());
    }
}

void PrepareStandardStreams() {
    SetConsoleOutputCP(CP_UTF8);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

}  // namespace tessaly
