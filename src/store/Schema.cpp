#include "store/Schema.h"

#include "store/CardFields.h"
#include "store/SchemaVersion.h"
#include "store/StoreError.h"

#include <string>

namespace veltro::store {

namespace {

// The quoted column names, each with a prefix and a suffix.
std::string columnList(const std::string& prefix, const std::string& suffix) {
    std::string list;
    for (const auto name : kColumnNames) {
        list += list.empty() ? "" : ", ";
        list += prefix + '"' + std::string(name) + '"' + suffix;
    }
    return list;
}

}  // namespace

// While a run is in progress (row 0 of zKontakte), the first change of a row copies
// it into the snapshot table under its own row id, and a new row is noted under its
// negated row id, so an exit can put back exactly what the run changed.
void createChangeTriggers(Database& db, const std::string& table, const std::string& columns,
                          const std::string& oldValues, const std::string& newRowsNotedIn) {
    const std::string snapshot = "z" + table;
    const std::string notes = newRowsNotedIn.empty() ? snapshot : newRowsNotedIn;
    const std::string when = " WHEN EXISTS (SELECT 1 FROM zKontakte WHERE rowid = 0)";
    const std::string notNew =
        " AND NOT EXISTS (SELECT 1 FROM " + notes + " WHERE rowid = -old.rowid)";
    const std::string saveOld = " BEGIN INSERT OR IGNORE INTO " + snapshot + " (rowid, " + columns +
                                ") VALUES (old.rowid, " + oldValues + "); END";
    db.exec("CREATE TRIGGER " + snapshot + "Aendern BEFORE UPDATE ON " + table + when + notNew +
            saveOld);
    db.exec("CREATE TRIGGER " + snapshot + "Loeschen BEFORE DELETE ON " + table + when + notNew +
            saveOld);
    if (newRowsNotedIn.empty()) {
        db.exec("CREATE TRIGGER " + snapshot + "Neu AFTER INSERT ON " + table + when +
                " BEGIN INSERT OR IGNORE INTO " + snapshot + " (rowid) VALUES (-new.rowid); END");
    }
}

void createSchema(Database& db) {
    Transaction tx(db);
    const std::string columns = columnList("", " TEXT");
    db.exec("CREATE TABLE Kontakte (" + columns + ")");
    db.exec("CREATE TABLE tblAdrCfg (KategorieName TEXT)");
    db.exec("CREATE TABLE zKontakte (" + columns + ")");
    db.exec("CREATE TABLE ztblAdrCfg (KategorieName TEXT)");
    // Lets the list load read headings without touching the large rich-text columns.
    db.exec("CREATE INDEX KontakteSchlagworte ON Kontakte (Schlagworte, Kategorien)");
    createChangeTriggers(db, "Kontakte", columnList("", ""), columnList("old.", ""));
    createChangeTriggers(db, "tblAdrCfg", "KategorieName", "old.KategorieName");
    addLaterLayouts(db);
    tx.commit();
}

void verifySchema(Database& db) {
    for (const char* table : {"Kontakte", "tblAdrCfg", "zKontakte", "ztblAdrCfg"}) {
        [[maybe_unused]] const auto probe =
            db.prepare(std::string("SELECT * FROM ") + table + " LIMIT 0");
    }
}

std::filesystem::path createEmptyStore(const std::filesystem::path& directory) {
    const auto file = directory / kStoreFileName;
    std::error_code ec;
    if (std::filesystem::exists(file, ec)) {
        throw StoreError("Die Datei " + file.string() + " besteht bereits.");
    }
    std::filesystem::create_directories(directory, ec);
    Database db = Database::open(file, Database::Mode::Create);
    createSchema(db);
    return file;
}

}  // namespace veltro::store
