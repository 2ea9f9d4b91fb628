#include "sync/SyncAccounts.h"

#include "sync/DavClient.h"

#include "store/Snapshot.h"

namespace veltro::sync {

namespace {

constexpr auto kAllPairings =
    "SELECT Id, Url, Benutzer, Sammlung, Kategorie, SyncToken, Fingerabdruck FROM SyncKonten "
    "ORDER BY Id";

Pairing pairingOf(const store::Statement& row) {
    return {row.integer(0),           QUrl(row.textOrEmpty(1)), row.textOrEmpty(2),
            QUrl(row.textOrEmpty(3)), row.textOrEmpty(4),       row.textOrEmpty(5),
            row.textOrEmpty(6)};
}

}  // namespace

std::vector<Pairing> pairings(store::Database& db) {
    auto stmt = db.prepare(kAllPairings);
    std::vector<Pairing> all;
    while (stmt.step()) {
        all.push_back(pairingOf(stmt));
    }
    return all;
}

std::optional<Pairing> pairingForBook(store::Database& db, const QUrl& book) {
    const QUrl wanted = canonicalUrl(book);
    for (Pairing& pairing : pairings(db)) {
        if (canonicalUrl(pairing.book) == wanted) {
            return std::move(pairing);
        }
    }
    return std::nullopt;
}

namespace {

std::int64_t writePairing(store::Database& db, const Pairing& pairing,
                          const std::optional<Pairing>& known) {
    const QString book = canonicalUrl(pairing.book).toString();
    if (known) {
        auto stmt = db.prepare(
            "UPDATE SyncKonten SET Url = ?1, Benutzer = ?2, Sammlung = ?3, Kategorie = ?4, "
            "Fingerabdruck = ?5 WHERE Id = ?6");
        stmt.bind(1, pairing.server.toString())
            .bind(2, pairing.user)
            .bind(3, book)
            .bind(4, pairing.category)
            .bind(5, pairing.fingerprint)
            .bind(6, known->id);
        stmt.run();
        return known->id;
    }
    auto stmt = db.prepare(
        "INSERT INTO SyncKonten (Url, Benutzer, Sammlung, Kategorie, SyncToken, Fingerabdruck) "
        "VALUES (?1, ?2, ?3, ?4, ?5, ?6)");
    stmt.bind(1, pairing.server.toString())
        .bind(2, pairing.user)
        .bind(3, book)
        .bind(4, pairing.category)
        .bind(5, pairing.syncToken)
        .bind(6, pairing.fingerprint);
    stmt.run();
    return db.lastInsertRowId();
}

}  // namespace

// A pairing is the user's setting, not part of the run's changes: "Nein" at exit keeps it,
// together with the per-card state that must go on matching it.
std::int64_t savePairing(store::Database& db, const Pairing& pairing) {
    store::Transaction tx(db);
    const auto known = pairingForBook(db, pairing.book);
    std::vector<std::int64_t> forgotten;
    // A book paired with another category starts afresh: the state of the old category's
    // cards would otherwise read as cards deleted here, and the next sync would delete them
    // on the server.
    if (known && known->category != pairing.category) {
        forgotten = syncedRowIds(db, known->id);
        auto cards = db.prepare("DELETE FROM SyncKarten WHERE Konto = ?1");
        cards.bind(1, known->id).run();
        auto token = db.prepare("UPDATE SyncKonten SET SyncToken = NULL WHERE Id = ?1");
        token.bind(1, known->id).run();
    }
    const std::int64_t id = writePairing(db, pairing, known);
    store::Snapshot::settle(db, "SyncKonten", {id});
    store::Snapshot::settle(db, "SyncKarten", forgotten);
    tx.commit();
    return id;
}

void removePairing(store::Database& db, std::int64_t id) {
    store::Transaction tx(db);
    auto cards = db.prepare("DELETE FROM SyncKarten WHERE Konto = ?1");
    cards.bind(1, id).run();
    auto pairing = db.prepare("DELETE FROM SyncKonten WHERE Id = ?1");
    pairing.bind(1, id).run();
    tx.commit();
}

std::map<QString, SyncedCard> syncedCards(store::Database& db, std::int64_t pairing) {
    auto stmt = db.prepare("SELECT Uid, Href, ETag, Text FROM SyncKarten WHERE Konto = ?1");
    stmt.bind(1, pairing);
    std::map<QString, SyncedCard> cards;
    while (stmt.step()) {
        SyncedCard card{stmt.textOrEmpty(0), stmt.textOrEmpty(1), stmt.textOrEmpty(2),
                        stmt.textOrEmpty(3).toUtf8()};
        cards.emplace(card.uid, std::move(card));
    }
    return cards;
}

std::vector<std::int64_t> syncedRowIds(store::Database& db, std::int64_t pairing) {
    auto stmt = db.prepare("SELECT rowid FROM SyncKarten WHERE Konto = ?1");
    stmt.bind(1, pairing);
    std::vector<std::int64_t> rows;
    while (stmt.step()) {
        rows.push_back(stmt.integer(0));
    }
    return rows;
}

void saveSyncedCard(store::Database& db, std::int64_t pairing, const SyncedCard& card) {
    auto stmt = db.prepare(
        "INSERT INTO SyncKarten (Uid, Konto, Href, ETag, Text) VALUES (?1, ?2, ?3, ?4, ?5) "
        "ON CONFLICT (Uid) DO UPDATE SET Konto = ?2, Href = ?3, ETag = ?4, Text = ?5");
    stmt.bind(1, card.uid)
        .bind(2, pairing)
        .bind(3, card.href)
        .bind(4, card.etag)
        .bind(5, QString::fromUtf8(card.text));
    stmt.run();
}

void forgetSyncedCard(store::Database& db, const QString& uid) {
    auto stmt = db.prepare("DELETE FROM SyncKarten WHERE Uid = ?1");
    stmt.bind(1, uid).run();
}

void saveSyncToken(store::Database& db, std::int64_t pairing, const QString& token) {
    auto stmt = db.prepare("UPDATE SyncKonten SET SyncToken = ?1 WHERE Id = ?2");
    stmt.bind(1, token).bind(2, pairing).run();
}

}  // namespace veltro::sync
