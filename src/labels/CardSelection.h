#pragma once

#include "store/CardFields.h"
#include "store/CardStore.h"
#include "store/Categories.h"

#include <QString>

#include <vector>

namespace veltro::labels {

// The cards the filter takes, in the order the card list shows them.
[[nodiscard]] std::vector<store::Card> cardsInListOrder(store::CardStore& store,
                                                        const store::CategoryFilter& category);

}  // namespace veltro::labels
