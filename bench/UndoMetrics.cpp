// import_run_undoable, undo_import and redo_import: an import of 100,000 cards recorded as
// one step of the undo log, as the program runs it, and the undo and redo of that step;
// undo_import_window: that undo from the window's menu.
#include "Bench.h"
#include "BenchWindow.h"

#include "import/ImportRun.h"
#include "mainwindow/MainMenus.h"
#include "store/CardStore.h"
#include "store/Schema.h"
#include "store/Snapshot.h"
#include "store/UndoLog.h"

#include <QAction>
#include <QElapsedTimer>

#include <cstdio>
#include <ctime>

namespace veltro::bench {

namespace importing = veltro::import;

namespace {

constexpr std::int64_t kImportedRows = 100000;

// Cards like those of another program: every field filled, a few lines of notes.
std::vector<importing::PreviewRow> importRows() {
    std::vector<importing::PreviewRow> rows;
    rows.reserve(kImportedRows);
    for (std::int64_t i = 0; i < kImportedRows; ++i) {
        const QString number = QString::number(i);
        const std::array<QString, importing::kTargetCount> texts = {
            QStringLiteral("Kunden"),
            QStringLiteral("Kunde %1 Schäfer").arg(i),
            number,
            QStringLiteral("Frau"),
            QStringLiteral("Sabine"),
            QStringLiteral("Schäfer"),
            QStringLiteral("Schäfer & Söhne KG"),
            QStringLiteral("Einkauf"),
            QStringLiteral("Hauptstraße %1").arg(i % 150),
            QStringLiteral("9%1").arg(i % 10000, 4, 10, QLatin1Char('0')),
            QStringLiteral("Nürnberg"),
            QStringLiteral("0911"),
            number,
            QString(),
            QStringLiteral("0170 %1").arg(i),
            QStringLiteral("kunde%1@example.de").arg(i),
            QStringLiteral("https://www.example.de/%1").arg(i),
            QStringLiteral("Sabine Schäfer\r\nHauptstraße 1\r\n90402 Nürnberg"),
            QStringLiteral("Rückruf am Montag.\r\nUnterlagen im Ordner %1.").arg(i % 500),
        };
        importing::PreviewRow::Fields fields;
        for (std::size_t target = 0; target < texts.size(); ++target) {
            fields[target] = texts[target];
        }
        rows.emplace_back(fields);
    }
    return rows;
}

// Wall and processor time of each run; a busy machine disturbs the processor time less.
struct Timings {
    std::vector<double> wall;
    std::vector<double> cpu;

    void measure(const std::function<void()>& work) {
        QElapsedTimer timer;
        const std::clock_t cpuStart = std::clock();
        timer.start();
        work();
        wall.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        cpu.push_back(1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC);
    }
    void report(const char* metric, std::int64_t cards, int runs) const {
        char text[32];
        std::snprintf(text, sizeof text, "%.2f", median(cpu));
        bench::report(metric, cards, median(wall), runs,
                      {{"rows", std::to_string(kImportedRows)}, {"cpu_median_ms", text}});
    }
};

void undoImport(const BenchContext& context) {
    const auto rows = importRows();
    for (const std::int64_t cards : context.cardCounts) {
        Timings imports;
        Timings undos;
        Timings redos;
        for (int run = 0; run < context.runs; ++run) {
            const auto file = context.scratchCopy(cards, "undo") / store::kStoreFileName;
            auto cardStore = store::CardStore::open(file);
            store::Snapshot::take(cardStore.db());
            auto copy = rows;
            imports.measure(
                [&] { importing::runImport(file, copy, {}, QStringLiteral("Import")); });
            undos.measure([&] { store::UndoLog::undo(cardStore.db()); });
            if (cardStore.cardCount() != cards) {
                throw std::runtime_error("undo left the import's cards behind");
            }
            redos.measure([&] { store::UndoLog::redo(cardStore.db()); });
        }
        imports.report("import_run_undoable", cards, context.runs);
        undos.report("undo_import", cards, context.runs);
        redos.report("redo_import", cards, context.runs);
    }
}

// The same undo from the menu of a loaded window, until the card list, the category
// selector and the card view show the store without the import.
void undoImportInWindow(const BenchContext& context) {
    const auto rows = importRows();
    for (const std::int64_t cards : context.cardCounts) {
        PlatformScope platform(std::make_unique<AnsweringPlatform>(platform::Answer::Yes));
        LoadedWindow window(context, cards);
        QAction* undo = window->menus().action(QStringLiteral("mnuRueckgaengig"));
        Timings undos;
        for (int run = 0; run < context.runs; ++run) {
            auto copy = rows;
            importing::runImport(window->cardStore()->file(), copy, {}, QStringLiteral("Import"));
            window->ImportCommand1();
            window.repaint();
            undos.measure([&] {
                undo->trigger();
                window.repaint();
            });
            if (window->cardStore()->cardCount() != cards) {
                throw std::runtime_error("undo left the import's cards behind");
            }
        }
        undos.report("undo_import_window", cards, context.runs);
    }
}

const Register kUndoImport("undo_import", undoImport);
const Register kUndoImportInWindow("undo_import_window", undoImportInWindow);

}  // namespace

}  // namespace veltro::bench
