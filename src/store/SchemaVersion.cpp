#include "store/SchemaVersion.h"

#include "store/CardExtrasTable.h"
#include "store/DuplicateDecisions.h"
#include "store/FullTextNotes.h"
#include "store/KartenInfo.h"
#include "store/Schema.h"
#include "store/SyncTables.h"
#include "store/UndoLog.h"

#include <array>
#include <string>

namespace veltro::store {

namespace {

void toVersionThree(Database& db) {
    renewEarlyChangeTriggers(db);
    addUndoLog(db);
    noteOnlyRealChanges(db);
}

constexpr std::array kSteps = {
    UpgradeStep{1, addKartenInfo},          UpgradeStep{2, toVersionThree},
    UpgradeStep{3, addSyncTables},          UpgradeStep{4, addDuplicateDecisions},
    UpgradeStep{5, addFullTextNotes},       UpgradeStep{6, addCardExtras},
    UpgradeStep{7, addFullTextExtrasNotes},
};

// Each step starts where the one before ended, from version 1 up to the current one.
constexpr bool stepsAreConsecutive() {
    for (std::size_t i = 0; i < kSteps.size(); ++i) {
        if (kSteps[i].from != static_cast<int>(i) + 1) {
            return false;
        }
    }
    return kSteps.back().from + 1 == kCurrentStoreVersion;
}
static_assert(stepsAreConsecutive());

}  // namespace

int storeVersion(Database& db) {
    auto stmt = db.prepare("PRAGMA user_version");
    const std::int64_t number = stmt.step() ? stmt.integer(0) : 0;
    return number < 1 ? 1 : static_cast<int>(number);
}

std::span<const UpgradeStep> upgradeSteps() {
    return kSteps;
}

void applyStep(Database& db, const UpgradeStep& step) {
    step.apply(db);
    // A number of our own; a pragma takes no bound value.
    db.exec("PRAGMA user_version = " + std::to_string(step.from + 1));
}

void addLaterLayouts(Database& db) {
    for (const auto& step : kSteps) {
        applyStep(db, step);
    }
}

}  // namespace veltro::store
