// tessaly-bench: runs the connection check, the switch read and the switch
// write against a virtual display on a real pseudo-terminal, with the real
// waits, and prints for each the median wall time over the waits the protocol
// requires, and the CPU time spent. Then how long each takes to report a
// display that has gone silent.
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "cli/console_host.h"
#include "tools/virtual_display.h"
#include "transactions/transactions.h"

namespace {

using namespace tessaly;

double Seconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

struct Sample {
    double wall = 0;
    double threadCpu = 0;   // the thread that runs the transaction
    double processCpu = 0;  // the virtual display's thread included
};

Sample Measure(const std::function<void()>& run) {
    const double wall = Seconds(CLOCK_MONOTONIC);
    const double thread = Seconds(CLOCK_THREAD_CPUTIME_ID);
    const double process = Seconds(CLOCK_PROCESS_CPUTIME_ID);
    run();
    return {Seconds(CLOCK_MONOTONIC) - wall, Seconds(CLOCK_THREAD_CPUTIME_ID) - thread,
            Seconds(CLOCK_PROCESS_CPUTIME_ID) - process};
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

LinkSettings SettingsFor(const VirtualDisplay& display) {
    LinkSettings settings;
    settings.portName = display.DevicePath();
    settings.baud = 115200;
    settings.dataBits = 8;
    settings.timeouts = kMainWindowTimeouts;
    return settings;
}

struct Transaction {
    const char* name;
    double requiredSeconds;  // the fixed waits inside it
    // Runs it once on an open (or, for the check, closed) link; false when it failed.
    std::function<bool(CSerialLink&, TransactionHost&)> run;
};

// Opens a link to the display that a transaction can run on.
bool Connect(CSerialLink& link, const VirtualDisplay& display, TransactionHost& host) {
    return CheckConnection(link, SettingsFor(display), kEscPos, host) == CheckOutcome::Connected;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 5;
    if (argc == 3 && std::strcmp(argv[1], "--runs") == 0) {
        runs = std::max(1, std::atoi(argv[2]));
    } else if (argc != 1) {
        std::fprintf(stderr, "usage: tessaly-bench [--runs N]\n");
        return 2;
    }

    VirtualDisplay display;
    ConsoleHost host(nullptr);
    SwitchSet switches{};
    const std::vector<Transaction> transactions{
        {"check", 0.6,
         [&](CSerialLink& link, TransactionHost& h) {
             return CheckConnection(link, SettingsFor(display), kEscPos, h) ==
                    CheckOutcome::Connected;
         }},
        {"get", 1.8,
         [&](CSerialLink& link, TransactionHost& h) {
             return ReadSwitches(link, h, switches) == ReadOutcome::Complete;
         }},
        {"set", 2.6,
         [&](CSerialLink& link, TransactionHost& h) {
             return WriteSwitches(link, h, switches) == WriteOutcome::Complete;
         }},
    };

    std::printf("Transactions against the virtual display, median of %d runs\n\n", runs);
    std::printf("%-6s %9s %9s %14s %16s %17s\n", "", "required", "wall", "wall/required",
                "client CPU", "process CPU");
    for (const Transaction& transaction : transactions) {
        std::vector<double> wall, thread, process;
        for (int i = 0; i < runs; ++i) {
            CSerialLink link;
            const bool needsOpenLink = std::strcmp(transaction.name, "check") != 0;
            if (needsOpenLink && !Connect(link, display, host)) {
                std::fprintf(stderr, "the virtual display did not answer\n");
                return 1;
            }
            bool ok = false;
            const Sample sample = Measure([&] { ok = transaction.run(link, host); });
            if (!ok) {
                std::fprintf(stderr, "%s failed against the virtual display\n", transaction.name);
                return 1;
            }
            wall.push_back(sample.wall);
            thread.push_back(sample.threadCpu);
            process.push_back(sample.processCpu);
        }
        const double medianWall = Median(wall);
        std::printf("%-6s %7.1f s %7.3f s %13.4fx %13.2f ms %14.2f ms\n", transaction.name,
                    transaction.requiredSeconds, medianWall,
                    medianWall / transaction.requiredSeconds, Median(thread) * 1e3,
                    Median(process) * 1e3);
    }

    std::printf("\nA display that has gone silent is reported after (median)\n\n");
    for (const Transaction& transaction : transactions) {
        std::vector<double> wall;
        for (int i = 0; i < runs; ++i) {
            CSerialLink link;
            display.SetFault(VirtualDisplay::Fault::None);
            const bool needsOpenLink = std::strcmp(transaction.name, "check") != 0;
            if (needsOpenLink && !Connect(link, display, host)) {
                std::fprintf(stderr, "the virtual display did not answer\n");
                return 1;
            }
            display.SetFault(VirtualDisplay::Fault::Silent);
            bool ok = true;
            wall.push_back(Measure([&] { ok = transaction.run(link, host); }).wall);
            if (ok) {
                std::fprintf(stderr, "%s did not notice the silent display\n", transaction.name);
                return 1;
            }
        }
        std::printf("%-6s %7.3f s\n", transaction.name, Median(wall));
    }
    return 0;
}
