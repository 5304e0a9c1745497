// Shell commands for the tests that drive outside tools: the CUPS client tools
// (lpstat, lpadmin, cupsdisable) against the private scheduler, setfacl, getfacl.
#pragma once

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace tessaly {

// What `command` prints on standard output; empty when it cannot be started.
inline std::string Output(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r")) {
        std::array<char, 256> chunk{};
        while (fgets(chunk.data(), chunk.size(), pipe) != nullptr) {
            output += chunk.data();
        }
        pclose(pipe);
    }
    return output;
}

// True when `command` ran and exited 0; its output is dropped.
inline bool Shell(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// The device URI the scheduler holds for `printer`, as lpstat shows it (a file:
// URI as its bare path); empty when there is no such printer.
inline std::string DeviceOf(const std::string& printer) {
    // "device for NAME: URI"
    const std::string line = Output("lpstat -v " + printer);
    const auto colon = line.find(": ");
    return colon == std::string::npos ? "" : line.substr(colon + 2, line.find('\n') - colon - 2);
}

}  // namespace tessaly
