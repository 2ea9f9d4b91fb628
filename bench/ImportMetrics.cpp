#include "Bench.h"
#include "BenchWindow.h"
#include "ProgramRun.h"

#include "backup/BackupFiles.h"
#include "mainwindow/MainImportHost.h"

#include "import/ImportRun.h"
#include "import/TextSource.h"
#include "store/CardIndex.h"
#include "store/Schema.h"
#include "store/Snapshot.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QStringEncoder>
#include <QTimer>

#include <array>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <memory>
#include <random>

namespace veltro::bench {

// A line starting with the plain name reads as a module import to the formatter.
namespace importing = veltro::import;

namespace {

constexpr std::int64_t kRows = 100000;
const importing::SplitOptions kOptions{u';', true, false};

constexpr std::array kFirstNames = {u"Anna",  u"Jürgen", u"Lena",  u"Peter",  u"Sabine",
                                    u"Björn", u"Eva",    u"Klaus", u"Sophie", u"Uwe"};
constexpr std::array kLastNames = {u"Müller", u"Schmidt",  u"Schäfer", u"Weber",    u"Krüger",
                                   u"Becker", u"Hoffmann", u"Wagner",  u"Schröder", u"Koch"};
constexpr std::array kTowns = {u"Bamberg", u"Nürnberg", u"Würzburg", u"Fürth", u"Hof"};

template <std::size_t N>
QString pick(const std::array<const char16_t*, N>& items, std::mt19937& rng) {
    return QString::fromUtf16(items[rng() % N]);
}

QString csvQuoted(const QString& text) {
    return u'"' + QString(text).replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
}

// A record of another program: 19 quoted columns in the order of our own export, a
// comma in the company, a quote and a line break in the notes.
QString record(std::int64_t number, std::mt19937& rng) {
    const QString first = pick(kFirstNames, rng);
    const QString last = pick(kLastNames, rng);
    const QString town = pick(kTowns, rng);
    const QString street = QStringLiteral("Hauptstraße %1").arg(1 + rng() % 150);
    const QString plz = QString::number(90000 + rng() % 8000);
    const QStringList columns = {
        QStringLiteral("%1 %2 %3").arg(last, first).arg(number),
        QStringLiteral("Kunden"),
        QString::number(number),
        rng() % 2 == 0 ? QStringLiteral("Herr") : QStringLiteral("Frau"),
        first,
        last,
        QString(),
        rng() % 3 == 0 ? last + QStringLiteral(", Söhne & Co. KG") : QString(),
        plz,
        town,
        street,
        QStringLiteral("https://www.example.de/") + last.toLower(),
        QStringLiteral("%1.%2@example.de").arg(first.toLower(), last.toLower()),
        QStringLiteral("09%1").arg(10 + rng() % 90),
        QString::number(10000 + rng() % 900000),
        QString(),
        QStringLiteral("0170 %1").arg(rng() % 10000000),
        first + u' ' + last + QStringLiteral("\r\n") + street + QStringLiteral("\r\n") + plz +
            u' ' + town,
        QStringLiteral("Rückruf \"dringend\" am %1.%2.\r\nUnterlagen im Ordner %3.")
            .arg(1 + rng() % 28)
            .arg(1 + rng() % 12)
            .arg(rng() % 500),
    };
    QStringList fields;
    for (const QString& column : columns) {
        fields << csvQuoted(column);
    }
    return fields.join(u';') + QStringLiteral("\r\n");
}

// The generated CSV file of kRows records (made once, then reused), Windows-1252.
QString importFile(const BenchContext& context) {
    const auto path = context.cacheDir / ("import-" + std::to_string(kRows) + ".csv");
    const QString name = QString::fromStdString(path.string());
    if (QFile::exists(name)) {
        return name;
    }
    std::cerr << "erzeuge Importdatei mit " << kRows << " Datensätzen ..." << std::endl;
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly)) {
        throw std::runtime_error("cannot write " + path.string());
    }
    QStringEncoder encoder("windows-1252");
    std::mt19937 rng(3);
    file.write(encoder.encode(
        QStringLiteral("\"Karte\";\"Kategorie\";\"Kartennummer\";\"Anrede\";\"Vorname\";"
                       "\"Nachname\";\"Abteilung\";\"Firma\";\"PLZ\";\"Ort\";\"Straße\";"
                       "\"Webseite\";\"EMail\";\"Vorwahl\";\"Telefon\";\"Telefax\";\"Mobil\";"
                       "\"Anschrift\";\"Notizen\"\r\n")));
    for (std::int64_t number = 1; number <= kRows; ++number) {
        file.write(encoder.encode(record(number, rng)));
    }
    return name;
}

// Every column but the category mapped, as a round trip of our own export maps them.
importing::FieldMapping fullMapping() {
    importing::FieldMapping mapping(QStringLiteral("Kunden"));
    constexpr std::array<int, importing::kTargetCount> kColumnOf = {
        0, 1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19};
    for (std::size_t target = importing::kHeadingTarget; target < importing::kTargetCount;
         ++target) {
        mapping.assign(target, kColumnOf[target] - 1, QString());
    }
    return mapping;
}

// Wall and processor time of a few runs of the work.
struct Samples {
    std::vector<double> wall;
    std::vector<double> cpu;

    template <typename Work>
    void measure(Work&& work) {
        QElapsedTimer timer;
        const double cpuStart = cpuMs();
        timer.start();
        work();
        wall.push_back(msSince(timer));
        cpu.push_back(cpuMs() - cpuStart);
    }
    [[nodiscard]] std::pair<std::string, std::string> cpuMedian() const {
        char text[32];
        std::snprintf(text, sizeof text, "%.2f", median(cpu));
        return {"cpu_median_ms", text};
    }
};

const auto keepGoing = [](std::int64_t) { return true; };

void listMetric(const BenchContext& context) {
    const QString file = importFile(context);
    Samples samples;
    std::int64_t records = 0;
    for (int run = 0; run < context.runs; ++run) {
        samples.measure([&] {
            const auto source = importing::TextSource::load(file);
            records = source->columns(kOptions).records;
        });
    }
    report("import_list", kRows, median(samples.wall), context.runs,
           {{"records", std::to_string(records)}, samples.cpuMedian()});
}

void previewMetric(const BenchContext& context) {
    const QString file = importFile(context);
    const auto mapping = fullMapping();
    Samples samples;
    std::size_t rows = 0;
    for (int run = 0; run < context.runs; ++run) {
        samples.measure([&] {
            const auto source = importing::TextSource::load(file);
            rows = source->preview(kOptions, mapping, keepGoing).rows.size();
        });
    }
    report("import_preview", kRows, median(samples.wall), context.runs,
           {{"rows", std::to_string(rows)}, {"file_read", "true"}, samples.cpuMedian()});
}

// What the window does: read and split the file, write the rows, reload its card index.
void runMetric(const BenchContext& context) {
    const QString file = importFile(context);
    for (const std::int64_t cards : context.cardCounts) {
        Samples samples;
        importing::ImportOutcome outcome;
        Repeats repeats(context, cards);
        while (repeats.another()) {
            const auto dir = context.scratchCopy(cards, "import");
            const auto storeFile = dir / store::kStoreFileName;
            {
                // As in the program: a run is in progress, so every new card is noted.
                auto db = store::Database::open(storeFile);
                store::Snapshot::take(db);
            }
            auto shown = store::CardStore::open(storeFile);
            store::CardIndex index;
            index.load(shown);
            samples.measure([&] {
                auto rows =
                    importing::TextSource::load(file)->preview(kOptions, fullMapping()).rows;
                outcome = importing::runImport(
                    storeFile, rows, [](importing::ImportPhase, std::int64_t) { return true; });
                index.load(shown);
            });
        }
        report("import_run", cards, median(samples.wall), repeats.done(),
               {{"rows", std::to_string(outcome.cards)},
                {"renamed", std::to_string(outcome.renamed)},
                {"file_read", "true"},
                {"reload", "true"},
                samples.cpuMedian()});
    }
}

// The command line on the same file: process start to end, and its peak resident memory.
void cliMetric(const BenchContext& context) {
    const QString file = importFile(context);
    QStringList map;
    const auto mapping = fullMapping();
    for (std::size_t target = importing::kHeadingTarget; target < importing::kTargetCount;
         ++target) {
        if (const auto& source = mapping.source(target)) {
            map << importing::targetName(target) + u'=' + QString::number(source->column + 1);
        }
    }
    for (const std::int64_t cards : context.cardCounts) {
        std::vector<double> wall;
        std::vector<double> cpu;  // the child's user and system time
        std::vector<double> peaks;
        bool backups = true;
        Repeats repeats(context, cards);
        while (repeats.another()) {
            const auto dir = context.scratchCopy(cards, "import-cli");
            QElapsedTimer timer;
            timer.start();
            const auto child = runChild(
                context.binDir / "veltro-cli",
                {"import", dir.string(), file.toStdString(), "--category", "Kunden", "--map",
                 map.join(u',').toStdString(), "--separator", ";", "--quoted", "--skip-first"});
            wall.push_back(msSince(timer));
            if (!child || child->status != 0) {
                std::cerr << "import_cli: veltro-cli ended with an error" << std::endl;
                return;
            }
            peaks.push_back(child->peakMb);
            cpu.push_back(child->cpuMs);
            backups =
                backups &&
                !backup::listBackups(backup::backupFolder(dir / store::kStoreFileName)).empty();
        }
        report("import_cli", cards, median(wall), repeats.done(),
               {{"rows", std::to_string(kRows)},
                {"skip_first", "true"},
                {"backup_made", backups ? "true" : "false"},
                {"mb", QString::number(median(peaks), 'f', 1).toStdString()},
                {"cpu_median_ms", QString::number(median(cpu), 'f', 1).toStdString()}});
    }
}

// Rows that all carry one heading, the other fields unmapped: the worst case of making
// headings unique.
std::vector<importing::PreviewRow> repeatedRows() {
    importing::PreviewRow::Fields fields;
    fields.fill(importing::kUnmappedValue);
    fields[importing::kCategoryTarget] = u"Kunden";
    fields[importing::kHeadingTarget] = u"Müller";
    return std::vector<importing::PreviewRow>(kRows, importing::PreviewRow(fields));
}

void repeatedMetric(const BenchContext& context) {
    const auto rows = repeatedRows();
    for (const std::int64_t cards : context.cardCounts) {
        Samples samples;
        importing::ImportOutcome outcome;
        Repeats repeats(context, cards);
        while (repeats.another()) {
            const auto dir = context.scratchCopy(cards, "import-repeated");
            {
                auto db = store::Database::open(dir / store::kStoreFileName);
                store::Snapshot::take(db);
            }
            auto copy = rows;
            samples.measure([&] {
                outcome =
                    importing::runImport(dir / store::kStoreFileName, copy,
                                         [](importing::ImportPhase, std::int64_t) { return true; });
            });
        }
        report("import_run_repeated", cards, median(samples.wall), repeats.done(),
               {{"rows", std::to_string(outcome.cards)},
                {"renamed", std::to_string(outcome.renamed)},
                samples.cpuMedian()});
    }
}

const Register kListMetric("import_list", listMetric);
const Register kPreviewMetric("import_preview", previewMetric);
const Register kRunMetric("import_run", runMetric);
// The import dialog's run of the 100,000 rows from the window, as a task: the longest the
// window's event loop did not turn meanwhile (a timer that should tick every 5 ms), from the
// start to the reloaded window.
void stallMetric(const BenchContext& context) {
    const QString file = importFile(context);
    for (const std::int64_t cards : context.cardCounts) {
        LoadedWindow window(context, cards, "import-stall");
        auto rows = std::make_shared<std::vector<importing::PreviewRow>>(
            importing::TextSource::load(file)->preview(kOptions, fullMapping()).rows);
        mainwindow::MainImportHost host(*window);
        QTimer ticker;
        QElapsedTimer sinceTick;
        double longest = 0;
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            longest = std::max(longest, msSince(sinceTick));
            sinceTick.restart();
        });
        QEventLoop ended;
        QElapsedTimer whole;
        whole.start();
        sinceTick.start();
        ticker.start(5);
        host.startImport(
            [rows](const std::filesystem::path& storeFile, session::TaskControl& control) {
                importing::runImport(
                    storeFile, *rows,
                    [&control](importing::ImportPhase, std::int64_t) {
                        return !control.stopRequested();
                    },
                    QStringLiteral("Import"));
            },
            [&](std::exception_ptr) {
                host.ImportCommand1();
                (void)host.duplicatesOfImport();
                ended.quit();
            },
            [](const session::TaskProgress&) {});
        ended.exec();
        const double importMs = msSince(whole);
        longest = std::max(longest, msSince(sinceTick));
        report("import_stall", cards, longest, 1,
               {{"rows", std::to_string(rows->size())},
                {"import_and_reload_ms", QString::number(importMs, 'f', 1).toStdString()}});
    }
}

const Register kCliMetric("import_cli", cliMetric);
const Register kStallMetric("import_stall", stallMetric);
const Register kRepeatedMetric("import_run_repeated", repeatedMetric);

}  // namespace

}  // namespace veltro::bench
