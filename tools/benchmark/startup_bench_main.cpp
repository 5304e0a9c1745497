// tessaly-startup-bench: how long `tessaly` takes from exec to its main window
// mapped on the X server, beside the same for a bare dialog of the same toolkit
// (this program run with --bare), so that the ratio between the two says what
// Tessaly's own start-up adds on whatever machine it runs. Needs a display (for
// example `xvfb-run -a`) and no window manager that would hold the map back.
#include <X11/Xlib.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/dialog.h>

#include "tools/benchmark/bench_timing.h"
#include "ui/wx/toolkit_run.h"

namespace {

using tessaly::bench::Median;
using tessaly::bench::Now;

// The toolkit's least: one empty dialog, shown modally until a signal ends the process.
class BareApp : public wxApp {
public:
    bool OnInit() override {
        wxDialog dialog(nullptr, wxID_ANY, "bare");
        dialog.ShowModal();
        return false;
    }
};

// Seconds from exec to the first top-level window mapped, or nothing after 10 s.
std::optional<double> TimeToMap(Display* x, const std::vector<std::string>& command) {
    XSync(x, True);  // forget the events of earlier runs
    const double start = Now();
    const pid_t child = fork();
    if (child == 0) {
        std::vector<char*> argv;
        for (const std::string& arg : command) {
            argv.push_back(const_cast<char*>(arg.c_str()));
        }
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    std::optional<double> mapped;
    const int fd = ConnectionNumber(x);
    while (!mapped && Now() - start < 10.0) {
        while (XPending(x) > 0) {
            XEvent event;
            XNextEvent(x, &event);
            if (event.type == MapNotify && !mapped) {
                mapped = Now() - start;
            }
        }
        fd_set ready;
        FD_ZERO(&ready);
        FD_SET(fd, &ready);
        timeval tick{0, 1000};
        select(fd + 1, &ready, nullptr, nullptr, &tick);
    }
    kill(child, SIGTERM);
    int status = 0;
    waitpid(child, &status, 0);
    return mapped;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--bare") == 0) {
        return tessaly::RunWithToolkit(new BareApp, argv, "tessaly-startup-bench",
                                       [] { return 0; });
    }
    int runs = 9;
    std::string program = TESSALY_PROGRAM;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--runs") == 0) {
            runs = std::max(1, std::atoi(argv[i + 1]));
        } else if (std::strcmp(argv[i], "--program") == 0) {
            program = argv[i + 1];
        }
    }
    Display* x = XOpenDisplay(nullptr);
    if (x == nullptr) {
        std::fprintf(stderr, "tessaly-startup-bench: cannot open the display\n");
        return 1;
    }
    XSelectInput(x, DefaultRootWindow(x), SubstructureNotifyMask);
    char self[4096] = {};
    if (readlink("/proc/self/exe", self, sizeof self - 1) < 0) {
        return 1;
    }
    // Alternated, so that a machine that gets busier meanwhile weighs on both alike.
    std::vector<double> tessaly;
    std::vector<double> bare;
    for (int i = 0; i < runs; ++i) {
        const auto t = TimeToMap(x, {program});
        const auto b = TimeToMap(x, {self, "--bare"});
        if (!t || !b) {
            std::fprintf(stderr, "tessaly-startup-bench: no window was mapped within 10 s\n");
            return 1;
        }
        tessaly.push_back(*t);
        bare.push_back(*b);
    }
    const double t = Median(tessaly);
    const double b = Median(bare);
    std::printf("exec to main window mapped, median of %d runs\n", runs);
    std::printf("  tessaly       %.3f s  (%.4fx the 0.15 s goal)\n", t, t / 0.15);
    std::printf("  bare dialog   %.3f s\n", b);
    std::printf("  tessaly / bare dialog  %.4f\n", t / b);
    XCloseDisplay(x);
    return 0;
}
