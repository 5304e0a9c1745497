// What one run of tessaly-cli was asked to do, as the command line gave it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "link/serial_link.h"
#include "transactions/transactions.h"

namespace tessaly {

enum class CliCommand { Check, SelfTest, Get, Set, Save, Load, Show, ShowInfo, Ports, Scan, Apply };

// The five settings of `set`, each the index of its list item; unset ones stay as
// the display holds them.
struct SettingChoices {
    std::optional<std::int32_t> codeTable;
    std::optional<std::int32_t> intlSet;
    std::optional<std::int32_t> brightness;
    std::optional<std::int32_t> peripheral;
    std::optional<std::int32_t> cursorMode;

    bool Any() const { return codeTable || intlSet || brightness || peripheral || cursorMode; }
};

struct CliRequest {
    CliCommand command = CliCommand::Check;
    LinkSettings link;  // the main window's defaults until the options say otherwise
    EmulationMode emulation = kEscPos;
    SettingChoices choices;
    std::string file;
    bool json = false;
    bool dryRun = false;
    bool force = false;       // set, apply: write even when the display holds every setting
    bool allowShort = false;  // load: take a file of any length, as the windows do
    // scan: the ports to probe (empty: every port present) and the speeds to try.
    std::vector<std::string> scanPorts;
    std::vector<std::int32_t> scanBauds;
};

}  // namespace tessaly
