#pragma once

#include "store/Sqlite.h"

#include <QHash>
#include <QString>

#include <cstdint>
#include <optional>
#include <set>
#include <utility>

namespace veltro::store {

// The columns of KeineDubletten: the lasting identities (KartenInfo.Uid) of two cards the
// user said are not the same, the smaller one first.
inline constexpr const char* kKeineDublettenColumns = "UidA, UidB";

// Adds KeineDubletten and its snapshot. Pairs are kept by identity rather than row id: a
// row id freed by a deleted card may come back for another. Runs inside the caller's
// transaction.
void addDuplicateDecisions(Database& db);

// Two identities, the smaller first.
using UidPair = std::pair<QString, QString>;
[[nodiscard]] UidPair orderedPair(const QString& a, const QString& b);

// Remembers that the two cards (by row id) are not duplicates. Throws StoreError when a
// card has no identity (it is gone) or the store has no table for it.
void markNotDuplicates(Database& db, std::int64_t a, std::int64_t b);

// Every remembered pair; none in a store without the table.
[[nodiscard]] std::set<UidPair> notDuplicatePairs(Database& db);

// The lasting identity of every card by row id; none in a store that keeps none.
[[nodiscard]] QHash<std::int64_t, QString> cardUids(Database& db);

// The lasting identity of a card; none when the store keeps none or the card is gone.
[[nodiscard]] std::optional<QString> cardUid(Database& db, std::int64_t id);

}  // namespace veltro::store
