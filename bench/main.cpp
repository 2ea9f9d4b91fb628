#include "Bench.h"
#include "BenchWindow.h"

#include <QApplication>
#include <QStringList>

#include <algorithm>
#include <iostream>

using namespace veltro::bench;

namespace {

std::vector<std::int64_t> parseCounts(const QString& text) {
    std::vector<std::int64_t> counts;
    for (const QString& part : text.split(u',', Qt::SkipEmptyParts)) {
        counts.push_back(part.toLongLong());
    }
    return counts;
}

int usage() {
    std::cerr << "Aufruf: veltro-bench [--cards 10000,100000] [--runs 5] [--metric NAME ...]\n"
                 "                    [--cache VERZ] [--x11] [--extras]\n"
                 "--extras: jede Karte mit Geburtstag, Spitzname, zwei weiteren Nummern, einer\n"
                 "          E-Mail-Adresse und einer Postanschrift\n"
                 "--x11: die Fenster-Metriken am echten Programm unter Xvfb, vom gesendeten\n"
                 "Ereignis bis zum letzten Neuzeichnen.\nMetriken:";
    for (const auto& metric : registry()) {
        if (!metric.name.starts_with("x11:")) {
            std::cerr << ' ' << metric.name;
        }
    }
    std::cerr << std::endl;
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    BenchContext context;
    context.cardCounts = {10000, 100000};
    context.binDir = QCoreApplication::applicationDirPath().toStdString();
    context.cacheDir = context.binDir / ".." / "bench-cache";
    QStringList wanted;
    const QStringList args = QCoreApplication::arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == u"--cards" && hasValue) {
            context.cardCounts = parseCounts(args[++i]);
        } else if (arg == u"--runs" && hasValue) {
            context.runs = std::max(1, args[++i].toInt());
            context.runsGiven = true;
        } else if (arg == u"--metric" && hasValue) {
            wanted << args[++i].split(u',', Qt::SkipEmptyParts);
        } else if (arg == u"--cache" && hasValue) {
            context.cacheDir = args[++i].toStdString();
        } else if (arg == u"--extras") {
            context.extras = true;
        } else if (arg == u"--x11") {
#ifndef VELTRO_BENCH_X11
            // Else the window metrics would quietly run offscreen instead.
            std::cerr << "--x11: dieser Bau kann nicht auf X11 messen (libxdamage-dev, "
                         "libxtst-dev fehlten)."
                      << std::endl;
            return 2;
#endif
            context.x11 = true;
        } else {
            return usage();
        }
    }
    std::filesystem::create_directories(context.cacheDir);
    useBaselineOf(context);
    const auto hasOnX11 = [](const std::string& name) {
        return std::any_of(registry().begin(), registry().end(),
                           [&](const Metric& m) { return m.name == "x11:" + name; });
    };
    int ran = 0;
    for (const auto& metric : registry()) {
        const bool onX11 = metric.name.starts_with("x11:");
        const std::string name = onX11 ? metric.name.substr(4) : metric.name;
        if ((wanted.isEmpty() || wanted.contains(QString::fromStdString(name))) &&
            (context.x11 ? onX11 || !hasOnX11(name) : !onX11)) {
            metric.run(context);
            ++ran;
        }
    }
    // Before the application: a window left over would outlive it.
    releaseSharedWindow();
    return ran > 0 ? 0 : usage();
}
