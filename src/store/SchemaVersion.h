#pragma once

#include "store/Sqlite.h"

#include <span>

namespace veltro::store {

// The store's layout is named by PRAGMA user_version. Version 1 is the four original
// tables (stores from before the number was kept say 0); each later version adds tables
// keyed by Kontakte.rowid and never touches the original four, so programs that know
// only those keep reading and writing the store.
//   2: KartenInfo (card identity, made and changed times) and its snapshot.
//   3: the undo log (Schritte and the row images of each step, see UndoLog.h); a card's
//      change time moves only when one of its fields changes.
//   4: SyncKonten and SyncKarten (address-book sync state) and their snapshots.
//   5: KeineDubletten (pairs of cards the user said are not duplicates) and its snapshot.
//   6: VolltextStand and VolltextOffen: which cards changed since the image of the full-text
//      index beside the store (see FullTextNotes.h).
//   7: KartenAngaben and KartenEintraege (birthday, photo, further numbers, addresses, …; see
//      CardExtrasTable.h) with their snapshots and undo logs.
//   8: the full-text notes also follow KartenAngaben and KartenEintraege (see FullTextNotes.h).
inline constexpr int kCurrentStoreVersion = 8;

[[nodiscard]] int storeVersion(Database& db);

// One step from version `from` to `from + 1`, run inside the caller's transaction.
struct UpgradeStep {
    int from;
    void (*apply)(Database& db);
};

// Every step, in order, the last one ending at kCurrentStoreVersion.
[[nodiscard]] std::span<const UpgradeStep> upgradeSteps();

// Runs one step and names the new version, inside the caller's transaction.
void applyStep(Database& db, const UpgradeStep& step);

// Builds every later layout on a new store of version 1, inside the caller's transaction,
// so that new and upgraded stores share one layout.
void addLaterLayouts(Database& db);

}  // namespace veltro::store
