// Why the last Open of a serial link failed: the step and the errno of the call
// that failed, kept at the moment it failed so that the message the operator
// reads names the system's own reason rather than a guess made afterwards.
#pragma once

#include <cerrno>
#include <string>
#include <utility>

namespace tessaly {

enum class OpenStep {
    None,            // no failure
    NoName,          // Configure was given no port name
    Open,            // open(2) of the device; CreateFileW on Windows
    Lock,            // flock: another Tessaly holds the port
    Exclusive,       // TIOCEXCL
    ReadLineState,   // tcgetattr (GetCommState): ENOTTY means the file is no terminal
    LineItems,       // a setting with no termios form (error is 0)
    ApplyLineState,  // tcsetattr (SetCommState, SetCommTimeouts)
    SpeedNotTaken,   // the driver kept another rate (error is 0)
    ModemOutputs,    // DTR/RTS ioctls
};

struct OpenFailure {
    OpenStep step = OpenStep::None;
    int error = 0;     // errno (GetLastError on Windows) of the failing call; 0 where none failed
    std::string path;  // the device path that was opened (after COMn resolution)
    int baud = 0;      // for SpeedNotTaken and LineItems
};

// The port is held by another Tessaly run, found before it was opened.
inline OpenFailure HeldByAnotherRun(std::string path) {
    return OpenFailure{OpenStep::Lock, EWOULDBLOCK, std::move(path), 0};
}

}  // namespace tessaly
