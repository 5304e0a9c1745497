#include "cli/switch_report.h"

#include <sstream>

#include "cli/setting_table.h"

namespace tessaly {

namespace {

// A bit read as a 0x00 byte holds -48: the digits alone would hide that.
bool HoldsOnlyZeroOrOne(const SwitchGrid& grid, int group) {
    for (int bit = 1; bit <= 8; ++bit) {
        const std::int32_t value = grid.At(group, bit);
        if (value != 0 && value != 1) {
            return false;
        }
    }
    return true;
}

}  // namespace

// Bit 8 first; any nonzero value is a set bit, as everywhere else.
std::string SwitchDigitsText(const SwitchGrid& grid, int group) {
    std::string digits;
    for (int bit = 8; bit >= 1; --bit) {
        digits += grid.At(group, bit) != 0 ? '1' : '0';
    }
    return digits;
}

std::string SettingText(const SwitchGrid& grid, const SettingRow& row) {
    if (const char* item = ItemText(row.items, DeriveIndices(grid).*row.index)) {
        return item;
    }
    return "no selection (field value " + std::to_string(grid.FieldValue(row.group, row.width)) +
           ")";
}

std::string SwitchReportText(const SwitchGrid& grid) {
    std::ostringstream text;
    for (const SettingRow& row : kSettingRows) {
        text << row.label << ": " << SettingText(grid, row) << '\n';
    }
    for (int group = 0; group < SwitchGrid::kGroups; ++group) {
        text << "Switch " << kFirstSwitch + group << ": " << SwitchDigitsText(grid, group);
        if (!HoldsOnlyZeroOrOne(grid, group)) {
            text << " (bits 1 to 8 hold";
            for (int bit = 1; bit <= 8; ++bit) {
                text << ' ' << grid.At(group, bit);
            }
            text << ')';
        }
        text << '\n';
    }
    return text.str();
}

nlohmann::ordered_json SwitchReportJson(const SwitchGrid& grid) {
    const SettingIndices indices = DeriveIndices(grid);
    nlohmann::ordered_json settings = nlohmann::ordered_json::object();
    for (const SettingRow& row : kSettingRows) {
        const std::int32_t index = indices.*row.index;
        nlohmann::ordered_json setting;
        setting["label"] = row.label;
        if (const char* item = ItemText(row.items, index)) {
            setting["index"] = index;
            setting["text"] = item;
        } else {
            setting["index"] = nullptr;
            setting["text"] = nullptr;
        }
        setting["field"] = grid.FieldValue(row.group, row.width);
        settings[row.option] = setting;
    }
    nlohmann::ordered_json switches = nlohmann::ordered_json::array();
    for (int group = 0; group < SwitchGrid::kGroups; ++group) {
        nlohmann::ordered_json values = nlohmann::ordered_json::array();
        for (int bit = 1; bit <= 8; ++bit) {
            values.push_back(grid.At(group, bit));
        }
        switches.push_back({{"switch", kFirstSwitch + group},
                            {"digits", SwitchDigitsText(grid, group)},
                            {"bits", values}});
    }
    return {{"settings", settings}, {"switches", switches}};
}

}  // namespace tessaly
