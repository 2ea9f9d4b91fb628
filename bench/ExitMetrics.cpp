// exit_keep and exit_discard: the real program, 100 cards changed in its run, from the
// close request to the process gone, the exit question answered yes (keep) or no.
#include "Bench.h"
#include "ProgramRun.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <iostream>
#include <optional>

namespace veltro::bench {

namespace {

std::optional<double> exitOnce(const BenchContext& context, const std::filesystem::path& dir,
                               bool keep) {
    QTemporaryDir config;
    writeProgramSettings(config.path(), false);
    emptySnapshot(dir);
    QProcess process;
    startProgram(process, context, dir, config.path(), "VELTRO_BENCH_EXIT",
                 keep ? QStringLiteral("keep") : QStringLiteral("discard"));
    QByteArray output;
    while (!output.contains("closing\n")) {
        if (!process.waitForReadyRead(300000)) {
            std::cerr << "exit: the program did not start closing" << std::endl;
            process.kill();
            return std::nullopt;
        }
        output += process.readAllStandardOutput();
    }
    QElapsedTimer timer;
    timer.start();
    if (!process.waitForFinished(300000) || process.exitCode() != 0) {
        std::cerr << "exit: the program did not end well" << std::endl;
        return std::nullopt;
    }
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

void exitMetric(const BenchContext& context, const char* name, bool keep) {
    for (const auto cards : context.cardCounts) {
        // One copy serves every run: a discard puts it back, a keep only rewrites one field.
        const auto dir = context.scratchCopy(cards, "exit");
        std::vector<double> samples;
        Repeats repeats(context, cards);
        while (repeats.another()) {
            if (const auto ms = exitOnce(context, dir, keep)) {
                samples.push_back(*ms);
            }
        }
        report(name, cards, median(samples), static_cast<int>(samples.size()), {{"edits", "100"}});
    }
}

const Register kKeep("exit_keep", [](const BenchContext& c) { exitMetric(c, "exit_keep", true); });
const Register kDiscard("exit_discard",
                        [](const BenchContext& c) { exitMetric(c, "exit_discard", false); });

}  // namespace

}  // namespace veltro::bench
