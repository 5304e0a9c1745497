// The spooler on Linux: the CUPS scheduler, spoken to in raw IPP so that every
// queue is seen (the destination list hides queues whose allowed users exclude
// the caller). Errors are swallowed: callers only learn that a step failed.
#include <cups/cups.h>

#include <chrono>
#include <memory>
#include <string_view>

#include "printers/spooler.h"

namespace tessaly {

// The one file: URI the scheduler accepts by default; jobs sent there vanish.
const char* const kDummyPort = "file:/dev/null";

namespace {

// Bounds on a scheduler that accepts the connection but never answers, so that
// neither the connection check nor the teardown can hang on it.
constexpr int kConnectTimeoutMs = 5000;
constexpr double kReplyTimeoutSeconds = 10.0;
// After the scheduler failed to answer, further calls fail at once for a while
// instead of each waiting out the timeouts.
constexpr auto kUnreachableHoldOff = std::chrono::seconds(30);

// Printer changes need an administrator; libcups must never stop to ask for a
// password on the terminal, so the request simply fails.
const char* NoPassword(const char*, http_t*, const char*, const char*, void*) {
    return nullptr;
}

int AbortOnTimeout(http_t*, void*) {
    return 0;
}

struct IppDeleter {
    void operator()(ipp_t* ipp) const { ippDelete(ipp); }
};
using IppMessage = std::unique_ptr<ipp_t, IppDeleter>;

struct HttpDeleter {
    void operator()(http_t* http) const { httpClose(http); }
};

std::string PrinterUri(const std::string& name) {
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0,
                     "/printers/%s", name.c_str());
    return uri;
}

bool Succeeded(const IppMessage& response) {
    return response != nullptr && ippGetStatusCode(response.get()) <= IPP_STATUS_OK_CONFLICTING;
}

class CupsSpooler final : public Spooler {
public:
    std::vector<InstalledPrinter> EnumeratePrinters() override;
    OpenResult OpenPrinter(const std::string& name) override;
    bool QueryRecordSize(const PrinterHandle&) override { return true; }
    std::optional<PrinterRecord> FetchRecord(const PrinterHandle& printer) override;
    bool StoreRecord(const PrinterHandle& printer, const PrinterRecord& record) override;
    bool PausePrinter(const PrinterHandle& printer) override;
    bool ResumePrinter(const PrinterHandle& printer) override;
    void ClosePrinter(const PrinterHandle&) override {}

private:
    IppMessage Request(ipp_op_t operation, const std::string& printerName);
    IppMessage Send(IppMessage request, const char* resource);
    http_t* Connection();

    std::unique_ptr<http_t, HttpDeleter> m_http;
    std::chrono::steady_clock::time_point m_unreachableUntil{};
};

http_t* CupsSpooler::Connection() {
    // libcups keeps the callback per thread.
    cupsSetPasswordCB2(NoPassword, nullptr);
    if (std::chrono::steady_clock::now() < m_unreachableUntil) {
        return nullptr;
    }
    if (!m_http) {
        // cupsServer() honours CUPS_SERVER and client.conf; a path means a unix socket.
        m_http.reset(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                  kConnectTimeoutMs, nullptr));
        if (!m_http) {
            m_unreachableUntil = std::chrono::steady_clock::now() + kUnreachableHoldOff;
            return nullptr;
        }
        httpSetTimeout(m_http.get(), kReplyTimeoutSeconds, AbortOnTimeout, nullptr);
    }
    return m_http.get();
}

IppMessage CupsSpooler::Request(ipp_op_t operation, const std::string& printerName) {
    IppMessage request(ippNewRequest(operation));
    if (!printerName.empty()) {
        ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                     PrinterUri(printerName).c_str());
    }
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    return request;
}

IppMessage CupsSpooler::Send(IppMessage request, const char* resource) {
    http_t* http = Connection();
    if (http == nullptr) {
        return nullptr;
    }
    // cupsDoRequest frees the request whatever happens.
    IppMessage response(cupsDoRequest(http, request.release(), resource));
    if (!response) {
        ipp_status_t status = cupsLastError();
        if (status == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE || status == IPP_STATUS_ERROR_INTERNAL) {
            m_http.reset();
            m_unreachableUntil = std::chrono::steady_clock::now() + kUnreachableHoldOff;
        }
    }
    return response;
}

std::vector<InstalledPrinter> CupsSpooler::EnumeratePrinters() {
    static const char* const kWanted[] = {"printer-name", "device-uri"};
    IppMessage request = Request(IPP_OP_CUPS_GET_PRINTERS, {});
    ippAddStrings(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2,
                  nullptr, kWanted);
    // Local queues only: the type must have the remote bit clear.
    ippAddInteger(request.get(), IPP_TAG_OPERATION, IPP_TAG_ENUM, "printer-type", 0);
    ippAddInteger(request.get(), IPP_TAG_OPERATION, IPP_TAG_ENUM, "printer-type-mask",
                  CUPS_PRINTER_REMOTE);
    IppMessage response = Send(std::move(request), "/");

    std::vector<InstalledPrinter> printers;
    if (!Succeeded(response)) {
        return printers;
    }
    InstalledPrinter current;
    auto finish = [&] {
        if (!current.name.empty()) {
            printers.push_back(current);
        }
        current = {};
    };
    for (ipp_attribute_t* attr = ippFirstAttribute(response.get()); attr != nullptr;
         attr = ippNextAttribute(response.get())) {
        const char* name = ippGetName(attr);
        if (name == nullptr) {  // a separator: the next printer starts
            finish();
            continue;
        }
        std::string_view key = name;
        if (key == "printer-name" && ippGetString(attr, 0, nullptr) != nullptr) {
            current.name = ippGetString(attr, 0, nullptr);
        } else if (key == "device-uri" && ippGetString(attr, 0, nullptr) != nullptr) {
            current.port = ippGetString(attr, 0, nullptr);
        }
    }
    finish();
    return printers;
}

OpenResult CupsSpooler::OpenPrinter(const std::string& name) {
    IppMessage request = Request(IPP_OP_GET_PRINTER_ATTRIBUTES, name);
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "printer-name");
    IppMessage response = Send(std::move(request), "/");
    if (Succeeded(response)) {
        return {OpenStatus::Opened, PrinterHandle{name}};
    }
    // Only the scheduler's own answer counts as gone. Without an answer the last
    // error is stale (no request was even sent while the scheduler is away), and
    // a printer taken for deleted would lose its journal entry.
    const bool gone =
        response != nullptr && ippGetStatusCode(response.get()) == IPP_STATUS_ERROR_NOT_FOUND;
    return {gone ? OpenStatus::NoSuchPrinter : OpenStatus::Failed, {}};
}

std::optional<PrinterRecord> CupsSpooler::FetchRecord(const PrinterHandle& printer) {
    static const char* const kWanted[] = {"printer-name", "device-uri", "printer-state",
                                          "printer-state-message"};
    IppMessage request = Request(IPP_OP_GET_PRINTER_ATTRIBUTES, printer.name);
    ippAddStrings(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 4,
                  nullptr, kWanted);
    IppMessage response = Send(std::move(request), "/");
    if (!Succeeded(response)) {
        return std::nullopt;
    }
    ipp_attribute_t* uri = ippFindAttribute(response.get(), "device-uri", IPP_TAG_URI);
    ipp_attribute_t* state = ippFindAttribute(response.get(), "printer-state", IPP_TAG_ENUM);
    if (uri == nullptr || ippGetString(uri, 0, nullptr) == nullptr) {
        return std::nullopt;
    }
    PrinterRecord record;
    record.name = printer.name;
    record.port = ippGetString(uri, 0, nullptr);
    record.paused = state != nullptr && ippGetInteger(state, 0) == IPP_PSTATE_STOPPED;
    ipp_attribute_t* message =
        ippFindAttribute(response.get(), "printer-state-message", IPP_TAG_TEXT);
    record.pausedByTessaly = record.paused && message != nullptr &&
                             ippGetString(message, 0, nullptr) != nullptr &&
                             std::string_view(ippGetString(message, 0, nullptr)) == kPauseReason;
    return record;
}

// Only the device URI is sent, so the scheduler keeps every other setting.
bool CupsSpooler::StoreRecord(const PrinterHandle& printer, const PrinterRecord& record) {
    IppMessage request = Request(IPP_OP_CUPS_ADD_MODIFY_PRINTER, printer.name);
    ippAddString(request.get(), IPP_TAG_PRINTER, IPP_TAG_URI, "device-uri", nullptr,
                 record.port.c_str());
    return Succeeded(Send(std::move(request), "/admin/"));
}

bool CupsSpooler::PausePrinter(const PrinterHandle& printer) {
    // The reason is kept with the printer, across scheduler restarts as well,
    // and tells our pause from anyone else's.
    IppMessage request = Request(IPP_OP_PAUSE_PRINTER, printer.name);
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_TEXT, "printer-state-message", nullptr,
                 kPauseReason);
    return Succeeded(Send(std::move(request), "/admin/"));
}

bool CupsSpooler::ResumePrinter(const PrinterHandle& printer) {
    return Succeeded(Send(Request(IPP_OP_RESUME_PRINTER, printer.name), "/admin/"));
}

}  // namespace

std::unique_ptr<Spooler> MakeSystemSpooler() {
    return std::make_unique<CupsSpooler>();
}

}  // namespace tessaly
