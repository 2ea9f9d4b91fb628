#include "store/Snapshot.h"

#include "store/CardExtrasTable.h"
#include "store/CardStore.h"
#include "store/DuplicateDecisions.h"
#include "store/KartenInfo.h"
#include "store/SchemaVersion.h"
#include "store/SyncTables.h"
#include "store/UndoLog.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace veltro::store {

namespace {

// A table the exit step can put back, its snapshot being z<name> with the same columns.
struct Tracked {
    std::string name;
    std::string columns;
    int sinceVersion;
    // False where zKontakte's note of a new card stands for the table's new row.
    bool notesNewRows;

    [[nodiscard]] std::string snapshot() const { return "z" + name; }
};

// Cards first: putting them back makes their KartenInfo rows anew, and putting back their
// further entries moves their change time; the KartenInfo snapshot then replaces both with
// the rows of the start.
std::vector<Tracked> trackedTables(Database& db) {
    const std::vector<Tracked> all = {
        {"Kontakte", cardColumnList(), 1, true},
        {"tblAdrCfg", "KategorieName", 1, true},
        {"KartenAngaben", kKartenAngabenColumns, 7, true},
        {"KartenEintraege", kKartenEintraegeColumns, 7, true},
        {"KartenInfo", kKartenInfoColumns, 2, false},
        {"SyncKonten", kSyncKontenColumns, 4, true},
        {"SyncKarten", kSyncKartenColumns, 4, true},
        {"KeineDubletten", kKeineDublettenColumns, 5, true},
    };
    const int version = storeVersion(db);
    std::vector<Tracked> present;
    for (const auto& table : all) {
        if (table.sinceVersion <= version) {
            present.push_back(table);
        }
    }
    return present;
}

// Row ids travel with the rows, so a card keeps its identity through a discard.
std::string copyRows(const std::string& to, const std::string& from, const std::string& columns) {
    return "INSERT INTO " + to + " (rowid, " + columns + ") SELECT rowid, " + columns + " FROM " +
           from;
}

std::vector<std::string> trackingDiscard(const std::vector<Tracked>& tables) {
    // The marker goes first, so the triggers stop noting while we put rows back.
    std::vector<std::string> steps = {"DELETE FROM zKontakte WHERE rowid = 0"};
    for (const auto& table : tables) {
        const std::string z = table.snapshot();
        steps.push_back("DELETE FROM " + table.name + " WHERE rowid IN (SELECT -rowid FROM " + z +
                        " WHERE rowid < 0)");
        steps.push_back("DELETE FROM " + table.name + " WHERE rowid IN (SELECT rowid FROM " + z +
                        " WHERE rowid > 0)");
        steps.push_back(copyRows(table.name, z, table.columns) + " WHERE rowid > 0");
    }
    for (const auto& table : tables) {
        steps.push_back("DELETE FROM " + table.snapshot());
    }
    return steps;
}

std::vector<std::string> copyingDiscard(const std::vector<Tracked>& tables) {
    std::vector<std::string> steps;
    for (const auto& table : tables) {
        steps.push_back("DELETE FROM " + table.name);
        steps.push_back(copyRows(table.name, table.snapshot(), table.columns));
    }
    for (const auto& table : tables) {
        steps.push_back("DELETE FROM " + table.snapshot());
    }
    return steps;
}

// The undo log belongs to the run as the snapshot does.
void emptySnapshots(Database& db, const std::vector<Tracked>& tables) {
    for (const auto& table : tables) {
        db.exec("DELETE FROM " + table.snapshot());
    }
    UndoLog::clear(db);
}

bool hasTrigger(Database& db, const std::string& name) {
    auto stmt = db.prepare("SELECT 1 FROM sqlite_master WHERE type = 'trigger' AND name = ?1");
    stmt.bind(1, QString::fromStdString(name));
    return stmt.step();
}

bool tracksAll(Database& db, const std::vector<Tracked>& tables) {
    for (const auto& table : tables) {
        for (const char* change : {"Aendern", "Loeschen", "Neu"}) {
            const bool expected = table.notesNewRows || std::string_view(change) != "Neu";
            if (expected && !hasTrigger(db, table.snapshot() + change)) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

bool Snapshot::tracksChanges(Database& db) {
    return tracksAll(db, trackedTables(db));
}

bool Snapshot::leftChanges(Database& db) {
    const auto tables = trackedTables(db);
    if (!db.prepare("SELECT 1 FROM zKontakte WHERE rowid = 0").step() || !tracksAll(db, tables)) {
        return false;
    }
    for (const auto& table : tables) {
        if (db.prepare("SELECT 1 FROM " + table.snapshot() + " WHERE rowid <> 0 LIMIT 1").step()) {
            return true;
        }
    }
    return false;
}

void Snapshot::take(Database& db) {
    const auto tables = trackedTables(db);
    Transaction tx(db);
    emptySnapshots(db, tables);
    if (tracksAll(db, tables)) {
        db.exec("INSERT INTO zKontakte (rowid) VALUES (0)");
    } else {
        for (const auto& table : tables) {
            db.exec(copyRows(table.snapshot(), table.name, table.columns));
        }
    }
    tx.commit();
}

void Snapshot::keep(Database& db) {
    const auto tables = trackedTables(db);
    Transaction tx(db);
    emptySnapshots(db, tables);
    tx.commit();
}

void Snapshot::discard(Database& db, const std::function<void(int)>& afterStep) {
    const auto tables = trackedTables(db);
    const auto steps = tracksAll(db, tables) ? trackingDiscard(tables) : copyingDiscard(tables);
    Transaction tx(db);
    int step = 0;
    for (const auto& sql : steps) {
        db.exec(sql);
        if (afterStep) {
            afterStep(++step);
        }
    }
    UndoLog::clear(db);
    tx.commit();
}

void Snapshot::settle(Database& db, const std::string& table,
                      const std::vector<std::int64_t>& rowids) {
    const auto tables = trackedTables(db);
    const auto tracked = std::find_if(tables.begin(), tables.end(),
                                      [&](const Tracked& t) { return t.name == table; });
    const bool tracking = tracksAll(db, tables);
    if (tracked == tables.end() || rowids.empty() ||
        (tracking && !db.prepare("SELECT 1 FROM zKontakte WHERE rowid = 0").step())) {
        return;
    }
    const std::string z = tracked->snapshot();
    auto forget = db.prepare("DELETE FROM " + z + " WHERE rowid = ?1 OR rowid = -?1");
    auto note = db.prepare(copyRows(z, table, tracked->columns) + " WHERE rowid = ?1");
    Transaction tx(db);
    for (const std::int64_t rowid : rowids) {
        forget.bind(1, rowid).run();
        note.bind(1, rowid).run();
        forget.reset();
        note.reset();
    }
    tx.commit();
}

}  // namespace veltro::store
