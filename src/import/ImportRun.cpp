#include "import/ImportRun.h"

#include "import/HeadingRegistry.h"
#include "store/CardStore.h"

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

store::Card cardOf(const PreviewRow& row) {
    store::Card card;
    for (std::size_t target = 0; target < kTargetCount; ++target) {
        card.set(kTargets[target].field, row[target]);
    }
    return card;
}

std::int64_t makeHeadingsUnique(store::CardStore& cardStore, std::vector<PreviewRow>& rows,
                                const ImportPulse& pulse) {
    HeadingRegistry taken;
    for (const auto& existing : cardStore.headings()) {
        taken.add(existing.heading);
    }
    std::int64_t renamed = 0;
    std::int64_t done = 0;
    for (auto& row : rows) {
        QString& heading = row[kHeadingTarget];
        QString unique = taken.claim(heading);
        if (unique != heading) {
            heading = std::move(unique);
            ++renamed;
        }
        pulseSometimes(pulse, ImportPhase::Duplicates, ++done);
    }
    return renamed;
}

}  // namespace

ImportOutcome runImport(const std::filesystem::path& storeFile, std::vector<PreviewRow>& rows,
                        const ImportPulse& pulse) {
    auto cardStore = store::CardStore::open(storeFile);
    // Renaming writes into the rows only once the whole run has been stored.
    std::vector<PreviewRow> named = rows;
    pulseNow(pulse, ImportPhase::Duplicates, 0);
    ImportOutcome outcome;
    outcome.renamed = makeHeadingsUnique(cardStore, named, pulse);

    store::Transaction transaction(cardStore.db());
    store::CardInserter inserter(cardStore.db());
    pulseNow(pulse, ImportPhase::Writing, 0);
    for (const auto& row : named) {
        inserter.insert(cardOf(row));
        pulseSometimes(pulse, ImportPhase::Writing, ++outcome.cards);
    }
    pulseNow(pulse, ImportPhase::Writing, outcome.cards);
    transaction.commit();
    rows = std::move(named);
    return outcome;
}

}  // namespace veltro::import
