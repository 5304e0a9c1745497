// tessaly-window-bench: how long the switch editor takes from a click on "Get
// Status" or "Set Status" to its message, against a virtual display on a real
// pseudo-terminal, with the window's own waits and painting. Needs a display
// (for example `xvfb-run -a`). The message is timed as it is asked for and not
// shown, so no one has to close it.
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/button.h>

#include "editor/switch_editor_dlg.h"
#include "resources/control_ids.h"
#include "tools/benchmark/bench_timing.h"
#include "tools/display_line.h"
#include "tools/virtual_display.h"
#include "transactions/transactions.h"
#include "ui/wx/toolkit_run.h"
#include "ui/wx/wx_template_window.h"
#include "ui/wx/wx_window_services.h"

namespace {

using namespace tessaly;

using bench::Median;
using bench::Now;

// The desktop's own services, except that a message is only timed.
class TimingServices final : public WindowServices {
public:
    void ShowMessage(const CTemplateDialog*, const std::string& sentence, MessageIcon) override {
        lastSentence = sentence;
        shownAt = Now();
        if (onMessage) {
            onMessage();
        }
    }
    std::optional<std::filesystem::path> AskSavePath(const CTemplateDialog*,
                                                     const FileDialogRequest&) override {
        return std::nullopt;
    }
    std::optional<std::filesystem::path> AskOpenPath(const CTemplateDialog*,
                                                     const FileDialogRequest&) override {
        return std::nullopt;
    }
    void Wait(int milliseconds) override { m_desktop.Wait(milliseconds); }

    std::string lastSentence;
    double shownAt = 0;
    std::function<void()> onMessage;

private:
    WxWindowServices m_desktop;
};

struct Plan {
    int runs = 5;
    int done = 0;  // clicks measured so far, Get and Set alternating
    double clickedAt = 0;
    std::vector<double> get, set;
    bool failed = false;
};

void Click(CSwitchEditorDlg& window, int buttonId, Plan& plan) {
    auto* button = dynamic_cast<wxButton*>(WxControl(window, buttonId));
    wxCommandEvent click(wxEVT_BUTTON, buttonId);
    click.SetEventObject(button);
    plan.clickedAt = Now();
    button->ProcessWindowEvent(click);
}

int RunBenchmark(int runs) {
    VirtualDisplay display;
    CSerialLink link;
    if (!link.Configure(SettingsFor(display)) || !link.Open()) {
        std::fprintf(stderr, "cannot open the virtual display\n");
        return 1;
    }

    TimingServices services;
    CSwitchEditorDlg window(services);
    window.m_pLink = &link;
    Plan plan;
    plan.runs = runs;

    auto next = [&] {
        const bool getting = plan.done % 2 == 0;
        Click(window, getting ? IDC_GET_STATUS : IDC_SET_STATUS, plan);
    };
    services.onMessage = [&] {
        const bool getting = plan.done % 2 == 0;
        const char* expected =
            getting ? "Success to get status of ORX." : "Success to set status of printer";
        if (services.lastSentence != expected) {
            std::fprintf(stderr, "unexpected message: %s\n", services.lastSentence.c_str());
            plan.failed = true;
        }
        (getting ? plan.get : plan.set).push_back(services.shownAt - plan.clickedAt);
        ++plan.done;
        // The next click comes once the window is idle again, as an operator's would.
        window.Post([&] {
            if (plan.failed || plan.done == 2 * plan.runs) {
                window.EndDialog(IDCANCEL);
            } else {
                window.Post(next);
            }
        });
    };
    // A first Get Status before the clock starts: the link and the window warm up.
    window.Post(next);
    window.ShowModal();
    if (plan.failed || plan.get.size() != static_cast<std::size_t>(runs)) {
        std::fprintf(stderr, "the switch editor did not finish its transactions\n");
        return 1;
    }

    std::printf("Switch editor under the window system, click to message, median of %d runs\n\n",
                runs);
    std::printf("%-6s %9s %9s %14s\n", "", "required", "wall", "wall/required");
    const double get = Median(plan.get);
    const double set = Median(plan.set);
    std::printf("%-6s %7.1f s %7.3f s %13.4fx\n", "get", 1.8, get, get / 1.8);
    std::printf("%-6s %7.1f s %7.3f s %13.4fx\n", "set", 2.6, set, set / 2.6);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 5;
    if (argc == 3 && std::strcmp(argv[1], "--runs") == 0) {
        runs = std::max(1, std::atoi(argv[2]));
    } else if (argc != 1) {
        std::fprintf(stderr, "usage: tessaly-window-bench [--runs N]\n");
        return 2;
    }
    return RunWithToolkit(new wxApp, argv, "tessaly-window-bench",
                          [runs] { return RunBenchmark(runs); });
}
