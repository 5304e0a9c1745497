// One run at a time per serial device, decided before any printer is touched.
// Two runs that both borrowed a port's printers would each give them back when
// they end, the one that lost the port first, while the other still reads the
// display. A run therefore claims the device before it borrows: an flock on a
// file in the journal folder named after the device's identity (a character
// device's number), so every name of the device (a by-id link, "COM1") meets
// the same claim. The kernel drops the claim however the run ends; its file goes
// when the run lets go of it, or at a later start when the run was killed.
#pragma once

#include <map>
#include <string>
#include <utility>

namespace tessaly {

class PortClaims {
public:
    enum class Result {
        Claimed,        // this run holds the device (now or from an earlier claim)
        HeldElsewhere,  // another run holds it: touch none of its printers
        Unavailable,    // no claim can be kept (no folder, no such device)
    };

    explicit PortClaims(std::string directory) : m_directory(std::move(directory)) {}
    ~PortClaims();  // ReleaseAll
    PortClaims(const PortClaims&) = delete;
    PortClaims& operator=(const PortClaims&) = delete;

    Result Claim(const std::string& devicePath);
    // Removes the files of every claim and lets go of them.
    void ReleaseAll();
    // Removes claim files that no run holds: those of runs that were killed.
    void RemoveAbandoned();

private:
    std::string m_directory;
    std::map<std::string, int> m_held;  // claim file name -> its locked descriptor
};

}  // namespace tessaly
