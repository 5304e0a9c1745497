#include "cli/switch_change.h"

#include "cli/setting_table.h"
#include "cli/switch_report.h"

namespace tessaly {

SwitchChange::SwitchChange(const SwitchGrid& held, const SwitchGrid& wanted) : m_before(held) {
    for (int group = 0; group < SwitchGrid::kGroups; ++group) {
        const SwitchBits sent = wanted.CarriedBits(group);
        m_written.StoreBits(group, sent);
        m_differs = m_differs || held.CarriedBits(group) != sent;
    }
}

std::vector<std::string> SwitchChange::Lines(const SwitchGrid& after) const {
    std::vector<std::string> lines;
    for (const SettingRow& row : kSettingRows) {
        const std::string from = SettingText(m_before, row);
        const std::string to = SettingText(after, row);
        if (from != to) {
            lines.push_back(std::string(row.label) + ": " + from + " -> " + to);
        }
    }
    for (int group = 0; group < SwitchGrid::kGroups; ++group) {
        const std::string from = SwitchDigitsText(m_before, group);
        const std::string to = SwitchDigitsText(after, group);
        if (from != to) {
            lines.push_back("Switch " + std::to_string(kFirstSwitch + group) + ": " + from +
                            " -> " + to);
        }
    }
    return lines;
}

nlohmann::ordered_json SwitchChangeJson(const SwitchChange& change, const SwitchGrid& after,
                                        bool written, const std::string& port) {
    const std::vector<std::string> lines = change.Lines(after);
    return {{"changed", !lines.empty()},
            {"written", written},
            {"port", port},
            {"changes", lines},
            {"before", SwitchReportJson(change.Before())},
            {"after", SwitchReportJson(after)}};
}

std::string JsonText(const nlohmann::ordered_json& json) {
    return json.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

}  // namespace tessaly
