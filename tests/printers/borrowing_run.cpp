// A run that borrows the printers of a port and holds the port, as tessaly
// does after "Check Communication", until its standard input closes; then it
// gives everything back as the teardown does. The multi-run tests start it as
// a process of its own so that it can be killed like a real run.
#include <unistd.h>

#include <cstdio>

#include "link/serial_link.h"
#include "printers/printer_borrowing.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DEVICE\n", argv[0]);
        return 2;
    }
    tessaly::PrinterBorrowing printers;
    printers.RecoverEarlierRun();
    printers.ReleasePrinters(argv[1]);
    tessaly::CSerialLink link;
    tessaly::LinkSettings settings;
    settings.portName = argv[1];
    settings.baud = 9600;
    settings.dataBits = 8;
    link.Configure(settings);
    const bool open = link.Open();
    std::printf("%s %zu\n", open ? "holding" : "refused", printers.Borrowed().size());
    std::fflush(stdout);
    char byte = 0;
    while (read(STDIN_FILENO, &byte, 1) > 0) {
    }
    link.Close();
    printers.RestorePrinters();
    return 0;
}
