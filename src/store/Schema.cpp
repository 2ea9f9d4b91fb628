#include "store/Schema.h"

#include "store/CardFields.h"
#include "store/StoreError.h"

#include <string>

namespace veltro::store {

namespace {

std::string cardColumns() {
    std::string columns;
    for (const auto name : kColumnNames) {
        if (!columns.empty()) {
            columns += ", ";
        }
        columns += '"';
        columns += name;
        columns += "\" TEXT";
    }
    return columns;
}

// While a run is in progress (row 0 of zKontakte), the first change of a row copies
// it into the snapshot table under its own row id, and a new row is noted under its
// negated row id, so an exit can put back exactly what the run changed.
void createChangeTriggers(Database& db) {
    const std::string running = "EXISTS (SELECT 1 FROM zKontakte WHERE rowid = 0)";
    std::string oldValues;
    for (const auto name : kColumnNames) {
        oldValues += oldValues.empty() ? "old.\"" : ", old.\"";
        oldValues += name;
        oldValues += '"';
    }
    std::string columns;
    for (const auto name : kColumnNames) {
        columns += columns.empty() ? "\"" : ", \"";
        columns += name;
        columns += '"';
    }
    const std::string saveCard = "INSERT OR IGNORE INTO zKontakte (rowid, " + columns +
                                 ") VALUES (old.rowid, " + oldValues + "); END";
    const std::string notNewCard =
        " AND NOT EXISTS (SELECT 1 FROM zKontakte WHERE rowid = -old.rowid)";
    db.exec("CREATE TRIGGER zKontakteAendern BEFORE UPDATE ON Kontakte WHEN " + running +
            notNewCard + " BEGIN " + saveCard);
    db.exec("CREATE TRIGGER zKontakteLoeschen BEFORE DELETE ON Kontakte WHEN " + running +
            notNewCard + " BEGIN " + saveCard);
    db.exec("CREATE TRIGGER zKontakteNeu AFTER INSERT ON Kontakte WHEN " + running +
            " BEGIN INSERT OR IGNORE INTO zKontakte (rowid) VALUES (-new.rowid); END");

    const std::string saveCategory =
        "INSERT OR IGNORE INTO ztblAdrCfg (rowid, KategorieName) VALUES (old.rowid, "
        "old.KategorieName); END";
    const std::string notNewCategory =
        " AND NOT EXISTS (SELECT 1 FROM ztblAdrCfg WHERE rowid = -old.rowid)";
    db.exec("CREATE TRIGGER ztblAdrCfgAendern BEFORE UPDATE ON tblAdrCfg WHEN " + running +
            notNewCategory + " BEGIN " + saveCategory);
    db.exec("CREATE TRIGGER ztblAdrCfgLoeschen BEFORE DELETE ON tblAdrCfg WHEN " + running +
            notNewCategory + " BEGIN " + saveCategory);
    db.exec("CREATE TRIGGER ztblAdrCfgNeu AFTER INSERT ON tblAdrCfg WHEN " + running +
            " BEGIN INSERT OR IGNORE INTO ztblAdrCfg (rowid) VALUES (-new.rowid); END");
}

}  // namespace

void createSchema(Database& db) {
    Transaction tx(db);
    const std::string columns = cardColumns();
    db.exec("CREATE TABLE Kontakte (" + columns + ")");
    db.exec("CREATE TABLE tblAdrCfg (KategorieName TEXT)");
    db.exec("CREATE TABLE zKontakte (" + columns + ")");
    db.exec("CREATE TABLE ztblAdrCfg (KategorieName TEXT)");
    // Lets the list load read headings without touching the large rich-text columns.
    db.exec("CREATE INDEX KontakteSchlagworte ON Kontakte (Schlagworte, Kategorien)");
    createChangeTriggers(db);
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
