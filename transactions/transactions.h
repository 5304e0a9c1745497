// Device transactions: the byte conversations of the windows (and the command
// line), free of any window. Callers capture settings, call one of these, and
// show the outcome in their own way.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "link/serial_link.h"
#include "protocol/commands.h"

namespace tessaly {

// Index of the main window's emulation list.
enum EmulationMode : std::int32_t { kEscPos = 0, kQuelmar = 1, kOthers = 2 };

// What a transaction needs from its caller besides the link: fixed waits and
// progress. The windows drive a progress bar; tests use a virtual clock.
class TransactionHost {
public:
    virtual ~TransactionHost() = default;
    virtual void Wait(int milliseconds) = 0;
    virtual void SetProgress(int position) = 0;
    // Advance by the step; a step past the maximum wraps to the minimum.
    virtual void StepProgress() = 0;
    // True once the caller wants the transaction to end early (a termination signal,
    // a window that closes). Transactions look at it only between two commands, so no
    // command is cut in half, and one that has entered user setting mode still leaves
    // it. A host whose Wait can end early should end it when this turns true.
    virtual bool StopRequested() const { return false; }
};

enum class CheckOutcome {
    Connected,       // "Printer is connected."
    ConfigureError,  // "Port Configuration Set Error!"
    OpenFailed,      // "Can't open port and Printer is disconnected"
    PortError,       // "Port error! Check printer's port, please."
    WrongIdentity,   // "This printer don't match our company name."
    NoAnswer,        // "The display did not answer. Check the cable and the line settings."
};

// Configures and opens the link and greets the display. On any outcome but
// Connected the link is closed again. For ESC/POS the display must answer the
// user setting request with 0x57 0x23 0x1F within about a second (and before 256
// other bytes), else NoAnswer; an answer that stops before the second identity
// byte is NoAnswer too. After NoAnswer or WrongIdentity the display is told to
// leave user setting mode before the link closes. The other emulations are
// Connected once CMD_INITIALIZE went out whole and the line stayed up after it
// (CSerialLink::Drain). A CMD_EXIT_USER_SETTING that does not go out and stay out
// so is PortError, even after `announce` ran.
// `announce` runs once the display is accepted and, for ESC/POS, before it is
// asked to leave user setting mode: the operator reads "Printer is connected."
// first and CMD_EXIT_USER_SETTING follows, as the main window has always done it.
CheckOutcome CheckConnection(CSerialLink& link, const LinkSettings& settings, EmulationMode mode,
                             TransactionHost& host, const std::function<void()>& announce = {});

// Runs with the outcome once it is known, for every outcome after the port opened:
// before the display is told to leave user setting mode (Connected) or before the
// link is closed (the others), so that a window's message is up while the port is
// still held, and the link can still be asked about its line. When the command to
// leave user setting mode then fails, it runs once more, with PortError.
using CheckReport = std::function<void(CheckOutcome)>;
CheckOutcome CheckConnection(CSerialLink& link, const LinkSettings& settings, EmulationMode mode,
                             TransactionHost& host, const CheckReport& report);

// True when the command went out whole and the line stayed up after it.
bool SelfTest(CSerialLink& link, EmulationMode mode);

using SwitchSet = std::array<SwitchBits, kSwitchCount>;  // switches 10..14

enum class ReadOutcome { Complete, NoAnswer, Stopped };
// Reads switches 10..14. Fills `out` only when every query went out whole and
// every reply arrived (0x57 within the bound, then its bytes through the last digit); stops at
// the first that did not (NoAnswer), or before the next query once the host asks
// it to (Stopped). Progress: SetProgress(0), 9 steps per switch (45),
// SetProgress(100) when Complete; otherwise the caller sets the progress back to 0.
ReadOutcome ReadSwitches(CSerialLink& link, TransactionHost& host, SwitchSet& out);

enum class WriteOutcome { Complete, NoAnswer, WriteFailed, Stopped };
// Writes the five switches inside user setting mode; `carried` holds the bits to send.
// NoAnswer: no 0x57 within the bound after entering, so no switch was written.
// WriteFailed: a command did not go out whole, or the line hung up or failed during
// the writes or the waits after them; the display may hold only some of the switches.
// Stopped: the host asked to stop; nothing is sent when it asked before the start.
// Once anything was sent, CMD_EXIT_USER_SETTING is written on every outcome.
// Progress: SetProgress(0), 9 steps, SetProgress(100) when Complete; otherwise the
// caller sets it back to 0.
WriteOutcome WriteSwitches(CSerialLink& link, TransactionHost& host, const SwitchSet& carried);

// Framed family: international character set (its low 8 bits) first, then the
// code table value. Nothing is read. True when both went out whole and the line
// stayed up after them; the code table is not sent after a character set that did not.
bool SendBasicSettings(CSerialLink& link, std::int32_t codeTableValue, std::int32_t intlSet);
// True when the command went out whole and the line stayed up after it.
bool ShowInformation(CSerialLink& link);

}  // namespace tessaly
