#include "printers/printer_journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>

#include "printers/percent_encoding.h"

namespace tessaly {
namespace {

constexpr const char* kHeader = "tessaly-printers 1";

// Names and URIs are written percent-encoded so that spaces, newlines or any
// other byte in them can never split or merge lines; each field starts with ':'
// so that an empty one still counts as a field.

bool MakeDirectories(const std::string& dir) {
    if (dir.empty())
        return true;
    for (std::size_t slash = dir.find('/', 1);; slash = dir.find('/', slash + 1)) {
        std::string part = dir.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            return true;
    }
}

bool WriteAll(int fd, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        ssize_t n = write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::string DirectoryOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

}  // namespace

std::string PrinterJournal::DefaultPath() {
    const char* state = std::getenv("XDG_STATE_HOME");
    std::string base;
    // Relative values are to be ignored, as if the variable were unset.
    if (state != nullptr && state[0] == '/') {
        base = state;
    } else {
        const char* home = std::getenv("HOME");
        if (home == nullptr || home[0] != '/')
            return {};
        base = std::string(home) + "/.local/state";
    }
    return base + "/tessaly/printers.journal";
}

PrinterPorts PrinterJournal::Load() const {
    PrinterPorts ports;
    std::ifstream in(m_path);
    std::string line;
    if (!std::getline(in, line) || line != kHeader)
        return ports;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string paused, name, port, extra;
        if (!(fields >> paused >> name >> port) || (fields >> extra))
            continue;
        if (paused != "0" && paused != "1")
            continue;
        if (name[0] != ':' || port[0] != ':')
            continue;
        std::optional<std::string> decodedName = PercentDecoded(name.substr(1));
        std::optional<std::string> decodedPort = PercentDecoded(port.substr(1));
        if (!decodedName || !decodedPort || decodedName->empty())
            continue;
        ports[*decodedName] = BorrowedPrinter{*decodedPort, paused == "1"};
    }
    return ports;
}

bool PrinterJournal::Add(const std::string& name, const BorrowedPrinter& printer) const {
    PrinterPorts ports = Load();
    ports[name] = printer;
    return Save(ports);
}

bool PrinterJournal::Forget(const std::vector<std::string>& names) const {
    PrinterPorts ports = Load();
    for (const std::string& name : names)
        ports.erase(name);
    if (!ports.empty())
        return Save(ports);
    return unlink(m_path.c_str()) == 0 || errno == ENOENT;
}

bool PrinterJournal::Save(const PrinterPorts& ports) const {
    if (m_path.empty())
        return false;
    std::string dir = DirectoryOf(m_path);
    if (!MakeDirectories(dir))
        return false;

    std::string text = std::string(kHeader) + "\n";
    for (const auto& [name, printer] : ports)
        text += (printer.wasPaused ? "1 :" : "0 :") + PercentEncoded(name) + " :" +
                PercentEncoded(printer.savedPort) + "\n";

    std::string temporary = m_path + ".tmp" + std::to_string(getpid());
    int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    bool written = WriteAll(fd, text) && fsync(fd) == 0;
    written = close(fd) == 0 && written;
    if (!written || rename(temporary.c_str(), m_path.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    // The rename itself must reach the disk before a printer is changed.
    int dirFd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        fsync(dirFd);
        close(dirFd);
    }
    return true;
}

}  // namespace tessaly
