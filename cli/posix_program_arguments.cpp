#include "cli/program_arguments.h"

namespace tessaly {

ProgramArguments::ProgramArguments(int argc, char** argv) : m_text(argv, argv + argc) {
    for (const std::string& text : m_text) {
        m_pointers.push_back(text.c_str());
    }
}

void PrepareStandardStreams() {}

}  // namespace tessaly
