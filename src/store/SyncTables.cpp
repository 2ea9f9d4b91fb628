#include "store/SyncTables.h"

#include "store/Schema.h"

#include <string>

namespace veltro::store {

void addSyncTables(Database& db) {
    // SyncKarten is keyed by the card's identity rather than its row id: a row id can be used
    // again by a new card once the old one is gone, an identity never.
    db.execScript(
        "CREATE TABLE IF NOT EXISTS SyncKonten (Id INTEGER PRIMARY KEY, Url TEXT NOT NULL, "
        "Benutzer TEXT NOT NULL, Sammlung TEXT NOT NULL UNIQUE, Kategorie TEXT NOT NULL, "
        "SyncToken TEXT, Fingerabdruck TEXT);"
        "CREATE TABLE IF NOT EXISTS zSyncKonten (Url TEXT, Benutzer TEXT, Sammlung TEXT, "
        "Kategorie TEXT, SyncToken TEXT, Fingerabdruck TEXT);"
        "CREATE TABLE IF NOT EXISTS SyncKarten (Uid TEXT NOT NULL UNIQUE, Konto INTEGER NOT "
        "NULL, Href TEXT NOT NULL, ETag TEXT, Text TEXT, UNIQUE (Konto, Href));"
        "CREATE TABLE IF NOT EXISTS zSyncKarten (Uid TEXT, Konto INTEGER, Href TEXT, ETag TEXT, "
        "Text TEXT);");
    for (const char* name : {"zSyncKontenAendern", "zSyncKontenLoeschen", "zSyncKontenNeu",
                             "zSyncKartenAendern", "zSyncKartenLoeschen", "zSyncKartenNeu"}) {
        db.exec(std::string("DROP TRIGGER IF EXISTS ") + name);
    }
    createChangeTriggers(db, "SyncKonten", kSyncKontenColumns,
                         prefixedColumns(kSyncKontenColumns, "old."));
    createChangeTriggers(db, "SyncKarten", kSyncKartenColumns,
                         prefixedColumns(kSyncKartenColumns, "old."));
}

}  // namespace veltro::store
