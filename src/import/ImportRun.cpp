#include "import/ImportRun.h"

#include "import/HeadingRegistry.h"
#include "store/CardStore.h"
#include "store/CaseFold.h"

#include <QSet>

#include <optional>
#include <string>
#include <unordered_map>

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

    void insert(const PreviewRow& row, const QString* heading) {
        stmt_.reset();
        for (std::size_t target = 0; target < kTargetCount; ++target) {
            const int parameter = static_cast<int>(store::index(kTargets[target].field)) + 1;
            if (heading != nullptr && target == kHeadingTarget) {
                stmt_.bind(parameter, QStringView(*heading));
            } else {
                stmt_.bind(parameter, row[target]);
            }
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

// The new headings of the rows that need one, by row: few rows in practice, so they are
// kept aside instead of in a second copy of every row.
using Renames = std::unordered_map<std::size_t, QString>;

Renames makeHeadingsUnique(store::CardStore& cardStore, const std::vector<PreviewRow>& rows,
                           const ImportPulse& pulse) {
    HeadingRegistry taken;
    // The narrow heading index is read, not the table.
    cardStore.forEachHeading(
        [&](std::int64_t, std::string_view heading, std::string_view) { taken.addUtf8(heading); });
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
                        const ImportPulse& pulse) {
    auto cardStore = store::CardStore::open(storeFile);
    pulseNow(pulse, ImportPhase::Duplicates, 0);
    ImportOutcome outcome;
    // Renaming writes into the rows only once the whole run has been stored.
    Renames renames = makeHeadingsUnique(cardStore, rows, pulse);
    outcome.renamed = static_cast<std::int64_t>(renames.size());

    store::Transaction transaction(cardStore.db());
    outcome.newCategories = addMissingCategories(cardStore, rows);
    RowInserter inserter(cardStore.db());
    pulseNow(pulse, ImportPhase::Writing, 0);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto renamed = renames.find(i);
        inserter.insert(rows[i], renamed == renames.end() ? nullptr : &renamed->second);
        pulseSometimes(pulse, ImportPhase::Writing, ++outcome.cards);
    }
    pulseNow(pulse, ImportPhase::Writing, outcome.cards);
    transaction.commit();
    for (auto& [row, heading] : renames) {
        rows[row].set(kHeadingTarget, heading);
    }
    return outcome;
}

}  // namespace veltro::import
