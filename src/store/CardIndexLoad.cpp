// Filling the card index from the store: sorting what is new, keeping what is not.
#include "store/CardIndex.h"

#include "store/FoldedUtf8.h"

#include <algorithm>
#include <cstring>

namespace veltro::store {

namespace {

// What the sort compares: the first bytes of a heading's key in one number, so that
// most comparisons never touch the key itself.
struct SortItem {
    std::uint64_t prefix = 0;
    std::size_t key = 0;
    std::uint32_t keyLength = 0;
    std::uint32_t row = 0;
    bool keyed = false;
};

std::uint64_t prefixOf(std::string_view key) {
    std::uint64_t prefix = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        prefix = (prefix << 8) | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0U);
    }
    return prefix;
}

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

// For each incoming row, the list position its card had, or -1.
std::vector<std::int32_t> CardIndex::oldPositions(const Incoming& incoming) const {
    std::vector<std::int32_t> result(incoming.rows.size(), -1);
    if (ids_.empty()) {
        return result;
    }
    std::vector<std::pair<std::int64_t, std::int32_t>> byId;
    byId.reserve(ids_.size());
    for (std::size_t i = 0; i < ids_.size(); ++i) {
        byId.emplace_back(ids_[i], static_cast<std::int32_t>(i));
    }
    std::sort(byId.begin(), byId.end());
    for (std::size_t r = 0; r < incoming.rows.size(); ++r) {
        const std::int64_t id = incoming.rows[r].id;
        const auto it = std::lower_bound(byId.begin(), byId.end(), std::pair{id, INT32_MIN});
        if (it != byId.end() && it->first == id) {
            result[r] = it->second;
        }
    }
    return result;
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
        item.prefix = prefixOf(std::string_view(keys).substr(item.key, item.keyLength));
        items.push_back(item);
    }
    const auto before = [&](const SortItem& a, const SortItem& b) {
        int order = 0;
        if (a.keyed && b.keyed) {
            if (a.prefix != b.prefix) {
                return a.prefix < b.prefix;
            }
            order = std::string_view(keys)
                        .substr(a.key, a.keyLength)
                        .compare(std::string_view(keys).substr(b.key, b.keyLength));
        } else {
            order = order_.compare(incoming.heading(incoming.rows[a.row]),
                                   incoming.heading(incoming.rows[b.row]));
        }
        return order != 0 ? order < 0 : incoming.rows[a.row].id < incoming.rows[b.row].id;
    };
    std::sort(items.begin(), items.end(), before);
    for (std::size_t i = 0; i < items.size(); ++i) {
        rows[i] = items[i].row;
    }
    return rows;
}

void CardIndex::rebuild(const Incoming& incoming) {
    // Cards whose heading is unchanged keep their relative order; only the others are
    // sorted and then merged in.
    const auto previous = oldPositions(incoming);
    std::vector<std::int32_t> keptRowAt(ids_.size(), -1);
    std::vector<std::uint32_t> fresh;
    for (std::size_t r = 0; r < incoming.rows.size(); ++r) {
        const std::int32_t p = previous[r];
        if (p >= 0 &&
            headings_.at(static_cast<std::size_t>(p)) == incoming.heading(incoming.rows[r])) {
            keptRowAt[static_cast<std::size_t>(p)] = static_cast<std::int32_t>(r);
        } else {
            fresh.push_back(static_cast<std::uint32_t>(r));
        }
    }
    fresh = sortedRows(incoming, std::move(fresh));
    struct Source {
        std::int32_t oldPosition;  // -1 for a fresh row
        std::uint32_t row;
    };
    std::vector<Source> kept;
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

    TextColumn headings;
    TextColumn folded;
    std::vector<std::int64_t> ids;
    std::vector<std::uint32_t> categories;
    headings.bytes.reserve(headings_.bytes.size());
    folded.bytes.reserve(folded_.bytes.size());
    ids.reserve(merged.size());
    categories.reserve(merged.size());
    clearCategories();
    std::string fold;
    for (const Source& source : merged) {
        const auto& row = incoming.rows[source.row];
        ids.push_back(row.id);
        categories.push_back(categoryNumber(incoming.category(row)));
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
    rebuildFoldKeys();
}

}  // namespace veltro::store
