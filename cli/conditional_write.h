// The end of `set` and `apply` once the display has been read: the switches are
// written only when that changes something (or when forced), and the run says
// which it was, in text or as one JSON object.
#pragma once

#include <string>

#include "cli/display_session.h"

namespace tessaly {

struct ChangeWording {
    // Text output: the change lines before the success sentence (`apply`), or the
    // sentence alone, as `set` has always printed it.
    bool listChanges = false;
    // Text output when the display already holds everything.
    std::string alreadyHeld;
};

// `held` as read, `wanted` what a write would send. Honours --force, --dry-run
// and --json; an exit status.
int WriteIfChanged(DisplaySession& session, const CliRequest& request, const CliStreams& streams,
                   const SwitchGrid& held, const SwitchGrid& wanted, const ChangeWording& wording);

}  // namespace tessaly
