// The spooler on Windows: the Win32 print spooler, level-2 printer records.
// Errors are swallowed: callers only learn that a step failed.
#include <windows.h>
#include <winspool.h>
// The spooler interface has a member of that name; the W call is named outright.
#undef OpenPrinter

#include <map>
#include <memory>
#include <vector>

#include "files/win32_utf16.h"
#include "printers/spooler.h"

namespace tessaly {

// The spooler's own dummy port: jobs go to a file the user is asked to name.
const char* const kDummyPort = "FILE:";

namespace {

// The spooler keeps no reason with a pause, so Tessaly's pause is marked in
// the printer's own data, which lives with the printer across restarts.
constexpr const wchar_t* kMarkKey = L"Tessaly";
constexpr const wchar_t* kMarkValue = L"PausedByTessaly";

// A printer added between the size query and the fetch makes the fetch too
// small; a few rounds settle it.
constexpr int kSizeRounds = 4;

// A record's text fields may be absent.
std::string Text(const wchar_t* field) {
    return field != nullptr ? Narrow(field) : std::string();
}

HANDLE NativeOf(const PrinterHandle& printer) {
    return static_cast<HANDLE>(printer.native);
}

// Size query and fetch, repeated while the record outgrows the buffer.
template <typename Fetch>
std::vector<BYTE> FetchGrowing(Fetch fetch) {
    DWORD needed = 0;
    std::vector<BYTE> buffer;
    for (int round = 0; round < kSizeRounds; ++round) {
        if (fetch(buffer.empty() ? nullptr : buffer.data(), static_cast<DWORD>(buffer.size()),
                  &needed)) {
            return buffer;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed == 0) {
            return {};
        }
        buffer.assign(needed, 0);
    }
    return {};
}

class Win32Spooler final : public Spooler {
public:
    std::vector<InstalledPrinter> EnumeratePrinters() override;
    OpenResult OpenPrinter(const std::string& name) override;
    bool QueryRecordSize(const PrinterHandle& printer) override;
    std::optional<PrinterRecord> FetchRecord(const PrinterHandle& printer) override;
    bool StoreRecord(const PrinterHandle& printer, const PrinterRecord& record) override;
    bool PausePrinter(const PrinterHandle& printer) override;
    bool ResumePrinter(const PrinterHandle& printer) override;
    void ClosePrinter(const PrinterHandle& printer) override;

private:
    std::vector<BYTE> FetchLevel2(HANDLE printer);
    bool Mark(HANDLE printer);
    void Unmark(HANDLE printer);
    bool Marked(HANDLE printer);

    // The last record fetched through each handle: a store hands back every
    // field as it was read, with only the port changed.
    std::map<HANDLE, std::vector<BYTE>> m_fetched;
};

std::vector<InstalledPrinter> Win32Spooler::EnumeratePrinters() {
    DWORD count = 0;
    const std::vector<BYTE> buffer = FetchGrowing([&](BYTE* data, DWORD size, DWORD* needed) {
        return EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, data, size, needed, &count) != 0;
    });
    std::vector<InstalledPrinter> printers;
    if (buffer.empty()) {
        return printers;
    }
    const auto* records = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        if (records[i].pPrinterName != nullptr) {
            printers.push_back({Text(records[i].pPrinterName), Text(records[i].pPortName)});
        }
    }
    return printers;
}

OpenResult Win32Spooler::OpenPrinter(const std::string& name) {
    std::wstring wide = Widen(name);
    PRINTER_DEFAULTSW rights{nullptr, nullptr, PRINTER_ALL_ACCESS};
    HANDLE handle = nullptr;
    if (OpenPrinterW(wide.data(), &handle, &rights)) {
        return {OpenStatus::Opened, PrinterHandle{name, handle}};
    }
    const bool gone = GetLastError() == ERROR_INVALID_PRINTER_NAME;
    return {gone ? OpenStatus::NoSuchPrinter : OpenStatus::Failed, {}};
}

bool Win32Spooler::QueryRecordSize(const PrinterHandle& printer) {
    DWORD needed = 0;
    return GetPrinterW(NativeOf(printer), 2, nullptr, 0, &needed) ||
           GetLastError() == ERROR_INSUFFICIENT_BUFFER;
}

std::vector<BYTE> Win32Spooler::FetchLevel2(HANDLE printer) {
    return FetchGrowing([&](BYTE* data, DWORD size, DWORD* needed) {
        return GetPrinterW(printer, 2, data, size, needed) != 0;
    });
}

std::optional<PrinterRecord> Win32Spooler::FetchRecord(const PrinterHandle& printer) {
    std::vector<BYTE> buffer = FetchLevel2(NativeOf(printer));
    if (buffer.empty()) {
        return std::nullopt;
    }
    const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
    PrinterRecord record;
    record.name = printer.name;
    record.port = Text(info->pPortName);
    record.paused = (info->Status & PRINTER_STATUS_PAUSED) != 0;
    record.pausedByTessaly = record.paused && Marked(NativeOf(printer));
    m_fetched[NativeOf(printer)] = std::move(buffer);
    return record;
}

bool Win32Spooler::StoreRecord(const PrinterHandle& printer, const PrinterRecord& record) {
    std::vector<BYTE>& fetched = m_fetched[NativeOf(printer)];
    if (fetched.empty()) {
        fetched = FetchLevel2(NativeOf(printer));
        if (fetched.empty()) {
            return false;
        }
    }
    PRINTER_INFO_2W info = *reinterpret_cast<const PRINTER_INFO_2W*>(fetched.data());
    std::wstring port = Widen(record.port);
    info.pPortName = port.data();
    // Handing the security descriptor back would need rights over it that
    // printer administration does not include; left out, it stays as it is.
    info.pSecurityDescriptor = nullptr;
    return SetPrinterW(NativeOf(printer), 2, reinterpret_cast<BYTE*>(&info), 0) != 0;
}

bool Win32Spooler::Mark(HANDLE printer) {
    DWORD ours = 1;
    return SetPrinterDataExW(printer, kMarkKey, kMarkValue, REG_DWORD,
                             reinterpret_cast<BYTE*>(&ours), sizeof ours) == ERROR_SUCCESS;
}

// The value goes where the spooler can delete it (wine's cannot); else it is
// set to no longer mark anything.
void Win32Spooler::Unmark(HANDLE printer) {
    if (DeletePrinterDataExW(printer, kMarkKey, kMarkValue) != ERROR_SUCCESS) {
        DWORD none = 0;
        SetPrinterDataExW(printer, kMarkKey, kMarkValue, REG_DWORD, reinterpret_cast<BYTE*>(&none),
                          sizeof none);
    }
}

bool Win32Spooler::Marked(HANDLE printer) {
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    return GetPrinterDataExW(printer, kMarkKey, kMarkValue, &type, reinterpret_cast<BYTE*>(&value),
                             sizeof value, &size) == ERROR_SUCCESS &&
           type == REG_DWORD && size == sizeof value && value == 1;
}

bool Win32Spooler::PausePrinter(const PrinterHandle& printer) {
    // Marked first: a pause that could not be told from anyone else's would
    // never be undone.
    if (!Mark(NativeOf(printer))) {
        return false;
    }
    if (SetPrinterW(NativeOf(printer), 0, nullptr, PRINTER_CONTROL_PAUSE)) {
        return true;
    }
    Unmark(NativeOf(printer));
    return false;
}

bool Win32Spooler::ResumePrinter(const PrinterHandle& printer) {
    if (!SetPrinterW(NativeOf(printer), 0, nullptr, PRINTER_CONTROL_RESUME)) {
        return false;
    }
    // A pause someone makes later is theirs.
    Unmark(NativeOf(printer));
    return true;
}

void Win32Spooler::ClosePrinter(const PrinterHandle& printer) {
    m_fetched.erase(NativeOf(printer));
    ::ClosePrinter(NativeOf(printer));
}

}  // namespace

std::unique_ptr<Spooler> MakeSystemSpooler() {
    return std::make_unique<Win32Spooler>();
}

}  // namespace tessaly
