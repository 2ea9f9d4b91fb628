#include "labels/CardSelection.h"

#include "store/CardIndex.h"
#include "store/LikePattern.h"

namespace veltro::labels {

std::vector<store::Card> cardsInListOrder(store::CardStore& store,
                                          const store::CategoryFilter& category) {
    store::CardIndex index;
    index.load(store);
    const auto everything = store::LikePattern::compile(u"*");
    std::vector<store::Card> cards;
    for (const std::int32_t position : index.filter(category, *everything)) {
        if (auto card = store.loadCard(index.id(position))) {
            cards.push_back(std::move(*card));
        }
    }
    return cards;
}

}  // namespace veltro::labels
