#include "labels/CardSelection.h"

#include "store/CardIndex.h"
#include "store/Categories.h"
#include "store/LikePattern.h"

namespace veltro::labels {

std::vector<store::Card> cardsInListOrder(store::CardStore& store, const QString& category) {
    store::CardIndex index;
    index.load(store);
    const bool all = category.isEmpty() || category == store::kAllCategories;
    const auto everything = store::LikePattern::compile(u"*");
    std::vector<store::Card> cards;
    for (const std::int32_t position :
         index.filter(all ? std::nullopt : std::optional(category), *everything)) {
        if (auto card = store.loadCard(index.id(position))) {
            cards.push_back(std::move(*card));
        }
    }
    return cards;
}

}  // namespace veltro::labels
