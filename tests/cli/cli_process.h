// tessaly-cli run as a child process, the way a script runs it: output on pipes,
// no terminal, its state and printers kept away from the user's.
#pragma once

#include <string>
#include <vector>

#include "tests/support/child_process.h"

namespace tessaly::testing {

using CliResult = ChildResult;

class CliProcess : public ChildProcess {
public:
    // Starts the program with `args` and its input already at its end;
    // XDG_STATE_HOME points at `stateDir`, and CUPS_SERVER at a socket that
    // does not exist unless TESSALY_TEST_CUPS is set. `launcher` (for example
    // setpriv and its options) runs the program when given.
    CliProcess(const std::vector<std::string>& args, const std::string& stateDir,
               const std::vector<std::string>& launcher = {});
};

CliResult RunCli(const std::vector<std::string>& args, const std::string& stateDir);

}  // namespace tessaly::testing
