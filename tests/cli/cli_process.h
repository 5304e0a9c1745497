// tessaly-cli run as a child process, the way a script runs it: output on pipes,
// no terminal, its state and printers kept away from the user's.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace tessaly::testing {

struct CliResult {
    int status = -1;  // exit status, or 128 + signal
    std::string out;
    std::string err;
};

class CliProcess {
public:
    // Starts the program with `args`; XDG_STATE_HOME points at `stateDir`, and
    // CUPS_SERVER at a socket that does not exist unless TESSALY_TEST_CUPS is set.
    // `launcher` (for example setpriv and its options) runs the program when given.
    CliProcess(const std::vector<std::string>& args, const std::string& stateDir,
               const std::vector<std::string>& launcher = {});
    ~CliProcess();  // kills a child that is still running
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    pid_t Pid() const { return m_pid; }
    // Collects the output until the child ends; kills it once `limit` has passed,
    // so that a test can fail but never hang.
    CliResult Finish(std::chrono::seconds limit = std::chrono::seconds(30));

private:
    pid_t m_pid = -1;
    int m_out = -1;
    int m_err = -1;
};

CliResult RunCli(const std::vector<std::string>& args, const std::string& stateDir);

}  // namespace tessaly::testing
