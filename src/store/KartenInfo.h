#pragma once

#include "store/Sqlite.h"

#include <cstdint>
#include <random>
#include <string>

namespace veltro::store {

// The columns of KartenInfo besides its key, KarteId, which is the card's row id in
// Kontakte and so also the row id of its KartenInfo row and snapshot row.
inline constexpr const char* kKartenInfoColumns = "Uid, Angelegt, Geaendert";

// Adds KartenInfo: for each card a lasting identity (a random UUID) and when it was made
// and last changed, as UTC texts like 2026-12-07T09:30:00Z. Triggers on Kontakte keep
// it current for every writer, including programs that know only the original tables,
// so they use plain SQL only. Cards already there get a row dated now, as nothing better
// is known. Runs inside the caller's transaction.
void addKartenInfo(Database& db);
// The snapshot's triggers on KartenInfo, inside the caller's transaction.
void createKartenInfoChangeTriggers(Database& db);

// From version 3: a write that leaves every field of a card as it was does not count as a
// change of the card. Runs inside the caller's transaction.
void noteOnlyRealChanges(Database& db);

// Identities for the cards one writer adds in a run, of the kind the trigger makes, but
// counting up within a millisecond (RFC 9562, method 1) so that a run of them lands in
// order at the end of the Uid index; and the run's time as the cards' made and changed time.
class CardIdentities {
public:
    CardIdentities();
    [[nodiscard]] std::string nextUid();
    [[nodiscard]] const std::string& now() const { return now_; }

private:
    std::uint64_t ms_;
    std::uint32_t counter_ = 0;
    std::mt19937_64 random_;
    std::string now_;
};

}  // namespace veltro::store
