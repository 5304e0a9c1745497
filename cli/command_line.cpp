#include "cli/command_line.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <sstream>
#include <string>

#include "cli/item_match.h"
#include "cli/nearest_word.h"
#include "cli/setting_table.h"
#include "files/shown_name.h"
#include "ports/device_names.h"
#include "resources/main_lists.h"
#include "resources/project_version.h"

namespace tessaly {

namespace {

bool IsComName(const std::string& name) {
    for (const char* item : kPortItems) {
        if (name == item) {
            return true;
        }
    }
    return false;
}

// The main window's COM names, a device path, a kernel name ("ttyUSB0") or a
// /dev/serial/by-id/ name; the last two become the device path they open.
CLI::Validator PortName() {
    return CLI::Validator(
        [](std::string& name) -> std::string {
            if (name.empty()) {
                return "expected COM1 to COM10, a device path or a device name";
            }
            if (name.front() == '/' || IsComName(name)) {
                return {};
            }
            if (name.find('/') != std::string::npos || name == "." || name == "..") {
                return "expected COM1 to COM10, a device path or a device name, got \"" +
                       ShownName(name) + "\"";
            }
            name = ResolveDeviceName(name);
            return {};
        },
        "COMn|PATH|NAME");
}

CLI::Validator ListItem(ListItems items) {
    return CLI::Validator(
        [items](std::string& text) -> std::string {
            const ItemMatch match = MatchItem(items, SettingAliases(items), text);
            return match.kind == MatchKind::Found ? std::string()
                                                  : NoMatchText(items, text, match.kind);
        },
        "");
}

// A line list's value as the window spells it or as typed, turned into its index.
CLI::Validator ListIndex(ListItems items, ItemAliases aliases) {
    return CLI::Validator(
        [items, aliases](std::string& text) -> std::string {
            const ItemMatch match = MatchItem(items, aliases, text);
            if (match.kind != MatchKind::Found) {
                return NoMatchText(items, text, match.kind);
            }
            text = std::to_string(match.index);
            return {};
        },
        "");
}

constexpr ItemAlias kEmulationAliases[] = {{"escpos", kEscPos}};

std::vector<std::int32_t> Numbers(ListItems items) {
    std::vector<std::int32_t> numbers;
    for (const char* item : items) {
        numbers.push_back(std::stoi(item));
    }
    return numbers;
}

// `set` and `apply` write only what the display lacks; these change that and
// what they print.
void AddWriteIfChangedFlags(CLI::App* command, CliRequest& request) {
    command->add_flag("--force", request.force,
                      "Write the switches even when the display already holds every setting");
    command->add_flag("--json", request.json,
                      "Print one JSON object: \"changed\", \"written\", the port, the "
                      "changes, and the settings before and after");
}

struct SubcommandChoice {
    CLI::App* app;
    CliCommand command;
};

std::vector<std::string> CommandNames(CLI::App& app) {
    std::vector<std::string> names;
    for (const CLI::App* command : app.get_subcommands([](CLI::App*) { return true; })) {
        names.push_back(command->get_name());
    }
    return names;
}

// The first word that is neither an option nor an option's value, when it names
// no command; empty when there is none or it is a command.
std::string WordThatIsNoCommand(CLI::App& app, int argc, const char* const* argv) {
    const std::vector<std::string> names = CommandNames(app);
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind('-', 0) == 0) {
            const CLI::Option* option = app.get_option_no_throw(arg);
            if (arg.find('=') == std::string::npos && option != nullptr &&
                option->get_items_expected_min() > 0) {
                ++i;
            }
            continue;
        }
        return std::find(names.begin(), names.end(), arg) == names.end() ? arg : std::string();
    }
    return {};
}

// "tessaly-cli: "chek" is no command. Did you mean "check"?"
std::string NoCommandText(CLI::App& app, const std::string& word) {
    std::string text = "tessaly-cli: \"" + ShownName(word) + "\" is no command.";
    if (const std::string nearest = NearestWord(word, CommandNames(app)); !nearest.empty()) {
        text += " Did you mean \"" + nearest + "\"?";
    }
    return text + "\nRun with --help for the commands.";
}

}  // namespace

std::optional<int> ParseCommandLine(int argc, const char* const* argv, CliRequest& request,
                                    std::ostream& out, std::ostream& err) {
    CLI::App app{"Reads and changes the user settings of a customer display on a serial port.",
                 "tessaly-cli"};
    app.require_subcommand(1);
    const std::string version = std::string("tessaly-cli ") + kProjectVersion;
    app.set_version_flag("--version", version, "Print the version and exit");

    request.link.portName = kPortItems[0];
    request.link.baud = 115200;
    request.link.dataBits = 8;
    request.link.stopBits = 0;
    request.link.parity = 0;
    request.link.flowControl = 0;
    request.link.timeouts = kMainWindowTimeouts;

    app.add_option("--port", request.link.portName,
                   "COM1..COM10, a device path, a kernel name (ttyUSB0) or a "
                   "/dev/serial/by-id/ name")
        ->transform(PortName())
        ->capture_default_str();
    app.add_option("--baud", request.link.baud, "Line speed")
        ->check(CLI::IsMember(Numbers(kBaudItems)))
        ->capture_default_str();
    app.add_option("--data-bits", request.link.dataBits, "Data bits")
        ->check(CLI::IsMember(Numbers(kDataBitsItems)))
        ->capture_default_str();
    app.add_option("--parity", request.link.parity, "none, odd or even")
        ->transform(ListIndex(kParityItems, {}))
        ->type_name("WORD")
        ->default_str("none");
    app.add_option("--emulation", request.emulation,
                   "escpos (ESC/POS), quelmar (QUELMAR) or others (Others)")
        ->transform(ListIndex(kEmulationItems, kEmulationAliases))
        ->default_str("escpos");

    std::vector<SubcommandChoice> commands;
    const auto add = [&](const char* name, const char* description, CliCommand command) {
        CLI::App* sub = app.add_subcommand(name, description);
        sub->fallthrough();  // line options may follow the command too
        commands.push_back({sub, command});
        return sub;
    };
    add("check", "Check that the display answers, as \"Check Communication\" does",
        CliCommand::Check);
    add("self-test", "Run the display's self test", CliCommand::SelfTest);
    CLI::App* get =
        add("get", "Read switches 10 to 14 and print the five settings (ESC/POS)", CliCommand::Get);
    get->add_flag("--json", request.json, "Print JSON");

    CLI::App* set = add("set",
                        "Change the named settings and leave the others as the display holds "
                        "them; with quelmar or others, send --code-table and --intl-set",
                        CliCommand::Set);
    std::array<std::string, kSettingRows.size()> choiceTexts;
    std::array<CLI::Option*, kSettingRows.size()> choiceOptions{};
    for (std::size_t i = 0; i < kSettingRows.size(); ++i) {
        const SettingRow& row = kSettingRows[i];
        choiceOptions[i] = set->add_option(std::string("--") + row.option, choiceTexts[i],
                                           std::string(row.label) + ": list text or index")
                               ->type_name("TEXT|INDEX")
                               ->check(ListItem(row.items));
    }
    set->add_flag("--dry-run", request.dryRun,
                  "Print the commands that would change the display, one a line in hex, and "
                  "send none of them (an ESC/POS display is read first)");

    AddWriteIfChangedFlags(set, request);

    CLI::App* save = add("save", "Read the display into a status file", CliCommand::Save);
    save->add_option("FILE", request.file, "Status file to write")->required();
    CLI::App* load = add("load", "Write a status file to the display", CliCommand::Load);
    load->add_option("FILE", request.file, "Status file (name ending in sts)")->required();
    load->add_flag("--dry-run", request.dryRun,
                   "Print the commands that would be sent, one a line in hex; open nothing");
    load->add_flag("--allow-short", request.allowShort,
                   "Load a file that is not exactly 180 bytes, as the windows do: missing "
                   "bytes count as 0, bytes past the 180th are ignored");
    CLI::App* show = add("show", "Print the settings in a status file", CliCommand::Show);
    show->add_option("FILE", request.file, "Status file (name ending in sts)")->required();
    show->add_flag("--json", request.json, "Print JSON");
    CLI::App* apply = add("apply",
                          "Write a status file to the display only when the display differs "
                          "from it, and print what changed",
                          CliCommand::Apply);
    apply->add_option("FILE", request.file, "Status file of 180 bytes (name ending in sts)")
        ->required();
    apply->add_flag("--dry-run", request.dryRun,
                    "Read the display and print the commands that would change it, one a line "
                    "in hex; send none of them");
    AddWriteIfChangedFlags(apply, request);
    add("show-info", "Ask the display to show its information (quelmar, others)",
        CliCommand::ShowInfo);
    // Answered here: printing the version needs no port and no printers.
    CLI::App* versionCommand = app.add_subcommand("version", "Print the version");

    CLI::App* ports = add("ports",
                          "List the serial devices present: kernel name, the stable path "
                          "that is opened, description, and who holds it",
                          CliCommand::Ports);
    ports->add_flag("--json", request.json, "Print JSON");
    CLI::App* scan = add("scan",
                         "Look for a display on every serial port present (or those named): "
                         "the connection check at 115200, 57600, 38400, 19200 and 9600 baud, "
                         "8 data bits, no parity, stopping at the first answer on each port",
                         CliCommand::Scan);
    scan->footer(
        "Only ESC/POS displays answer a connection check; a display in another emulation "
        "is not found.\nProbing at a wrong speed may leave stray characters on a display's "
        "screen.\nThe ports are probed side by side; a silent port takes about 8.3 s.\n"
        "Exit status: 0 a display answered; 1 none answered; 3 none answered and a port "
        "could not be opened.\n");
    scan->add_option("--port", request.scanPorts,
                     "A port to probe (repeat for more); default: every port present")
        ->transform(PortName());
    scan->add_option("--baud", request.scanBauds, "A speed to try (repeat for more)")
        ->check(CLI::IsMember(Numbers(kBaudItems)));
    scan->add_flag("--json", request.json, "Print JSON");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        if (const std::string word = WordThatIsNoCommand(app, argc, argv); !word.empty()) {
            err << NoCommandText(app, word) << '\n';
            return kExitUsage;
        }
        // A refused value is quoted back; whatever it holds must not reach the
        // terminal raw, so every line of the message is shown escaped.
        std::ostringstream message;
        const int status = app.exit(error, out, message);
        std::istringstream lines(message.str());
        for (std::string line; std::getline(lines, line);) {
            err << ShownName(line) << '\n';
        }
        return status == 0 ? kExitSuccess : kExitUsage;
    }
    if (versionCommand->parsed()) {
        out << version << '\n';
        return kExitSuccess;
    }
    for (const SubcommandChoice& choice : commands) {
        if (choice.app->parsed()) {
            request.command = choice.command;
        }
    }
    for (std::size_t i = 0; i < kSettingRows.size(); ++i) {
        if (choiceOptions[i]->count() > 0) {
            request.choices.*kSettingRows[i].choice =
                ChooseItem(kSettingRows[i].items, choiceTexts[i]);
        }
    }
    return std::nullopt;
}

}  // namespace tessaly
