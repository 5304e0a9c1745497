// The application: shows the main window modally and ends the program when it
// closes. There is no other main loop.
#pragma once

#include <string>
#include <utility>

#include "printers/printer_borrowing.h"
#include "signals/end_request_relay.h"

namespace tessaly {

class CMainDlg;

class CSwitchManagerApp {
public:
    // Requests to end that reach `endRequests` (termination signals) close the
    // main window as "Exit" does while it is open.
    // `port`, when not empty, is chosen in the port list (CMainDlg::ChoosePortAtStart).
    CSwitchManagerApp(PrinterBorrowing& printers, EndRequestRelay& endRequests,
                      std::string port = {})
        : m_printers(printers), m_endRequests(endRequests), m_port(std::move(port)) {}

    // Runs the main window to its end, on the toolkit's thread, and returns the
    // exit status for the process.
    int Run();

private:
    void EndMainWindow();

    PrinterBorrowing& m_printers;
    EndRequestRelay& m_endRequests;
    std::string m_port;
    CMainDlg* m_mainWindow = nullptr;  // while it runs
};

}  // namespace tessaly
