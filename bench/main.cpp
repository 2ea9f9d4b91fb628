#include "Bench.h"

#include <QApplication>
#include <QStringList>

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
                 "                    [--cache VERZ]\nMetriken:";
    for (const auto& metric : registry()) {
        std::cerr << ' ' << metric.name;
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
        } else {
            return usage();
        }
    }
    std::filesystem::create_directories(context.cacheDir);
    int ran = 0;
    for (const auto& metric : registry()) {
        if (wanted.isEmpty() || wanted.contains(QString::fromStdString(metric.name))) {
            metric.run(context);
            ++ran;
        }
    }
    return ran > 0 ? 0 : usage();
}
