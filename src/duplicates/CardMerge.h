#pragma once

#include "store/CardFields.h"
#include "store/CardStore.h"

#include <QString>

#include <array>
#include <cstdint>
#include <vector>

namespace veltro::duplicates {

// Which card gives each field when two cards become one. The notes are not chosen:
// both cards' notes are kept, one after the other.
struct MergePlan {
    std::int64_t keep = 0;   // the card that stays, with its identity
    std::int64_t other = 0;  // the card that goes
    std::array<bool, store::kFieldCount> fromOther{};

    void take(store::Field field, bool fromOtherCard) {
        fromOther[store::index(field)] = fromOtherCard;
    }
    [[nodiscard]] bool takes(store::Field field) const { return fromOther[store::index(field)]; }
};

// Whether the cards differ in the field; rich-text fields compare their visible text.
[[nodiscard]] bool differs(const store::Card& a, const store::Card& b, store::Field field);

// The plan to start from: the kept card's value, the other's where the kept card has none,
// but only from a card of the same name (folded) and never an import's "-" placeholder.
[[nodiscard]] MergePlan proposedMerge(const store::Card& keep, const store::Card& other);

// The card the plan makes. Nothing is lost: the notes of both stand one after the other,
// and a value not taken that the merged card does not hold (the card number too) is
// added to the notes under its field's name.
[[nodiscard]] store::Card mergedCard(const store::Card& keep, const store::Card& other,
                                     const MergePlan& plan);

// Writes the merged card over the kept one and deletes the other, in one transaction.
// Returns the merged card. Throws StoreError when either card is gone.
store::Card mergeCards(store::CardStore& store, const MergePlan& plan);
// The same for several cards going into one, plan after plan, all in one transaction.
store::Card mergeCards(store::CardStore& store, const std::vector<MergePlan>& plans);

}  // namespace veltro::duplicates
