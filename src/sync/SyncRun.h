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

// Brings one paired address book and its category in step, both ways. The server is
// written first; the store changes, with the new per-card state and sync token, are written
// in one transaction at the end, so a failed or cancelled sync changes nothing here and the
// next one picks up what reached the server. Throws SyncError or StoreError.
SyncReport synchronize(store::CardStore& store, const Pairing& pairing, DavClient& client,
                       const SyncProgress& progress = {});

// "3 geholt, 2 gesendet, …" and the cards with conflicts, for a message.
[[nodiscard]] QString reportText(const SyncReport& report);

}  // namespace veltro::sync
