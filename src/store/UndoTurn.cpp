// Undo and redo: both swap a step's rows in the log with the rows the tables hold now.
// After an undo the log holds the rows as the step left them, ready for a redo, and the
// other way round. The rows the tables hold now go into the log under the step's other
// sign, and those put back leave it, so no row of the log is rewritten.
#include "store/UndoLog.h"
#include "store/UndoTables.h"

#include <algorithm>
#include <string>

namespace veltro::store {

using namespace undo;

namespace {

// The statements of one turn; ?1 is the key of the rows to put back, ?2 the key under
// which the rows of now are kept.
class Turn {
public:
    Turn(Database& db, std::int64_t from, const std::function<void(int)>& afterStatement)
        : db_(db), from_(from), afterStatement_(afterStatement) {}

    void run(const std::string& sql) {
        auto stmt = db_.prepare(sql);
        if (stmt.parameterCount() > 0) {
            stmt.bind(1, from_);
        }
        if (stmt.parameterCount() > 1) {
            stmt.bind(2, -from_);
        }
        stmt.run();
        if (afterStatement_) {
            afterStatement_(++count_);
        }
    }

private:
    Database& db_;
    std::int64_t from_;
    const std::function<void(int)>& afterStatement_;
    int count_ = 0;
};

bool hasExtras(Database& db) {
    const auto tables = loggedTables(db);
    return std::any_of(tables.begin(), tables.end(),
                       [](const Logged& t) { return t.table == "KartenEintraege"; });
}

// The cards whose further entries the step ?1 touched: by the card they belonged to before
// the turn or belong to after it.
const std::string kExtrasCards =
    "SELECT Zeile FROM SchrittKartenAngaben WHERE Schritt = ?1"
    " UNION SELECT KarteId FROM SchrittKartenEintraege WHERE Schritt = ?1 AND Da"
    " UNION SELECT e.KarteId FROM SchrittKartenEintraege l JOIN KartenEintraege e"
    " ON e.Id = l.Zeile WHERE l.Schritt = ?1 AND NOT l.Da";

// A card the step added or changed brings its KartenInfo row along without a note of its
// own; the notes are written at the first undo, so that all three tables turn alike. A
// card that was there before has the KartenInfo row it had then, as nothing else changed
// it; a new card had none. Once written, the notes stay for later turns.
void noteCardInfo(Turn& turn, bool extras) {
    turn.run(
        "INSERT OR IGNORE INTO SchrittKartenInfo (Schritt, Zeile, Da, Uid, Angelegt, Geaendert) "
        "SELECT k.Schritt, k.Zeile, k.Da AND i.KarteId IS NOT NULL, CASE WHEN k.Da THEN i.Uid END, "
        "CASE WHEN k.Da THEN i.Angelegt END, CASE WHEN k.Da THEN i.Geaendert END "
        "FROM SchrittKontakte k LEFT JOIN KartenInfo i ON i.KarteId = k.Zeile "
        "WHERE k.Schritt = ?1");
    // A change of further entries within the second of the card's last change left its time
    // as it was and so without a note; putting the entries back moves it, so its row as it
    // is now, which is the row before the step, is noted too.
    if (extras) {
        turn.run(
            "INSERT OR IGNORE INTO SchrittKartenInfo (Schritt, Zeile, Da, Uid, Angelegt, "
            "Geaendert) SELECT ?1, KarteId, 1, Uid, Angelegt, Geaendert FROM KartenInfo WHERE "
            "KarteId IN (" +
            kExtrasCards + ")");
    }
}

void capture(Turn& turn, const Logged& t) {
    turn.run("INSERT INTO " + t.log + " (Schritt, Zeile, Da, " + listed(t.columns, "") +
             ") SELECT ?2, l.Zeile, r." + t.key + " IS NOT NULL, " + listed(t.columns, "r.") +
             " FROM " + t.log + " l LEFT JOIN " + t.table + " r ON r." + t.key +
             " = l.Zeile WHERE l.Schritt = ?1");
}

// Rows there before and after are changed in place, so that they keep their place and
// the cards their KartenInfo rows; the others are deleted or put back under their row id.
void apply(Turn& turn, const Logged& t) {
    const std::string& log = t.log;
    turn.run("UPDATE " + t.table + " SET " + assigned(t.columns, "l") + " FROM " + log +
             " AS l WHERE l.Schritt = ?1 AND l.Da AND l.Zeile = " + t.table + '.' + t.key);
    turn.run("DELETE FROM " + t.table + " WHERE " + t.key + " IN (SELECT Zeile FROM " + log +
             " WHERE Schritt = ?1 AND NOT Da)");
    turn.run("INSERT INTO " + t.table + " (" + t.key + ", " + listed(t.columns, "") +
             ") SELECT Zeile, " + listed(t.columns, "") + " FROM " + log +
             " l WHERE Schritt = ?1 AND Da AND NOT EXISTS (SELECT 1 FROM " + t.table + " WHERE " +
             t.key + " = l.Zeile)");
}

void dropPutBack(Turn& turn, const Logged& t) {
    turn.run("DELETE FROM " + t.log + " WHERE Schritt = ?1");
}

std::string touchedCards(Database& db) {
    std::string sql = "SELECT Zeile FROM SchrittKontakte WHERE Schritt = ?1";
    if (hasExtras(db)) {
        sql += " UNION " + kExtrasCards;
    }
    return sql + " ORDER BY 1";
}

StepChanges changesOf(Database& db, std::int64_t step, const QString& name) {
    StepChanges changes;
    changes.name = name;
    auto cards = db.prepare(touchedCards(db));
    cards.bind(1, step);
    while (cards.step()) {
        changes.cards.push_back(cards.integer(0));
    }
    auto categories = db.prepare("SELECT 1 FROM SchrittAdrCfg WHERE Schritt = ?1 LIMIT 1");
    categories.bind(1, step);
    changes.categories = categories.step();
    return changes;
}

bool recording(Database& db) {
    auto top = db.prepare("SELECT Stand FROM Schritte ORDER BY Nr DESC LIMIT 1");
    return top.step() && top.integer(0) == kRecording;
}

// Turns the step `which` selects (its number and name) and gives it the state `to`.
std::optional<StepChanges> turnStep(Database& db, const char* which, std::int64_t to,
                                    const std::function<void(int)>& afterStatement) {
    Transaction transaction(db);
    if (recording(db)) {
        return std::nullopt;
    }
    std::int64_t step = 0;
    QString name;
    {
        auto found = db.prepare(which);
        if (!found.step()) {
            return std::nullopt;
        }
        step = found.integer(0);
        name = found.textOrEmpty(1);
    }
    const std::int64_t from = to == kUndone ? step : -step;
    Turn turn(db, from, afterStatement);
    if (to == kUndone) {
        noteCardInfo(turn, hasExtras(db));
    }
    const auto tables = loggedTables(db);
    for (const auto& t : tables) {
        capture(turn, t);
    }
    for (const auto& t : tables) {
        apply(turn, t);
    }
    for (const auto& t : tables) {
        dropPutBack(turn, t);
    }
    auto state = db.prepare("UPDATE Schritte SET Stand = ?2 WHERE Nr = ?1");
    state.bind(1, step).bind(2, to);
    state.run();
    auto changes = changesOf(db, -from, name);
    transaction.commit();
    return changes;
}

}  // namespace

std::optional<StepChanges> UndoLog::undo(Database& db,
                                         const std::function<void(int)>& afterStatement) {
    return turnStep(db, "SELECT Nr, Name FROM Schritte WHERE Stand = 1 ORDER BY Nr DESC LIMIT 1",
                    kUndone, afterStatement);
}

std::optional<StepChanges> UndoLog::redo(Database& db,
                                         const std::function<void(int)>& afterStatement) {
    return turnStep(db, "SELECT Nr, Name FROM Schritte WHERE Stand = 2 ORDER BY Nr LIMIT 1", kDone,
                    afterStatement);
}

}  // namespace veltro::store
