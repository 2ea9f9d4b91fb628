#include "store/CardIndex.h"

#include "store/FoldedUtf8.h"

#include <algorithm>
#include <functional>
#include <numeric>
#include <utility>

namespace veltro::store {

namespace {

std::string utf8Of(QStringView text) {
    const QByteArray bytes = text.toUtf8();
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

QString qstringOf(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

bool lowerHash(const auto& key, std::uint64_t hash) {
    return key.hash < hash;
}

}  // namespace

void CardIndex::TextColumn::insert(std::size_t i, std::string_view text) {
    const std::size_t length = text.size() + 1;
    bytes.insert(starts[i], length, '\0');
    std::copy(text.begin(), text.end(), bytes.begin() + static_cast<std::ptrdiff_t>(starts[i]));
    starts.insert(starts.begin() + static_cast<std::ptrdiff_t>(i), starts[i]);
    for (std::size_t k = i + 1; k < starts.size(); ++k) {
        starts[k] += length;
    }
}

void CardIndex::TextColumn::erase(std::size_t i) {
    const std::size_t length = starts[i + 1] - starts[i];
    bytes.erase(starts[i], length);
    starts.erase(starts.begin() + static_cast<std::ptrdiff_t>(i));
    for (std::size_t k = i; k < starts.size(); ++k) {
        starts[k] -= length;
    }
}

void CardIndex::TextColumn::append(std::string_view text) {
    bytes.append(text);
    bytes.push_back('\0');
    starts.push_back(bytes.size());
}

void CardIndex::TextColumn::clear() {
    bytes.clear();
    starts.assign(1, 0);
}

CardIndex::Entry CardIndex::at(std::int32_t position) const {
    const auto i = static_cast<std::size_t>(position);
    return {ids_[i], qstringOf(headings_.at(i)), categoryNames_[categories_[i]]};
}

QString CardIndex::heading(std::int32_t position) const {
    return qstringOf(headings_.at(static_cast<std::size_t>(position)));
}

std::optional<std::int32_t> CardIndex::positionOf(std::int64_t id) const {
    const auto it = std::find(ids_.begin(), ids_.end(), id);
    if (it == ids_.end()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(it - ids_.begin());
}

std::optional<std::int64_t> CardIndex::idOfHeading(QStringView heading) const {
    std::string folded;
    appendFoldedUtf8(utf8Of(heading), folded);
    const std::uint64_t hash = hashOf(folded);
    std::optional<std::int64_t> lowest;
    for (auto it = std::lower_bound(byFold_.begin(), byFold_.end(), hash, lowerHash<FoldKey>);
         it != byFold_.end() && it->hash == hash; ++it) {
        if (lowest && *lowest < it->id) {
            continue;
        }
        const auto position = positionOf(it->id);
        if (position && folded_.at(static_cast<std::size_t>(*position)) == folded) {
            lowest = it->id;
        }
    }
    return lowest;
}

std::size_t CardIndex::insertionPoint(std::string_view heading, std::int64_t id) const {
    std::size_t low = 0;
    std::size_t high = ids_.size();
    while (low < high) {
        const std::size_t mid = low + (high - low) / 2;
        const int order = order_.compare(heading, headings_.at(mid));
        if (order > 0 || (order == 0 && id > ids_[mid])) {
            low = mid + 1;
        } else {
            high = mid;
        }
    }
    return low;
}

void CardIndex::insertAt(std::size_t position, std::int64_t id, std::string_view heading,
                         std::string_view folded, std::uint32_t category) {
    const auto at = static_cast<std::ptrdiff_t>(position);
    ids_.insert(ids_.begin() + at, id);
    categories_.insert(categories_.begin() + at, category);
    headings_.insert(position, heading);
    folded_.insert(position, folded);
    const std::uint64_t hash = hashOf(folded);
    byFold_.insert(std::lower_bound(byFold_.begin(), byFold_.end(), hash, lowerHash<FoldKey>),
                   FoldKey{hash, id});
}

void CardIndex::eraseAt(std::size_t position) {
    const std::uint64_t hash = hashOf(folded_.at(position));
    for (auto it = std::lower_bound(byFold_.begin(), byFold_.end(), hash, lowerHash<FoldKey>);
         it != byFold_.end() && it->hash == hash; ++it) {
        if (it->id == ids_[position]) {
            byFold_.erase(it);
            break;
        }
    }
    const auto at = static_cast<std::ptrdiff_t>(position);
    ids_.erase(ids_.begin() + at);
    categories_.erase(categories_.begin() + at);
    headings_.erase(position);
    folded_.erase(position);
}

void CardIndex::insert(const HeadingRow& row) {
    const std::string heading = utf8Of(row.heading);
    std::string folded;
    appendFoldedUtf8(heading, folded);
    const std::uint32_t category = categoryNumber(utf8Of(row.category));
    insertAt(insertionPoint(heading, row.id), row.id, heading, folded, category);
}

void CardIndex::remove(std::int64_t id) {
    if (const auto position = positionOf(id)) {
        eraseAt(static_cast<std::size_t>(*position));
    }
}

void CardIndex::rename(std::int64_t id, const QString& heading) {
    const auto position = positionOf(id);
    if (!position) {
        return;
    }
    const std::uint32_t category = categories_[static_cast<std::size_t>(*position)];
    eraseAt(static_cast<std::size_t>(*position));
    const std::string utf8 = utf8Of(heading);
    std::string folded;
    appendFoldedUtf8(utf8, folded);
    insertAt(insertionPoint(utf8, id), id, utf8, folded, category);
}

void CardIndex::setCategory(std::int64_t id, const QString& category) {
    if (const auto position = positionOf(id)) {
        categories_[static_cast<std::size_t>(*position)] = categoryNumber(utf8Of(category));
    }
}

std::uint32_t CardIndex::categoryNumber(std::string_view utf8) {
    if (const auto it = categoryNumberOf_.find(utf8); it != categoryNumberOf_.end()) {
        return it->second;
    }
    const QString name = qstringOf(utf8);
    const auto number = static_cast<std::uint32_t>(categoryNames_.size());
    categoryNames_.push_back(name);
    categoryNumberOf_.emplace(utf8, number);
    return number;
}

void CardIndex::clearCategories() {
    categoryNames_.clear();
    categoryNumberOf_.clear();
}

std::uint64_t CardIndex::hashOf(std::string_view folded) {
    return std::hash<std::string_view>{}(folded);
}

// By hash in four passes of sixteen bits: far quicker than comparing a million keys.
void CardIndex::sortByHash(std::vector<FoldKey>& keys) {
    if (keys.size() < 4096) {
        std::sort(keys.begin(), keys.end(),
                  [](const FoldKey& a, const FoldKey& b) { return a.hash < b.hash; });
        return;
    }
    std::vector<FoldKey> buffer(keys.size());
    for (int shift = 0; shift < 64; shift += 16) {
        std::vector<std::size_t> start(std::size_t{1} << 16, 0);
        for (const FoldKey& key : keys) {
            ++start[(key.hash >> shift) & 0xFFFF];
        }
        std::size_t sum = 0;
        for (std::size_t& count : start) {
            sum += std::exchange(count, sum);
        }
        for (const FoldKey& key : keys) {
            buffer[start[(key.hash >> shift) & 0xFFFF]++] = key;
        }
        keys.swap(buffer);
    }
}

}  // namespace veltro::store
