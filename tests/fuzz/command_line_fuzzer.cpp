// tessaly-cli's arguments, split at NUL bytes: the parser must answer every
// combination with a request or an exit status, never with an exception, and a
// request it accepts must hold only values the windows could hold.
#include <sstream>
#include <vector>

#include "cli/command_line.h"
#include "resources/setting_lists.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

using namespace tessaly;

constexpr std::size_t kMostArguments = 24;

// The adapter: today's parser, with its output kept from the terminal.
std::optional<int> Parse(const std::vector<const char*>& argv, CliRequest& request) {
    std::ostringstream out, err;
    return ParseCommandLine(static_cast<int>(argv.size()), argv.data(), request, out, err);
}

template <typename Items>
void CheckChoice(const std::optional<std::int32_t>& choice, const Items& items) {
    if (choice) {
        FUZZ_CHECK(IsShownIndex(*choice, items.size()));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> arguments;
    std::string current;
    for (std::size_t i = 0; i < size && arguments.size() < kMostArguments; ++i) {
        if (data[i] == 0) {
            arguments.push_back(current);
            current.clear();
        } else {
            current += static_cast<char>(data[i]);
        }
    }
    if (arguments.size() < kMostArguments) {
        arguments.push_back(current);
    }
    std::vector<const char*> argv{"tessaly-cli"};
    for (const std::string& argument : arguments) {
        argv.push_back(argument.c_str());
    }

    CliRequest request;
    const std::optional<int> status = Parse(argv, request);
    if (status) {
        FUZZ_CHECK(*status == kExitSuccess || *status == kExitUsage);
        return 0;
    }
    const std::string& port = request.link.portName;
    FUZZ_CHECK(!port.empty());
    FUZZ_CHECK(port[0] == '/' || (port.rfind("COM", 0) == 0 && port.size() <= 5));
    FUZZ_CHECK(request.link.parity >= 0 && request.link.parity <= 2);
    FUZZ_CHECK(request.emulation == kEscPos || request.emulation == kQuelmar ||
               request.emulation == kOthers);
    CheckChoice(request.choices.codeTable, kCodeTableItems);
    CheckChoice(request.choices.intlSet, kIntlSetItems);
    CheckChoice(request.choices.brightness, kBrightnessItems);
    CheckChoice(request.choices.peripheral, kPeripheralItems);
    CheckChoice(request.choices.cursorMode, kCursorModeItems);
    return 0;
}
