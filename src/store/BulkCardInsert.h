#pragma once

#include "store/KartenInfo.h"
#include "store/Sqlite.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace veltro::store {

// Adds many new cards inside the caller's transaction. The triggers that follow each new
// card (its identity, the snapshot's, the undo step's and the full-text index's notes of new
// rows) cost more than
// the card itself; for the run they are set aside, each card gets its identity here, and
// the notes are made once over all new rows in finish(), which puts the triggers back.
// Leaving without finish() is only sound when the caller then rolls back, as it does when
// an exception passes.
class BulkCardInsert {
public:
    explicit BulkCardInsert(Database& db);
    BulkCardInsert(const BulkCardInsert&) = delete;
    BulkCardInsert& operator=(const BulkCardInsert&) = delete;
    ~BulkCardInsert();

    // The insert, ready for the card's fields as parameters 1 to kFieldCount.
    Statement& next();
    // Writes the card bound to next() and returns its row id.
    std::int64_t insert();
    void finish();

private:
    struct Trigger {
        std::string name;
        std::string sql;
    };
    void putTriggersBack();

    Database& db_;
    std::optional<Statement> insert_;
    std::optional<Statement> identity_;
    CardIdentities identities_;
    std::vector<Trigger> setAside_;  // empty when the store's own triggers do the work
    std::int64_t lastBefore_ = 0;
};

}  // namespace veltro::store
