// Filling the card index from the store: sorting what is new, keeping what is not.
#include "store/CardIndex.h"

#include "store/FoldedUtf8.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace veltro::store {

namespace {

// The lists of a loaded index leave room for the cards of a session: the first new card
// does not copy a million entries into lists twice as large.
std::size_t withRoom(std::size_t size) {
    return size + size / 64 + 64;
}

// What the sort compares: the first bytes of a heading's key in one number, so that
// most comparisons never touch the key itself.
struct SortItem {
    std::uint64_t prefix = 0;  // first sixteen bytes of the key, big-endian
    std::uint64_t prefix2 = 0;
    std::size_t key = 0;
    std::uint32_t keyLength = 0;
    std::uint32_t row = 0;
    bool keyed = false;
};

std::uint64_t prefixOf(std::string_view key, std::size_t from) {
    std::uint64_t prefix = 0;
    for (std::size_t i = from; i < from + 8; ++i) {
        prefix = (prefix << 8) | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0U);
    }
    return prefix;
}

// What the first sort compares: sixteen bytes of key in two numbers, and where to find
// the rest. Items with equal numbers are put in order afterwards, by their whole key.
struct PrefixItem {
    std::uint64_t high = 0;
    std::uint64_t low = 0;
    std::uint32_t item = 0;
};

// Text a stored value stands for: the bytes as they are, or as QString reads them
// when they are not well-formed UTF-8.
std::string_view normalized(std::string_view bytes, std::string& repaired) {
    if (isValidUtf8(bytes)) {
        return bytes;
    }
    const QByteArray utf8 =
        QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())).toUtf8();
    repaired.assign(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    return repaired;
}

}  // namespace

void CardIndex::Incoming::add(std::int64_t id, std::string_view heading,
                              std::string_view category) {
    std::string repaired;
    Row row;
    row.id = id;
    const std::string_view cleanHeading = normalized(heading, repaired);
    row.heading = text.size();
    row.headingLength = cleanHeading.size();
    text.append(cleanHeading);
    const std::string_view cleanCategory = normalized(category, repaired);
    row.category = text.size();
    row.categoryLength = cleanCategory.size();
    text.append(cleanCategory);
    rows.push_back(row);
}

void CardIndex::load(CardStore& store) {
    Incoming incoming;
    store.forEachHeading([&](std::int64_t id, std::string_view heading, std::string_view category) {
        incoming.add(id, heading, category);
    });
    rebuild(incoming);
}

void CardIndex::reset(const std::vector<HeadingRow>& rows) {
    Incoming incoming;
    for (const auto& row : rows) {
        const QByteArray heading = row.heading.toUtf8();
        const QByteArray category = row.category.toUtf8();
        incoming.add(row.id, {heading.constData(), static_cast<std::size_t>(heading.size())},
                     {category.constData(), static_cast<std::size_t>(category.size())});
    }
    rebuild(incoming);
}

// Where each card of the index stands, by row id.
CardIndex::Positions::Positions(const std::vector<std::int64_t>& ids) {
    if (ids.empty()) {
        return;
    }
    highest_ = *std::max_element(ids.begin(), ids.end());
    const auto count = static_cast<std::int64_t>(ids.size());
    dense_ = *std::min_element(ids.begin(), ids.end()) >= 0 && highest_ < 4 * count + 1024;
    if (dense_) {
        // Row ids are dense as a rule: a table by id is quicker than searching.
        byId_.assign(static_cast<std::size_t>(highest_) + 1, -1);
        for (std::size_t i = 0; i < ids.size(); ++i) {
            byId_[static_cast<std::size_t>(ids[i])] = static_cast<std::int32_t>(i);
        }
        return;
    }
    sorted_.reserve(ids.size());
    for (std::size_t i = 0; i < ids.size(); ++i) {
        sorted_.emplace_back(ids[i], static_cast<std::int32_t>(i));
    }
    std::sort(sorted_.begin(), sorted_.end());
}

std::int32_t CardIndex::Positions::of(std::int64_t id) const {
    if (dense_) {
        return id >= 0 && id <= highest_ ? byId_[static_cast<std::size_t>(id)] : -1;
    }
    const auto it = std::lower_bound(sorted_.begin(), sorted_.end(), std::pair{id, INT32_MIN});
    return it != sorted_.end() && it->first == id ? it->second : -1;
}

// The rows in list order: by heading as the collator orders them, then by row id.
std::vector<std::uint32_t> CardIndex::sortedRows(const Incoming& incoming,
                                                 std::vector<std::uint32_t> rows) const {
    std::string keys;
    std::vector<SortItem> items;
    items.reserve(rows.size());
    for (const std::uint32_t row : rows) {
        SortItem item;
        item.row = row;
        item.key = keys.size();
        item.keyed = order_.appendKey(incoming.heading(incoming.rows[row]), keys);
        item.keyLength = static_cast<std::uint32_t>(keys.size() - item.key);
        const std::string_view key = std::string_view(keys).substr(item.key, item.keyLength);
        item.prefix = prefixOf(key, 0);
        item.prefix2 = prefixOf(key, 8);
        items.push_back(item);
    }
    const auto keyOf = [&keys](const SortItem& item) {
        return std::string_view(keys).substr(item.key, item.keyLength);
    };
    const auto less = [&](const SortItem& a, const SortItem& b) {
        const int c = a.keyed && b.keyed ? keyOf(a).compare(keyOf(b))
                                         : order_.compare(incoming.heading(incoming.rows[a.row]),
                                                          incoming.heading(incoming.rows[b.row]));
        return c != 0 ? c < 0 : incoming.rows[a.row].id < incoming.rows[b.row].id;
    };
    // Keyed headings: first by their first sixteen key bytes, which settles most, then
    // each run of equal prefixes by the whole key. The few others are collated and merged.
    std::vector<PrefixItem> prefixes;
    std::vector<SortItem> others;
    prefixes.reserve(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].keyed) {
            prefixes.push_back({items[i].prefix, items[i].prefix2, static_cast<std::uint32_t>(i)});
        } else {
            others.push_back(items[i]);
        }
    }
    std::sort(prefixes.begin(), prefixes.end(), [](const PrefixItem& a, const PrefixItem& b) {
        return a.high != b.high ? a.high < b.high : a.low < b.low;
    });
    std::vector<SortItem> keyed;
    keyed.reserve(prefixes.size());
    for (const PrefixItem& prefix : prefixes) {
        keyed.push_back(items[prefix.item]);
    }
    for (auto run = keyed.begin(); run != keyed.end();) {
        const auto end = std::find_if(run, keyed.end(), [&](const SortItem& item) {
            return item.prefix != run->prefix || item.prefix2 != run->prefix2;
        });
        if (end - run > 1) {
            std::sort(run, end, less);
        }
        run = end;
    }
    std::sort(others.begin(), others.end(), less);
    items.clear();
    std::merge(keyed.begin(), keyed.end(), others.begin(), others.end(), std::back_inserter(items),
               less);
    for (std::size_t i = 0; i < items.size(); ++i) {
        rows[i] = items[i].row;
    }
    return rows;
}

void CardIndex::rebuild(const Incoming& incoming) {
    // Cards whose heading is unchanged keep their relative order; only the others are
    // sorted and then merged in.
    const Positions positions(ids_);
    std::vector<std::int32_t> keptRowAt(ids_.size(), -1);
    std::vector<std::uint32_t> fresh;
    for (std::size_t r = 0; r < incoming.rows.size(); ++r) {
        const std::int32_t p = positions.of(incoming.rows[r].id);
        if (p >= 0 &&
            headings_.at(static_cast<std::size_t>(p)) == incoming.heading(incoming.rows[r])) {
            keptRowAt[static_cast<std::size_t>(p)] = static_cast<std::int32_t>(r);
        } else {
            fresh.push_back(static_cast<std::uint32_t>(r));
        }
    }
    if (fresh.empty() && incoming.rows.size() == ids_.size()) {
        // The same cards under the same headings: at most their categories changed.
        clearCategories();
        for (std::size_t p = 0; p < keptRowAt.size(); ++p) {
            const auto& row = incoming.rows[static_cast<std::size_t>(keptRowAt[p])];
            categories_[p] = categoryNumber(incoming.category(row));
        }
        return;
    }
    const auto merged = inListOrder(incoming, keptRowAt, sortedRows(incoming, std::move(fresh)));
    rebuildFoldKeys(incoming, merged, positions, keptRowAt);
    rebuildColumns(incoming, merged);
}

// The kept cards in their old order with the sorted fresh ones merged in.
std::vector<CardIndex::Source> CardIndex::inListOrder(
    const Incoming& incoming, const std::vector<std::int32_t>& keptRowAt,
    const std::vector<std::uint32_t>& fresh) const {
    std::vector<Source> kept;
    kept.reserve(keptRowAt.size());  // growing would hold two copies at a million cards
    for (std::size_t p = 0; p < keptRowAt.size(); ++p) {
        if (keptRowAt[p] >= 0) {
            kept.push_back(
                {static_cast<std::int32_t>(p), static_cast<std::uint32_t>(keptRowAt[p])});
        }
    }
    const auto freshBefore = [&](std::uint32_t row, const Source& k) {
        const auto& a = incoming.rows[row];
        const auto& b = incoming.rows[k.row];
        const int order = order_.compare(incoming.heading(a), incoming.heading(b));
        return order != 0 ? order < 0 : a.id < b.id;
    };
    std::vector<Source> merged;
    merged.reserve(incoming.rows.size());
    auto next = kept.begin();
    const bool fewFresh = fresh.size() * 16 < kept.size();
    for (const std::uint32_t row : fresh) {
        const auto until =
            fewFresh ? std::lower_bound(
                           next, kept.end(), row,
                           [&](const Source& k, std::uint32_t f) { return !freshBefore(f, k); })
                     : std::find_if(next, kept.end(),
                                    [&](const Source& k) { return freshBefore(row, k); });
        merged.insert(merged.end(), next, until);
        merged.push_back({-1, row});
        next = until;
    }
    merged.insert(merged.end(), next, kept.end());
    return merged;
}

void CardIndex::rebuildColumns(const Incoming& incoming, const std::vector<Source>& merged) {
    TextColumn headings;
    TextColumn folded;
    std::vector<std::int64_t> ids;
    std::vector<std::uint32_t> categories;
    headings.bytes.reserve(withRoom(incoming.text.size()));
    folded.bytes.reserve(withRoom(incoming.text.size()));
    headings.starts.reserve(withRoom(merged.size() + 1));
    folded.starts.reserve(withRoom(merged.size() + 1));
    ids.reserve(withRoom(merged.size()));
    categories.reserve(withRoom(merged.size()));
    clearCategories();
    std::string fold;
    std::string_view lastCategory;
    std::uint32_t lastNumber = 0;
    for (const Source& source : merged) {
        const auto& row = incoming.rows[source.row];
        ids.push_back(row.id);
        // Cards come in runs of one category more often than not.
        const std::string_view category = incoming.category(row);
        if (categories.empty() || category != lastCategory) {
            lastNumber = categoryNumber(category);
            lastCategory = category;
        }
        categories.push_back(lastNumber);
        headings.append(incoming.heading(row));
        if (source.oldPosition >= 0) {
            folded.append(folded_.at(static_cast<std::size_t>(source.oldPosition)));
        } else {
            fold.clear();
            appendFoldedUtf8(incoming.heading(row), fold);
            folded.append(fold);
        }
    }
    ids_ = std::move(ids);
    categories_ = std::move(categories);
    headings_ = std::move(headings);
    folded_ = std::move(folded);
}

// The kept cards' keys stay as they are; only fresh ones are hashed, sorted and merged in.
void CardIndex::rebuildFoldKeys(const Incoming& incoming, const std::vector<Source>& merged,
                                const Positions& positions,
                                const std::vector<std::int32_t>& keptRowAt) {
    std::vector<FoldKey> fresh;
    fresh.reserve(static_cast<std::size_t>(std::count_if(
        merged.begin(), merged.end(), [](const Source& s) { return s.oldPosition < 0; })));
    std::string fold;
    for (const Source& source : merged) {
        if (source.oldPosition < 0) {
            const auto& row = incoming.rows[source.row];
            fold.clear();
            appendFoldedUtf8(incoming.heading(row), fold);
            fresh.push_back({hashOf(fold), row.id});
        }
    }
    sortByHash(fresh);
    std::vector<FoldKey> keys;
    keys.reserve(withRoom(merged.size()));
    auto next = fresh.begin();
    for (const FoldKey& key : byFold_) {
        const std::int32_t p = positions.of(key.id);
        if (p < 0 || keptRowAt[static_cast<std::size_t>(p)] < 0) {
            continue;
        }
        for (; next != fresh.end() && next->hash < key.hash; ++next) {
            keys.push_back(*next);
        }
        keys.push_back(key);
    }
    keys.insert(keys.end(), next, fresh.end());
    byFold_ = std::move(keys);
}

}  // namespace veltro::store
