// tessaly-vdisplay: a virtual customer display for the demo and for trying the
// program without hardware. Prints the device path and answers until stopped.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "tools/virtual_display.h"

namespace {

constexpr const char* kUsage =
    "usage: tessaly-vdisplay [--help] [--fault NAME] [--hang-up-after BYTES] [--link PATH]\n"
    "                        [--record FILE]\n"
    "  NAME: none, silent, noise-before-sync, wrong-identity, cut-after-sync,\n"
    "        endless-noise, hang-up, stall, no-trailing-byte\n"
    "  BYTES: how many bytes the display takes before it hangs up or stalls\n"
    "  FILE: where every byte the display received goes when it is stopped\n";

struct Options {
    tessaly::VirtualDisplay::Fault fault = tessaly::VirtualDisplay::Fault::None;
    std::size_t hangUpAfter = 0;
    std::string linkPath;
    std::string recordPath;
};

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (i + 1 >= argc) {
            return false;
        }
        const char* value = argv[++i];
        if (arg == "--fault") {
            const auto fault = tessaly::VirtualDisplay::FaultFromName(value);
            if (!fault) {
                return false;
            }
            options.fault = *fault;
        } else if (arg == "--hang-up-after") {
            char* end = nullptr;
            options.hangUpAfter = std::strtoul(value, &end, 10);
            if (end == value || *end != '\0') {
                return false;
            }
        } else if (arg == "--link") {
            options.linkPath = value;
        } else if (arg == "--record") {
            options.recordPath = value;
        } else {
            return false;
        }
    }
    return true;
}

// Only ever a symbolic link: a mistyped --link must not delete an ordinary file.
void RemoveSymlink(const std::string& path) {
    struct stat info {};
    if (lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        unlink(path.c_str());
    }
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        }
    }
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::cerr << kUsage;
        return 2;
    }
    // Blocked before the display's thread starts, so that only sigwait sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    try {
        tessaly::VirtualDisplay display;
        display.SetHangUpAfterBytes(options.hangUpAfter);
        display.SetFault(options.fault);
        if (!options.linkPath.empty()) {
            RemoveSymlink(options.linkPath);  // left by an earlier run that was killed
            if (symlink(display.DevicePath().c_str(), options.linkPath.c_str()) != 0) {
                std::perror(options.linkPath.c_str());
                return 1;
            }
        }
        std::cout << display.DevicePath() << std::endl;
        int signal = 0;
        sigwait(&stopSignals, &signal);
        if (!options.linkPath.empty()) {
            RemoveSymlink(options.linkPath);
        }
        if (!options.recordPath.empty()) {
            const std::vector<std::uint8_t> received = display.Received();
            std::ofstream record(options.recordPath, std::ios::binary | std::ios::trunc);
            record.write(reinterpret_cast<const char*>(received.data()),
                         static_cast<std::streamsize>(received.size()));
            if (!record.flush()) {
                std::perror(options.recordPath.c_str());
                return 1;
            }
        }
    } catch (const std::exception& error) {
        std::cerr << "tessaly-vdisplay: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
