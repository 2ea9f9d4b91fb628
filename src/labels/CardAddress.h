#pragma once

#include "store/CardExtras.h"
#include "store/CardFields.h"

#include <QStringList>

#include <optional>

namespace veltro::labels {

// The lines a card is addressed with: its address block as plain text, or, when the block
// holds nothing, the address composed from its fields. Blank lines at either end go.
[[nodiscard]] QStringList addressLines(const store::Card& card);

// The card's first further postal address of the type, under the card's names, its country
// last; the card's own address where it has none of that type, or no type is asked for.
[[nodiscard]] QStringList addressLines(const store::Card& card, const store::CardExtras& extras,
                                       std::optional<store::EntryType> type);

// The opening of a letter to the card's person: "Sehr geehrter Herr Meier,", "Sehr geehrte
// Frau Dr. Schulz,", or "Sehr geehrte Damen und Herren," when the card names nobody.
[[nodiscard]] QString letterSalutation(const store::Card& card);

}  // namespace veltro::labels
