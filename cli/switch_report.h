// What `get` and `show` print: the five settings as the editor would show them,
// and the bits of each switch as the display holds them.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "switches/switch_grid.h"

namespace tessaly {

struct SettingRow;

// A setting as the editor's list shows it ("40%"), or "no selection (field
// value 0)" where the list would show none.
std::string SettingText(const SwitchGrid& grid, const SettingRow& row);

// "00000010": bits 8 down to 1 of switch 10 + group, any nonzero value a 1.
std::string SwitchDigitsText(const SwitchGrid& grid, int group);

// One line per setting ("Brightness: 40%"; a setting the editor shows without a
// selection reads "no selection (field value 0)"), then "Switch 10: 00000000"
// with bit 8 first, as the display sends its digits.
std::string SwitchReportText(const SwitchGrid& grid);

// The same as JSON: settings by option name with index, text and field value
// (index and text null where the editor shows no selection), and per switch its
// digits and the raw value of bits 1..8.
nlohmann::ordered_json SwitchReportJson(const SwitchGrid& grid);

}  // namespace tessaly
