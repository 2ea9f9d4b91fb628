#pragma once

#include <QElapsedTimer>
#include <QString>

#include <algorithm>

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace veltro::bench {

[[nodiscard]] inline double msSince(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

// Processor time of this process, which a busy machine disturbs less than the clock.
[[nodiscard]] inline double cpuMs() {
    return 1000.0 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

// What a metric gets: the store sizes and run count asked for, and a cache of
// generated stores so sizes are made once.
struct BenchContext {
    std::vector<std::int64_t> cardCounts;
    int runs = 5;
    bool runsGiven = false;  // --runs was given
    std::filesystem::path cacheDir;
    std::filesystem::path binDir;  // where veltro-bench-window and veltro-cli live
    bool x11 = false;              // the window metrics on a real X display (--x11)
    bool extras = false;  // every card with a birthday and further entries, as a phone's (--extras)

    // Runs of a metric that starts the program or reads or writes a whole store: three at
    // a million cards unless --runs says otherwise.
    [[nodiscard]] int heavyRuns(std::int64_t cards) const {
        return runsGiven || cards < 1000000 ? runs : std::min(runs, 3);
    }
    // A pristine generated store with N cards (made once, then reused read-only).
    [[nodiscard]] std::filesystem::path pristineStore(std::int64_t cards) const;
    // A fresh copy of that store in a scratch directory, for metrics that write.
    [[nodiscard]] std::filesystem::path scratchCopy(std::int64_t cards,
                                                    const std::string& tag) const;
};

struct Metric {
    std::string name;
    std::function<void(const BenchContext&)> run;
};

// Every metric registers here (see the *Metrics.cpp files).
std::vector<Metric>& registry();
struct Register {
    Register(std::string name, std::function<void(const BenchContext&)> run);
};

// Counts the runs of a heavy metric: up to its number, but none more once half a minute has
// gone, so that all metrics at a million cards fit in minutes even on a busy machine.
// Without --runs; with it, exactly that many.
class Repeats {
public:
    Repeats(const BenchContext& context, std::int64_t cards);
    // Whether to run once more; counts the run.
    bool another();
    [[nodiscard]] int done() const { return done_; }

private:
    int most_;
    bool strict_;
    int done_ = 0;
    std::int64_t startedMs_;
};

// Median of samples in milliseconds.
[[nodiscard]] double median(std::vector<double> samples);

// The yardstick of the machine's speed beside every figure: a plain scan of the folded headings
// of the generated store of 100,000 cards, timed when the figure is reported, so that a run on
// a loaded machine reads as a ratio. Set once from main.
void useBaselineOf(const BenchContext& context);
[[nodiscard]] double baselineScanMs();

// Prints one JSON object a line: {"metric": ..., "cards": N, "median_ms": x, "runs": r, extra...,
// "baseline_scan_ms": b}
void report(const std::string& metric, std::int64_t cards, double medianMs, int runs,
            const std::vector<std::pair<std::string, std::string>>& extra = {});

}  // namespace veltro::bench
