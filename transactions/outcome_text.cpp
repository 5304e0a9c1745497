#include "transactions/outcome_text.h"

namespace tessaly {

const char* CheckOutcomeText(CheckOutcome outcome) {
    switch (outcome) {
        case CheckOutcome::Connected:
            return "Printer is connected.";
        case CheckOutcome::ConfigureError:
            return "Port Configuration Set Error!";
        case CheckOutcome::OpenFailed:
            return "Can't open port and Printer is disconnected";
        case CheckOutcome::PortError:
            return "Port error! Check printer's port, please.";
        case CheckOutcome::WrongIdentity:
            return "This printer don't match our company name.";
        case CheckOutcome::NoAnswer:
            break;
    }
    return "The display did not answer. Check the cable and the line settings.";
}

const char* ReadOutcomeText(ReadOutcome outcome) {
    switch (outcome) {
        case ReadOutcome::Complete:
            return "Success to get status of ORX.";
        case ReadOutcome::Stopped:
            return "Stopped before the end. Nothing was changed.";
        case ReadOutcome::NoAnswer:
            break;
    }
    return "The display did not answer. Nothing was changed.";
}

const char* WriteOutcomeText(WriteOutcome outcome) {
    switch (outcome) {
        case WriteOutcome::Complete:
            return "Success to set status of printer";
        case WriteOutcome::NoAnswer:
            return "The display did not answer. Nothing was written.";
        case WriteOutcome::Stopped:
            return "Stopped before the end. The display's settings may be incomplete.";
        case WriteOutcome::WriteFailed:
            break;
    }
    return kWriteFailedText;
}

}  // namespace tessaly
