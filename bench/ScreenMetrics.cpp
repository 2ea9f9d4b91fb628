// What the user waits for, on the real program offscreen: first_change (typing into the shown
// card, then Tab: the first change of the run, with its backup) and exit_after_typing (typing,
// then closing: until the exit question). X11Metrics.cpp times the same on a real display.
#include "Bench.h"
#include "ProgramRun.h"

#include "backup/BackupFiles.h"
#include "store/Schema.h"

#include <QProcess>
#include <QTemporaryDir>

#include <chrono>
#include <iostream>

namespace veltro::bench {

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// ---- offscreen: the program's own hooks time it ----

struct HookRun {
    double ms = 0;     // what the hook printed
    double endMs = 0;  // from then to the process gone
};

std::optional<HookRun> hookOnce(const BenchContext& context, const fs::path& dir,
                                const char* request, const QByteArray& word) {
    QTemporaryDir config;
    writeProgramSettings(config.path(), false);
    emptySnapshot(dir);
    removeBackups(dir);
    QProcess process;
    startProgram(process, context, dir, config.path(), request, QStringLiteral("1"));
    const auto words = lineStarting(process, word);
    const auto printed = Clock::now();
    if (!words || words->size() < 2 || !process.waitForFinished(600000)) {
        std::cerr << word.toStdString() << ": the program gave no answer" << std::endl;
        process.kill();
        process.waitForFinished();
        return std::nullopt;
    }
    return HookRun{words->at(1).toDouble(),
                   std::chrono::duration<double, std::milli>(Clock::now() - printed).count()};
}

void hookMetric(const BenchContext& context, const char* name, const char* request,
                const QByteArray& word) {
    for (const auto cards : context.cardCounts) {
        const auto dir = context.scratchCopy(cards, name);
        std::vector<double> samples;
        std::vector<double> ends;
        BackupsOfRuns backups;
        Repeats repeats(context, cards);
        while (repeats.another()) {
            if (const auto run = hookOnce(context, dir, request, word)) {
                samples.push_back(run->ms);
                ends.push_back(run->endMs);
                backups.count(dir);
            }
        }
        auto fields = backups.fields();
        fields.insert(fields.begin(), {"screen", "\"offscreen\""});
        fields.emplace_back("then_process_end_ms", fixed(median(ends)));
        report(name, cards, median(samples), static_cast<int>(samples.size()), fields);
    }
}

const Register kFirstChange("first_change", [](const BenchContext& context) {
    hookMetric(context, "first_change", "VELTRO_BENCH_FIRST_CHANGE", "first_change");
});
const Register kExitTyped("exit_after_typing", [](const BenchContext& context) {
    hookMetric(context, "exit_after_typing", "VELTRO_BENCH_EXIT_TYPED", "question");
});

}  // namespace

}  // namespace veltro::bench
