// exit_keep and exit_discard: the exit step after 100 edited cards.
#include "Bench.h"
#include "BenchWindow.h"

#include "mainwindow/MainWindow.h"
#include "platform/QtPlatform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>

namespace veltro::bench {

namespace {

double exitOnce(const BenchContext& context, std::int64_t cards, platform::Answer answer) {
    QTemporaryDir config;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
    const auto dir = context.scratchCopy(cards, "exit");
    qputenv("VELTRO_HOME", QByteArray::fromStdString(dir.string()));
    auto previous = platform::install(std::make_unique<AnsweringPlatform>(answer));
    double ms = 0;
    {
        mainwindow::MainWindow window;
        window.Form_Load();
        auto& store = *window.cardStore();
        const auto rows = store.headings();
        for (std::size_t i = 0; i < 100 && i < rows.size(); ++i) {
            store.writeFields(rows[i * (rows.size() / 100)].id,
                              {{store::Field::Firma, QStringLiteral("Geändert %1").arg(i)}});
        }
        window.setChangeFlag();
        QElapsedTimer timer;
        timer.start();
        window.Form_QueryUnload();
        ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    }
    platform::install(std::move(previous));
    return ms;
}

void exitMetric(const BenchContext& context, const char* name, platform::Answer answer) {
    for (const auto cards : context.cardCounts) {
        std::vector<double> samples;
        for (int run = 0; run < context.runs; ++run) {
            samples.push_back(exitOnce(context, cards, answer));
        }
        report(name, cards, median(samples), context.runs, {{"edits", "100"}});
    }
}

const Register kKeep("exit_keep", [](const BenchContext& c) {
    exitMetric(c, "exit_keep", platform::Answer::Yes);
});
const Register kDiscard("exit_discard", [](const BenchContext& c) {
    exitMetric(c, "exit_discard", platform::Answer::No);
});

}  // namespace

}  // namespace veltro::bench
