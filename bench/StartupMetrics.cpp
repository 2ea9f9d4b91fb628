// startup: process start of the real program (offscreen) to the filled and painted main
// window, with the splash window off and on (its timer opens the main window after a second).
#include "Bench.h"
#include "ProgramRun.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <iostream>
#include <optional>

namespace veltro::bench {

namespace {

std::optional<double> startOnce(const BenchContext& context, const std::filesystem::path& dir,
                                const QString& configDir) {
    QProcess process;
    QElapsedTimer timer;
    timer.start();
    startProgram(process, context, dir, configDir, "VELTRO_BENCH_STARTUP", QStringLiteral("1"));
    if (!process.waitForFinished(300000)) {
        process.kill();
        return std::nullopt;
    }
    const double wall = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    if (!process.readAllStandardOutput().startsWith("loaded")) {
        std::cerr << "startup: the program did not report a filled window" << std::endl;
        return std::nullopt;
    }
    return wall;
}

void startup(const BenchContext& context) {
    QTemporaryDir config;
    for (const auto cards : context.cardCounts) {
        const auto dir = context.scratchCopy(cards, "startup");
        for (const bool splash : {false, true}) {
            writeProgramSettings(config.path(), splash);
            std::vector<double> samples;
            Repeats repeats(context, cards);
            while (repeats.another()) {
                emptySnapshot(dir);
                if (const auto ms = startOnce(context, dir, config.path())) {
                    samples.push_back(*ms);
                }
            }
            report("startup", cards, median(samples), static_cast<int>(samples.size()),
                   {{"splash", splash ? "\"on\"" : "\"off\""},
                    {"includes_splash_timer_ms", splash ? "1000" : "100"}});
        }
    }
}

const Register kStartup("startup", startup);

}  // namespace

}  // namespace veltro::bench
