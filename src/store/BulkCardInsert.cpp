#include "store/BulkCardInsert.h"

#include "store/CardStore.h"
#include "store/FullTextNotes.h"
#include "store/KartenInfo.h"
#include "store/Schema.h"
#include "store/StoreError.h"
#include "store/UndoLog.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string_view>

namespace veltro::store {

namespace {

// The triggers that follow each new card, and what stands in for each here.
constexpr std::array<std::string_view, 4> kNewCardTriggers = {"KartenInfoNeu", "zKontakteNeu",
                                                              "SchrittKontakteNeu", "VolltextNeu"};

// Past this the engine may choose new row ids at random, below earlier ones; then the
// new cards are not the rows after the last one, and the triggers keep their work.
constexpr std::int64_t kHighestPlannedRowId = std::int64_t{1} << 62;

bool isNewCardTrigger(std::string_view name) {
    return std::find(kNewCardTriggers.begin(), kNewCardTriggers.end(), name) !=
           kNewCardTriggers.end();
}

std::int64_t lastRowId(Database& db) {
    auto stmt = db.prepare("SELECT max(rowid) FROM Kontakte");
    return stmt.step() ? stmt.integer(0) : 0;
}

}  // namespace

BulkCardInsert::BulkCardInsert(Database& db) : db_(db) {
    if (!db.inTransaction()) {
        throw std::logic_error("BulkCardInsert needs a transaction");
    }
    lastBefore_ = lastRowId(db);
    std::vector<Trigger> found;
    auto triggers = db.prepare(
        "SELECT name, sql FROM sqlite_master WHERE type = 'trigger' AND tbl_name = 'Kontakte' "
        "ORDER BY rowid");
    while (triggers.step()) {
        if (isNewCardTrigger(triggers.utf8(0))) {
            found.push_back({std::string(triggers.utf8(0)), std::string(triggers.utf8(1))});
        }
    }
    if (found.size() == kNewCardTriggers.size() && lastBefore_ < kHighestPlannedRowId) {
        for (const auto& trigger : found) {
            db.exec("DROP TRIGGER \"" + trigger.name + '"');
        }
        setAside_ = std::move(found);
        identity_.emplace(
            db.prepare("INSERT OR IGNORE INTO KartenInfo (KarteId, Uid, Angelegt, Geaendert) "
                       "VALUES (?1, ?2, ?3, ?3)"));
    }
    // Prepared after the triggers went, so that it is not made again on first use.
    insert_.emplace(db.prepare(cardInsertSql()));
}

BulkCardInsert::~BulkCardInsert() {
    try {
        putTriggersBack();
    } catch (const StoreError&) {  // NOLINT(bugprone-empty-catch): the caller rolls back
    }
}

Statement& BulkCardInsert::next() {
    insert_->reset();
    return *insert_;
}

std::int64_t BulkCardInsert::insert() {
    insert_->run();
    const std::int64_t id = db_.lastInsertRowId();
    if (identity_) {
        identity_->reset();
        identity_->bind(1, id).bindUtf8(2, identities_.nextUid()).bindUtf8(3, identities_.now());
        identity_->run();
    }
    return id;
}

void BulkCardInsert::finish() {
    if (setAside_.empty()) {
        return;
    }
    noteNewCards(db_, lastBefore_);
    logNewCards(db_, lastBefore_);
    noteFullTextCards(db_, lastBefore_);
    putTriggersBack();
}

void BulkCardInsert::putTriggersBack() {
    for (const auto& trigger : setAside_) {
        db_.exec(trigger.sql);
    }
    setAside_.clear();
}

}  // namespace veltro::store
