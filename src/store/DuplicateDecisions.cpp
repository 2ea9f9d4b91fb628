#include "store/DuplicateDecisions.h"

#include "store/Schema.h"
#include "store/StoreError.h"

namespace veltro::store {

void addDuplicateDecisions(Database& db) {
    db.execScript(
        "CREATE TABLE IF NOT EXISTS KeineDubletten (UidA TEXT NOT NULL, UidB TEXT NOT NULL, "
        "UNIQUE (UidA, UidB));"
        "CREATE TABLE IF NOT EXISTS zKeineDubletten (UidA TEXT, UidB TEXT);");
    for (const char* name :
         {"zKeineDublettenAendern", "zKeineDublettenLoeschen", "zKeineDublettenNeu"}) {
        db.exec(std::string("DROP TRIGGER IF EXISTS ") + name);
    }
    createChangeTriggers(db, "KeineDubletten", kKeineDublettenColumns, "old.UidA, old.UidB");
}

UidPair orderedPair(const QString& a, const QString& b) {
    return a < b ? UidPair{a, b} : UidPair{b, a};
}

QHash<std::int64_t, QString> cardUids(Database& db) {
    QHash<std::int64_t, QString> uids;
    if (!db.hasTable("KartenInfo")) {
        return uids;
    }
    auto stmt = db.prepare("SELECT KarteId, Uid FROM KartenInfo");
    while (stmt.step()) {
        uids.insert(stmt.integer(0), stmt.textOrEmpty(1));
    }
    return uids;
}

std::optional<QString> cardUid(Database& db, std::int64_t id) {
    if (!db.hasTable("KartenInfo")) {
        return std::nullopt;
    }
    auto stmt = db.prepare("SELECT Uid FROM KartenInfo WHERE KarteId = ?1");
    stmt.bind(1, id);
    return stmt.step() ? stmt.text(0) : std::nullopt;
}

void markNotDuplicates(Database& db, std::int64_t a, std::int64_t b) {
    const auto uidA = cardUid(db, a);
    const auto uidB = cardUid(db, b);
    if (!uidA || !uidB || !db.hasTable("KeineDubletten")) {
        throw StoreError("Die Karte ist nicht mehr in der Kartei.");
    }
    const auto [first, second] = orderedPair(*uidA, *uidB);
    auto stmt = db.prepare("INSERT OR IGNORE INTO KeineDubletten (UidA, UidB) VALUES (?1, ?2)");
    stmt.bind(1, first).bind(2, second).run();
}

std::set<UidPair> notDuplicatePairs(Database& db) {
    std::set<UidPair> pairs;
    if (!db.hasTable("KeineDubletten")) {
        return pairs;
    }
    auto stmt = db.prepare("SELECT UidA, UidB FROM KeineDubletten");
    while (stmt.step()) {
        pairs.insert({stmt.textOrEmpty(0), stmt.textOrEmpty(1)});
    }
    return pairs;
}

}  // namespace veltro::store
