// backup_start and backup_copy: a backup of the store as the program makes it before a
// change. The start (opening the store and holding its state) runs on the window's
// thread; the copy runs on a thread of its own. The copy's processor time is reported too:
// on a busy machine it says more than the wall time.
#include "Bench.h"

#include "backup/BackupWriter.h"
#include "store/Schema.h"

#include <QElapsedTimer>

#include <cstdio>
#include <ctime>
#include <memory>

namespace veltro::bench {

namespace {

void backupMetric(const BenchContext& context) {
    for (const std::int64_t cards : context.cardCounts) {
        const auto file = context.pristineStore(cards) / store::kStoreFileName;
        std::vector<double> starts;
        std::vector<double> copies;
        std::vector<double> copyCpu;
        for (int run = 0; run < context.runs; ++run) {
            QElapsedTimer timer;
            timer.start();
            auto writer =
                std::make_unique<backup::BackupWriter>(file, QDateTime::currentDateTime());
            starts.push_back(msSince(timer));
            timer.restart();
            const std::clock_t cpuStart = std::clock();
            const auto copy = writer->write();
            copies.push_back(msSince(timer));
            copyCpu.push_back(1000.0 * static_cast<double>(std::clock() - cpuStart) /
                              CLOCKS_PER_SEC);
            writer.reset();
            std::filesystem::remove(copy);
        }
        const auto bytes = std::to_string(std::filesystem::file_size(file));
        report("backup_start", cards, median(starts), context.runs, {{"bytes", bytes}});
        char cpu[32];
        std::snprintf(cpu, sizeof cpu, "%.2f", median(copyCpu));
        report("backup_copy", cards, median(copies), context.runs,
               {{"bytes", bytes}, {"cpu_median_ms", cpu}});
    }
}

const Register kBackup("backup", backupMetric);

}  // namespace

}  // namespace veltro::bench
