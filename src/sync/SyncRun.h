#pragma once

#include "store/CardStore.h"
#include "sync/DavClient.h"
#include "sync/SyncAccounts.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace veltro::sync {

struct SyncReport {
    int downloaded = 0;     // cards made or changed here
    int uploaded = 0;       // cards made or changed on the server
    int deletedHere = 0;    // cards deleted here because the server no longer has them
    int deletedThere = 0;   // cards deleted on the server because they are gone here
    int skipped = 0;        // server cards without a name to make a heading from
    QStringList conflicts;  // headings of the cards with a conflict note
};

// Progress: steps done of all, with what happens now.
using SyncProgress = std::function<void(int done, int total, const QString& step)>;

// Deletions a sync would make: here of the paired category's cards, there of the book's.
struct MassDelete {
    int here = 0;
    int hereOf = 0;
    int there = 0;
    int thereOf = 0;
};

// More than this many deletions on one side, and more than a quarter of that side's cards,
// need the user's word.
constexpr int kDeletesWithoutAsking = 10;
[[nodiscard]] bool needsConsent(const MassDelete& deletes);

struct SyncOptions {
    SyncProgress progress;
    // Called once before the first change of the store's cards (a backup); may throw.
    std::function<void()> beforeChangesHere;
    // Asked when the sync would delete many cards; unset or false: nothing happens and the
    // sync ends with SyncError (ManyDeletes).
    std::function<bool(const MassDelete&)> allowManyDeletes;
};

// Brings one paired address book and its category in step, both ways. The server is
// written first; the store changes, with the new per-card state and sync token, are written
// in one transaction at the end, so a failed or cancelled sync changes nothing here and the
// next one picks up what reached the server. Throws SyncError or StoreError.
SyncReport synchronize(store::CardStore& store, const Pairing& pairing, DavClient& client,
                       const SyncOptions& options = {});

// "3 geholt, 2 gesendet, …" and the cards with conflicts, for a message.
[[nodiscard]] QString reportText(const SyncReport& report);

// The question before many deletions, for the window.
[[nodiscard]] QString massDeleteQuestion(const MassDelete& deletes, const QString& category);

}  // namespace veltro::sync
