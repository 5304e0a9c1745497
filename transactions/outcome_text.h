// The one sentence the operator reads for each way a transaction ends. The
// windows show it in a message box, the command line prints it; both use this
// table so that a technician meets the same words in either.
#pragma once

#include "transactions/transactions.h"

namespace tessaly {

const char* CheckOutcomeText(CheckOutcome outcome);
// Get Status: "Success to get status of ORX." when Complete.
const char* ReadOutcomeText(ReadOutcome outcome);
// Set Status: "Success to set status of printer" when Complete.
const char* WriteOutcomeText(WriteOutcome outcome);

// A write that did not go out whole, or a line that hung up or failed during the
// writes: "Set Status" in either window, the self test, and the basic window's sends.
inline constexpr const char* kWriteFailedText =
    "Writing to the display failed. Its settings may be incomplete.";
// The same for a command that changes no setting: the self test, "Show Information".
inline constexpr const char* kSendFailedText = "Writing to the display failed.";

// A status file whose name does not end in "sts".
inline constexpr const char* kWrongFormatFileText = "Wrong format files loaded.";

}  // namespace tessaly
