#include "import/ImportRun.h"

#include "import/HeadingRegistry.h"
#include "store/CardStore.h"
#include "store/CaseFold.h"
#include "store/UndoLog.h"

#include <QSet>

#include <optional>
#include <string>

namespace veltro::import {

namespace {

constexpr std::int64_t kPulseEvery = 256;

void pulseNow(const ImportPulse& pulse, ImportPhase phase, std::int64_t done) {
    if (pulse && !pulse(phase, done)) {
        throw ImportCancelled();
    }
}

void pulseSometimes(const ImportPulse& pulse, ImportPhase phase, std::int64_t done) {
    if (done % kPulseEvery == 0) {
        pulseNow(pulse, phase, done);
    }
}

// Binds the row's texts as they are, without copying them into a card first.
class RowInserter {
public:
    explicit RowInserter(store::Database& db) : stmt_(db.prepare(insertSql())) {}

    void insert(const PreviewRow& row) {
        stmt_.reset();
        for (std::size_t target = 0; target < kTargetCount; ++target) {
            stmt_.bind(static_cast<int>(store::index(kTargets[target].field)) + 1, row[target]);
        }
        stmt_.run();
    }

private:
    static std::string insertSql() {
        std::string values;
        for (std::size_t i = 1; i <= store::kFieldCount; ++i) {
            values += (i == 1 ? "?" : ", ?") + std::to_string(i);
        }
        return "INSERT INTO Kontakte (" + store::cardColumnList() + ") VALUES (" + values + ")";
    }

    store::Statement stmt_;
};

std::int64_t makeHeadingsUnique(store::CardStore& cardStore, std::vector<PreviewRow>& rows,
                                const ImportPulse& pulse) {
    HeadingRegistry taken;
    for (const auto& existing : cardStore.headings()) {
        taken.add(existing.heading);
    }
    std::int64_t renamed = 0;
    std::int64_t done = 0;
    for (auto& row : rows) {
        const QString heading = row.text(kHeadingTarget);
        const QString unique = taken.claim(heading);
        if (unique != heading) {
            row.set(kHeadingTarget, unique);
            ++renamed;
        }
        pulseSometimes(pulse, ImportPhase::Duplicates, ++done);
    }
    return renamed;
}

// Adds the rows' categories that the store lacks; returns their names.
std::vector<QString> addMissingCategories(store::CardStore& cardStore,
                                          const std::vector<PreviewRow>& rows) {
    QSet<QString> known;
    for (const QString& category : cardStore.categories()) {
        known.insert(store::foldCase(category));
    }
    std::vector<QString> added;
    std::optional<QStringView> previous;
    for (const auto& row : rows) {
        const QStringView category = row[kCategoryTarget];
        if (previous == category) {
            continue;  // rows come in runs of one category
        }
        previous = category;
        QString folded = store::foldCase(category);
        if (!known.contains(folded)) {
            cardStore.addCategory(category);
            known.insert(std::move(folded));
            added.push_back(category.toString());
        }
    }
    return added;
}

}  // namespace

ImportOutcome runImport(const std::filesystem::path& storeFile, std::vector<PreviewRow>& rows,
                        const ImportPulse& pulse, const QString& undoStep) {
    auto cardStore = store::CardStore::open(storeFile);
    // Renaming writes into the rows only once the whole run has been stored.
    std::vector<PreviewRow> named = rows;
    pulseNow(pulse, ImportPhase::Duplicates, 0);
    ImportOutcome outcome;
    outcome.renamed = makeHeadingsUnique(cardStore, named, pulse);

    store::Transaction transaction(cardStore.db());
    std::optional<store::UndoStep> step;
    if (!undoStep.isEmpty()) {
        step.emplace(cardStore.db(), undoStep);
    }
    outcome.newCategories = addMissingCategories(cardStore, named);
    RowInserter inserter(cardStore.db());
    pulseNow(pulse, ImportPhase::Writing, 0);
    for (const auto& row : named) {
        inserter.insert(row);
        pulseSometimes(pulse, ImportPhase::Writing, ++outcome.cards);
    }
    pulseNow(pulse, ImportPhase::Writing, outcome.cards);
    if (step) {
        step->commit();
    }
    transaction.commit();
    rows = std::move(named);
    return outcome;
}

}  // namespace veltro::import
