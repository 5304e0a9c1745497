#include "tools/benchmark/soak.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tools/benchmark/soak_cycle.h"

namespace tessaly {

namespace {

using Clock = std::chrono::steady_clock;

// A cycle that runs this long is not slow but stuck: the soak stops rather than
// wait for it, and says which cycle it was so that it can be run again alone.
constexpr double kStuckSeconds = 120;

struct Lane {
    std::atomic<long long> cycle{-1};  // the cycle running now, -1 when idle
    std::atomic<double> since{0};      // when it started, seconds on the steady clock
};

double Now() {
    return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
}

struct FaultRow {
    int cycles = 0;
    int setComplete = 0;
    int falseSuccesses = 0;
    int mismatches = 0;
    int leftInUserSetting = 0;
};

double Percentile(std::vector<double> values, double share) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const auto at = static_cast<std::size_t>(share * static_cast<double>(values.size() - 1));
    return values[at];
}

void PrintCycles(std::FILE* out, const char* label, const std::vector<long long>& cycles) {
    if (cycles.empty()) {
        return;
    }
    std::fprintf(out, "%s", label);
    for (long long c : cycles) {
        std::fprintf(out, " %lld", c);
    }
    std::fprintf(out, "\n");
}

void Report(const SoakOptions& options, const std::vector<CycleResult>& results,
            double totalSeconds, std::FILE* out) {
    std::vector<FaultRow> rows(kSoakFaultCount);
    int notConnected = 0, hungUp = 0, readBack = 0, readFalse = 0, hangs = 0, checkFalse = 0;
    std::vector<double> seconds;
    std::vector<long long> falseCycles, leftCycles;
    for (std::size_t i = 0; i < results.size(); ++i) {
        const CycleResult& r = results[i];
        FaultRow& row = rows[static_cast<int>(r.fault)];
        ++row.cycles;
        row.setComplete += r.setComplete;
        row.falseSuccesses += r.FalseSuccess();
        row.mismatches += r.Mismatch();
        row.leftInUserSetting += r.leftInUserSetting;
        notConnected += !r.connected;
        checkFalse += r.checkFalseSuccess;
        hungUp += r.hungUp;
        readBack += r.readBack;
        readFalse += r.readDiffersFromDisplay;
        hangs += r.seconds > options.hangBoundSeconds;
        seconds.push_back(r.seconds);
        if (r.FalseSuccess() && falseCycles.size() < 10) {
            falseCycles.push_back(options.first + static_cast<long long>(i));
        }
        if (r.leftInUserSetting && leftCycles.size() < 10) {
            leftCycles.push_back(options.first + static_cast<long long>(i));
        }
    }
    FaultRow all;
    for (const FaultRow& row : rows) {
        all.cycles += row.cycles;
        all.setComplete += row.setComplete;
        all.falseSuccesses += row.falseSuccesses;
        all.mismatches += row.mismatches;
        all.leftInUserSetting += row.leftInUserSetting;
    }
    double sum = 0;
    for (double s : seconds) {
        sum += s;
    }

    std::fprintf(out,
                 "Soak: %d cycles from cycle %lld, seed %llu, %.0f%% under a fault, %d lane(s)\n\n",
                 options.cycles, options.first, static_cast<unsigned long long>(options.seed),
                 options.faultShare * 100, options.lanes);
    std::fprintf(out, "%-20s %7s %9s %11s %11s %13s\n", "fault", "cycles", "set done",
                 "false succ.", "mismatches", "left in mode");
    for (int f = 0; f < kSoakFaultCount; ++f) {
        const FaultRow& row = rows[f];
        std::fprintf(out, "%-20s %7d %9d %11d %11d %13d\n",
                     SoakFaultName(static_cast<SoakFault>(f)), row.cycles, row.setComplete,
                     row.falseSuccesses, row.mismatches, row.leftInUserSetting);
    }
    std::fprintf(out, "%-20s %7d %9d %11d %11d %13d\n\n", "all", all.cycles, all.setComplete,
                 all.falseSuccesses, all.mismatches, all.leftInUserSetting);
    // Which of the five switch writes a hang-up cut, and how often the set said done anyway.
    std::array<int, 6> cut{}, cutFalse{};
    for (const CycleResult& r : results) {
        if (r.cutSwitchWrite > 0 && r.cutSwitchWrite < 6) {
            ++cut[static_cast<std::size_t>(r.cutSwitchWrite)];
            cutFalse[static_cast<std::size_t>(r.cutSwitchWrite)] += r.FalseSuccess();
        }
    }
    std::fprintf(out, "hang-up in writes, false successes by the switch write it cut:");
    for (std::size_t w = 1; w < cut.size(); ++w) {
        std::fprintf(out, "  %zu: %d of %d", w, cutFalse[w], cut[w]);
    }
    std::fprintf(out, "\n\n");
    std::fprintf(out, "cycles                          %d\n", all.cycles);
    std::fprintf(out, "mismatches (set vs read back)   %d\n", all.mismatches);
    std::fprintf(out, "false successes (set, check)    %d (%d of them checks)\n",
                 all.falseSuccesses, checkFalse);
    std::fprintf(out, "false successes (read)          %d of %d complete reads\n", readFalse,
                 readBack);
    const std::string hangLabel =
        "hangs (cycle over " + std::to_string(static_cast<int>(options.hangBoundSeconds)) + " s)";
    std::fprintf(out, "%-32s%d\n", hangLabel.c_str(), hangs);
    std::fprintf(out, "display hung up                 %d\n", hungUp);
    std::fprintf(out, "connection check failed         %d\n", notConnected);
    std::fprintf(out,
                 "time per cycle                  mean %.3f s, median %.3f s, p99 %.3f s, max "
                 "%.3f s\n",
                 seconds.empty() ? 0 : sum / static_cast<double>(seconds.size()),
                 Percentile(seconds, 0.5), Percentile(seconds, 0.99), Percentile(seconds, 1));
    std::fprintf(out, "wall time                       %.1f s\n", totalSeconds);
    PrintCycles(out, "first false successes at cycles", falseCycles);
    PrintCycles(out, "first displays left in user setting mode at cycles", leftCycles);
}

}  // namespace

int RunSoak(const SoakOptions& options, std::FILE* out) {
    std::vector<CycleResult> results(static_cast<std::size_t>(options.cycles));
    std::atomic<long long> next{0};
    std::atomic<long long> done{0};
    std::vector<std::unique_ptr<Lane>> lanes;
    std::vector<std::thread> threads;
    const double started = Now();
    for (int l = 0; l < options.lanes; ++l) {
        lanes.push_back(std::make_unique<Lane>());
        threads.emplace_back([&, lane = lanes.back().get()] {
            for (long long i = next++; i < options.cycles; i = next++) {
                lane->since = Now();
                lane->cycle = options.first + i;
                results[static_cast<std::size_t>(i)] =
                    RunSoakCycle(options.seed, static_cast<std::uint64_t>(options.first + i),
                                 options.faultShare);
                lane->cycle = -1;
                ++done;
            }
        });
    }

    // The watchdog: progress on standard error, and a stop for a stuck cycle.
    long long reported = 0;
    while (done < options.cycles) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        for (const auto& lane : lanes) {
            const long long cycle = lane->cycle;
            if (cycle >= 0 && Now() - lane->since > kStuckSeconds) {
                std::fprintf(stderr, "tessaly-bench: cycle %lld is stuck after %.0f s; stopping\n",
                             cycle, kStuckSeconds);
                std::fflush(stderr);
                _exit(3);
            }
        }
        if (done / 100 > reported / 100) {
            reported = done;
            std::fprintf(stderr, "%lld of %d cycles, %.0f s\n", reported, options.cycles,
                         Now() - started);
        }
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    Report(options, results, Now() - started, out);

    for (const CycleResult& r : results) {
        if (r.FalseSuccess() || r.Mismatch() || r.readDiffersFromDisplay ||
            r.seconds > options.hangBoundSeconds) {
            return 1;
        }
    }
    return 0;
}

}  // namespace tessaly
