// backup_start and backup_copy: a backup of the store as the program makes it before a
// change. The start (opening the store and holding its state) runs on the window's
// thread; the copy runs on a thread of its own.
#include "Bench.h"

#include "backup/BackupWriter.h"
#include "store/Schema.h"

#include <QElapsedTimer>

#include <memory>

namespace veltro::bench {

namespace {

double msSince(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

void backupMetric(const BenchContext& context) {
    for (const std::int64_t cards : context.cardCounts) {
        const auto file = context.pristineStore(cards) / store::kStoreFileName;
        std::vector<double> starts;
        std::vector<double> copies;
        for (int run = 0; run < context.runs; ++run) {
            QElapsedTimer timer;
            timer.start();
            auto writer = std::make_unique<backup::BackupWriter>(file);
            starts.push_back(msSince(timer));
            timer.restart();
            const auto copy = writer->write(QDateTime::currentDateTime());
            copies.push_back(msSince(timer));
            writer.reset();
            std::filesystem::remove(copy);
        }
        const auto bytes = std::to_string(std::filesystem::file_size(file));
        report("backup_start", cards, median(starts), context.runs, {{"bytes", bytes}});
        report("backup_copy", cards, median(copies), context.runs, {{"bytes", bytes}});
    }
}

const Register kBackup("backup", backupMetric);

}  // namespace

}  // namespace veltro::bench
