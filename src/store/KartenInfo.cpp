#include "store/KartenInfo.h"

#include "store/Schema.h"

#include <string>

namespace veltro::store {

namespace {

// A version 4 UUID from randomblob(); another program's connection has none of our
// functions, and its inserts must still succeed.
const std::string kNewUuid =
    "lower(hex(randomblob(4)) || '-' || hex(randomblob(2)) || '-4' || "
    "substr(hex(randomblob(2)), 2) || '-' || substr('89ab', 1 + (random() & 3), 1) || "
    "substr(hex(randomblob(2)), 2) || '-' || hex(randomblob(6)))";
const std::string kNow = "strftime('%Y-%m-%dT%H:%M:%SZ', 'now')";

void createCardTriggers(Database& db) {
    // REPLACE: a row left behind by a replacing insert into Kontakte, which fires no
    // delete trigger, must not make the card's insert fail.
    db.exec(
        "CREATE TRIGGER KartenInfoNeu AFTER INSERT ON Kontakte BEGIN "
        "INSERT OR REPLACE INTO KartenInfo (KarteId, Uid, Angelegt, Geaendert) VALUES "
        "(new.rowid, " +
        kNewUuid + ", " + kNow + ", " + kNow + "); END");
    db.exec(
        "CREATE TRIGGER KartenInfoAendern AFTER UPDATE ON Kontakte BEGIN "
        "UPDATE KartenInfo SET Geaendert = " +
        kNow + " WHERE KarteId = new.rowid; END");
    db.exec(
        "CREATE TRIGGER KartenInfoLoeschen AFTER DELETE ON Kontakte BEGIN "
        "DELETE FROM KartenInfo WHERE KarteId = old.rowid; END");
}

}  // namespace

void addKartenInfo(Database& db) {
    // A store whose version number got lost (a dump and reload) may hold the table
    // already; then it is brought in step rather than made anew.
    db.exec(
        "CREATE TABLE IF NOT EXISTS KartenInfo (KarteId INTEGER PRIMARY KEY, "
        "Uid TEXT NOT NULL UNIQUE, Angelegt TEXT, Geaendert TEXT)");
    db.exec("CREATE TABLE IF NOT EXISTS zKartenInfo (Uid TEXT, Angelegt TEXT, Geaendert TEXT)");
    for (const char* name : {"KartenInfoNeu", "KartenInfoAendern", "KartenInfoLoeschen",
                             "zKartenInfoNeu", "zKartenInfoAendern", "zKartenInfoLoeschen"}) {
        db.exec(std::string("DROP TRIGGER IF EXISTS ") + name);
    }
    createCardTriggers(db);
    createChangeTriggers(db, "KartenInfo", kKartenInfoColumns,
                         "old.Uid, old.Angelegt, old.Geaendert");
    db.exec("DELETE FROM KartenInfo WHERE KarteId NOT IN (SELECT rowid FROM Kontakte)");
    db.exec("INSERT INTO KartenInfo (KarteId, Uid, Angelegt, Geaendert) SELECT rowid, " + kNewUuid +
            ", " + kNow + ", " + kNow +
            " FROM Kontakte WHERE rowid NOT IN (SELECT KarteId FROM KartenInfo)");
}

}  // namespace veltro::store
