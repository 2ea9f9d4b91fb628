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
