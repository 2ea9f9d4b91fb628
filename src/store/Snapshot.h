#pragma once

#include "store/Sqlite.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace veltro::store {

// Lets the user keep or discard a whole run's changes at exit.
//
// Stores made by our schema carry triggers that copy a row of Kontakte, tblAdrCfg or
// (from version 2) KartenInfo, (from version 5) KeineDubletten, (from version 7)
// KartenAngaben and KartenEintraege into their z tables (under its own row id) before its
// first change in a run, and note rows added in the run under their
// negated row id. Row id 0 of zKontakte marks a run in progress. So taking the snapshot
// costs nothing, keeping empties small tables, and discarding puts back only what
// changed. Stores without the triggers fall back to copying the tables whole. Either way the
// snapshot tables are empty between runs, and a run that ended without the exit step keeps its
// changes: the next start-up takes a fresh snapshot. The undo log (UndoLog.h) belongs to
// the run as well: every one of the three empties it.
class Snapshot {
public:
    // Start-up: drop what a crashed run left and begin a new run.
    static void take(Database& db);
    // Exit, "Yes": the run's changes stay.
    static void keep(Database& db);
    // Exit, "No": the tables return to their state at start-up, all or nothing.
    // `afterStep` runs after each statement (tests inject failures there).
    static void discard(Database& db, const std::function<void(int step)>& afterStep = {});

    // Rows that are settled for the rest of the run, such as those a sync brought in step
    // with a server that keeps them anyway: "No" at exit leaves them as they are now, or as
    // they were settled when changed again later. Outside a run it does nothing.
    static void settle(Database& db, const std::string& table,
                       const std::vector<std::int64_t>& rowids);

    [[nodiscard]] static bool tracksChanges(Database& db);
    // Whether a run ended without the exit step after it changed something: its notes are
    // still there. Only for stores whose triggers note the changes.
    [[nodiscard]] static bool leftChanges(Database& db);
};

}  // namespace veltro::store
