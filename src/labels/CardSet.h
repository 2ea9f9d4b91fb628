#pragma once

#include "store/CardExtras.h"
#include "store/CardFields.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

namespace veltro::labels {

// Reads what a card holds beyond its fields: its further postal addresses among them.
using ExtrasOf = std::function<store::CardExtras(std::int64_t card)>;

// Cards a dialog can print, under the name its card choice shows.
struct CardSet {
    QString name;
    std::vector<store::Card> cards;
    ExtrasOf extrasOf = {};  // none: only the cards' own addresses
};

}  // namespace veltro::labels
