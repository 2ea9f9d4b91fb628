#include "duplicates/DuplicateFinder.h"

#include "duplicates/Folding.h"
#include "store/CardExtrasTable.h"

#include <QHash>

#include <algorithm>
#include <limits>
#include <numeric>
#include <unordered_map>

namespace veltro::duplicates {

namespace {

// The keys of one card, each tagged with its reason.
void addKeys(const CardFacts& card, const std::function<void(unsigned, const QString&)>& add) {
    if (const QString heading = foldName(card.heading); !heading.isEmpty()) {
        add(SameHeading, heading);
    }
    if (const QString last = foldName(card.lastName); !last.isEmpty()) {
        const QString first = foldName(card.firstName);
        add(SameName, first + u'|' + last);
        add(SoundsAlike, first + u'|' + phoneticKeyOfFolded(last));
    }
    const auto addMails = [&](const QString& text) {
        for (const QString& mail : mailKeys(text)) {
            add(SameMail, mail);
        }
    };
    const auto addPhone = [&](const QString& phone) {
        if (!phone.isEmpty()) {
            add(SamePhone, phone);
        }
    };
    addMails(card.mail);
    std::for_each(card.moreMails.begin(), card.moreMails.end(), addMails);
    addPhone(phoneKey(card.phone, card.areaCode));
    addPhone(phoneKey(card.mobile));
    for (const QString& phone : card.morePhones) {
        addPhone(phoneKey(phone));
    }
}

// Cards by position, joined into groups.
class Groups {
public:
    explicit Groups(std::size_t size) : parent_(size) {
        std::iota(parent_.begin(), parent_.end(), std::size_t{0});
    }
    std::size_t root(std::size_t i) {
        while (parent_[i] != i) {
            parent_[i] = parent_[parent_[i]];
            i = parent_[i];
        }
        return i;
    }
    void join(std::size_t a, std::size_t b) { parent_[root(a)] = root(b); }

private:
    std::vector<std::size_t> parent_;
};

std::uint64_t pairKey(std::uint32_t a, std::uint32_t b) {
    return (std::uint64_t{std::min(a, b)} << 32U) | std::max(a, b);
}

// One key of one card: a hash of the key's text stands for the text. Two different keys
// would share a hash about once in 10^8 searches of a large store, and then only show a
// pair too many.
struct KeyEntry {
    std::uint64_t hash;
    std::uint32_t card;
    unsigned reason;

    bool operator<(const KeyEntry& other) const {
        return std::tie(reason, hash, card) < std::tie(other.reason, other.hash, other.card);
    }
    [[nodiscard]] bool sameKey(const KeyEntry& other) const {
        return reason == other.reason && hash == other.hash;
    }
};

// Reasons of every pair of cards (by position) that share a key: the keys are sorted, so
// cards with one key stand together, and only those are paired.
std::unordered_map<std::uint64_t, unsigned> pairsSharingKeys(const std::vector<CardFacts>& cards) {
    std::vector<KeyEntry> keys;
    keys.reserve(cards.size() * 5);
    for (std::uint32_t i = 0; i < cards.size(); ++i) {
        addKeys(cards[i], [&](unsigned reason, const QString& key) {
            keys.push_back({qHash(key, std::size_t{0x1234567}), i, reason});
        });
    }
    std::sort(keys.begin(), keys.end());
    std::unordered_map<std::uint64_t, unsigned> reasons;
    for (std::size_t start = 0; start < keys.size();) {
        std::size_t end = start + 1;
        while (end < keys.size() && keys[end].sameKey(keys[start])) {
            ++end;
        }
        // A card may repeat a key (the same number in two fields): those entries are neighbours.
        std::vector<std::uint32_t> block;
        if (end - start <= 2 * kLargestBlock) {
            for (std::size_t k = start; k < end; ++k) {
                if (block.empty() || block.back() != keys[k].card) {
                    block.push_back(keys[k].card);
                }
            }
        }
        if (block.size() >= 2 && block.size() <= kLargestBlock) {
            for (std::size_t x = 0; x < block.size(); ++x) {
                for (std::size_t y = x + 1; y < block.size(); ++y) {
                    reasons[pairKey(block[x], block[y])] |= keys[start].reason;
                }
            }
        }
        start = end;
    }
    return reasons;
}

bool remembered(const CardFacts& a, const CardFacts& b, const std::set<store::UidPair>& pairs) {
    return !a.uid.isEmpty() && !b.uid.isEmpty() && pairs.contains(store::orderedPair(a.uid, b.uid));
}

// Whether a pair may join cards into a group: alike by name, or sharing a mail address and
// a phone number. One shared address or number alone (a firm's line, a family's mailbox)
// would chain strangers together.
bool joinsGroups(unsigned reasons) {
    constexpr unsigned byName = SameHeading | SameName | SoundsAlike;
    constexpr unsigned mailAndPhone = SameMail | SamePhone;
    return (reasons & byName) != 0U || (reasons & mailAndPhone) == mailAndPhone;
}

// Cards in row id order, once each; pairs best first.
void tidy(Group& group) {
    std::sort(group.cards.begin(), group.cards.end());
    group.cards.erase(std::unique(group.cards.begin(), group.cards.end()), group.cards.end());
    std::sort(group.pairs.begin(), group.pairs.end(), [](const Pair& x, const Pair& y) {
        return std::tie(y.score, x.a, x.b) < std::tie(x.score, y.a, y.b);
    });
}

}  // namespace

int scoreOf(unsigned reasons) {
    int score = 0;
    score += (reasons & SameName) != 0U ? 40 : (reasons & SoundsAlike) != 0U ? 25 : 0;
    score += (reasons & SameHeading) != 0U ? 30 : 0;
    score += (reasons & SameMail) != 0U ? 45 : 0;
    score += (reasons & SamePhone) != 0U ? 35 : 0;
    return std::min(score, 100);
}

QString reasonText(unsigned reasons) {
    QStringList parts;
    if ((reasons & SameHeading) != 0U) {
        parts << QStringLiteral("gleiche Überschrift");
    }
    if ((reasons & SameName) != 0U) {
        parts << QStringLiteral("gleicher Name");
    } else if ((reasons & SoundsAlike) != 0U) {
        parts << QStringLiteral("ähnlich klingender Name");
    }
    if ((reasons & SameMail) != 0U) {
        parts << QStringLiteral("gleiche E-Mail-Adresse");
    }
    if ((reasons & SamePhone) != 0U) {
        parts << QStringLiteral("gleiche Telefonnummer");
    }
    return parts.join(QStringLiteral(", "));
}

std::vector<Group> findDuplicates(const std::vector<CardFacts>& cards,
                                  const std::set<store::UidPair>& notDuplicates) {
    struct Found {
        std::size_t a;  // positions
        std::size_t b;
        Pair pair;
    };
    Groups joined(cards.size());
    std::vector<Found> found;
    for (const auto& [key, reasons] : pairsSharingKeys(cards)) {
        const auto a = static_cast<std::size_t>(key >> 32U);
        const auto b = static_cast<std::size_t>(key & 0xffffffffU);
        if (remembered(cards[a], cards[b], notDuplicates)) {
            continue;
        }
        if (joinsGroups(reasons)) {
            joined.join(a, b);
        }
        const auto [low, high] = std::minmax(cards[a].id, cards[b].id);
        found.push_back({a, b, Pair{low, high, reasons, scoreOf(reasons)}});
    }
    // A weak pair stays in the group its cards share, or stands as a group of its own.
    std::unordered_map<std::size_t, Group> byRoot;
    std::vector<Group> groups;
    for (const Found& each : found) {
        const bool inOneGroup = joined.root(each.a) == joined.root(each.b);
        Group& group = inOneGroup ? byRoot[joined.root(each.a)] : groups.emplace_back();
        group.cards.insert(group.cards.end(), {each.pair.a, each.pair.b});
        group.pairs.push_back(each.pair);
    }
    for (auto& [root, group] : byRoot) {
        groups.push_back(std::move(group));
    }
    for (Group& group : groups) {
        tidy(group);
    }
    // A card may stand in several groups: the cards tell groups of one score apart.
    std::sort(groups.begin(), groups.end(), [](const Group& x, const Group& y) {
        return std::tie(y.pairs.front().score, x.cards) < std::tie(x.pairs.front().score, y.cards);
    });
    return groups;
}

std::vector<Group> groupsAgainst(const std::vector<Group>& groups,
                                 const std::set<std::int64_t>& newCards) {
    std::vector<Group> found;
    for (const Group& group : groups) {
        Group kept;
        for (const Pair& pair : group.pairs) {
            if (newCards.contains(pair.a) != newCards.contains(pair.b)) {
                kept.pairs.push_back(pair);
                kept.cards.push_back(pair.a);
                kept.cards.push_back(pair.b);
            }
        }
        if (!kept.pairs.empty()) {
            tidy(kept);
            found.push_back(std::move(kept));
        }
    }
    return found;
}

std::optional<std::int64_t> cardWithSimilarHeading(const store::CardIndex& index,
                                                   QStringView heading) {
    const QString folded = foldName(heading);
    if (folded.isEmpty()) {
        return std::nullopt;
    }
    // Most headings are ASCII and German letters: folded on their bytes, and only compared
    // further when they fold alike. Such a heading folds to ASCII, so it cannot match a
    // target with other letters.
    const QByteArray target = folded.toUtf8();
    const bool asciiTarget = std::all_of(
        target.begin(), target.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    std::string asciiFolded;
    for (std::int32_t position = 0; position < index.size(); ++position) {
        const std::string_view utf8 = index.headingUtf8(position);
        if (const auto first = certainFirstFolded(utf8); first && *first != target.front()) {
            continue;
        }
        if (foldGermanName(utf8, asciiFolded)) {
            if (!asciiTarget ||
                asciiFolded !=
                    std::string_view(target.data(), static_cast<std::size_t>(target.size()))) {
                continue;
            }
        }
        const QString other = index.heading(position);
        if (foldName(other) == folded && other.compare(heading, Qt::CaseInsensitive) != 0) {
            return index.id(position);
        }
    }
    return std::nullopt;
}

std::vector<CardFacts> readCardFacts(store::CardStore& store) {
    using store::Field;
    const std::vector<Field> fields = {Field::Schlagworte,  Field::Vorname, Field::Nachname,
                                       Field::EMailAdresse, Field::Vorwahl, Field::Telefon,
                                       Field::Mobiltelefon};
    std::vector<CardFacts> cards;
    const auto text = [](std::string_view utf8) {
        return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    };
    store.visitHeadedRows(0, store.lastRowId(), std::numeric_limits<std::int64_t>::max(), fields,
                          [&](std::int64_t id, std::span<const std::string_view> v) {
                              cards.push_back({id,
                                               {},
                                               text(v[0]),
                                               text(v[1]),
                                               text(v[2]),
                                               text(v[3]),
                                               text(v[4]),
                                               text(v[5]),
                                               text(v[6]),
                                               {},
                                               {}});
                          });
    const auto uids = store::cardUids(store.db());
    std::unordered_map<std::int64_t, std::size_t> positions;
    positions.reserve(cards.size());
    for (std::size_t i = 0; i < cards.size(); ++i) {
        cards[i].uid = uids.value(cards[i].id);
        positions.emplace(cards[i].id, i);
    }
    const auto addEntries = [&](store::EntryKind kind, std::vector<QString> CardFacts::*list) {
        store::visitEntryValues(store.db(), kind, [&](std::int64_t card, const QString& value) {
            if (const auto at = positions.find(card); at != positions.end()) {
                (cards[at->second].*list).push_back(value);
            }
        });
    };
    addEntries(store::EntryKind::EMail, &CardFacts::moreMails);
    addEntries(store::EntryKind::Telefon, &CardFacts::morePhones);
    return cards;
}

std::vector<Group> findDuplicates(store::CardStore& store) {
    auto cards = readCardFacts(store);
    return findDuplicates(cards, store::notDuplicatePairs(store.db()));
}

}  // namespace veltro::duplicates
