#include "printers/journal_text.h"

#include <optional>
#include <sstream>

#include "printers/percent_encoding.h"

namespace tessaly {
namespace {

constexpr std::string_view kHeader = "tessaly-printers 1";

// The flag keeps the meaning it had in earlier journals: "1" leaves the printer
// paused when it is given back, "0" resumes it.
constexpr std::string_view kResume = "0";
constexpr std::string_view kLeavePaused = "1";

std::string_view WithoutTrailingBlanks(std::string_view line) {
    const std::size_t end = line.find_last_not_of(" \t\r");
    return end == std::string_view::npos ? std::string_view{} : line.substr(0, end + 1);
}

// One printer's line, or nothing when it cannot be read whole.
std::optional<std::pair<std::string, BorrowedPrinter>> ParseLine(std::string_view line) {
    std::istringstream fields{std::string(line)};
    std::string flag;
    std::string name;
    std::string port;
    std::string extra;
    if (!(fields >> flag >> name >> port) || (fields >> extra)) {
        return std::nullopt;
    }
    if ((flag != kResume && flag != kLeavePaused) || name[0] != ':' || port[0] != ':') {
        return std::nullopt;
    }
    const std::optional<std::string> decodedName = PercentDecoded(name.substr(1));
    const std::optional<std::string> decodedPort = PercentDecoded(port.substr(1));
    if (!decodedName || !decodedPort || decodedName->empty()) {
        return std::nullopt;
    }
    return std::pair{*decodedName, BorrowedPrinter{*decodedPort, flag == kResume}};
}

}  // namespace

std::string JournalText(const PrinterPorts& ports) {
    std::string text = std::string(kHeader) + "\n";
    for (const auto& [name, printer] : ports) {
        text += std::string(printer.pausedByUs ? kResume : kLeavePaused) + " :" +
                PercentEncoded(name) + " :" + PercentEncoded(printer.savedPort) + "\n";
    }
    return text;
}

JournalContents ParseJournalText(std::string_view text) {
    JournalContents contents;
    bool header = true;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = WithoutTrailingBlanks(
            text.substr(0, end == std::string_view::npos ? text.size() : end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (header) {
            header = false;
            if (line != kHeader) {
                // Not a journal of ours: none of its lines can be trusted.
                contents.damaged = true;
                return contents;
            }
            continue;
        }
        if (line.empty()) {
            continue;
        }
        if (auto entry = ParseLine(line)) {
            contents.ports[entry->first] = entry->second;
        } else {
            contents.damaged = true;
        }
    }
    contents.damaged = contents.damaged || header;  // an empty file has no header either
    return contents;
}

}  // namespace tessaly
