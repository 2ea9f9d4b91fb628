#pragma once

#include "store/CardFields.h"
#include "store/CardIndex.h"
#include "store/CardStore.h"

#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

// What the card and category commands do to the store, each change in one transaction.
// Headings and category names are compared with Unicode case folding.
namespace veltro::maintenance {

struct NewCard {
    std::optional<std::int64_t> id;     // the new card, when it was added
    std::optional<std::int64_t> clash;  // the card whose heading it repeats
    QString number;                     // "Nr" of the new card
};

// Adds a card with heading, number (cards with a heading + 1) and category, unless a
// card with the same heading exists anywhere in the store.
NewCard addCard(store::CardStore& store, const QString& heading, const QString& category);
// The same, with the clash and the count taken from an index kept in step with the store.
NewCard addCard(store::CardStore& store, const store::CardIndex& index, const QString& heading,
                const QString& category);

// The first card in store order whose heading equals this one without regard to case.
std::optional<std::int64_t> cardWithHeading(store::CardStore& store, QStringView heading);

// Gives one card (by row id) a new heading and writes the other fields given.
void renameCard(store::CardStore& store, std::int64_t id, const QString& heading,
                const std::vector<std::pair<store::Field, QString>>& fields);

bool categoryExists(store::CardStore& store, QStringView name);

// Renames the category and moves every card of it (names compared without case).
void renameCategory(store::CardStore& store, const QString& oldName, const QString& newName);

// Deletes every card of the category (without regard to case) and the category
// records of exactly this name.
void deleteCategory(store::CardStore& store, const QString& name);

// Moves every card with this heading (without regard to case) into the category.
void assignCategory(store::CardStore& store, const QString& heading, const QString& category);

}  // namespace veltro::maintenance
