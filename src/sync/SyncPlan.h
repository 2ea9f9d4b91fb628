#pragma once

#include "store/CardExtras.h"
#include "store/CardFields.h"

#include <QString>

#include <optional>
#include <vector>

namespace veltro::sync {

// One card's three states, each as comparable fields (see VcardMerge.h): here, on the
// server, and as both last agreed. A state that is missing: not here (deleted or never
// made), not on the server, never synced.
struct CardStates {
    std::optional<store::Card> local;
    std::optional<store::Card> remote;
    std::optional<store::Card> base;
    // What each holds beyond its fields, comparable alike.
    store::CardExtras localExtras{};
    store::CardExtras remoteExtras{};
    store::CardExtras baseExtras{};
};

struct CardPlan {
    enum class Local { Keep, Write, Create, Delete };
    enum class Remote { Keep, Upload, Create, Delete };
    Local local = Local::Keep;
    Remote remote = Remote::Keep;
    store::Card merged;                   // the fields both sides hold afterwards
    store::CardExtras mergedExtras;       // and what they hold beyond them
    std::vector<store::Field> conflicts;  // changed on both sides to different values
    QString appendedToNotes;              // what merged's Notizen gained at their end
};

// What to do with one card, a pure function of its states. A field changed on one side
// only takes that side's value; one changed on both keeps the server's, and the local
// value goes into a note appended to Notizen, headed by `conflictHeading`. A card deleted
// on one side and changed on the other is kept with its change. Without a last agreed
// state every differing field counts as changed on both sides. An address block of the
// card's own that follows the server's changed address again keeps its text in the notes,
// headed "Anschrift vor dem Abgleich:". The extras merge by part (each date, the photo, each
// name, the entries of each kind): a part changed on one side only takes that side's, one
// changed on both the server's.
[[nodiscard]] CardPlan planCard(const CardStates& states, const QString& conflictHeading);

// The fields the sync compares: all but the category, which the pairing sets.
[[nodiscard]] bool sameFields(const store::Card& a, const store::Card& b);

}  // namespace veltro::sync
