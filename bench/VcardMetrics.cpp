#include "Bench.h"
#include "ProgramRun.h"

#include "import/ImportRun.h"
#include "store/Schema.h"
#include "store/Snapshot.h"
#include "vcard/VcardExport.h"
#include "vcard/VcardMapping.h"
#include "vcard/VcardRows.h"

#include <QElapsedTimer>
#include <QFile>

#include <array>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <stdexcept>

namespace veltro::bench {

// A line starting with the plain name reads as a module import to the formatter.
namespace importing = veltro::import;

namespace {

constexpr std::int64_t kImportCards = 100000;

std::string decimal(double value) {
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%.2f", value);
    return text.data();
}

void vcardExportMetric(const BenchContext& context) {
    for (const std::int64_t cards : context.cardCounts) {
        const auto storeFile = context.pristineStore(cards) / store::kStoreFileName;
        const QString target =
            QString::fromStdString((context.cacheDir / "export_vcard.out").string());
        std::vector<double> wall;
        std::vector<double> cpu;
        Repeats repeats(context, cards);
        while (repeats.another()) {
            QElapsedTimer timer;
            const double cpuStart = cpuMs();
            timer.start();
            const auto result = vcard::exportToFile(storeFile, target, {});
            wall.push_back(msSince(timer));
            cpu.push_back(cpuMs() - cpuStart);
            if (result.status != exporting::ExportStatus::Written) {
                std::cerr << "export_vcard: " << result.error.toStdString() << std::endl;
                return;
            }
        }
        const double megabytes = static_cast<double>(QFile(target).size()) / 1e6;
        QFile::remove(target);
        report("export_vcard", cards, median(wall), repeats.done(),
               {{"cpu_median_ms", decimal(median(cpu))}, {"file_mb", decimal(megabytes)}});
    }
}

// The vCard file of the generated store's 100,000 cards (made once, then reused).
QString vcardFile(const BenchContext& context) {
    const auto path = context.cacheDir / ("import-" + std::to_string(kImportCards) + ".vcf");
    const QString name = QString::fromStdString(path.string());
    if (!QFile::exists(name)) {
        std::cerr << "erzeuge vCard-Datei mit " << kImportCards << " Karten ..." << std::endl;
        const auto storeFile = context.pristineStore(kImportCards) / store::kStoreFileName;
        if (vcard::exportToFile(storeFile, name, {}).status != exporting::ExportStatus::Written) {
            throw std::runtime_error("cannot write " + path.string());
        }
    }
    return name;
}

// Reading, mapping and the import run into each store size, as the program does it: the
// rows are written while the file is still being read. Reading and mapping alone are
// timed apart, for comparison.
void vcardImportMetric(const BenchContext& context) {
    const QString file = vcardFile(context);
    for (const std::int64_t cards : context.cardCounts) {
        std::vector<double> wall;
        std::vector<double> cpu;
        std::vector<double> reading;
        importing::ImportOutcome outcome;
        Repeats repeats(context, cards);
        while (repeats.another()) {
            const auto dir = context.scratchCopy(cards, "import_vcard");
            {
                auto db = store::Database::open(dir / store::kStoreFileName);
                store::Snapshot::take(db);
            }
            QElapsedTimer timer;
            timer.start();
            (void)vcard::importFile(file, QStringLiteral("Kunden"));
            reading.push_back(msSince(timer));

            const double cpuStart = cpuMs();
            timer.start();
            vcard::VcardRows rows(file, QStringLiteral("Kunden"));
            outcome = importing::runImport(
                dir / store::kStoreFileName,
                [&rows](importing::PreviewRow& row) { return rows.next(row); });
            wall.push_back(msSince(timer));
            cpu.push_back(cpuMs() - cpuStart);
        }
        report("import_vcard", cards, median(wall), repeats.done(),
               {{"imported", std::to_string(outcome.cards)},
                {"read_and_map_ms", decimal(median(reading))},
                {"cpu_median_ms", decimal(median(cpu))}});
    }
}

// The command line's import of the same file: process start to end, and its peak memory.
void vcardCliMetric(const BenchContext& context) {
    const QString file = vcardFile(context);
    for (const std::int64_t cards : context.cardCounts) {
        std::vector<double> wall;
        std::vector<double> peaks;
        Repeats repeats(context, cards);
        while (repeats.another()) {
            const auto dir = context.scratchCopy(cards, "import_vcard_cli");
            QElapsedTimer timer;
            timer.start();
            const auto child =
                runChild(context.binDir / "veltro-cli",
                         {"import", dir.string(), file.toStdString(), "--category", "Kunden"});
            wall.push_back(msSince(timer));
            if (!child || child->status != 0) {
                std::cerr << "import_vcard_cli: veltro-cli ended with an error" << std::endl;
                return;
            }
            peaks.push_back(child->peakMb);
        }
        report("import_vcard_cli", cards, median(wall), repeats.done(),
               {{"mb", decimal(median(peaks))}});
    }
}

const Register kExportMetric("export_vcard", vcardExportMetric);
const Register kVcardCliMetric("import_vcard_cli", vcardCliMetric);
const Register kImportMetric("import_vcard", vcardImportMetric);

}  // namespace

}  // namespace veltro::bench
