#pragma once

#include "store/CardFields.h"
#include "store/CardStore.h"

#include <QString>

#include <vector>

namespace veltro::labels {

// The cards of a category (every card for an empty name or "-Alle-"), in the order the
// card list shows them.
[[nodiscard]] std::vector<store::Card> cardsInListOrder(store::CardStore& store,
                                                        const QString& category);

}  // namespace veltro::labels
