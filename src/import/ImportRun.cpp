#include "import/ImportRun.h"

#include "import/HeadingRegistry.h"
#include "store/BulkCardInsert.h"
#include "store/BusyTimeouts.h"
#include "store/CardExtrasTable.h"
#include "store/CardStore.h"
#include "store/CaseFold.h"
#include "store/UndoLog.h"

#include <QSet>

#include <optional>
#include <string>
#include <unordered_map>

namespace veltro::import {

namespace {

constexpr std::int64_t kRowsPerPulse = 256;

void pulseNow(const ImportPulse& pulse, ImportPhase phase, std::int64_t done) {
    if (pulse && !pulse(phase, done)) {
        throw ImportCancelled();
    }
}

void pulseSometimes(const ImportPulse& pulse, ImportPhase phase, std::int64_t done) {
    if (done % kRowsPerPulse == 0) {
        pulseNow(pulse, phase, done);
    }
}

// Binds the row's texts as they are, without copying them into a card first.
class RowInserter {
public:
    explicit RowInserter(store::Database& db) : db_(db), bulk_(db) {}

    void insert(const PreviewRow& row, const QString* heading) {
        store::Statement& stmt = bulk_.next();
        for (std::size_t target = 0; target < kTargetCount; ++target) {
            const int parameter = static_cast<int>(store::index(kTargets[target].field)) + 1;
            if (heading != nullptr && target == kHeadingTarget) {
                stmt.bind(parameter, QStringView(*heading));
            } else {
                stmt.bind(parameter, row[target]);
            }
        }
        const std::int64_t card = bulk_.insert();
        if (row.extras) {
            if (!extras_) {
                extras_.emplace(db_);
            }
            extras_->write(card, *row.extras);
        }
    }
    void finish() { bulk_.finish(); }

private:
    store::Database& db_;
    store::BulkCardInsert bulk_;
    std::optional<store::NewCardExtrasWriter> extras_;  // for the first row that has some
};

// Every heading of the store, read from the narrow heading index rather than the table.
HeadingRegistry storeHeadings(store::CardStore& cardStore) {
    HeadingRegistry taken;
    // As many again for the rows, which usually come in numbers like the store's own.
    taken.reserve(2 * store::roomForCards(cardStore.lastRowId()));
    cardStore.forEachHeading(
        [&](std::int64_t, std::string_view heading, std::string_view) { taken.addUtf8(heading); });
    return taken;
}

// The new headings of the rows that need one, by row: few rows in practice, so they are
// kept aside instead of in a second copy of every row.
using Renames = std::unordered_map<std::size_t, QString>;

Renames makeHeadingsUnique(store::CardStore& cardStore, const std::vector<PreviewRow>& rows,
                           const ImportPulse& pulse) {
    HeadingRegistry taken = storeHeadings(cardStore);
    Renames renames;
    std::int64_t done = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const QString heading = rows[i].text(kHeadingTarget);
        QString unique = taken.claim(heading);
        if (unique != heading) {
            renames.emplace(i, std::move(unique));
        }
        pulseSometimes(pulse, ImportPhase::Duplicates, ++done);
    }
    return renames;
}

// Adds the rows' categories that the store lacks (without regard to case), each once, in
// the order the rows name them.
class MissingCategories {
public:
    explicit MissingCategories(store::CardStore& cardStore) : store_(cardStore) {
        for (const QString& category : cardStore.categories()) {
            known_.insert(store::foldCase(category));
        }
    }
    void add(QStringView category) {
        if (previous_ && *previous_ == category) {
            return;  // rows come in runs of one category
        }
        previous_ = category.toString();
        QString folded = store::foldCase(category);
        if (!known_.contains(folded)) {
            store_.addCategory(category);
            known_.insert(std::move(folded));
            added_.push_back(category.toString());
        }
    }
    [[nodiscard]] std::vector<QString> added() && { return std::move(added_); }

private:
    store::CardStore& store_;
    QSet<QString> known_;
    std::optional<QString> previous_;
    std::vector<QString> added_;
};

}  // namespace

ImportOutcome runImport(const std::filesystem::path& storeFile, std::vector<PreviewRow>& rows,
                        const ImportPulse& pulse, const QString& undoStep) {
    auto cardStore = store::CardStore::open(storeFile);
    pulseNow(pulse, ImportPhase::Duplicates, 0);
    ImportOutcome outcome;
    // Renaming writes into the rows only once the whole run has been stored.
    Renames renames = makeHeadingsUnique(cardStore, rows, pulse);
    outcome.renamed = static_cast<std::int64_t>(renames.size());

    // Another writer is told within the usual wait. A backup copy that the window starts
    // just before only reads: the run begins beside it and waits for it before it commits.
    store::Transaction transaction(cardStore.db());
    cardStore.db().setBusyTimeout(store::kBackupCopyWaitMs);
    std::optional<store::UndoStep> step;
    if (!undoStep.isEmpty()) {
        step.emplace(cardStore.db(), undoStep);
    }
    MissingCategories categories(cardStore);
    for (const auto& row : rows) {
        categories.add(row[kCategoryTarget]);
    }
    outcome.newCategories = std::move(categories).added();
    RowInserter inserter(cardStore.db());
    pulseNow(pulse, ImportPhase::Writing, 0);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto renamed = renames.find(i);
        inserter.insert(rows[i], renamed == renames.end() ? nullptr : &renamed->second);
        pulseSometimes(pulse, ImportPhase::Writing, ++outcome.cards);
    }
    pulseNow(pulse, ImportPhase::Writing, outcome.cards);
    inserter.finish();
    if (step) {
        step->commit();
    }
    transaction.commit();
    for (auto& [row, heading] : renames) {
        rows[row].set(kHeadingTarget, heading);
    }
    return outcome;
}

ImportOutcome runImport(const std::filesystem::path& storeFile, const RowSource& next,
                        const ImportPulse& pulse, const QString& undoStep) {
    auto cardStore = store::CardStore::open(storeFile);
    HeadingRegistry taken = storeHeadings(cardStore);
    ImportOutcome outcome;
    store::Transaction transaction(cardStore.db());
    std::optional<store::UndoStep> step;
    if (!undoStep.isEmpty()) {
        step.emplace(cardStore.db(), undoStep);
    }
    MissingCategories categories(cardStore);
    RowInserter inserter(cardStore.db());
    pulseNow(pulse, ImportPhase::Writing, 0);
    PreviewRow row;
    while (next(row)) {
        categories.add(row[kCategoryTarget]);
        const QString heading = row.text(kHeadingTarget);
        const QString unique = taken.claim(heading);
        const bool renamed = unique != heading;
        inserter.insert(row, renamed ? &unique : nullptr);
        outcome.renamed += renamed ? 1 : 0;
        pulseSometimes(pulse, ImportPhase::Writing, ++outcome.cards);
    }
    pulseNow(pulse, ImportPhase::Writing, outcome.cards);
    inserter.finish();
    if (step) {
        step->commit();
    }
    transaction.commit();
    outcome.newCategories = std::move(categories).added();
    return outcome;
}

}  // namespace veltro::import
