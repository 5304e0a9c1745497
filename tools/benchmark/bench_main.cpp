// tessaly-bench: runs the connection check, the switch read and the switch
// write against a virtual display on a real pseudo-terminal, with the real
// waits, and prints for each the median wall time over the waits the protocol
// requires, and the CPU time spent. Then how long each takes to report a
// display that has gone silent. With --soak N it runs the soak instead, with
// --hang-up-sweep the sweep of hang-ups over every send.
#include <time.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cli/console_host.h"
#include "tools/benchmark/hang_up_sweep.h"
#include "tools/benchmark/soak.h"
#include "tools/display_line.h"
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

constexpr const char* kUsage =
    "usage: tessaly-bench [--runs N]\n"
    "       tessaly-bench --soak N [--from CYCLE] [--seed S] [--fault-share 0..1] [--lanes L]\n"
    "       tessaly-bench --hang-up-sweep\n";

// A whole number >= `least` from the whole argument, or nothing.
std::optional<unsigned long long> Number(const char* text, unsigned long long least) {
    char* end = nullptr;
    errno = 0;
    const unsigned long long value = std::strtoull(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || text[0] == '-' || value < least) {
        return std::nullopt;
    }
    return value;
}

// Fills the options from the arguments; false on anything it does not know.
bool ParseArguments(int argc, char** argv, int& runs, std::optional<SoakOptions>& soak) {
    constexpr unsigned long long kMost = 1000000;
    SoakOptions options;
    bool soakAsked = false;
    for (int i = 1; i < argc; i += 2) {
        if (i + 1 >= argc) {
            return false;
        }
        const std::string name = argv[i];
        const char* value = argv[i + 1];
        if (name == "--fault-share") {
            char* end = nullptr;
            options.faultShare = std::strtod(value, &end);
            if (end == value || *end != '\0' || !(options.faultShare >= 0) ||
                options.faultShare > 1) {
                return false;
            }
            continue;
        }
        const bool fromZero = name == "--seed" || name == "--from";
        const auto number = Number(value, fromZero ? 0 : 1);
        if (!number || (name != "--seed" && *number > kMost)) {
            return false;
        }
        if (name == "--runs") {
            runs = static_cast<int>(*number);
        } else if (name == "--soak") {
            options.cycles = static_cast<int>(*number);
            soakAsked = true;
        } else if (name == "--seed") {
            options.seed = *number;
        } else if (name == "--from") {
            options.first = static_cast<long long>(*number);
        } else if (name == "--lanes" && *number <= 64) {
            options.lanes = static_cast<int>(*number);
        } else {
            return false;
        }
    }
    if (soakAsked) {
        soak = options;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "--hang-up-sweep") {
        return RunHangUpSweep(stdout);
    }
    int runs = 5;
    std::optional<SoakOptions> soak;
    if (!ParseArguments(argc, argv, runs, soak)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (soak) {
        return RunSoak(*soak, stdout);
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
