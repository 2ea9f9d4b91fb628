#pragma once

#include "store/Sqlite.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace veltro::store {

// Adds the undo log (version 3): the table Schritte names each step of the run, and
// SchrittKontakte, SchrittAdrCfg and SchrittKartenInfo (from version 7 also
// SchrittKartenAngaben and SchrittKartenEintraege) hold, for every row a step touched, the
// row as it was before the step (Da = 0: it was not there). Triggers fill them while a step
// is being recorded, whichever connection writes. Runs inside the caller's transaction; a
// later version that adds a logged table runs it again.
void addUndoLog(Database& db);

// What the undo log's insert trigger on Kontakte notes, for every card after `afterRowId`
// at once; for cards added while that trigger was set aside. Inside the caller's
// transaction.
void logNewCards(Database& db, std::int64_t afterRowId);

// Records what changes while it lives as one step of the undo log, in one transaction
// with those changes (or inside the caller's). commit() keeps both; leaving without it
// takes back both. A step that changed nothing leaves no trace. Inside a step being
// recorded it joins that one. Steps with the same non-zero `visit` that follow each other
// are one step: the saves of one card visit undo together.
class UndoStep {
public:
    UndoStep(Database& db, const QString& name, std::int64_t visit = 0);
    UndoStep(const UndoStep&) = delete;
    UndoStep& operator=(const UndoStep&) = delete;
    ~UndoStep() = default;

    void commit();

private:
    enum class Kind { New, Continued, Joined };

    Database& db_;
    Transaction transaction_;
    Kind kind_ = Kind::New;
    std::int64_t number_ = 0;
};

// What an undo or redo changed, for the windows that show it.
struct StepChanges {
    QString name;
    std::vector<std::int64_t> cards;  // row ids of the cards it touched, in row id order
    bool categories = false;          // the category table changed
};

// Undo and redo over the log, each in one transaction.
class UndoLog {
public:
    // The names of the step an undo or a redo would take back or do again.
    [[nodiscard]] static std::optional<QString> undoName(Database& db);
    [[nodiscard]] static std::optional<QString> redoName(Database& db);

    // Puts the tables back as they were before the last step that is done; nothing when
    // there is none. `afterStatement` runs after each statement (tests inject failures).
    static std::optional<StepChanges> undo(
        Database& db, const std::function<void(int statement)>& afterStatement = {});
    // Does the last undone step again.
    static std::optional<StepChanges> redo(
        Database& db, const std::function<void(int statement)>& afterStatement = {});

    // Forgets every step, inside the caller's transaction; a store without the log is left
    // as it is.
    static void clear(Database& db);

    // How many steps the log keeps; older ones are forgotten.
    static constexpr int kMaxSteps = 100;
};

}  // namespace veltro::store
