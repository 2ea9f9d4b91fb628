// startup: process start of the real program (offscreen, splash off) to the filled card list.
#include "Bench.h"

#include "store/Schema.h"
#include "store/Sqlite.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <iostream>

namespace veltro::bench {

namespace {

// Settings of the measured runs: no splash picture, so its 100 ms timer is all that waits.
void writeBenchSettings(const QString& configDir) {
    QDir().mkpath(configDir + QStringLiteral("/Veltrix"));
    QFile file(configDir + QStringLiteral("/Veltrix/Veltrix.conf"));
    if (file.open(QIODevice::WriteOnly)) {
        file.write("[Setting]\nOPChk6=0\n");
    }
}

// What a normal exit leaves behind, so every run starts alike.
void emptySnapshot(const std::filesystem::path& dir) {
    auto db = store::Database::open(dir / store::kStoreFileName);
    db.exec("DELETE FROM zKontakte");
    db.exec("DELETE FROM ztblAdrCfg");
}

std::optional<double> runOnce(const BenchContext& context, const std::filesystem::path& dir,
                              const QString& configDir) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VELTRO_HOME"), QString::fromStdString(dir.string()));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), configDir);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("VELTRO_BENCH_STARTUP"), QStringLiteral("1"));
    process.setProcessEnvironment(env);
    QElapsedTimer timer;
    timer.start();
    process.start(QString::fromStdString((context.binDir / "veltro-adressbuch").string()), {});
    if (!process.waitForFinished(120000)) {
        process.kill();
        return std::nullopt;
    }
    const double wall = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    if (!process.readAllStandardOutput().startsWith("loaded")) {
        std::cerr << "startup: the program did not report a filled list" << std::endl;
        return std::nullopt;
    }
    return wall;
}

void startup(const BenchContext& context) {
    QTemporaryDir config;
    writeBenchSettings(config.path());
    for (const auto cards : context.cardCounts) {
        const auto dir = context.scratchCopy(cards, "startup");
        std::vector<double> samples;
        for (int i = 0; i < context.runs; ++i) {
            emptySnapshot(dir);
            if (const auto ms = runOnce(context, dir, config.path())) {
                samples.push_back(*ms);
            }
        }
        report("startup", cards, median(samples), static_cast<int>(samples.size()),
               {{"includes_splash_timer_ms", "100"}});
    }
}

const Register kStartup("startup", startup);

}  // namespace

}  // namespace veltro::bench
