// The program's arguments as UTF-8, the encoding of every string inside Tessaly,
// and standard output and error set up to carry UTF-8 to whatever reads them.
#pragma once

#include <string>
#include <vector>

namespace tessaly {

class ProgramArguments {
public:
    // On POSIX the arguments are taken as they are. On Windows they are read once
    // more as UTF-16 from the process, since main's narrow ones went through the
    // ANSI code page and lost every character it lacks, and converted once here.
    ProgramArguments(int argc, char** argv);

    int Count() const { return static_cast<int>(m_pointers.size()); }
    const char* const* Values() const { return m_pointers.data(); }

private:
    std::vector<std::string> m_text;
    std::vector<const char*> m_pointers;
};

// On Windows: the console shows the output as UTF-8, and no line end is turned
// into CR LF, so that the bytes written are those of the Linux command line.
// Nothing to do on POSIX.
void PrepareStandardStreams();

}  // namespace tessaly
