#include "store/CardIndex.h"

#include "store/CaseFold.h"

#include <QLocale>

#include <algorithm>
#include <numeric>

namespace veltro::store {

CardIndex::CardIndex() : collator_(QLocale(QLocale::German, QLocale::Germany)) {
    collator_.setCaseSensitivity(Qt::CaseInsensitive);
    collator_.setNumericMode(false);
}

bool CardIndex::before(const Entry& a, const Entry& b) const {
    const int order = collator_.compare(a.heading, b.heading);
    return order != 0 ? order < 0 : a.id < b.id;
}

void CardIndex::reset(std::vector<HeadingRow> rows) {
    entries_.clear();
    entries_.reserve(rows.size());
    for (auto& row : rows) {
        entries_.push_back(Entry{row.id, std::move(row.heading), std::move(row.category)});
    }
    sortEntries();
    rebuildSearchData();
}

void CardIndex::rebuildSearchData() {
    foldedHeadings_.clear();
    headingSpans_.clear();
    categoryNumbers_.clear();
    categoryNumberOf_.clear();
    headingSpans_.reserve(entries_.size());
    categoryNumbers_.reserve(entries_.size());
    for (const auto& entry : entries_) {
        const QString folded = foldCase(entry.heading);
        headingSpans_.emplace_back(foldedHeadings_.size(), folded.size());
        foldedHeadings_ += folded;
        const QString category = foldCase(entry.category);
        auto it = categoryNumberOf_.find(category);
        if (it == categoryNumberOf_.end()) {
            it = categoryNumberOf_.insert(category,
                                          static_cast<std::int32_t>(categoryNumberOf_.size()));
        }
        categoryNumbers_.push_back(*it);
    }
}

QStringView CardIndex::foldedHeading(std::size_t position) const {
    const auto [offset, length] = headingSpans_[position];
    return QStringView(foldedHeadings_).mid(offset, length);
}

void CardIndex::sortEntries() {
    // Sort keys once per entry; comparing keys is far cheaper than collating pairs.
    std::vector<QCollatorSortKey> keys;
    keys.reserve(entries_.size());
    for (const auto& entry : entries_) {
        keys.push_back(collator_.sortKey(entry.heading));
    }
    std::vector<std::size_t> order(entries_.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const int c = keys[a].compare(keys[b]);
        return c != 0 ? c < 0 : entries_[a].id < entries_[b].id;
    });
    std::vector<Entry> sorted;
    sorted.reserve(entries_.size());
    for (const std::size_t i : order) {
        sorted.push_back(std::move(entries_[i]));
    }
    entries_ = std::move(sorted);
}

std::vector<std::int32_t> CardIndex::filter(const std::optional<QString>& category,
                                            const LikePattern& heading) const {
    std::vector<std::int32_t> result;
    std::int32_t wanted = -1;
    if (category) {
        const auto it = categoryNumberOf_.constFind(foldCase(*category));
        if (it == categoryNumberOf_.constEnd()) {
            return result;
        }
        wanted = *it;
    }
    const auto count = size();
    for (std::int32_t i = 0; i < count; ++i) {
        if (wanted >= 0 && categoryNumbers_[i] != wanted) {
            continue;
        }
        if (heading.matchesFolded(foldedHeading(i))) {
            result.push_back(i);
        }
    }
    return result;
}

std::optional<std::int32_t> CardIndex::positionOf(std::int64_t id) const {
    const auto it =
        std::find_if(entries_.begin(), entries_.end(), [id](const Entry& e) { return e.id == id; });
    if (it == entries_.end()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(it - entries_.begin());
}

std::optional<std::int64_t> CardIndex::idOfHeading(QStringView heading) const {
    const QString folded = foldCase(heading);
    std::optional<std::int64_t> best;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (foldedHeading(i) == folded && (!best || entries_[i].id < *best)) {
            best = entries_[i].id;
        }
    }
    return best;
}

void CardIndex::insert(const HeadingRow& row) {
    Entry entry{row.id, row.heading, row.category};
    const auto at =
        std::lower_bound(entries_.begin(), entries_.end(), entry,
                         [this](const Entry& a, const Entry& b) { return before(a, b); });
    entries_.insert(at, std::move(entry));
    rebuildSearchData();
}

void CardIndex::remove(std::int64_t id) {
    if (const auto pos = positionOf(id)) {
        entries_.erase(entries_.begin() + *pos);
        rebuildSearchData();
    }
}

void CardIndex::rename(std::int64_t id, const QString& heading) {
    const auto pos = positionOf(id);
    if (!pos) {
        return;
    }
    const HeadingRow row{id, heading, entries_[*pos].category};
    entries_.erase(entries_.begin() + *pos);
    insert(row);
}

void CardIndex::setCategory(std::int64_t id, const QString& category) {
    if (const auto pos = positionOf(id)) {
        entries_[*pos].category = category;
        rebuildSearchData();
    }
}

}  // namespace veltro::store
