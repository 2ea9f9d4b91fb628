#include "store/Snapshot.h"

#include "store/CardStore.h"

#include <string>
#include <vector>

namespace veltro::store {

namespace {

const std::string& kontakteColumns() {
    return cardColumnList();
}

std::vector<std::string> trackingDiscard() {
    const std::string columns = kontakteColumns();
    return {
        // The marker goes first, so the triggers stop noting while we put rows back.
        "DELETE FROM zKontakte WHERE rowid = 0",
        "DELETE FROM Kontakte WHERE rowid IN (SELECT -rowid FROM zKontakte WHERE rowid < 0)",
        "DELETE FROM Kontakte WHERE rowid IN (SELECT rowid FROM zKontakte WHERE rowid > 0)",
        "INSERT INTO Kontakte (rowid, " + columns + ") SELECT rowid, " + columns +
            " FROM zKontakte WHERE rowid > 0",
        "DELETE FROM tblAdrCfg WHERE rowid IN (SELECT -rowid FROM ztblAdrCfg WHERE rowid < 0)",
        "DELETE FROM tblAdrCfg WHERE rowid IN (SELECT rowid FROM ztblAdrCfg WHERE rowid > 0)",
        "INSERT INTO tblAdrCfg (rowid, KategorieName) SELECT rowid, KategorieName FROM ztblAdrCfg "
        "WHERE rowid > 0",
        "DELETE FROM zKontakte",
        "DELETE FROM ztblAdrCfg",
    };
}

// Row ids travel with the rows, so a card keeps its identity through a discard.
std::string copyRows(const char* to, const char* from, const std::string& columns) {
    return std::string("INSERT INTO ") + to + " (rowid, " + columns + ") SELECT rowid, " + columns +
           " FROM " + from;
}

std::vector<std::string> copyingDiscard() {
    return {
        "DELETE FROM Kontakte",
        "DELETE FROM tblAdrCfg",
        copyRows("Kontakte", "zKontakte", kontakteColumns()),
        copyRows("tblAdrCfg", "ztblAdrCfg", "KategorieName"),
        "DELETE FROM zKontakte",
        "DELETE FROM ztblAdrCfg",
    };
}

}  // namespace

bool Snapshot::tracksChanges(Database& db) {
    auto stmt = db.prepare(
        "SELECT count(*) FROM sqlite_master WHERE type = 'trigger' AND name IN "
        "('zKontakteAendern', 'zKontakteLoeschen', 'zKontakteNeu', 'ztblAdrCfgAendern', "
        "'ztblAdrCfgLoeschen', 'ztblAdrCfgNeu')");
    return stmt.step() && stmt.integer(0) == 6;
}

void Snapshot::take(Database& db) {
    Transaction tx(db);
    db.exec("DELETE FROM zKontakte");
    db.exec("DELETE FROM ztblAdrCfg");
    if (tracksChanges(db)) {
        db.exec("INSERT INTO zKontakte (rowid) VALUES (0)");
    } else {
        db.exec(copyRows("zKontakte", "Kontakte", kontakteColumns()));
        db.exec(copyRows("ztblAdrCfg", "tblAdrCfg", "KategorieName"));
    }
    tx.commit();
}

void Snapshot::keep(Database& db) {
    Transaction tx(db);
    db.exec("DELETE FROM zKontakte");
    db.exec("DELETE FROM ztblAdrCfg");
    tx.commit();
}

void Snapshot::discard(Database& db, const std::function<void(int)>& afterStep) {
    const auto steps = tracksChanges(db) ? trackingDiscard() : copyingDiscard();
    Transaction tx(db);
    int step = 0;
    for (const auto& sql : steps) {
        db.exec(sql);
        if (afterStep) {
            afterStep(++step);
        }
    }
    tx.commit();
}

}  // namespace veltro::store
