#include "cli/command_line.h"

#include <CLI/CLI.hpp>

#include <map>
#include <string>

#include "cli/setting_table.h"
#include "files/shown_name.h"
#include "resources/main_lists.h"
#include "resources/project_version.h"

namespace tessaly {

namespace {

// The main window's port list, or a device path.
CLI::Validator PortName() {
    return CLI::Validator(
        [](std::string& name) -> std::string {
            if (!name.empty() && name.front() == '/') {
                return {};
            }
            for (const char* item : kPortItems) {
                if (name == item) {
                    return {};
                }
            }
            return "expected COM1 to COM10 or a device path, got \"" + ShownName(name) + "\"";
        },
        "COM1..COM10|PATH");
}

CLI::Validator ListItem(ListItems items) {
    return CLI::Validator(
        [items](std::string& text) -> std::string {
            if (ChooseItem(items, text)) {
                return {};
            }
            std::string known;
            for (std::size_t i = 0; i < items.size(); ++i) {
                known += "\n  " + std::to_string(i) + " \"" + items[i] + "\"";
            }
            return "\"" + text + "\" is none of these:" + known;
        },
        "");
}

std::vector<std::int32_t> Numbers(ListItems items) {
    std::vector<std::int32_t> numbers;
    for (const char* item : items) {
        numbers.push_back(std::stoi(item));
    }
    return numbers;
}

struct SubcommandChoice {
    CLI::App* app;
    CliCommand command;
};

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

    app.add_option("--port", request.link.portName, "COM1..COM10 or a device path")
        ->check(PortName())
        ->capture_default_str();
    app.add_option("--baud", request.link.baud, "Line speed")
        ->check(CLI::IsMember(Numbers(kBaudItems)))
        ->capture_default_str();
    app.add_option("--data-bits", request.link.dataBits, "Data bits")
        ->check(CLI::IsMember(Numbers(kDataBitsItems)))
        ->capture_default_str();
    const std::map<std::string, std::int32_t> parities{{"none", 0}, {"odd", 1}, {"even", 2}};
    app.add_option("--parity", request.link.parity, "none, odd or even")
        ->transform(CLI::CheckedTransformer(parities))
        ->default_str("none");
    const std::map<std::string, EmulationMode> emulations{
        {"escpos", kEscPos}, {"quelmar", kQuelmar}, {"others", kOthers}};
    app.add_option("--emulation", request.emulation, "escpos, quelmar or others")
        ->transform(CLI::CheckedTransformer(emulations))
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
    add("show-info", "Ask the display to show its information (quelmar, others)",
        CliCommand::ShowInfo);
    // Answered here: printing the version needs no port and no printers.
    CLI::App* versionCommand = app.add_subcommand("version", "Print the version");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int status = app.exit(error, out, err);
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
