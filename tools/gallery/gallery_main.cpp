// tessaly-gallery: shows one of Tessaly's windows in its opening state, for
// pictures and for looking at the windows from outside (the accessibility
// tree). "basic-open" drops the code table list open; "editor-busy" shows the switch editor reading
// a virtual display over and over. Ends by itself after a while, or on SIGTERM.
#include <cstdio>
#include <memory>
#include <string>

#include <gtk/gtk.h>
#include <wx/app.h>
#include <wx/timer.h>

#include "app/editing_windows.h"
#include "app/main_dlg.h"
#include "printers/printer_borrowing.h"
#include "resources/control_ids.h"
#include "tools/display_line.h"
#include "tools/virtual_display.h"
#include "ui/wx/toolkit_run.h"
#include "ui/wx/wx_template_window.h"
#include "ui/wx/wx_window_services.h"

namespace {

using namespace tessaly;

// Messages would stop the pictures; the busy editor just reads again.
class SilentServices final : public WindowServices {
public:
    void ShowMessage(const CTemplateDialog*, const std::string&, MessageIcon) override {}
    std::optional<std::filesystem::path> AskSavePath(const CTemplateDialog*,
                                                     const FileDialogRequest&) override {
        return std::nullopt;
    }
    std::optional<std::filesystem::path> AskOpenPath(const CTemplateDialog*,
                                                     const FileDialogRequest&) override {
        return std::nullopt;
    }
    void Wait(int milliseconds) override { m_desktop.Wait(milliseconds); }

private:
    WxWindowServices m_desktop;
};

constexpr int kLifetimeMs = 60000;

int Show(const std::string& name) {
    SilentServices services;
    PrinterBorrowing printers;  // borrows nothing: no check is run
    std::unique_ptr<VirtualDisplay> display;
    CSerialLink link;
    std::unique_ptr<CTemplateDialog> window;
    if (name == "main") {
        window = std::make_unique<CMainDlg>(services, printers);
    } else if (name == "editor" || name == "basic" || name == "basic-open") {
        window = CreateEditingWindow(name == "editor" ? kEscPos : kQuelmar, nullptr, services);
        if (name == "basic-open") {
            // The code table list dropped open: its items are wider than its box.
            window->Post([&] {
                gtk_combo_box_popup(GTK_COMBO_BOX(WxControl(*window, IDC_CODE_TABLE)->GetHandle()));
            });
        }
    } else if (name == "editor-busy") {
        display = std::make_unique<VirtualDisplay>();
        if (!link.Configure(SettingsFor(*display)) || !link.Open()) {
            std::fprintf(stderr, "tessaly-gallery: cannot open the virtual display\n");
            return 1;
        }
        window = CreateEditingWindow(kEscPos, &link, services);
    } else {
        std::fprintf(stderr, "tessaly-gallery: no window named %s\n", name.c_str());
        return 2;
    }
    wxTimer lifetime;
    lifetime.Bind(wxEVT_TIMER, [&](wxTimerEvent&) { window->RequestEnd(IDCANCEL); });
    lifetime.StartOnce(kLifetimeMs);
    wxTimer reader;
    if (display) {
        reader.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
            if (!window->TransactionRunning()) {
                window->SendCommand(IDC_GET_STATUS);
            }
        });
        reader.Start(100);
    }
    window->ShowModal();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tessaly-gallery main|editor|basic|basic-open|editor-busy\n");
        return 2;
    }
    return RunWithToolkit(new wxApp, argv, "tessaly-gallery", [argv] { return Show(argv[1]); });
}
