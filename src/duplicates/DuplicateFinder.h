#pragma once

#include "store/CardIndex.h"
#include "store/CardStore.h"
#include "store/DuplicateDecisions.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <set>
#include <vector>

namespace veltro::duplicates {

// What the search reads of a card.
struct CardFacts {
    std::int64_t id = 0;
    QString uid;  // empty in a store that keeps no identities
    QString heading;
    QString firstName;
    QString lastName;
    QString mail;
    QString areaCode;
    QString phone;
    QString mobile;
    std::vector<QString> moreMails;  // the further entries of the card
    std::vector<QString> morePhones;
};

// Why two cards look like one; a pair may have several reasons.
enum Reason : unsigned {
    SameHeading = 1U << 0,  // the headings fold alike
    SameName = 1U << 1,     // first and family name fold alike
    SoundsAlike = 1U << 2,  // same first name, family names sound alike
    SameMail = 1U << 3,
    SamePhone = 1U << 4,
};

struct Pair {
    std::int64_t a = 0;  // row ids, a < b
    std::int64_t b = 0;
    unsigned reasons = 0;
    int score = 0;  // 1 to 100: how sure the reasons make it
};

// Cards linked by pairs: one person or firm, most likely. Only pairs alike by name or
// sharing a mail address and a phone number link a group; a pair with one shared address
// or number alone is a group of its own, so a card may stand in several groups.
struct Group {
    std::vector<std::int64_t> cards;  // in row id order
    std::vector<Pair> pairs;          // best first
    [[nodiscard]] int score() const { return pairs.empty() ? 0 : pairs.front().score; }
};

[[nodiscard]] int scoreOf(unsigned reasons);
// The reasons in German, e.g. "gleicher Name, gleiche Telefonnummer".
[[nodiscard]] QString reasonText(unsigned reasons);

// Looks for duplicates among the cards without comparing each with each: cards meet only
// when they share a key (folded heading, name, sound of the family name with the first
// name, mail address, phone number). A key shared by very many cards, such as a firm's
// switchboard, says nothing and is passed over. Pairs the user called no duplicates are
// left out. Groups come best first.
[[nodiscard]] std::vector<Group> findDuplicates(const std::vector<CardFacts>& cards,
                                                const std::set<store::UidPair>& notDuplicates = {});

// How many cards share one key at most before the key is passed over.
inline constexpr std::size_t kLargestBlock = 25;

// The first card in list order whose heading folds like this one (see foldName) without
// being equal to it regardless of case: the card a new one would repeat.
[[nodiscard]] std::optional<std::int64_t> cardWithSimilarHeading(const store::CardIndex& index,
                                                                 QStringView heading);

// Reads the facts of every card with a heading.
[[nodiscard]] std::vector<CardFacts> readCardFacts(store::CardStore& store);

// The whole search over a store, leaving out the pairs it remembers as no duplicates.
[[nodiscard]] std::vector<Group> findDuplicates(store::CardStore& store);

// The groups in which at least one of the given cards pairs with a card not among them,
// each with only those pairs: the duplicates an import brought against cards there before.
[[nodiscard]] std::vector<Group> groupsAgainst(const std::vector<Group>& groups,
                                               const std::set<std::int64_t>& newCards);

}  // namespace veltro::duplicates
