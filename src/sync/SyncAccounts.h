#pragma once

#include "store/Sqlite.h"

#include <QString>
#include <QUrl>

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace veltro::sync {

// One address book paired with a category. Never holds the password.
struct Pairing {
    std::int64_t id = 0;
    QUrl server;  // the address the user gave
    QString user;
    QUrl book;  // the address book's own address
    QString category;
    QString syncToken;
    QString fingerprint;  // an accepted server certificate, SHA-256
};

// What the store knows of one synced card.
struct SyncedCard {
    QString uid;
    QString href;
    QString etag;
    QByteArray text;  // the vCard both sides last agreed on
};

[[nodiscard]] std::vector<Pairing> pairings(store::Database& db);
// The pairing of a book, whatever the spelling of its address (canonicalUrl).
[[nodiscard]] std::optional<Pairing> pairingForBook(store::Database& db, const QUrl& book);
// Adds or updates the pairing of its book, kept under the book's canonical address; returns
// its id.
std::int64_t savePairing(store::Database& db, const Pairing& pairing);
void removePairing(store::Database& db, std::int64_t id);

// The synced cards of one pairing, by UID.
[[nodiscard]] std::map<QString, SyncedCard> syncedCards(store::Database& db, std::int64_t pairing);
// The row ids of those cards' state, for the exit step's snapshot.
[[nodiscard]] std::vector<std::int64_t> syncedRowIds(store::Database& db, std::int64_t pairing);
void saveSyncedCard(store::Database& db, std::int64_t pairing, const SyncedCard& card);
void forgetSyncedCard(store::Database& db, const QString& uid);
void saveSyncToken(store::Database& db, std::int64_t pairing, const QString& token);

}  // namespace veltro::sync
