// What writing a grid would do to a display that holds another one. A display is
// only rewritten when it lacks something the write would give it, so that the
// memory is not worn and a script can tell a till that changed from one that
// already held its settings.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "switches/switch_grid.h"

namespace tessaly {

class SwitchChange {
public:
    // `held` as read from the display; `wanted` the grid a write would send.
    SwitchChange(const SwitchGrid& held, const SwitchGrid& wanted);

    // True when a bit that the write sends as the grid holds it (the five settings
    // and bits 5 and 6 of switch 14) differs, zero against nonzero, from the
    // display's. The bits always sent as 0 do not count: no setting depends on
    // them, and a display that keeps one of them set would otherwise be rewritten
    // on every run.
    bool Differs() const { return m_differs; }

    const SwitchGrid& Before() const { return m_before; }
    // What the display holds once `wanted` is written: every bit as sent.
    const SwitchGrid& Written() const { return m_written; }

    // "Brightness: 40% -> 60%" for each setting, then "Switch 12: 00000010 ->
    // 00000011" for each switch, that differ between Before() and `after`.
    std::vector<std::string> Lines(const SwitchGrid& after) const;

private:
    SwitchGrid m_before;
    SwitchGrid m_written;
    bool m_differs = false;
};

// One object for scripts: "changed" (whether `after`, what the display holds
// after the run or would hold after a dry run, differs from before), "written",
// the port, the change lines, and the settings and switches before and after as
// `get --json` prints them.
nlohmann::ordered_json SwitchChangeJson(const SwitchChange& change, const SwitchGrid& after,
                                        bool written, const std::string& port);

// Dumps JSON for output; names that are not UTF-8 (a device path can be any bytes)
// are printed with replacement characters rather than ending the run.
std::string JsonText(const nlohmann::ordered_json& json);

}  // namespace tessaly
