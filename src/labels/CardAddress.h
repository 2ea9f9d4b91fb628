#pragma once

#include "store/CardFields.h"

#include <QStringList>

namespace veltro::labels {

// The lines a card is addressed with: its address block as plain text, or, when the block
// holds nothing, the address composed from its fields. Blank lines at either end go.
[[nodiscard]] QStringList addressLines(const store::Card& card);

// The opening of a letter to the card's person: "Sehr geehrter Herr Meier,", "Sehr geehrte
// Frau Dr. Schulz,", or "Sehr geehrte Damen und Herren," when the card names nobody.
[[nodiscard]] QString letterSalutation(const store::Card& card);

}  // namespace veltro::labels
