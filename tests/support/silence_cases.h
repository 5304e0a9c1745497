// Ways a port opens but the display stays silent, with what the operator must
// read about each: the command line's standard error and the main window's
// message both come from these rows.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <thread>

#include "ports/port_holders.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"
#include "tools/virtual_display.h"

namespace tessaly::testing {

// Another program that reads the port, started under a name longer than the 15
// characters the kernel keeps of it.
class PortReader {
public:
    static constexpr const char* kName = "tessaly-till-reader";

    explicit PortReader(const std::string& device) {
        const std::string program = m_dir / kName;
        std::filesystem::create_symlink("/bin/cat", program);
        m_child = std::make_unique<ChildProcess>(std::vector<std::string>{program, device},
                                                 ChildProcess::Environment{});
        // Bounded: the check must not start before the reader holds the port.
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (FindHolders(device).empty() && std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    // "tessaly-till-reader (pid 4711)"
    std::string Shown() const {
        return std::string(kName) + " (pid " + std::to_string(m_child->Pid()) + ")";
    }

private:
    test::TempDir m_dir;
    std::unique_ptr<ChildProcess> m_child;
};

struct SilenceCase {
    const char* name;
    std::function<void(VirtualDisplay&)> arrange;
    bool reader;           // a PortReader holds the port during the check
    const char* sentence;  // the first line
    // The second text; "@" stands for the device, "#" for the reader as shown.
    const char* detail;
};

inline const char* const kNoAnswerSentence =
    "The display did not answer. Check the cable and the line settings.";
inline const char* const kAdvice =
    "@: no answer at 115200 baud, 8 data bits, parity none.\nCheck the cable at both ends, "
    "that the display is switched on, and that these are the display's line settings; "
    "\"tessaly-cli scan\" finds the speed it answers at.";

inline const SilenceCase kSilenceCases[] = {
    {"AnotherProgramReadsThePort", [](VirtualDisplay& d) { d.SetFault(DisplayFault::Silent); },
     true, kNoAnswerSentence,
     "@ is also open in #, which may take the display's answers.\nClose that program and try "
     "again."},
    // The display goes as the request to enter user setting mode reaches it.
    {"PulledOutAdapter",
     [](VirtualDisplay& d) {
         d.SetFault(DisplayFault::HangUp);
         d.SetHangUpAfterBytes(2 + 2 + 3 + 1);
     },
     false, "The port is gone: the adapter was pulled out or the device failed.",
     "@: the device no longer exists\nPlug the adapter in again, choose its port and try once "
     "more."},
    {"SilentDisplay", [](VirtualDisplay& d) { d.SetFault(DisplayFault::Silent); }, false,
     kNoAnswerSentence, kAdvice},
    {"DisplayAtAnotherSpeed", [](VirtualDisplay& d) { d.SetLineSpeed(9600); }, false,
     kNoAnswerSentence, kAdvice},
};

inline void PrintTo(const SilenceCase& c, std::ostream* os) {
    *os << c.name;
}

inline std::string ExpectedDetail(const SilenceCase& c, const std::string& device,
                                  const std::string& reader) {
    std::string text;
    for (const char* p = c.detail; *p != '\0'; ++p) {
        text += *p == '@' ? device : *p == '#' ? reader : std::string(1, *p);
    }
    return text;
}

}  // namespace tessaly::testing
