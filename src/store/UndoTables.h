#pragma once

// The undo log's tables, shared by the recording and the undo and redo; not for other users.

#include "store/Sqlite.h"

#include <cstdint>
#include <string>
#include <vector>

namespace veltro::store::undo {

// A step is recorded, done (it can be undone) or undone (it can be done again). The rows
// of a step are kept under its number while it is recorded or done, and under the
// negated number while it is undone.
inline constexpr std::int64_t kRecording = 0;
inline constexpr std::int64_t kDone = 1;
inline constexpr std::int64_t kUndone = 2;

// A table whose rows the log keeps, and its log.
struct Logged {
    std::string table;
    std::string key;  // the row id under the name the table gives it
    std::vector<std::string> columns;
    std::string log;
    // KartenInfo's new rows come with new cards and are not noted on their own: the
    // card's note stands for them (see UndoTurn.cpp).
    bool notesNewRows;
};

// Cards first and KartenInfo last: putting cards back makes and drops KartenInfo rows, and
// putting their further entries back moves their change time, which the KartenInfo images
// then replace. Only the tables the store has.
[[nodiscard]] std::vector<Logged> loggedTables(Database& db);

// The quoted column names, each after a prefix such as "old.".
[[nodiscard]] std::string listed(const std::vector<std::string>& columns,
                                 const std::string& prefix);
// "column" = from."column", for every column.
[[nodiscard]] std::string assigned(const std::vector<std::string>& columns,
                                   const std::string& from);

}  // namespace veltro::store::undo
