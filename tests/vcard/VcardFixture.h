#pragma once

#include "TestHome.h"
#include "store/CardExtras.h"
#include "store/CardFields.h"

#include <QString>

#include <filesystem>
#include <vector>

namespace veltro::testing {

// Cards that try what vCard has to carry: umlauts, escapes, folding, rich notes, a company
// without names, a heading of its own, an area code that is no "0xxx", a custom address.
[[nodiscard]] std::vector<GivenCard> exchangeCards();
// The notes of the second exchange card, long enough to be folded.
[[nodiscard]] QString exchangeLongNote();

// What the first exchange card holds beyond its fields: every kind of further entry beside
// its own field, both dates (one without a year), a photo and names with escapes.
[[nodiscard]] store::CardExtras exchangeExtras();

// DIR/Kartix.mdb with the categories "Kunden" and "Privat" and the exchange cards, the first
// with the exchange extras.
void makeExchangeStore(const std::filesystem::path& dir);

// Every card of the store, in store order, with address and notes as plain text.
[[nodiscard]] std::vector<store::Card> plainCards(const std::filesystem::path& storeFile);

}  // namespace veltro::testing
