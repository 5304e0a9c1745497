#include "tests/cli/cli_process.h"

#include <cstdlib>

namespace tessaly::testing {
namespace {

std::vector<std::string> CommandLine(const std::vector<std::string>& args,
                                     const std::vector<std::string>& launcher) {
    std::vector<std::string> argv = launcher;
    argv.push_back(TESSALY_CLI_PROGRAM);
    argv.insert(argv.end(), args.begin(), args.end());
    return argv;
}

ChildProcess::Environment EnvironmentFor(const std::string& stateDir) {
    ChildProcess::Environment environment{{"XDG_STATE_HOME", stateDir}};
    if (std::getenv("TESSALY_TEST_CUPS") == nullptr) {
        environment.emplace_back("CUPS_SERVER", stateDir + "/no-cups.sock");
    }
    return environment;
}

}  // namespace

CliProcess::CliProcess(const std::vector<std::string>& args, const std::string& stateDir,
                       const std::vector<std::string>& launcher)
    : ChildProcess(CommandLine(args, launcher), EnvironmentFor(stateDir)) {
    CloseInput();
}

CliResult RunCli(const std::vector<std::string>& args, const std::string& stateDir) {
    return CliProcess(args, stateDir).Finish();
}

}  // namespace tessaly::testing
