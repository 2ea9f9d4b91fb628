#include "store/UndoLog.h"

#include "store/UndoTables.h"

#include <string>
#include <vector>

namespace veltro::store {

using namespace undo;

namespace {

// Plain SQL only: other programs' connections run these triggers too.
const std::string kStepIsRecorded = "(SELECT Stand FROM Schritte ORDER BY Nr DESC LIMIT 1) = 0";
const std::string kWhileRecording = " WHEN " + kStepIsRecorded;
const std::string kRecordedStep = "(SELECT max(Nr) FROM Schritte)";

// Only a row's first note in a step counts. A guard rather than OR IGNORE: an upsert's own
// conflict policy would override the trigger's.
std::string notLogged(const Logged& t, const std::string& row) {
    return " WHERE NOT EXISTS (SELECT 1 FROM " + t.log + " WHERE Schritt = " + kRecordedStep +
           " AND Zeile = " + row + "." + t.key + ")";
}

void createLogTriggers(Database& db, const Logged& t) {
    // A row that came with a card new in the step was not there before it, whatever
    // happens to it later in the step.
    const std::string when =
        kWhileRecording + (t.notesNewRows
                               ? std::string()
                               : " AND NOT EXISTS (SELECT 1 FROM SchrittKontakte WHERE Schritt = " +
                                     kRecordedStep + " AND Zeile = old." + t.key + " AND NOT Da)");
    const std::string columns = listed(t.columns, "");
    const std::string saveOld = " BEGIN INSERT INTO " + t.log + " (Schritt, Zeile, Da, " + columns +
                                ") SELECT " + kRecordedStep + ", old." + t.key + ", 1, " +
                                listed(t.columns, "old.") + notLogged(t, "old") + "; END";
    db.exec("CREATE TRIGGER " + t.log + "Aendern BEFORE UPDATE ON " + t.table + when + saveOld);
    db.exec("CREATE TRIGGER " + t.log + "Loeschen BEFORE DELETE ON " + t.table + when + saveOld);
    if (t.notesNewRows) {
        db.exec("CREATE TRIGGER " + t.log + "Neu AFTER INSERT ON " + t.table + kWhileRecording +
                " BEGIN INSERT INTO " + t.log + " (Schritt, Zeile, Da) SELECT " + kRecordedStep +
                ", new." + t.key + ", 0" + notLogged(t, "new") + "; END");
    }
}

void setState(Database& db, std::int64_t step, std::int64_t state) {
    auto stmt = db.prepare("UPDATE Schritte SET Stand = ?2 WHERE Nr = ?1");
    stmt.bind(1, step).bind(2, state);
    stmt.run();
}

// Drops the notes of rows the step left as they were: a row written with its own values,
// or one added and deleted again.
void dropUnchanged(Database& db, std::int64_t step) {
    for (const auto& t : loggedTables(db)) {
        std::string same;
        for (const auto& column : t.columns) {
            same.append(" AND r.\"").append(column).append("\" IS l.\"").append(column);
            same += '"';
        }
        auto kept = db.prepare("DELETE FROM " + t.log + " AS l WHERE Schritt = ?1 AND Da AND " +
                               "EXISTS (SELECT 1 FROM " + t.table + " r WHERE r." + t.key +
                               " = l.Zeile" + same + ")");
        kept.bind(1, step);
        kept.run();
        auto gone =
            db.prepare("DELETE FROM " + t.log + " AS l WHERE Schritt = ?1 AND NOT Da AND " +
                       "NOT EXISTS (SELECT 1 FROM " + t.table + " WHERE " + t.key + " = l.Zeile)");
        gone.bind(1, step);
        gone.run();
    }
}

bool touchedAnything(Database& db, std::int64_t step) {
    for (const auto& t : loggedTables(db)) {
        auto stmt = db.prepare("SELECT 1 FROM " + t.log + " WHERE Schritt = ?1 LIMIT 1");
        stmt.bind(1, step);
        if (stmt.step()) {
            return true;
        }
    }
    return false;
}

// Drops the steps that meet `condition` with their rows, under either sign.
void forget(Database& db, const std::string& condition) {
    const std::string steps = "SELECT Nr FROM Schritte WHERE " + condition;
    for (const auto& t : loggedTables(db)) {
        std::string sql = "DELETE FROM " + t.log;
        sql.append(" WHERE Schritt IN (").append(steps).append(" UNION ALL SELECT -Nr FROM ");
        sql.append("Schritte WHERE ").append(condition).append(")");
        db.exec(sql);
    }
    db.exec("DELETE FROM Schritte WHERE " + condition);
}

}  // namespace

void addUndoLog(Database& db) {
    // A store whose version number got lost may hold the tables already.
    db.exec(
        "CREATE TABLE IF NOT EXISTS Schritte (Nr INTEGER PRIMARY KEY, Name TEXT NOT NULL, "
        "Stand INTEGER NOT NULL, Besuch INTEGER NOT NULL DEFAULT 0)");
    for (const auto& t : loggedTables(db)) {
        // Columns without a type keep every value exactly as the table held it.
        db.exec("CREATE TABLE IF NOT EXISTS " + t.log +
                " (Schritt INTEGER NOT NULL, Zeile INTEGER NOT NULL, Da INTEGER NOT NULL, " +
                listed(t.columns, "") + ", UNIQUE (Schritt, Zeile))");
        for (const char* change : {"Aendern", "Loeschen", "Neu"}) {
            db.exec("DROP TRIGGER IF EXISTS " + t.log + change);
        }
        createLogTriggers(db, t);
    }
    UndoLog::clear(db);
}

void logNewCards(Database& db, std::int64_t afterRowId) {
    auto stmt = db.prepare(
        "INSERT INTO SchrittKontakte (Schritt, Zeile, Da) SELECT " + kRecordedStep +
        ", k.rowid, 0 FROM Kontakte AS k WHERE k.rowid > ?1 AND " + kStepIsRecorded +
        " AND NOT EXISTS (SELECT 1 FROM SchrittKontakte WHERE Schritt = " + kRecordedStep +
        " AND Zeile = k.rowid)");
    stmt.bind(1, afterRowId);
    stmt.run();
}

UndoStep::UndoStep(Database& db, const QString& name, std::int64_t visit)
    : db_(db), transaction_(db) {
    {
        auto top = db.prepare("SELECT Nr, Stand, Besuch FROM Schritte ORDER BY Nr DESC LIMIT 1");
        if (top.step()) {
            const std::int64_t state = top.integer(1);
            if (state == kRecording) {
                kind_ = Kind::Joined;
                number_ = top.integer(0);
                return;
            }
            if (visit != 0 && state == kDone && top.integer(2) == visit) {
                kind_ = Kind::Continued;
                number_ = top.integer(0);
            }
        }
    }
    if (kind_ == Kind::Continued) {
        setState(db, number_, kRecording);
        return;
    }
    auto insert = db.prepare("INSERT INTO Schritte (Name, Stand, Besuch) VALUES (?1, ?2, ?3)");
    insert.bind(1, name).bind(2, kRecording).bind(3, visit);
    insert.run();
    number_ = db.lastInsertRowId();
}

void UndoStep::commit() {
    if (kind_ != Kind::Joined) {
        dropUnchanged(db_, number_);
        if (touchedAnything(db_, number_)) {
            setState(db_, number_, kDone);
            // A new change ends what could be done again, and the oldest steps go.
            forget(db_, "Stand = 2");
            forget(db_, "Nr <= (SELECT Nr FROM Schritte ORDER BY Nr DESC LIMIT 1 OFFSET " +
                            std::to_string(UndoLog::kMaxSteps) + ")");
        } else {
            forget(db_, "Nr = " + std::to_string(number_));
        }
    }
    transaction_.commit();
}

std::optional<QString> UndoLog::undoName(Database& db) {
    auto stmt = db.prepare("SELECT Name FROM Schritte WHERE Stand = 1 ORDER BY Nr DESC LIMIT 1");
    return stmt.step() ? std::optional<QString>(stmt.textOrEmpty(0)) : std::nullopt;
}

std::optional<QString> UndoLog::redoName(Database& db) {
    auto stmt = db.prepare("SELECT Name FROM Schritte WHERE Stand = 2 ORDER BY Nr LIMIT 1");
    return stmt.step() ? std::optional<QString>(stmt.textOrEmpty(0)) : std::nullopt;
}

void UndoLog::clear(Database& db) {
    if (!db.hasTable("Schritte")) {
        return;
    }
    for (const auto& t : loggedTables(db)) {
        db.exec("DELETE FROM " + t.log);
    }
    db.exec("DELETE FROM Schritte");
}

}  // namespace veltro::store
