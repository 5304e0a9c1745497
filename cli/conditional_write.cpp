#include "cli/conditional_write.h"

#include "cli/command_line.h"
#include "cli/dry_run.h"
#include "cli/switch_change.h"
#include "transactions/outcome_text.h"

namespace tessaly {

namespace {

// A dry run prints what it would send and, with --json, what the display would
// then hold; nothing when the display already holds everything.
int PrintDryRun(const CliRequest& request, const CliStreams& streams, const SwitchChange& change,
                bool write) {
    std::vector<std::vector<Byte>> commands;
    if (write) {
        commands = SwitchWriteCommands(CarriedSwitches(change.Written()));
    }
    if (!request.json) {
        for (const auto& command : commands) {
            streams.out << HexLine(command) << '\n';
        }
        return kExitSuccess;
    }
    nlohmann::ordered_json json = SwitchChangeJson(
        change, write ? change.Written() : change.Before(), false, request.link.portName);
    json["commands"] = nlohmann::ordered_json::array();
    for (const auto& command : commands) {
        json["commands"].push_back(HexLine(command));
    }
    streams.out << JsonText(json) << '\n';
    return kExitSuccess;
}

}  // namespace

int WriteIfChanged(DisplaySession& session, const CliRequest& request, const CliStreams& streams,
                   const SwitchGrid& held, const SwitchGrid& wanted, const ChangeWording& wording) {
    const SwitchChange change(held, wanted);
    const bool write = change.Differs() || request.force;
    if (request.dryRun) {
        return PrintDryRun(request, streams, change, write);
    }
    // Only a write that completed is reported as one; a failed write has printed its
    // sentence and leaves standard output empty, never "unchanged".
    if (write && !session.WriteGridQuietly(change.Written())) {
        return kExitDevice;
    }
    const SwitchGrid& after = write ? change.Written() : change.Before();
    if (request.json) {
        streams.out << JsonText(SwitchChangeJson(change, after, write, request.link.portName))
                    << '\n';
        return kExitSuccess;
    }
    if (!write) {
        return session.Succeed(wording.alreadyHeld.c_str());
    }
    if (wording.listChanges) {
        for (const std::string& line : change.Lines(after)) {
            streams.out << line << '\n';
        }
    }
    return session.Succeed(WriteOutcomeText(WriteOutcome::Complete));
}

}  // namespace tessaly
