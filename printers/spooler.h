// The print spooler as the printer port release sees it: the few operations
// needed to find the printers on a port and to move them to another port and
// back. The system's spooler (CUPS, or Windows' own) sits behind this so that
// the release logic can be exercised against a fake that fails in any chosen way.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tessaly {

// Where a borrowed printer is pointed while Tessaly holds its port; each
// platform's spooler names its own. Jobs sent there are lost, which is why a
// borrowed printer is also paused.
extern const char* const kDummyPort;

// The reason Tessaly gives when it pauses a printer, where the spooler keeps a
// reason. A printer paused with any other reason was paused by someone else,
// and is not ours to resume.
inline constexpr const char* kPauseReason = "Tessaly holds this printer's serial port";

// A printer's port is its device URI.
struct InstalledPrinter {
    std::string name;
    std::string port;
};

// One printer's record as fetched; a store hands it back with only the port
// changed, every other setting of the printer stays as it was.
struct PrinterRecord {
    std::string name;
    std::string port;
    bool paused = false;
    bool pausedByTessaly = false;  // paused, and marked as Tessaly's pause
};

struct PrinterHandle {
    std::string name;
    void* native = nullptr;  // the spooler's own handle, where it has one
};

enum class OpenStatus {
    Opened,
    NoSuchPrinter,  // nothing left to give back: a store would create a new queue
    Failed,         // scheduler unreachable or access refused
};

struct OpenResult {
    OpenStatus status = OpenStatus::Failed;
    PrinterHandle handle;
};

class Spooler {
public:
    virtual ~Spooler() = default;

    // Every locally installed printer, in the spooler's order; empty on failure.
    virtual std::vector<InstalledPrinter> EnumeratePrinters() = 0;
    virtual OpenResult OpenPrinter(const std::string& name) = 0;
    // False when the spooler cannot even say how large the record is.
    virtual bool QueryRecordSize(const PrinterHandle& printer) = 0;
    // Nothing when room for the record cannot be reserved or the fetch fails.
    virtual std::optional<PrinterRecord> FetchRecord(const PrinterHandle& printer) = 0;
    // True when the spooler accepted the record.
    virtual bool StoreRecord(const PrinterHandle& printer, const PrinterRecord& record) = 0;
    // Pauses, and marks the pause as Tessaly's (with kPauseReason where the
    // spooler keeps a reason).
    virtual bool PausePrinter(const PrinterHandle& printer) = 0;
    virtual bool ResumePrinter(const PrinterHandle& printer) = 0;
    virtual void ClosePrinter(const PrinterHandle& printer) = 0;
};

// The spooler of the machine Tessaly runs on.
std::unique_ptr<Spooler> MakeSystemSpooler();

}  // namespace tessaly
