#include "VersionOneStore.h"

#include "store/CardStore.h"
#include "store/Schema.h"
#include "store/SchemaVersion.h"
#include "store/Sqlite.h"

namespace veltro::testing {

namespace {

// What that release's schema code made, statement for statement (only wrapped into
// lines); never derived from today's schema code.
constexpr const char* kVersionOneSchema[] = {
    R"sql(CREATE TABLE Kontakte ("Nr" TEXT, "Schlagworte" TEXT, "Kategorien" TEXT, "Anrede" TEXT,
        "Vorname" TEXT, "Nachname" TEXT, "Firma" TEXT, "Abteilung" TEXT, "Straße" TEXT,
        "Postleitzahl" TEXT, "Ort" TEXT, "Vorwahl" TEXT, "Telefon" TEXT, "Fax" TEXT,
        "Mobiltelefon" TEXT, "EMailAdresse" TEXT, "Webseite" TEXT, "Anschrift" TEXT,
        "Notizen" TEXT))sql",
    R"sql(CREATE TABLE tblAdrCfg (KategorieName TEXT))sql",
    R"sql(CREATE TABLE zKontakte ("Nr" TEXT, "Schlagworte" TEXT, "Kategorien" TEXT,
        "Anrede" TEXT, "Vorname" TEXT, "Nachname" TEXT, "Firma" TEXT, "Abteilung" TEXT,
        "Straße" TEXT, "Postleitzahl" TEXT, "Ort" TEXT, "Vorwahl" TEXT, "Telefon" TEXT,
        "Fax" TEXT, "Mobiltelefon" TEXT, "EMailAdresse" TEXT, "Webseite" TEXT,
        "Anschrift" TEXT, "Notizen" TEXT))sql",
    R"sql(CREATE TABLE ztblAdrCfg (KategorieName TEXT))sql",
    R"sql(CREATE INDEX KontakteSchlagworte ON Kontakte (Schlagworte, Kategorien))sql",
    R"sql(CREATE TRIGGER zKontakteAendern BEFORE UPDATE ON Kontakte
        WHEN EXISTS (SELECT 1 FROM zKontakte WHERE rowid = 0)
        AND NOT EXISTS (SELECT 1 FROM zKontakte WHERE rowid = -old.rowid) BEGIN
        INSERT OR IGNORE INTO zKontakte (rowid, "Nr", "Schlagworte", "Kategorien", "Anrede",
        "Vorname", "Nachname", "Firma", "Abteilung", "Straße", "Postleitzahl", "Ort",
        "Vorwahl", "Telefon", "Fax", "Mobiltelefon", "EMailAdresse", "Webseite", "Anschrift",
        "Notizen") VALUES (old.rowid, old."Nr", old."Schlagworte", old."Kategorien",
        old."Anrede", old."Vorname", old."Nachname", old."Firma", old."Abteilung",
        old."Straße", old."Postleitzahl", old."Ort", old."Vorwahl", old."Telefon", old."Fax",
        old."Mobiltelefon", old."EMailAdresse", old."Webseite", old."Anschrift",
        old."Notizen"); END)sql",
    R"sql(CREATE TRIGGER zKontakteLoeschen BEFORE DELETE ON Kontakte
        WHEN EXISTS (SELECT 1 FROM zKontakte WHERE rowid = 0)
        AND NOT EXISTS (SELECT 1 FROM zKontakte WHERE rowid = -old.rowid) BEGIN
        INSERT OR IGNORE INTO zKontakte (rowid, "Nr", "Schlagworte", "Kategorien", "Anrede",
        "Vorname", "Nachname", "Firma", "Abteilung", "Straße", "Postleitzahl", "Ort",
        "Vorwahl", "Telefon", "Fax", "Mobiltelefon", "EMailAdresse", "Webseite", "Anschrift",
        "Notizen") VALUES (old.rowid, old."Nr", old."Schlagworte", old."Kategorien",
        old."Anrede", old."Vorname", old."Nachname", old."Firma", old."Abteilung",
        old."Straße", old."Postleitzahl", old."Ort", old."Vorwahl", old."Telefon", old."Fax",
        old."Mobiltelefon", old."EMailAdresse", old."Webseite", old."Anschrift",
        old."Notizen"); END)sql",
    R"sql(CREATE TRIGGER zKontakteNeu AFTER INSERT ON Kontakte
        WHEN EXISTS (SELECT 1 FROM zKontakte WHERE rowid = 0) BEGIN
        INSERT OR IGNORE INTO zKontakte (rowid) VALUES (-new.rowid); END)sql",
    R"sql(CREATE TRIGGER ztblAdrCfgAendern BEFORE UPDATE ON tblAdrCfg
        WHEN EXISTS (SELECT 1 FROM zKontakte WHERE rowid = 0)
        AND NOT EXISTS (SELECT 1 FROM ztblAdrCfg WHERE rowid = -old.rowid) BEGIN
        INSERT OR IGNORE INTO ztblAdrCfg (rowid, KategorieName) VALUES (old.rowid,
        old.KategorieName); END)sql",
    R"sql(CREATE TRIGGER ztblAdrCfgLoeschen BEFORE DELETE ON tblAdrCfg
        WHEN EXISTS (SELECT 1 FROM zKontakte WHERE rowid = 0)
        AND NOT EXISTS (SELECT 1 FROM ztblAdrCfg WHERE rowid = -old.rowid) BEGIN
        INSERT OR IGNORE INTO ztblAdrCfg (rowid, KategorieName) VALUES (old.rowid,
        old.KategorieName); END)sql",
    R"sql(CREATE TRIGGER ztblAdrCfgNeu AFTER INSERT ON tblAdrCfg
        WHEN EXISTS (SELECT 1 FROM zKontakte WHERE rowid = 0) BEGIN
        INSERT OR IGNORE INTO ztblAdrCfg (rowid) VALUES (-new.rowid); END)sql",
};

}  // namespace

void makeVersionOneStore(const std::filesystem::path& dir, const std::vector<QString>& categories,
                         const std::vector<GivenCard>& cards) {
    std::filesystem::create_directories(dir);
    auto db = store::Database::open(dir / store::kStoreFileName, store::Database::Mode::Create);
    store::Transaction tx(db);
    for (const char* sql : kVersionOneSchema) {
        db.exec(sql);
    }
    for (const auto& name : categories) {
        auto add = db.prepare("INSERT INTO tblAdrCfg (KategorieName) VALUES (?1)");
        add.bind(1, name);
        add.run();
    }
    store::CardInserter inserter(db);
    for (const auto& wanted : cards) {
        inserter.insert(cardFrom(wanted));
    }
    tx.commit();
}

void makeVersionTwoStore(const std::filesystem::path& dir, const std::vector<QString>& categories,
                         const std::vector<GivenCard>& cards) {
    makeVersionOneStore(dir, categories, cards);
    auto db = store::Database::open(dir / store::kStoreFileName);
    store::Transaction tx(db);
    store::applyStep(db, store::upgradeSteps().front());
    tx.commit();
}

}  // namespace veltro::testing
